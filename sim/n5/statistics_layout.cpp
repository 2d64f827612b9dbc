// The statistics fields by the names the reports print, placed by the record structures.
#include "qv/sim/n5/statistics_layout.h"

#include <algorithm>
#include <cstddef>

namespace qv::sim::n5 {
namespace {

#define QV_FIELD(Image, name, member) (StatsField{name, offsetof(Image, member), sizeof(Image::member)})
#define QV_MAC(name, member) QV_FIELD(MacStatsImage, name, member)

constexpr StatsField kMacFields[] = {
    QV_MAC("tx_octets", tx.octets),
    QV_MAC("tx_frames", tx.frames),
    QV_MAC("tx_ucast_bytes", tx.ucastBytes),
    QV_MAC("tx_mcast_frames", tx.mcastFrames),
    QV_MAC("tx_mcast_bytes", tx.mcastBytes),
    QV_MAC("tx_bcast_frames", tx.bcastFrames),
    QV_MAC("tx_bcast_bytes", tx.bcastBytes),
    QV_MAC("tx_good_frames", tx.goodFrames),
    QV_MAC("tx_pause", txPause),
    QV_MAC("tx_underrun", txUnderrun),
    QV_MAC("tx_bad_frames", txBadFrames),
    QV_MAC("tx_frames_64", txFrameSizes[0]),
    QV_MAC("tx_frames_65_127", txFrameSizes[1]),
    QV_MAC("tx_frames_128_255", txFrameSizes[2]),
    QV_MAC("tx_frames_256_511", txFrameSizes[3]),
    QV_MAC("tx_frames_512_1023", txFrameSizes[4]),
    QV_MAC("tx_frames_1024_1518", txFrameSizes[5]),
    QV_MAC("tx_frames_1519_max", txFrameSizes[6]),
    QV_MAC("rx_octets", rx.octets),
    QV_MAC("rx_frames", rx.frames),
    QV_MAC("rx_ucast_bytes", rx.ucastBytes),
    QV_MAC("rx_mcast_frames", rx.mcastFrames),
    QV_MAC("rx_mcast_bytes", rx.mcastBytes),
    QV_MAC("rx_bcast_frames", rx.bcastFrames),
    QV_MAC("rx_bcast_bytes", rx.bcastBytes),
    QV_MAC("rx_good_frames", rx.goodFrames),
    QV_MAC("rx_pause", rxPause),
    QV_MAC("rx_fcs_errs", rxFcsErrs),
    QV_MAC("rx_jabber", rxJabber),
    QV_MAC("rx_short", rxShort),
    QV_MAC("rx_too_long", rxTooLong),
    QV_MAC("rx_bad_frames", rxBadFrames),
    QV_MAC("rx_frames_64", rxFrameSizes[0]),
    QV_MAC("rx_frames_65_127", rxFrameSizes[1]),
    QV_MAC("rx_frames_128_255", rxFrameSizes[2]),
    QV_MAC("rx_frames_256_511", rxFrameSizes[3]),
    QV_MAC("rx_frames_512_1023", rxFrameSizes[4]),
    QV_MAC("rx_frames_1024_1518", rxFrameSizes[5]),
    QV_MAC("rx_frames_1519_max", rxFrameSizes[6]),
    QV_MAC("tx_fifo_urun", txFifoUrun),
    QV_MAC("rx_fifo_ovfl", rxFifoOvfl),
    QV_MAC("serdes_signal_loss", serdesSignalLoss),
    QV_MAC("xaui_pcs_ctc_err", xauiPcsCtcErr),
    QV_MAC("xaui_pcs_align_change", xauiPcsAlignChange),
};

// A name the report prints for several queues names the first of them.
#define QV_QSET(name, member) QV_FIELD(QsetStatsImage, name, member)

constexpr StatsField kQsetFields[] = {
    QV_QSET("size", tunnel.size),
    QV_QSET("credits", tunnel.credits),
    QV_QSET("pidx", tunnel.pidx),
    QV_QSET("cidx", tunnel.cidx),
    QV_QSET("posted", tunnel.posted),
    QV_QSET("complete", tunnel.complete),
    QV_QSET("gts", tunnel.gts),
    QV_QSET("door_bells", tunnel.doorBells),
    QV_QSET("full", tunnel.full),
    QV_QSET("discards", tunnel.discards),
    QV_QSET("vlan_discards", tunnel.vlanDiscards),
    QV_QSET("buf", freeList[0].bufSize),  // printed "buf size"
    QV_QSET("s_cidx", freeList[0].sCidx),
    QV_QSET("q_Size", freeList[0].qSize),
    QV_QSET("q_credits", freeList[0].qCredits),
    QV_QSET("q_cidx", freeList[0].qCidx),
    QV_QSET("q_pidx", freeList[0].qPidx),
    QV_QSET("used", freeList[0].used),
    QV_QSET("spills", freeList[0].spills),
    QV_QSET("spill_oflo", freeList[0].spillOflo),
    QV_QSET("spill_uflo", freeList[0].spillUflo),
    QV_QSET("soft_xon", freeList[0].softXon),
    QV_QSET("soft_xoff", freeList[0].softXoff),
    QV_QSET("in_stack", freeList[0].inStack),
    QV_QSET("tun_discards", freeList[0].tunDiscards),
    QV_QSET("empty", freeList[0].empty),
    QV_QSET("Size", freeList[1].size),
    QV_QSET("i_cidx", response.iCidx),
    QV_QSET("i_sidx", response.iSidx),
    QV_QSET("q_size", response.qSize),
    QV_QSET("spills_oflo", response.spillsOflo),
    QV_QSET("spills_uflo", response.spillsUflo),
    QV_QSET("holdoff_tmr", response.holdoffTmr),
    QV_QSET("serviced", response.serviced),
    QV_QSET("tun_creds", response.tunCreds),
    QV_QSET("cmd_creds", response.cmdCreds),
    QV_QSET("ctrl_creds", response.ctrlCreds),
    QV_QSET("tun_rx_pkts", response.tunRxPkts),
    QV_QSET("toe_rx_pkts", response.toeRxPkts),
};

#define QV_INTR(name, member) QV_FIELD(InterruptStatsImage, name, member)

constexpr StatsField kInterruptFields[] = {
    QV_INTR("intrs", counters[0]),
    QV_INTR("d_intrs", counters[1]),
    QV_INTR("unclaimed_intrs", counters[2]),
    QV_INTR("data_intrs", counters[3]),
    QV_INTR("d_data_intrs", counters[4]),
    QV_INTR("no_data_dpcs", counters[5]),
    QV_INTR("tail_gts", counters[6]),
    QV_INTR("d_tail_gts", counters[7]),
    QV_INTR("error_gts", counters[8]),
    QV_INTR("d_error_gts", counters[9]),
    QV_INTR("mac_hang_try_toggle", counters[10]),
    QV_INTR("d_mac_hang_try_toggle", counters[11]),
    QV_INTR("mac_hang_try_reset", counters[12]),
    QV_INTR("d_mac_hang_try_reset", counters[13]),
    QV_INTR("error_intrs", counters[14]),
    QV_INTR("error_dpcs", counters[15]),
    QV_INTR("no_error_dpcs", counters[16]),
    QV_INTR("HiPioDrbDropErr", counters[17]),
    QV_INTR("LoPioDrbDropErr", counters[18]),
    QV_INTR("HiPiDbFull", counters[19]),
    QV_INTR("LoPiDbFull", counters[20]),
    QV_INTR("HiPiDbEmpty", counters[21]),
    QV_INTR("LoPiDbEmpty", counters[22]),
    QV_INTR("link_down_mac_resets", linkDownMacResets),
};

#define QV_IP(name, index) QV_FIELD(IpStatsImage, name, counters[index])

constexpr StatsField kIpFields[] = {
    QV_IP("ipInReceive", 0),       QV_IP("ipInHdrErrors", 1), QV_IP("ipInAddrErrors", 2),
    QV_IP("ipInUnknownProtos", 3), QV_IP("ipInDiscards", 4),  QV_IP("ipInDelivers", 5),
    QV_IP("ipOutRequests", 6),     QV_IP("ipOutDiscards", 7), QV_IP("ipOutNoRoutes", 8),
    QV_IP("ipReasmTimeout", 9),    QV_IP("ipReasmReqds", 10), QV_IP("ipReasmOKs", 11),
    QV_IP("ipReasmFails", 12),
};

#define QV_TCP(name, index) QV_FIELD(TcpStatsImage, name, counters[index])

constexpr StatsField kTcpFields[] = {
    QV_TCP("tcpActiveOpens", 0), QV_TCP("tcpPassiveOpens", 1), QV_TCP("tcpAttemptFails", 2),
    QV_TCP("tcpEstabResets", 3), QV_TCP("tcpOutRsts", 4),      QV_TCP("tcpCurrEstab", 5),
    QV_TCP("tcpInSegs", 6),      QV_TCP("tcpOutSegs", 7),      QV_TCP("tcpRetransSeg", 8),
    QV_TCP("tcpInErrs", 9),      QV_TCP("tcpRtoMin", 10),      QV_TCP("tcpRtoMax", 11),
    QV_TCP("tcpCongDrop0", 12),  QV_TCP("tcpCongDrop1", 13),
};

#define QV_TOE(name, index) QV_FIELD(OffloadStatsImage, name, counters[index])

constexpr StatsField kOffloadFields[] = {
    QV_TOE("atid_rd_index", 0),    QV_TOE("atid_wr_index", 1),      QV_TOE("atid_pending", 2),
    QV_TOE("ptid_max_cnt", 3),     QV_TOE("ptid_rd_index", 4),      QV_TOE("ptid_wr_index", 5),
    QV_TOE("ptid_pending", 6),     QV_TOE("tid_max_cnt", 7),        QV_TOE("soft", 8),  // "soft tid_cnt"
    QV_TOE("l2t_rd_index", 9),     QV_TOE("l2t_wr_index", 10),      QV_TOE("l2t_pending", 11),
    QV_TOE("tx_fwds_started", 12), QV_TOE("tx_fwds_completed", 13), QV_TOE("fwd_qfull", 14),
};

constexpr std::string_view kPipelineNames[] = {
    "cpl_rx_sops", "cpl_rx_eops", "ulp_tx_sops",     "ulp_tx_eops", "ud_sops",     "ud_eops",
    "uc_sops",     "uc_eops",     "w_sops",          "w_eops",      "up_sops",     "up_eops",
    "cim_sops",    "cim_eops",    "c_sops",          "c_eops",      "r_sops",      "r_eops",
    "m_requests",  "m_responses", "cpl_rxpkt_drops", "c_rsp_sops",  "c_rsp_eops",  "r_rsp_sops",
    "r_rsp_eops",  "rx_data_f0",  "rx_data_f1",      "rx_data_sz",  "cim_data_f0", "cim_data_f1",
    "cim_data_sz", "tx_data_f0",  "tx_data_f1",      "tx_data_sz",
};
static_assert(std::size(kPipelineNames) == kPipelineCounters);

}  // namespace

constexpr std::span<const StatsField> kMacStatsFields = kMacFields;
constexpr std::span<const StatsField> kQsetStatsFields = kQsetFields;
constexpr std::span<const StatsField> kInterruptStatsFields = kInterruptFields;
constexpr std::span<const StatsField> kIpStatsFields = kIpFields;
constexpr std::span<const StatsField> kTcpStatsFields = kTcpFields;
constexpr std::span<const StatsField> kOffloadStatsFields = kOffloadFields;

const StatsField* FindStatsField(std::span<const StatsField> fields, std::string_view name) {
    const auto it = std::ranges::find(fields, name, &StatsField::name);
    return it == fields.end() ? nullptr : &*it;
}

constexpr std::span<const std::string_view> kPipelineCounterNames = kPipelineNames;

}  // namespace qv::sim::n5
