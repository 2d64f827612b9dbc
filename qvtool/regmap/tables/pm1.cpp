// Payload managers for receive and transmit: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kCfgFields[] = {
    Bits("ch0inputside", 31, 16),
    Bits("ch0outputside", 31, 16),
};

constexpr Field kModeFields[] = {
    Bit("priority_ch", 1),
    Bit("stat_channel", 1),
    Bits("res0", 31, 2),
};

constexpr Field kIntEnableFields[] = {
    Bits("o_e_c_spi_par_err", 2, 0),
    Bits("i_e_c_spi_par_err", 5, 3),
    Bit("o_e_c_spi1_ofifo2xtxframeing_err", 6),
    Bit("o_e_c_spi0_ofifo2xtxframeing_err", 7),
    Bit("o_e_c_spi1_txframeing_err", 8),
    Bit("o_e_c_spi0_txframeing_err", 9),
    Bit("o_e_c_spi1_rxframeing_err", 10),
    Bit("i_e_c_spi1_txframeing_err", 12),
    Bit("i_e_c_spi0_txframeing_err", 13),
    Bit("i_e_c_spi1_rxframeing_err", 14),
    Bit("i_e_c_spi0_rxframeing_err", 15),
    Bit("i_e_c_spi1_ofifo2xrxframeing_err", 16),
    Bit("i_e_c_spi0_ofifo2xrxframeing_err", 17),
    Bit("zero_c_cmd_err", 18),
    Bits("res0", 31, 19),
};

constexpr Register kPm1RxRegisters[] = {
    {"cfg", 0x5C0, kCfgFields},
    {"mode", 0x5C4, kModeFields},
    {"stat_config", 0x5C8, {}},
    {"stat_count", 0x5CC, {}},
    {"stat_msw", 0x5D0, {}},
    {"stat_lsw", 0x5D4, {}},
    {"int_enable", 0x5D8, kIntEnableFields},
    {"int_cause", 0x5DC, kIntEnableFields},
};

constexpr Register kPm1TxRegisters[] = {
    {"cfg", 0x5E0, kCfgFields},
    {"mode", 0x5E4, kModeFields},
    {"stat_config", 0x5E8, {}},
    {"stat_count", 0x5EC, {}},
    {"stat_msw", 0x5F0, {}},
    {"stat_lsw", 0x5F4, {}},
    {"int_enable", 0x5F8, kIntEnableFields},
    {"int_cause", 0x5FC, kIntEnableFields},
};

}  // namespace

constinit const Block kPm1RxBlock{"pm1_rx", 0x5C0, 0x5DC, kPm1RxRegisters};
constinit const Block kPm1TxBlock{"pm1_tx", 0x5E0, 0x5FC, kPm1TxRegisters};

}  // namespace qv::regmap
