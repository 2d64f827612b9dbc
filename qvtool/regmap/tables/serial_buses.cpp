// SMBus, I2C master, MDIO and serial flash interfaces: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kGlobalTimeCfgFields[] = {
    Bits("microcntcfg", 7, 0),
    Bits("macrocntcfg", 11, 8),
    Bits("res0", 31, 12),
};

constexpr Field kMstTimeoutCfgFields[] = {
    Bits("timeoutcfg", 23, 0),
    Bits("res0", 31, 24),
};

constexpr Field kMstCtlCfgFields[] = {
    Bit("mstctlen", 0),
    Bit("mstreset", 1),
    Bits("res0", 5, 2),
    Bits("msttxbytecfg", 11, 6),
    Bits("mstrxbytecfg", 17, 12),
    Bits("res1", 29, 18),
    Bit("mstfifodbgclr", 30),
    Bit("mstfifodbg", 31),
};

constexpr Field kMstCtlStsFields[] = {
    Bit("mstbusysts", 0),
    Bits("res0", 5, 1),
    Bits("msttxbytecnt", 11, 6),
    Bits("mstrxbytecnt", 17, 12),
    Bits("res1", 31, 18),
};

constexpr Field kSlvCtlCfgFields[] = {
    Bit("slvctlen", 0),
    Bit("slvreset", 1),
    Bit("slvalrtset", 2),
    Bit("res0", 3),
    Bits("slvaddrcfg", 10, 4),
    Bits("res1", 29, 11),
    Bit("slvfifodbgclr", 30),
    Bit("slvfifodbg", 31),
};

constexpr Field kSlvCtlStsFields[] = {
    Bit("slvbusysts", 0),
    Bit("res0", 1),
    Bit("slvalrtsts", 2),
    Bits("res1", 5, 3),
    Bits("slvfifocnt", 11, 6),
    Bits("res2", 31, 12),
};

constexpr Field kIntrEnableFields[] = {
    Bit("mstdoneint", 0),
    Bit("mstlostarbint", 1),
    Bit("mstnackint", 2),
    Bit("msttimeoutint", 3),
    Bit("slvrdrdyint", 4),
    Bit("slvdoneint", 5),
    Bit("slverrint", 6),
    Bit("slvtimeoutint", 7),
    Bits("res0", 31, 8),
};

constexpr Field kDbgDataFields[] = {
    Bits("debugdatal", 15, 0),
    Bits("debugdatah", 31, 16),
};

constexpr Field kCfgFields[] = {
    Bits("clkdiv", 11, 0),
    Bits("res0", 31, 12),
};

constexpr Field kDataFields[] = {
    Bits("data", 7, 0),
    Bits("res0", 31, 8),
};

constexpr Field kOpFields[] = {
    Bit("op", 0),
    Bit("cont", 1),
    Bits("res0", 29, 2),
    Bit("ack", 30),
    Bit("busy", 31),
};

constexpr Field kCfgAt6B0Fields[] = {
    Bit("mdien", 0),
    Bit("mdiinv", 1),
    Bit("preen", 2),
    Bits("st", 4, 3),
    Bits("clkdiv", 12, 5),
    Bits("res0", 31, 13),
};

constexpr Field kAddrFields[] = {
    Bits("regaddr", 4, 0),
    Bits("phyaddr", 9, 5),
    Bits("res0", 31, 10),
};

constexpr Field kDataAt6B8Fields[] = {
    Bits("data", 15, 0),
    Bits("res0", 31, 16),
};

constexpr Field kOpAt6BCFields[] = {
    Bits("op", 1, 0),
    Bit("inc", 2),
    Bits("res0", 30, 3),
    Bit("busy", 31),
};

constexpr Field kOpAt6DCFields[] = {
    Bit("op", 0),
    Bits("bytecnt", 2, 1),
    Bit("cont", 3),
    Bits("res0", 30, 4),
    Bit("busy", 31),
};

constexpr Register kSmb0Registers[] = {
    {"global_time_cfg", 0x660, kGlobalTimeCfgFields},
    {"mst_timeout_cfg", 0x664, kMstTimeoutCfgFields},
    {"mst_ctl_cfg", 0x668, kMstCtlCfgFields},
    {"mst_ctl_sts", 0x66C, kMstCtlStsFields},
    {"mst_tx_fifo_rdwr", 0x670, {}},
    {"mst_rx_fifo_rdwr", 0x674, {}},
    {"slv_timeout_cfg", 0x678, kMstTimeoutCfgFields},
    {"slv_ctl_cfg", 0x67C, kSlvCtlCfgFields},
    {"slv_ctl_sts", 0x680, kSlvCtlStsFields},
    {"slv_fifo_rdwr", 0x684, {}},
    {"slv_cmd_fifo_rdwr", 0x688, {}},
    {"intr_enable", 0x68C, kIntrEnableFields},
    {"intr_cause", 0x690, kIntrEnableFields},
    {"dbg_data", 0x694, kDbgDataFields},
};

constexpr Register kI2cm0Registers[] = {
    {"cfg", 0x6A0, kCfgFields},
    {"data", 0x6A4, kDataFields},
    {"op", 0x6A8, kOpFields},
};

constexpr Register kMi1Registers[] = {
    {"cfg", 0x6B0, kCfgAt6B0Fields},
    {"addr", 0x6B4, kAddrFields},
    {"data", 0x6B8, kDataAt6B8Fields},
    {"op", 0x6BC, kOpAt6BCFields},
};

constexpr Register kSf1Registers[] = {
    {"data", 0x6D8, {}},
    {"op", 0x6DC, kOpAt6DCFields},
};

}  // namespace

constinit const Block kSmb0Block{"smb0", 0x660, 0x694, kSmb0Registers};
constinit const Block kI2cm0Block{"i2cm0", 0x6A0, 0x6A8, kI2cm0Registers};
constinit const Block kMi1Block{"mi1", 0x6B0, 0x6BC, kMi1Registers};
constinit const Block kSf1Block{"sf1", 0x6D8, 0x6DC, kSf1Registers};

}  // namespace qv::regmap
