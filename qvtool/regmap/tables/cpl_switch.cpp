// Control-message switch: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kCntrlFields[] = {
    Bit("cim_enable", 0),
    Bit("sge_enable", 1),
    Bit("switch_table_enable", 2),
    Bit("cpu_no_enable", 3),
    Bits("res0", 7, 4),
    Bits("cpl_pkt_tid", 31, 8),
};

constexpr Field kTblIdxFields[] = {
    Bits("switch_table_idx", 3, 0),
    Bits("res0", 31, 4),
};

constexpr Field kZeroErrFields[] = {
    Bits("zero_cmd", 7, 0),
    Bits("res0", 31, 8),
};

constexpr Field kIntEnableFields[] = {
    Bit("zero_switch_err", 0),
    Bit("cim_framing_err", 1),
    Bit("sge_framing_err", 2),
    Bit("tp_framing_err", 3),
    Bit("cim_ovlf_err", 4),
    Bits("res0", 31, 5),
};

constexpr Field kMapTblIdxFields[] = {
    Bits("cpl_map_tbl_idx", 7, 0),
    Bits("res0", 31, 8),
};

constexpr Field kMapTblDataFields[] = {
    Bits("cpl_map_tbl_data", 7, 0),
    Bits("res0", 31, 8),
};

constexpr Register kCplSwitchRegisters[] = {
    {"cntrl", 0x640, kCntrlFields},
    {"tbl_idx", 0x644, kTblIdxFields},
    {"tbl_data", 0x648, {}},
    {"zero_err", 0x64C, kZeroErrFields},
    {"int_enable", 0x650, kIntEnableFields},
    {"int_cause", 0x654, kIntEnableFields},
    {"map_tbl_idx", 0x658, kMapTblIdxFields},
    {"map_tbl_data", 0x65C, kMapTblDataFields},
};

}  // namespace

constinit const Block kCplSwitchBlock{"cpl_switch", 0x640, 0x65C, kCplSwitchRegisters};

}  // namespace qv::regmap
