// Debug, GPIO and PLL control: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kDbg0CfgFields[] = {
    Bits("clkselect", 3, 0),
    Bits("regselect", 3, 0),
    Bits("moduleselect", 8, 4),
    Bits("res0", 31, 17),
};

constexpr Field kDbg0EnFields[] = {
    Bit("porten", 0),
    Bits("res0", 3, 1),
    Bit("ddren", 4),
    Bits("res1", 7, 5),
    Bit("sdrbyte0", 8),
    Bits("res2", 31, 9),
};

constexpr Field kGpioEnFields[] = {
    Bit("gpio0_out_val", 0),
    Bit("gpio1_out_val", 1),
    Bit("gpio2_out_val", 2),
    Bit("gpio3_out_val", 3),
    Bit("gpio4_out_val", 4),
    Bit("gpio5_out_val", 5),
    Bit("gpio6_out_val", 6),
    Bit("gpio7_out_val", 7),
    Bit("gpio8_out_val", 8),
    Bit("gpio9_out_val", 9),
    Bit("gpio10_out_val", 10),
    Bit("gpio11_out_val", 11),
    Bits("res0", 15, 12),
    Bit("gpio0_oen", 16),
    Bit("gpio1_oen", 17),
    Bit("gpio2_oen", 18),
    Bit("gpio3_oen", 19),
    Bit("gpio4_oen", 20),
    Bit("gpio5_oen", 21),
    Bit("gpio6_oen", 22),
    Bit("gpio7_oen", 23),
    Bit("gpio8_oen", 24),
    Bit("gpio9_oen", 25),
    Bit("gpio10_oen", 26),
    Bit("gpio11_oen", 27),
    Bits("res1", 31, 28),
};

constexpr Field kGpioInFields[] = {
    Bits("res0", 31, 12),
    Bit("gpio0_in", 0),
    Bit("gpio1_in", 1),
    Bit("gpio2_in", 2),
    Bit("gpio3_in", 3),
    Bit("gpio4_in", 4),
    Bit("gpio5_in", 5),
    Bit("gpio6_in", 6),
    Bit("gpio7_in", 7),
    Bit("gpio8_in", 8),
    Bit("gpio9_in", 9),
    Bit("gpio10_in", 10),
    Bit("gpio11_in", 11),
};

constexpr Field kRstValueFields[] = {
    Bits("debugdata", 7, 0),
    Bits("res0", 31, 8),
};

constexpr Field kPllOclkPadEnFields[] = {
    Bit("c_oclk_en", 0),
    Bits("res0", 3, 1),
    Bit("m_oclk_en", 4),
    Bit("r_oclk_en", 8),
    Bits("res1", 11, 9),
    Bits("res2", 11, 9),
    Bit("u_oclk_en", 12),
    Bits("res3", 15, 13),
    Bit("pcix_oclk_en", 16),
    Bits("res4", 19, 17),
    Bit("pcie_oclk_en", 20),
    Bits("res5", 31, 21),
};

constexpr Field kPllLockFields[] = {
    Bit("c_lock", 0),
    Bits("res0", 3, 1),
    Bit("m_lock", 4),
    Bit("r_lock", 8),
    Bits("res1", 11, 9),
    Bits("res2", 11, 9),
    Bit("u_lock", 12),
    Bits("res3", 15, 13),
    Bit("pcix_lock", 16),
    Bits("res4", 19, 17),
    Bit("pcie_lock", 20),
    Bits("res5", 31, 21),
};

constexpr Field kSerdesRbcCfgFields[] = {
    Bit("pe_rbc_dbg_en", 0),
    Bits("res0", 3, 1),
    Bit("pe_rbc_lane_sel", 4),
    Bit("x_serdes_sel", 8),
    Bits("res1", 11, 9),
    Bits("res2", 11, 9),
    Bit("x_rbc_dbg_en", 12),
    Bits("res3", 15, 13),
    Bit("x_rbc_lane_sel", 16),
    Bits("res4", 31, 17),
};

constexpr Field kGpioActLowFields[] = {
    Bit("gpio0_act_low", 0),
    Bit("gpio1_act_low", 1),
    Bit("gpio2_act_low", 2),
    Bit("gpio3_act_low", 3),
    Bit("gpio4_act_low", 4),
    Bit("gpio5_act_low", 5),
    Bit("gpio6_act_low", 6),
    Bit("gpio7_act_low", 7),
    Bit("gpio8_act_low", 8),
    Bit("gpio9_act_low", 9),
    Bit("gpio10_act_low", 10),
    Bit("gpio11_act_low", 11),
    Bits("res0", 31, 12),
};

constexpr Register kN5dbgRegisters[] = {
    {"dbg0_cfg", 0x0C0, kDbg0CfgFields},
    {"dbg0_en", 0x0C4, kDbg0EnFields},
    {"dbg1_cfg", 0x0C8, kDbg0CfgFields},
    {"dbg1_en", 0x0CC, kDbg0EnFields},
    {"gpio_en", 0x0D0, kGpioEnFields},
    {"gpio_in", 0x0D4, kGpioInFields},
    {"intr_enable", 0x0D8, kGpioInFields},
    {"intr_cause", 0x0DC, kGpioInFields},
    {"rst_value", 0x0E0, kRstValueFields},
    {"pll_oclk_pad_en", 0x0E4, kPllOclkPadEnFields},
    {"pll_lock", 0x0E8, kPllLockFields},
    {"serdes_rbc_cfg", 0x0EC, kSerdesRbcCfgFields},
    {"gpio_act_low", 0x0F0, kGpioActLowFields},
};

}  // namespace

constinit const Block kN5dbgBlock{"n5dbg", 0x0C0, 0x0F0, kN5dbgRegisters};

}  // namespace qv::regmap
