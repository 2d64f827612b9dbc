// Lookup engine: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kBufConfigFields[] = {
    Bits("set_pd", 2, 0),
    Bits("set_pu", 5, 3),
    Bits("cal_pd", 8, 6),
    Bits("cal_pu", 11, 9),
    Bits("man_pd", 14, 12),
    Bits("man_pu", 17, 15),
    Bit("imp_sel", 18),
    Bit("imp_upd_mode", 19),
    Bit("sgl_cal_en", 20),
    Bit("cal_error", 21),
    Bit("cal_busy", 22),
    Bits("res0", 24, 23),
    Bit("read", 25),
    Bit("gddri", 26),
    Bit("gddrii", 27),
    Bit("gddriii", 28),
    Bit("term60", 29),
    Bit("term150", 30),
    Bit("term300_240", 31),
};

constexpr Field kDbConfigFields[] = {
    Bit("mode", 0),
    Bit("tmrst", 1),
    Bit("tmrdy", 2),
    Bit("tmcfgwren", 3),
    Bit("dbgien", 4),
    Bit("mbusen", 5),
    Bit("prtyen", 6),
    Bits("synmde", 8, 7),
    Bit("tm_io_pdown", 9),
    Bits("res0", 15, 10),
    Bit("build", 16),
    Bit("compen", 17),
    Bits("num_lip", 23, 18),
    Bits("prt_cnt", 25, 24),
    Bits("prt_type_lo", 27, 26),
    Bits("prt_size", 29, 28),
    Bit("prt_type_hi", 30),
    Bit("res1", 31),
};

constexpr Field kDbRoutingTableIndexFields[] = {
    Bits("index", 21, 0),
    Bits("res0", 31, 22),
};

constexpr Register kMc5aRegisters[] = {
    {"buf_config", 0x700, kBufConfigFields},
    {"db_config", 0x704, kDbConfigFields},
    {"db_routing_table_index", 0x70C, kDbRoutingTableIndexFields},
    {"db_server_table_index", 0x714, kDbRoutingTableIndexFields},
};

}  // namespace

constinit const Block kMc5aBlock{"mc5a", 0x700, 0x7FC, kMc5aRegisters};

}  // namespace qv::regmap
