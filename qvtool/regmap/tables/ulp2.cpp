// Upper-layer protocol receive and transmit: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kCtlFields[] = {
    Bit("tddptagtcb", 0),
    Bit("iscsitagtcb", 1),
    Bit("pagepodme", 2),
    Bit("prdma_ddp_version", 3),
    Bit("roundrobin", 4),
    Bits("res0", 15, 5),
    Bits("pcmd0threshold", 23, 16),
    Bits("pcmd1threshold", 31, 24),
};

constexpr Field kIntEnableFields[] = {
    Bit("parerr", 0),
    Bits("res0", 11, 1),
};

constexpr Field kIscsiLlimitFields[] = {
    Bits("res0", 5, 0),
    Bits("limit", 31, 6),
};

constexpr Field kIscsiTagmaskFields[] = {
    Bits("res0", 5, 0),
    Bits("mask", 31, 6),
};

constexpr Field kIscsiPszFields[] = {
    Bits("hpz0", 3, 0),
    Bits("res0", 7, 4),
    Bits("hpz1", 11, 8),
    Bits("res1", 15, 12),
    Bits("hpz2", 19, 16),
    Bits("res2", 23, 20),
    Bits("hpz3", 27, 24),
    Bits("res3", 31, 28),
};

constexpr Field kConfigFields[] = {
    Bit("config_rr_arb", 0),
    Bits("res0", 31, 1),
};

constexpr Field kIntEnableAt584Fields[] = {
    Bit("pbl_bound_err_ch0", 0),
    Bit("pbl_bound_err_ch1", 1),
    Bits("res0", 31, 2),
};

constexpr Field kCplPackSizeFields[] = {
    Bits("ch0size1", 7, 0),
    Bits("ch0size2", 15, 8),
    Bits("ch1size1", 23, 16),
    Bits("ch1size2", 31, 24),
};

constexpr Register kUlp2RxRegisters[] = {
    {"ctl", 0x500, kCtlFields},
    {"int_enable", 0x504, kIntEnableFields},
    {"int_cause", 0x508, kIntEnableFields},
    {"iscsi_llimit", 0x50C, kIscsiLlimitFields},
    {"iscsi_ulimit", 0x510, kIscsiLlimitFields},
    {"iscsi_tagmask", 0x514, kIscsiTagmaskFields},
    {"iscsi_psz", 0x518, kIscsiPszFields},
    {"tddp_llimit", 0x51C, kIscsiLlimitFields},
    {"tddp_ulimit", 0x520, kIscsiLlimitFields},
    {"tddp_tagmask", 0x524, kIscsiTagmaskFields},
    {"tddp_psz", 0x528, kIscsiPszFields},
    {"stag_llimit", 0x52C, kIscsiLlimitFields},
    {"stag_ulimit", 0x530, kIscsiLlimitFields},
    {"rq_llimit", 0x534, kIscsiLlimitFields},
    {"rq_ulimit", 0x538, kIscsiLlimitFields},
    {"pbl_llimit", 0x53C, kIscsiLlimitFields},
    {"pbl_ulimit", 0x540, kIscsiLlimitFields},
};

constexpr Register kUlp2TxRegisters[] = {
    {"config", 0x580, kConfigFields},
    {"int_enable", 0x584, kIntEnableAt584Fields},
    {"int_cause", 0x588, kIntEnableAt584Fields},
    {"tpt_llimit", 0x58C, {}},
    {"tpt_ulimit", 0x590, {}},
    {"pbl_llimit", 0x594, {}},
    {"pbl_ulimit", 0x598, {}},
    {"cpl_err_offset", 0x59C, {}},
    {"cpl_err_mask", 0x5A0, {}},
    {"cpl_pack_size", 0x5A8, kCplPackSizeFields},
};

}  // namespace

constinit const Block kUlp2RxBlock{"ulp2_rx", 0x500, 0x540, kUlp2RxRegisters};
constinit const Block kUlp2TxBlock{"ulp2_tx", 0x580, 0x5A8, kUlp2TxRegisters};

}  // namespace qv::regmap
