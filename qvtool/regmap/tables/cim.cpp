// Embedded microprocessor interface: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kCfgFields[] = {
    Bit("upcrst", 0),
    Bit("bootsdram", 1),
    Bits("bootaddr", 31, 2),
};

constexpr Field kFlashBaseAddrFields[] = {
    Bits("flashbaseaddr", 23, 0),
    Bits("res0", 31, 24),
};

constexpr Field kFlashBaseAddrAt288Fields[] = {
    Bits("flashsize", 23, 0),
    Bits("res0", 31, 24),
};

constexpr Field kUpSpareIntFields[] = {
    Bit("rsvdspace", 0),
    Bit("sdramrange", 1),
    Bit("flashrange", 2),
    Bit("blkrdboot", 3),
    Bit("blkwrboot", 4),
    Bit("wrblkflash", 5),
    Bit("sglwrflash", 6),
    Bit("blkrdflash", 7),
    Bit("blkwrflash", 8),
    Bit("blkrdctl", 9),
    Bit("blkwrctl", 10),
    Bit("blkrdpl", 11),
    Bit("blkwrpl", 12),
    Bit("prefdrop", 13),
    Bit("timer0", 14),
    Bit("timer1", 15),
    Bits("res0", 31, 16),
};

constexpr Field kIbqFullaThrshFields[] = {
    Bit("ibq0fullthrsh", 0),
    Bits("res0", 7, 1),
    Bits("ibq1fullthrsh", 16, 8),
    Bits("res1", 23, 17),
};

constexpr Field kIbqFullbThrshFields[] = {
    Bit("ibq2fullthrsh", 0),
    Bits("res0", 7, 1),
    Bits("ibq3fullthrsh", 16, 8),
    Bits("res1", 23, 17),
};

constexpr Field kHostAccCtrlFields[] = {
    Bits("hostaddr", 15, 0),
    Bit("hostwrite", 16),
    Bit("hostbusy", 17),
    Bits("res0", 31, 18),
};

constexpr Field kIbqDbgCfgFields[] = {
    Bit("dbgen", 0),
    Bit("dbgbusy", 1),
    Bit("dbgwr", 2),
    Bits("dbgqid", 4, 3),
    Bits("res0", 15, 5),
    Bits("dbgaddr", 24, 16),
    Bits("res1", 31, 25),
};

constexpr Field kCdebugdataFields[] = {
    Bits("cdebugdatal", 15, 0),
    Bits("cdebugdatah", 31, 16),
};

constexpr Register kCimRegisters[] = {
    {"cfg", 0x280, kCfgFields},
    {"flash_base_addr", 0x284, kFlashBaseAddrFields},
    {"flash_base_addr", 0x288, kFlashBaseAddrAt288Fields},
    {"sdram_base_addr", 0x28C, {}},
    {"sdram_addr_size", 0x290, {}},
    {"up_spare_int", 0x294, kUpSpareIntFields},
    {"host_intr_cause", 0x298, kUpSpareIntFields},
    {"host_intr_status", 0x29C, kUpSpareIntFields},
    {"up_intr_cause", 0x2A0, kUpSpareIntFields},
    {"up_intr_status", 0x2A4, kUpSpareIntFields},
    {"ibq_fulla_thrsh", 0x2A8, kIbqFullaThrshFields},
    {"ibq_fullb_thrsh", 0x2AC, kIbqFullbThrshFields},
    {"host_acc_ctrl", 0x2B0, kHostAccCtrlFields},
    {"host_acc_data", 0x2B4, {}},
    {"ibq_dbg_cfg", 0x2C0, kIbqDbgCfgFields},
    {"obq_dbg_cfg", 0x2C4, kIbqDbgCfgFields},
    {"ibqdbgdata", 0x2C8, {}},
    {"obqdbgdata", 0x2CC, {}},
    {"cdebugdata", 0x2D0, kCdebugdataFields},
};

}  // namespace

constinit const Block kCimBlock{"cim", 0x280, 0x2D0, kCimRegisters};

}  // namespace qv::regmap
