// Port switch: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kCfgFields[] = {
    Bit("port0active", 0),
    Bit("port1active", 1),
    Bit("tptxport0en", 2),
    Bit("tptxport1en", 3),
    Bit("tprxporten", 4),
    Bit("tptxport0size", 5),
    Bit("tptxport1size", 6),
    Bit("tprxportsize", 7),
    Bits("sgetpqid", 10, 8),
    Bits("res0", 31, 11),
};

constexpr Field kDrrCfg1Fields[] = {
    Bits("rldwttpd0", 10, 0),
    Bits("rldwttpd1", 21, 11),
    Bits("res0", 31, 22),
};

constexpr Field kDrrCfg2Fields[] = {
    Bits("rldwttotal", 11, 0),
    Bits("res0", 31, 12),
};

constexpr Field kMcaStatusFields[] = {
    Bits("mcadepth", 11, 0),
    Bits("mcapktcnt", 31, 12),
};

constexpr Field kRxTpCntFields[] = {
    Bits("tpcnt", 23, 0),
    Bits("tpdiscnt", 31, 24),
};

constexpr Field kIntEnableFields[] = {
    Bits("tx0tpparerrenb", 1, 0),
    Bits("tx1tpparerrenb", 3, 2),
    Bits("rxtpparerrenb", 5, 4),
    Bits("mcaparerrenb", 8, 6),
    Bits("res0", 31, 9),
};

constexpr Register kMps0Registers[] = {
    {"cfg", 0x600, kCfgFields},
    {"drr_cfg1", 0x604, kDrrCfg1Fields},
    {"drr_cfg2", 0x608, kDrrCfg2Fields},
    {"mca_status", 0x60C, kMcaStatusFields},
    {"rx_tp_cnt", 0x618, kRxTpCntFields},
    {"int_enable", 0x61C, kIntEnableFields},
    {"int_cause", 0x620, kIntEnableFields},
};

}  // namespace

constinit const Block kMps0Block{"mps0", 0x600, 0x620, kMps0Registers};

}  // namespace qv::regmap
