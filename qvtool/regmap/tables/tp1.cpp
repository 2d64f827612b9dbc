// TCP protocol engine: register and field tables.
#include "blocks.h"

namespace qv::regmap {
namespace {

constexpr Field kInConfigFields[] = {
    Bit("ctunnel", 0),
    Bit("cethernet", 1),
    Bit("res0", 2),
    Bit("ccpl", 3),
    Bit("res1", 4),
    Bit("cchecksumcheckip", 5),
    Bit("cchecksumchecktcp", 6),
    Bit("etunnel", 7),
    Bit("eethernet", 8),
    Bit("res2", 9),
    Bit("ecpl", 10),
    Bit("res3", 11),
    Bit("echecksumcheckip", 12),
    Bit("echecksumchecktcp", 13),
    Bit("nicmode", 14),
    Bit("ipv6_en", 15),
    Bits("dbmaxopcnt", 23, 16),
    Bit("txfbarbprio", 24),
    Bit("rxfbarbprio", 25),
    Bits("res4", 31, 26),
};

constexpr Field kOutConfigFields[] = {
    Bit("cethernet", 0),
    Bit("res0", 1),
    Bit("ccpl", 2),
    Bit("res1", 3),
    Bit("cchecksumgenerateip", 4),
    Bit("cchecksumgeneratetcp", 5),
    Bit("eethernet", 6),
    Bit("res2", 7),
    Bit("ecpl", 8),
    Bit("res3", 9),
    Bit("echecksumgenerateip", 10),
    Bit("echecksumgeneratetcp", 11),
};

constexpr Field kGlobalConfigFields[] = {
    Bits("ipttl", 7, 0),
    Bits("res1", 7, 0),
    Bits("tcamserveruse", 9, 8),
    Bit("qosmapping", 10),
    Bit("tcpchecksumoffload", 11),
    Bit("udpchecksumoffload", 12),
    Bit("ipchecksumoffload", 13),
    Bit("ipidentsplit", 14),
    Bit("pathmtu", 15),
    Bit("res0", 16),
    Bits("fivetuplelookup", 18, 17),
    Bit("fragmentdrop", 19),
    Bit("pingdrop", 20),
    Bit("protectedmode", 21),
    Bit("syncookienooptions", 22),
    Bit("attackfilterenable", 23),
    Bit("txpacingenable", 24),
    Bit("rxflowcontroldisable", 25),
};

constexpr Field kCmmSizeFields[] = {
    Bits("cmm_size", 27, 0),
    Bits("cmm_res0", 31, 28),
};

constexpr Field kCmmMmBaseFields[] = {
    Bits("cmmemmgrbase", 27, 0),
    Bits("res0", 31, 28),
};

constexpr Field kCmmTimerBaseFields[] = {
    Bits("cmtimerbase", 27, 0),
    Bits("res0", 31, 28),
};

constexpr Field kPmmSizeFields[] = {
    Bits("pmm_size", 27, 0),
    Bits("res0", 31, 28),
};

constexpr Field kPmmRxMaxPageFields[] = {
    Bits("pmmaxpage", 20, 0),
    Bits("res0", 31, 21),
};

constexpr Field kTcpOptionsFields[] = {
    Bits("timestampsmode", 1, 0),
    Bits("windowscalemode", 3, 2),
    Bits("sackmode", 5, 4),
    Bits("res0", 7, 6),
    Bit("sackrx", 8),
    Bit("sacktx", 9),
    Bit("mtuenable", 10),
    Bits("res1", 15, 11),
    Bits("mtudefault", 31, 16),
};

constexpr Field kDackConfigFields[] = {
    Bit("mode", 0),
    Bit("autoenable", 1),
    Bit("autocarefull", 2),
    Bits("mssthreshold", 4, 3),
    Bits("bytethreshold", 24, 5),
    Bits("autostate1", 24, 5),
    Bits("autostate2", 28, 27),
    Bits("autostate3", 30, 29),
};

constexpr Field kTcpBackoffReg0Fields[] = {
    Bits("timerbackoffindex0", 7, 0),
    Bits("timerbackoffindex1", 15, 8),
    Bits("timerbackoffindex2", 23, 16),
    Bits("timerbackoffindex3", 31, 24),
};

constexpr Field kTcpBackoffReg1Fields[] = {
    Bits("timerbackoffindex4", 7, 0),
    Bits("timerbackoffindex5", 15, 8),
    Bits("timerbackoffindex6", 23, 16),
    Bits("timerbackoffindex7", 31, 24),
};

constexpr Field kTcpBackoffReg2Fields[] = {
    Bits("timerbackoffindex8", 7, 0),
    Bits("timerbackoffindex9", 15, 8),
    Bits("timerbackoffindex10", 23, 16),
    Bits("timerbackoffindex11", 31, 24),
};

constexpr Field kTcpBackoffReg3Fields[] = {
    Bits("timerbackoffindex12", 7, 0),
    Bits("timerbackoffindex13", 15, 8),
    Bits("timerbackoffindex14", 23, 16),
    Bits("timerbackoffindex15", 31, 24),
};

constexpr Field kParaReg0Fields[] = {
    Bits("res0", 19, 0),
    Bits("dupackthresh", 23, 20),
    Bits("initcwnd", 26, 24),
    Bits("res1", 31, 27),
};

constexpr Field kParaReg1Fields[] = {
    Bits("initialssthresh", 15, 0),
    Bits("initrwnd", 31, 16),
};

constexpr Field kParaReg2Fields[] = {
    Bits("rxcoelescesize", 15, 0),
    Bits("maxrxdata", 31, 16),
};

constexpr Field kParaReg3Fields[] = {
    Bit("rxcoelescepshen", 0),
    Bit("rxcoelesceenable", 1),
    Bits("cngctrlmode", 3, 2),
    Bit("txurgmode", 4),
    Bit("rxurgmode", 5),
    Bits("res0", 7, 6),
    Bit("txpaceauto", 8),
    Bit("txpacefixed", 9),
    Bit("txpaceautostrict", 10),
    Bit("txpacefixedstrict", 11),
    Bits("rxfragenable", 14, 12),
    Bit("res1", 15),
    Bits("txdataackidx", 19, 16),
    Bit("tunnelcngdrop0", 20),
    Bit("tunnelcngdrop1", 21),
    Bits("res2", 31, 22),
};

constexpr Field kParaReg4Fields[] = {
    Bits("renocfg", 7, 0),
    Bits("tahoecfg", 15, 8),
    Bits("newrenocfg", 23, 16),
    Bits("highspeedcfg", 31, 24),
};

constexpr Field kParaReg5Fields[] = {
    Bit("pushtimerenable", 0),
    Bit("dacktimerspin", 1),
    Bit("onflyddpenable", 2),
    Bits("res0", 7, 3),
    Bit("schdenable", 8),
    Bits("res1", 15, 9),
    Bits("indicatesize", 31, 16),
};

constexpr Field kParaReg6Fields[] = {
    Bit("disablepduxmt", 0),
    Bit("disablepdurxmt", 1),
    Bit("disablepdutimeout", 2),
    Bit("disablepducng", 3),
    Bit("enableclearrxmtoos", 4),
    Bit("enabledefer", 5),
    Bit("enablepdue", 9),
    Bit("enablepdui", 7),
    Bit("enablepduc", 8),
    Bit("enabledeferack", 12),
    Bit("enablecsnd", 10),
    Bits("res0", 15, 13),
    Bit("enableepdu", 14),
    Bits("txpdusizeadj", 23, 16),
    Bits("res1", 31, 24),
    Bits("res2", 31, 24),
};

constexpr Field kParaReg7Fields[] = {
    Bits("pmmaxxferlen0", 15, 0),
    Bits("pmmaxxferlen1", 31, 16),
};

constexpr Field kTimerResolutionFields[] = {
    Bits("delayedackresolution", 7, 0),
    Bits("timestampresolution", 15, 8),
    Bits("timerresolution", 23, 16),
};

constexpr Field kMslFields[] = {
    Bits("msl", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kRxtMinFields[] = {
    Bits("rxt_min", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kRxtMaxFields[] = {
    Bits("rxt_max", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kPersMinFields[] = {
    Bits("pers_min", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kPersMaxFields[] = {
    Bits("pers_max", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kKeepIdleFields[] = {
    Bits("keepaliveidle", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kKeepIntvlFields[] = {
    Bits("keepaliveintvl", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kInitSrttFields[] = {
    Bits("initsrtt", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kDackTimerFields[] = {
    Bits("dacktime", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kFinwait2TimerFields[] = {
    Bits("finwait2time", 29, 0),
    Bits("res0", 31, 30),
};

constexpr Field kShiftCntFields[] = {
    Bits("keepalivemax", 7, 0),
    Bits("pershiftmax", 11, 8),
    Bits("pershiftbackoffmax", 15, 12),
    Bits("rxtshiftmaxr2", 19, 16),
    Bits("rxtshiftmaxr1", 23, 20),
    Bits("synshiftmax", 31, 24),
};

constexpr Field kPaceTableFields[] = {
    Bits("pace", 2, 0),
    Bits("res0", 31, 3),
};

constexpr Field kCctrlTableFields[] = {
    Bits("add_increase", 12, 0),
    Bits("decrease_factor_indx", 15, 13),
    Bits("res0", 31, 16),
};

constexpr Field kTosTableFields[] = {
    Bits("tos", 2, 0),
    Bits("res0", 31, 3),
};

constexpr Field kMtuTableFields[] = {
    Bits("mtu_value", 13, 0),
    Bits("res0", 15, 14),
    Bits("res0", 15, 14),
    Bits("mtu_width", 19, 16),
};

constexpr Field kRssMapTableFields[] = {
    Bits("contents", 15, 0),
    Bits("res0", 30, 16),
    Bit("valid", 31),
};

constexpr Field kRssConfigFields[] = {
    Bit("disable", 0),
    Bit("hashsave", 1),
    Bit("hashtoeplitz", 2),
    Bit("rqfeedbackenable", 3),
    Bits("rrcplcpusize", 6, 4),
    Bit("rrcplmapen", 7),
    Bit("synlkpen", 8),
    Bit("synmapen", 9),
    Bits("res0", 11, 10),
    Bit("syn2tupen", 12),
    Bit("syn4tupen", 13),
    Bits("res1", 15, 14),
    Bit("ofdlkpen", 16),
    Bit("ofdmapen", 17),
    Bits("res2", 19, 18),
    Bit("ofd2tupen", 20),
    Bit("ofd4tupen", 21),
    Bits("res3", 23, 22),
    Bit("tnllkpen", 24),
    Bit("tnlmapen", 25),
    Bit("tnlprten", 26),
    Bit("res4", 27),
    Bit("res5", 27),
    Bit("tnl2tupen", 28),
    Bit("tnl4tupen", 29),
};

constexpr Field kRssConfigTnlFields[] = {
    Bits("defaultqueue", 15, 0),
    Bits("defaultcpu", 21, 16),
    Bits("defaultcpubase", 27, 22),
    Bits("masksize", 30, 28),
    Bit("res0", 31),
};

constexpr Field kTxModQueTableFields[] = {
    Bits("queue_index", 11, 0),
    Bits("res0", 31, 12),
};

constexpr Field kTxModQueueReqMapFields[] = {
    Bits("tx_mod_queue_req_map", 7, 0),
    Bits("tx_mod_timer_mode", 15, 8),
    Bits("tx_mod_weight", 23, 16),
    Bits("rx_mod_weight", 31, 24),
};

constexpr Field kTxModQueueWeight1Fields[] = {
    Bits("tx_mod_queue_weight4", 7, 0),
    Bits("tx_mod_queue_weight5", 15, 8),
    Bits("tx_mod_queue_weight6", 23, 16),
    Bits("tx_mod_queue_weight7", 31, 24),
};

constexpr Field kTxModQueueWeight0Fields[] = {
    Bits("tx_mod_queue_weight0", 7, 0),
    Bits("tx_mod_queue_weight1", 15, 8),
    Bits("tx_mod_queue_weight2", 23, 16),
    Bits("tx_mod_queue_weight3", 31, 24),
};

constexpr Field kModChannelWeightFields[] = {
    Bits("tx_mod_channel_weight0", 7, 0),
    Bits("tx_mod_channel_weight1", 15, 8),
    Bits("rx_mod_channel_weight0", 23, 16),
    Bits("rx_mod_channel_weight1", 31, 24),
};

constexpr Field kModRateLimitFields[] = {
    Bits("tx_mod_rate_limit_tick", 7, 0),
    Bits("tx_mod_rate_limit_inc", 15, 8),
    Bits("rx_mod_rate_limit_tick", 23, 16),
    Bits("rx_mod_rate_limit_inc", 31, 24),
};

constexpr Field kResetFields[] = {
    Bit("tpreset", 0),
    Bit("flstinitenable", 1),
    Bits("res0", 31, 2),
};

constexpr Field kCmmMmRxFlstBaseFields[] = {
    Bits("cmrxflstbase", 27, 0),
    Bits("res0", 31, 28),
};

constexpr Field kCmmMmTxFlstBaseFields[] = {
    Bits("cmtxflstbase", 27, 0),
    Bits("res0", 31, 28),
};

constexpr Field kCmmMmPsFlstBaseFields[] = {
    Bits("cmpsflstbase", 27, 0),
    Bits("res0", 31, 28),
};

constexpr Field kCmmMmMaxPstructFields[] = {
    Bits("cmmaxpstruct", 20, 0),
    Bits("res0", 31, 21),
};

constexpr Field kFlmFreePsCntFields[] = {
    Bits("freepstructcnt", 20, 0),
    Bits("res0", 31, 21),
};

constexpr Field kFlmFreeRxCntFields[] = {
    Bits("freepagecnt", 20, 0),
    Bits("res0", 31, 21),
};

constexpr Register kTp1Registers[] = {
    {"in_config", 0x300, kInConfigFields},
    {"out_config", 0x304, kOutConfigFields},
    {"global_config", 0x308, kGlobalConfigFields},
    {"global_rx_credit", 0x30C, {}},
    {"cmm_size", 0x310, kCmmSizeFields},
    {"cmm_mm_base", 0x314, kCmmMmBaseFields},
    {"cmm_timer_base", 0x318, kCmmTimerBaseFields},
    {"pmm_size", 0x31C, kPmmSizeFields},
    {"pmtxbase", 0x320, {}},
    {"pmdefragbase", 0x324, {}},
    {"pmrxbase", 0x328, {}},
    {"pmrxpagesize", 0x32C, {}},
    {"pmm_rx_max_page", 0x330, kPmmRxMaxPageFields},
    {"pmtxpagesize", 0x334, {}},
    {"pmm_tx_max_page", 0x338, kPmmRxMaxPageFields},
    {"tcp_options", 0x340, kTcpOptionsFields},
    {"dack_config", 0x344, kDackConfigFields},
    {"tcp_backoff_reg0", 0x350, kTcpBackoffReg0Fields},
    {"tcp_backoff_reg1", 0x354, kTcpBackoffReg1Fields},
    {"tcp_backoff_reg2", 0x358, kTcpBackoffReg2Fields},
    {"tcp_backoff_reg3", 0x35C, kTcpBackoffReg3Fields},
    {"para_reg0", 0x360, kParaReg0Fields},
    {"para_reg1", 0x364, kParaReg1Fields},
    {"para_reg2", 0x368, kParaReg2Fields},
    {"para_reg3", 0x36C, kParaReg3Fields},
    {"para_reg4", 0x370, kParaReg4Fields},
    {"para_reg5", 0x374, kParaReg5Fields},
    {"para_reg6", 0x378, kParaReg6Fields},
    {"para_reg7", 0x37C, kParaReg7Fields},
    {"timer_resolution", 0x390, kTimerResolutionFields},
    {"msl", 0x394, kMslFields},
    {"rxt_min", 0x398, kRxtMinFields},
    {"rxt_max", 0x39C, kRxtMaxFields},
    {"pers_min", 0x3A0, kPersMinFields},
    {"pers_max", 0x3A4, kPersMaxFields},
    {"keep_idle", 0x3A8, kKeepIdleFields},
    {"keep_intvl", 0x3AC, kKeepIntvlFields},
    {"init_srtt", 0x3B0, kInitSrttFields},
    {"dack_timer", 0x3B4, kDackTimerFields},
    {"finwait2_timer", 0x3B8, kFinwait2TimerFields},
    {"fast_finwait2_timer", 0x3BC, kFinwait2TimerFields},
    {"shift_cnt", 0x3C0, kShiftCntFields},
    {"tptimemsb", 0x3C8, {}},
    {"pace_table", 0x3D8, kPaceTableFields},
    {"cctrl_table", 0x3DC, kCctrlTableFields},
    {"tos_table", 0x3E0, kTosTableFields},
    {"mtu_table", 0x3E4, kMtuTableFields},
    {"rss_map_table", 0x3E8, kRssMapTableFields},
    {"rss_lkp_table", 0x3EC, kRssMapTableFields},
    {"rss_config", 0x3F0, kRssConfigFields},
    {"rss_config_tnl", 0x3F4, kRssConfigTnlFields},
    {"rss_config_ofd", 0x3F8, kRssConfigTnlFields},
    {"rss_config_syn", 0x3FC, kRssConfigTnlFields},
    {"rss_secret_key[0]", 0x400, {}},
    {"rss_secret_key[1]", 0x404, {}},
    {"rss_secret_key[2]", 0x408, {}},
    {"rss_secret_key[3]", 0x40C, {}},
    {"tm_pio_addr", 0x418, {}},
    {"tm_pio_data", 0x41C, {}},
    {"tx_mod_que_table", 0x420, kTxModQueTableFields},
    {"tx_mod_queue_req_map", 0x428, kTxModQueueReqMapFields},
    {"tx_mod_queue_weight1", 0x42C, kTxModQueueWeight1Fields},
    {"tx_mod_queue_weight0", 0x430, kTxModQueueWeight0Fields},
    {"mod_channel_weight", 0x434, kModChannelWeightFields},
    {"mod_rate_limit", 0x438, kModRateLimitFields},
    {"pio_addr", 0x440, {}},
    {"pio_data", 0x444, {}},
    {"reset", 0x44C, kResetFields},
    {"mib_index", 0x450, {}},
    {"mib_data", 0x454, {}},
    {"sync_time_hi", 0x458, {}},
    {"sync_time_lo", 0x45C, {}},
    {"cmm_mm_rx_flst_base", 0x460, kCmmMmRxFlstBaseFields},
    {"cmm_mm_tx_flst_base", 0x464, kCmmMmTxFlstBaseFields},
    {"cmm_mm_ps_flst_base", 0x468, kCmmMmPsFlstBaseFields},
    {"cmm_mm_max_pstruct", 0x46C, kCmmMmMaxPstructFields},
    {"int_enable", 0x470, {}},
    {"int_cause", 0x474, {}},
    {"flm_free_ps_cnt", 0x480, kFlmFreePsCntFields},
    {"flm_free_rx_cnt", 0x484, kFlmFreeRxCntFields},
    {"flm_free_tx_cnt", 0x488, kFlmFreeRxCntFields},
};

}  // namespace

constinit const Block kTp1Block{"tp1", 0x300, 0x488, kTp1Registers};

}  // namespace qv::regmap
