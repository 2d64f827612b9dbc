// Interrupt summary, reset and revision: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kIntrEnable0Fields[] = {
    Bit("sge3", 0),
    Bit("pci", 1),
    Bit("mc7_pmrx", 2),
    Bit("mc7_pmtx", 3),
    Bit("mc7_cm", 4),
    Bit("cim", 5),
    Bit("tp1", 6),
    Bit("ulp2_rx", 7),
    Bit("ulp2_tx", 8),
    Bit("pm1_rx", 9),
    Bit("pm1_tx", 10),
    Bit("mps0", 11),
    Bit("cpl_switch", 12),
    Bit("mi1", 13),
    Bit("i2cm0", 14),
    Bit("smb0", 15),
    Bit("res0", 16),
    Bit("sf1", 17),
    Bit("mc5a", 18),
    Bit("xgmac0", 19),
    Bit("xgmac1", 20),
    Bits("res1", 22, 21),
    Bit("n5dbg", 23),
    Bit("ext", 24),
    Bits("res2", 31, 25),
};

constexpr Field kRstFields[] = {
    Bit("crstwarmmode", 0),
    Bit("crstwrm", 1),
    Bits("res0", 31, 2),
};

constexpr Field kRevFields[] = {
    Bits("rev", 3, 0),
    Bits("res0", 31, 4),
};

constexpr Register kPl3Registers[] = {
    {"intr_enable0", 0x6E0, kIntrEnable0Fields},
    {"intr_cause0", 0x6E4, kIntrEnable0Fields},
    {"intr_enable1", 0x6E8, kIntrEnable0Fields},
    {"intr_cause1", 0x6EC, kIntrEnable0Fields},
    {"rst", 0x6F0, kRstFields},
    {"rev", 0x6F4, kRevFields},
    {"cli", 0x6F8, {}},
};

}  // namespace

constinit const Block kPl3Block{"pl3", 0x6E0, 0x6F8, kPl3Registers};

}  // namespace qv::regmap
