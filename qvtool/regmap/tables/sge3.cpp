// Scatter-gather engine: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kCtrlFields[] = {
    Bits("res0", 31, 22),
    Bit("egr_enup_bp", 21),
    Bit("drop_pkt", 20),
    Bit("egr_gen_ctrl", 19),
    Bits("usr_spc_sz", 18, 14),
    Bits("host_pg_sz", 13, 11),
    Bit("pci_relax", 10),
    Bit("fl_mode", 9),
    Bits("pkt_shift", 8, 6),
    Bit("one_int_multq", 5),
    Bit("fl_pick_avail", 4),
    Bit("big_endian_egr", 3),
    Bit("big_endian_igr", 2),
    Bit("iscsi_coalescing", 1),
    Bit("globalenable", 0),
};

constexpr Field kDoorbellFields[] = {
    Bits("egr_cxt", 15, 0),
    Bits("res0", 30, 16),
    Bit("sel_egr_cxt", 31),
};

constexpr Field kGtsFields[] = {
    Bits("rspq", 31, 29),
    Bits("new_tmr", 28, 16),
    Bits("new_indx", 15, 0),
};

constexpr Field kCxtCmdFields[] = {
    Bits("opcode", 31, 28),
    Bit("busy", 27),
    Bits("cq_crdts", 26, 20),
    Bit("cq", 19),
    Bit("rspq", 18),
    Bit("egress", 17),
    Bit("free_list", 16),
    Bits("cxt_id", 15, 0),
};

constexpr Field kRqCrdtRtnFields[] = {
    Bits("rspq", 31, 29),
    Bits("res0", 28, 16),
    Bits("data", 15, 0),
};

constexpr Field kFlRspqCsrFields[] = {
    Bit("fl15_empty", 31),
    Bit("fl14_empty", 30),
    Bit("fl13_empty", 29),
    Bit("fl12_empty", 28),
    Bit("fl11_empty", 27),
    Bit("fl10_empty", 26),
    Bit("fl9_empty", 25),
    Bit("fl8_empty", 24),
    Bit("fl7_empty", 23),
    Bit("fl6_empty", 22),
    Bit("fl5_empty", 21),
    Bit("fl4_empty", 20),
    Bit("fl3_empty", 19),
    Bit("fl2_empty", 18),
    Bit("fl1_empty", 17),
    Bit("fl0_empty", 16),
    Bit("rspq7_disable", 15),
    Bit("rspq6_disable", 14),
    Bit("rspq5_disable", 13),
    Bit("rspq4_disable", 12),
    Bit("rspq3_disable", 11),
    Bit("rspq2_disable", 10),
    Bit("rspq1_disable", 9),
    Bit("rspq0_disable", 8),
    Bit("rspq7_starved", 7),
    Bit("rspq6_starved", 6),
    Bit("rspq5_starved", 5),
    Bit("rspq4_starved", 4),
    Bit("rspq3_starved", 3),
    Bit("rspq2_starved", 2),
    Bit("rspq1_starved", 1),
    Bit("rspq0_starved", 0),
};

constexpr Field kEgrPrtyCntFields[] = {
    Bits("res0", 31, 5),
    Bits("count", 4, 0),
};

constexpr Field kRcqDrbThrshFields[] = {
    Bits("res1", 31, 27),
    Bits("hi_rqdb_thrsh", 26, 16),
    Bits("res0", 15, 11),
    Bits("lo_rqdb_thrsh", 10, 0),
};

constexpr Field kIntrCauseFields[] = {
    Bits("res0", 31, 14),
    Bit("hictl_drb_droperr", 13),
    Bit("loctl_drb_droperr", 12),
    Bit("hipio_drb_droperr", 11),
    Bit("lopio_drb_droperr", 10),
    Bit("hicrdt_uflo_err", 9),
    Bit("locrdt_uflo_err", 8),
    Bit("hipri_db_full", 7),
    Bit("hipri_db_empty", 6),
    Bit("lopri_db_full", 5),
    Bit("lopri_db_empty", 4),
    Bit("rspq_crdt_ovflo", 2),
    Bit("fl_empty", 1),
    Bit("rq_starve", 0),
};

constexpr Field kEgrPrtyCntAt064Fields[] = {
    Bits("timer", 30, 8),
    Bits("threshold", 7, 0),
};

constexpr Field kOcoBaseFields[] = {
    Bits("base1", 15, 0),
    Bits("base0", 31, 16),
};

constexpr Register kSge3Registers[] = {
    {"ctrl", 0x000, kCtrlFields},
    {"doorbell", 0x004, kDoorbellFields},
    {"gts", 0x008, kGtsFields},
    {"cxt_cmd", 0x00C, kCxtCmdFields},
    {"cxt_data", 0x010, {}},
    {"cxt_data", 0x018, {}},
    {"cxt_data", 0x020, {}},
    {"cxt_data", 0x028, {}},
    {"rq_crdt_rtn", 0x030, kRqCrdtRtnFields},
    {"rq_crdt_peek", 0x034, kRqCrdtRtnFields},
    {"hpdb_hithrsh", 0x038, {}},
    {"hpdb_lothrsh", 0x03C, {}},
    {"lpdb_hithrsh", 0x040, {}},
    {"lpdb_lothrsh", 0x044, {}},
    {"fl_rspq_csr", 0x04C, kFlRspqCsrFields},
    {"egr_prty_cnt", 0x050, kEgrPrtyCntFields},
    {"rcq_drb_thrsh", 0x054, kRcqDrbThrshFields},
    {"egr_cntxt_baddr", 0x058, {}},
    {"intr_cause", 0x05C, kIntrCauseFields},
    {"intr_enable", 0x060, kIntrCauseFields},
    {"egr_prty_cnt", 0x064, kEgrPrtyCntAt064Fields},
    {"tmr_tick", 0x068, {}},
    {"cq_cntxt_baddr", 0x06C, {}},
    {"oco_base", 0x070, kOcoBaseFields},
    {"db_prty_thrsh", 0x074, {}},
};

}  // namespace

constinit const Block kSge3Block{"sge3", 0x000, 0x07C, kSge3Registers};

}  // namespace qv::regmap
