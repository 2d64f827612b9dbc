// Memory controllers (payload receive and transmit, connection memory): register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kCfgFields[] = {
    Bit("clken", 0),
    Bit("rdy", 1),
    Bits("den", 4, 2),
    Bit("org", 5),
    Bit("bks", 6),
    Bit("odten", 7),
    Bits("width", 9, 8),
    Bit("slow", 10),
    Bit("term150", 11),
    Bit("term300", 12),
    Bit("ifen", 13),
    Bit("impsetupdate", 14),
    Bits("res0", 31, 15),
};

constexpr Field kModeFields[] = {
    Bits("mode", 15, 0),
    Bits("res0", 30, 16),
    Bit("busy", 31),
};

constexpr Field kExtMode1Fields[] = {
    Bits("extmode1", 15, 13),
    Bits("ocdcode", 19, 16),
    Bit("ocdadjustmode", 20),
    Bits("res0", 30, 21),
    Bit("busy", 31),
};

constexpr Field kExtMode2Fields[] = {
    Bits("extmode2", 15, 0),
    Bits("res0", 30, 16),
    Bit("busy", 31),
};

constexpr Field kExtMode3Fields[] = {
    Bits("extmode3", 15, 0),
    Bits("res0", 30, 16),
    Bit("busy", 31),
};

constexpr Field kPreFields[] = {
    Bits("res0", 30, 0),
    Bit("busy", 31),
};

constexpr Field kRefFields[] = {
    Bit("perrefen", 0),
    Bits("perrefdiv", 14, 1),
    Bits("res0", 30, 15),
    Bit("busy", 31),
};

constexpr Field kDllFields[] = {
    Bit("dllrst", 0),
    Bit("dllenb", 1),
    Bit("dlldeltasel", 2),
    Bits("mandelta", 9, 3),
    Bits("res0", 23, 10),
    Bits("dlldelta", 30, 24),
    Bit("dlllock", 31),
};

constexpr Field kParmFields[] = {
    Bits("rdtowrdly", 3, 0),
    Bits("wrtorddly", 7, 4),
    Bits("bkcyc", 12, 8),
    Bits("refcyc", 19, 13),
    Bits("precyc", 22, 20),
    Bits("acttordwrdly", 25, 23),
    Bits("acttopredly", 29, 26),
    Bits("res0", 31, 30),
};

constexpr Field kHwmWrrFields[] = {
    Bits("ulp_rld_wt", 6, 0),
    Bits("mem_rld_wt", 13, 7),
    Bits("tot_rld_wt", 21, 14),
    Bits("ulp_hwm", 25, 22),
    Bits("mem_hwm", 31, 26),
};

constexpr Field kCalFields[] = {
    Bits("imp_set_pu", 2, 0),
    Bits("imp_set_pd", 5, 3),
    Bits("imp_cal_pu", 8, 6),
    Bits("imp_cal_pd", 11, 9),
    Bits("imp_man_pu", 14, 12),
    Bits("imp_man_pd", 17, 15),
    Bit("imp_sel", 18),
    Bit("imp_upd_mode", 19),
    Bit("sgl_cal_en", 20),
    Bit("per_cal_en", 21),
    Bits("per_cal_div", 29, 22),
    Bit("cal_fault", 30),
    Bit("busy", 31),
};

constexpr Field kEccFields[] = {
    Bit("eccgenen", 0),
    Bit("eccchken", 1),
    Bits("cecnt", 9, 2),
    Bits("uecnt", 17, 10),
    Bits("res0", 31, 18),
};

constexpr Field kBdOpFields[] = {
    Bit("busy", 31),
    Bits("res0", 30, 1),
    Bit("op", 0),
};

constexpr Field kBistAddrBegFields[] = {
    Bits("res0", 4, 0),
    Bits("addr", 31, 5),
};

constexpr Field kBistOpFields[] = {
    Bit("op", 0),
    Bits("datapat", 2, 1),
    Bit("cont", 3),
    Bits("gap", 8, 4),
    Bits("res0", 30, 9),
    Bit("busy", 31),
};

constexpr Field kIntEnableFields[] = {
    Bits("res0", 31, 18),
    Bit("ae", 17),
    Bits("pe", 16, 2),
    Bit("ue", 1),
    Bit("ce", 0),
};

constexpr Register kMc7PmrxRegisters[] = {
    {"cfg", 0x100, kCfgFields},
    {"mode", 0x104, kModeFields},
    {"ext_mode1", 0x108, kExtMode1Fields},
    {"ext_mode2", 0x10C, kExtMode2Fields},
    {"ext_mode3", 0x110, kExtMode3Fields},
    {"pre", 0x114, kPreFields},
    {"ref", 0x118, kRefFields},
    {"dll", 0x11C, kDllFields},
    {"parm", 0x120, kParmFields},
    {"hwm_wrr", 0x124, kHwmWrrFields},
    {"cal", 0x128, kCalFields},
    {"ecc", 0x130, kEccFields},
    {"ce_addr", 0x134, {}},
    {"ce_data[0]", 0x138, {}},
    {"ce_data[1]", 0x13C, {}},
    {"ce_data[2]", 0x140, {}},
    {"ue_addr", 0x144, {}},
    {"ue_data[0]", 0x148, {}},
    {"ue_data[1]", 0x14C, {}},
    {"ue_data[2]", 0x150, {}},
    {"bd_addr", 0x154, {}},
    {"bd_data[0]", 0x158, {}},
    {"bd_data[1]", 0x15C, {}},
    {"bd_data[2]", 0x160, {}},
    {"bd_op", 0x164, kBdOpFields},
    {"bist_addr_beg", 0x168, kBistAddrBegFields},
    {"bist_addr_end", 0x16C, kBistAddrBegFields},
    {"bist_data", 0x170, {}},
    {"bist_op", 0x174, kBistOpFields},
    {"int_enable", 0x178, kIntEnableFields},
    {"int_cause", 0x17C, kIntEnableFields},
};

constexpr Register kMc7PmtxRegisters[] = {
    {"cfg", 0x180, kCfgFields},
    {"mode", 0x184, kModeFields},
    {"ext_mode1", 0x188, kExtMode1Fields},
    {"ext_mode2", 0x18C, kExtMode2Fields},
    {"ext_mode3", 0x190, kExtMode3Fields},
    {"pre", 0x194, kPreFields},
    {"ref", 0x198, kRefFields},
    {"dll", 0x19C, kDllFields},
    {"parm", 0x1A0, kParmFields},
    {"hwm_wrr", 0x1A4, kHwmWrrFields},
    {"cal", 0x1A8, kCalFields},
    {"ecc", 0x1B0, kEccFields},
    {"ce_addr", 0x1B4, {}},
    {"ce_data[0]", 0x1B8, {}},
    {"ce_data[1]", 0x1BC, {}},
    {"ce_data[2]", 0x1C0, {}},
    {"ue_addr", 0x1C4, {}},
    {"ue_data[0]", 0x1C8, {}},
    {"ue_data[1]", 0x1CC, {}},
    {"ue_data[2]", 0x1D0, {}},
    {"bd_addr", 0x1D4, {}},
    {"bd_data[0]", 0x1D8, {}},
    {"bd_data[1]", 0x1DC, {}},
    {"bd_data[2]", 0x1E0, {}},
    {"bd_op", 0x1E4, kBdOpFields},
    {"bist_addr_beg", 0x1E8, kBistAddrBegFields},
    {"bist_addr_end", 0x1EC, kBistAddrBegFields},
    {"bist_data", 0x1F0, {}},
    {"bist_op", 0x1F4, kBistOpFields},
    {"int_enable", 0x1F8, kIntEnableFields},
    {"int_cause", 0x1FC, kIntEnableFields},
};

constexpr Register kMc7CmRegisters[] = {
    {"cfg", 0x200, kCfgFields},
    {"mode", 0x204, kModeFields},
    {"ext_mode1", 0x208, kExtMode1Fields},
    {"ext_mode2", 0x20C, kExtMode2Fields},
    {"ext_mode3", 0x210, kExtMode3Fields},
    {"pre", 0x214, kPreFields},
    {"ref", 0x218, kRefFields},
    {"dll", 0x21C, kDllFields},
    {"parm", 0x220, kParmFields},
    {"hwm_wrr", 0x224, kHwmWrrFields},
    {"cal", 0x228, kCalFields},
    {"ecc", 0x230, kEccFields},
    {"ce_addr", 0x234, {}},
    {"ce_data[0]", 0x238, {}},
    {"ce_data[1]", 0x23C, {}},
    {"ce_data[2]", 0x240, {}},
    {"ue_addr", 0x244, {}},
    {"ue_data[0]", 0x248, {}},
    {"ue_data[1]", 0x24C, {}},
    {"ue_data[2]", 0x250, {}},
    {"bd_addr", 0x254, {}},
    {"bd_data[0]", 0x258, {}},
    {"bd_data[1]", 0x25C, {}},
    {"bd_data[2]", 0x260, {}},
    {"bd_op", 0x264, kBdOpFields},
    {"bist_addr_beg", 0x268, kBistAddrBegFields},
    {"bist_addr_end", 0x26C, kBistAddrBegFields},
    {"bist_data", 0x270, {}},
    {"bist_op", 0x274, kBistOpFields},
    {"int_enable", 0x278, kIntEnableFields},
    {"int_cause", 0x27C, kIntEnableFields},
};

}  // namespace

constinit const Block kMc7PmrxBlock{"mc7_pmrx", 0x100, 0x17C, kMc7PmrxRegisters};
constinit const Block kMc7PmtxBlock{"mc7_pmtx", 0x180, 0x1FC, kMc7PmtxRegisters};
constinit const Block kMc7CmBlock{"mc7_cm", 0x200, 0x27C, kMc7CmRegisters};

}  // namespace qv::regmap
