// The reports' line tables and the printing of a table's lines from a record.
#include "qv/qvtool/reports/report_tables.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>

#include "qv/qvtool/reports/stats_records.h"

namespace qv::qvtool {
namespace {

// Function 11: 44 counters from offset 16, in record order.
constexpr CounterLine kMacLines[] = {
    {"tx_octets : \t\t\t", 16, FieldFormat::kU64},
    {"tx_frames : \t\t\t", 24, FieldFormat::kU64},
    {"tx_ucast_bytes : \t\t", 32, FieldFormat::kU64},
    {"tx_mcast_frames : \t\t", 40, FieldFormat::kU64},
    {"tx_mcast_bytes : \t\t", 48, FieldFormat::kU64},
    {"tx_bcast_frames : \t\t", 56, FieldFormat::kU64},
    {"tx_bcast_bytes : \t\t", 64, FieldFormat::kU64},
    {"tx_good_frames : \t\t", 72, FieldFormat::kU64},
    {"tx_pause : \t\t\t", 80, FieldFormat::kU64},
    {"tx_underrun : \t\t\t", 88, FieldFormat::kU64},
    {"tx_bad_frames : \t\t", 96, FieldFormat::kU64},
    {"tx_frames_64 : \t\t\t", 104, FieldFormat::kU64},
    {"tx_frames_65_127 : \t\t", 112, FieldFormat::kU64},
    {"tx_frames_128_255 : \t\t", 120, FieldFormat::kU64},
    {"tx_frames_256_511 : \t\t", 128, FieldFormat::kU64},
    {"tx_frames_512_1023 : \t\t", 136, FieldFormat::kU64},
    {"tx_frames_1024_1518 : \t\t", 144, FieldFormat::kU64},
    {"tx_frames_1519_max : \t\t", 152, FieldFormat::kU64},
    {"rx_octets : \t\t\t", 160, FieldFormat::kU64},
    {"rx_frames : \t\t\t", 168, FieldFormat::kU64},
    {"rx_ucast_bytes : \t\t", 176, FieldFormat::kU64},
    {"rx_mcast_frames : \t\t", 184, FieldFormat::kU64},
    {"rx_mcast_bytes : \t\t", 192, FieldFormat::kU64},
    {"rx_bcast_frames : \t\t", 200, FieldFormat::kU64},
    {"rx_bcast_bytes : \t\t", 208, FieldFormat::kU64},
    {"rx_good_frames : \t\t", 216, FieldFormat::kU64},
    {"rx_pause : \t\t\t", 224, FieldFormat::kU64},
    {"rx_fcs_errs : \t\t\t", 232, FieldFormat::kU64},
    {"rx_jabber : \t\t\t", 240, FieldFormat::kU64},
    {"rx_short : \t\t\t", 248, FieldFormat::kU64},
    {"rx_too_long : \t\t\t", 256, FieldFormat::kU64},
    {"rx_bad_frames : \t\t", 264, FieldFormat::kU64},
    {"rx_frames_64 : \t\t\t", 272, FieldFormat::kU64},
    {"rx_frames_65_127 : \t\t", 280, FieldFormat::kU64},
    {"rx_frames_128_255 : \t\t", 288, FieldFormat::kU64},
    {"rx_frames_256_511 : \t\t", 296, FieldFormat::kU64},
    {"rx_frames_512_1023 : \t\t", 304, FieldFormat::kU64},
    {"rx_frames_1024_1518 : \t\t", 312, FieldFormat::kU64},
    {"rx_frames_1519_max : \t\t", 320, FieldFormat::kU64},
    {"tx_fifo_urun : \t\t\t", 328, FieldFormat::kU64},
    {"rx_fifo_ovfl : \t\t\t", 336, FieldFormat::kU64},
    {"serdes_signal_loss : \t\t", 344, FieldFormat::kU64},
    {"xaui_pcs_ctc_err : \t\t", 352, FieldFormat::kU64},
    {"xaui_pcs_align_change : \t", 360, FieldFormat::kU64},
};

// Function 12, after the "qset" line: each queue of the set under its heading. The response
// queue's counters from "used" to "soft_xoff" and "holdoff_tmr" show their low 32 bits.
constexpr CounterLine kQsetLines[] = {
    {"Tunnel :", 0, FieldFormat::kHeading},
    {"  size : \t\t", 4, FieldFormat::kU32},
    {"  credits : \t\t", 8, FieldFormat::kU32},
    {"  pidx : \t\t", 12, FieldFormat::kU32},
    {"  cidx : \t\t", 16, FieldFormat::kU32},
    {"  posted : \t\t", 24, FieldFormat::kU64},
    {"  complete : \t\t", 32, FieldFormat::kU64},
    {"  gts : \t\t", 40, FieldFormat::kU64},
    {"  door_bells : \t\t", 48, FieldFormat::kU64},
    {"  full : \t\t", 56, FieldFormat::kU64},
    {"  discards : \t\t", 64, FieldFormat::kU64},
    {"  vlan_discards : \t\t", 72, FieldFormat::kU64},
    {"Command :", 0, FieldFormat::kHeading},
    {"  size : \t\t", 80, FieldFormat::kU32},
    {"  credits : \t\t", 84, FieldFormat::kU32},
    {"  pidx : \t\t", 88, FieldFormat::kU32},
    {"  cidx : \t\t", 92, FieldFormat::kU32},
    {"  posted : \t\t", 96, FieldFormat::kU64},
    {"  complete : \t\t", 104, FieldFormat::kU64},
    {"  gts : \t\t", 112, FieldFormat::kU64},
    {"  door_bells : \t\t", 120, FieldFormat::kU64},
    {"  full : \t\t", 128, FieldFormat::kU64},
    {"Control :", 0, FieldFormat::kHeading},
    {"  size : \t\t", 136, FieldFormat::kU32},
    {"  credits : \t\t", 140, FieldFormat::kU32},
    {"  pidx : \t\t", 144, FieldFormat::kU32},
    {"  cidx : \t\t", 148, FieldFormat::kU32},
    {"  posted : \t\t", 152, FieldFormat::kU64},
    {"  complete : \t\t", 160, FieldFormat::kU64},
    {"  gts : \t\t", 168, FieldFormat::kU64},
    {"  door_bells : \t\t", 176, FieldFormat::kU64},
    {"  full : \t\t", 184, FieldFormat::kU64},
    {"Free List 0:", 0, FieldFormat::kHeading},
    {"  buf size : \t\t", 192, FieldFormat::kU32},
    {"  size : \t\t", 196, FieldFormat::kU32},
    {"  credits : \t\t", 200, FieldFormat::kU32},
    {"  cidx : \t\t", 204, FieldFormat::kU32},
    {"  s_cidx : \t\t", 208, FieldFormat::kU32},
    {"  q_Size : \t\t", 212, FieldFormat::kU32},
    {"  q_credits : \t\t", 216, FieldFormat::kU32},
    {"  q_cidx : \t\t", 220, FieldFormat::kU32},
    {"  q_pidx : \t\t", 224, FieldFormat::kU32},
    {"  used : \t\t", 232, FieldFormat::kU64},
    {"  spills : \t\t", 240, FieldFormat::kU64},
    {"  spill_oflo : \t\t", 248, FieldFormat::kU64},
    {"  spill_uflo : \t\t", 256, FieldFormat::kU64},
    {"  soft_xon : \t\t", 264, FieldFormat::kU64},
    {"  soft_xoff : \t\t", 272, FieldFormat::kU64},
    {"  in_stack : \t\t", 280, FieldFormat::kU64},
    {"  tun_discards : \t", 288, FieldFormat::kU64},
    {"  gts : \t\t", 296, FieldFormat::kU64},
    {"  door_bells : \t\t", 304, FieldFormat::kU64},
    {"  empty : \t\t", 312, FieldFormat::kU64},
    {"Free List 1:", 0, FieldFormat::kHeading},
    {"  buf size : \t\t", 320, FieldFormat::kU32},
    {"  Size : \t\t", 324, FieldFormat::kU32},
    {"  credits : \t\t", 328, FieldFormat::kU32},
    {"  cidx : \t\t", 332, FieldFormat::kU32},
    {"  s_cidx : \t\t", 336, FieldFormat::kU32},
    {"  q_Size : \t\t", 340, FieldFormat::kU32},
    {"  q_credits : \t\t", 344, FieldFormat::kU32},
    {"  q_cidx : \t\t", 348, FieldFormat::kU32},
    {"  q_pidx : \t\t", 352, FieldFormat::kU32},
    {"  used : \t\t", 360, FieldFormat::kU64},
    {"  spills : \t\t", 368, FieldFormat::kU64},
    {"  spill_oflo : \t\t", 376, FieldFormat::kU64},
    {"  spill_uflo : \t\t", 384, FieldFormat::kU64},
    {"  soft_xon : \t\t", 392, FieldFormat::kU64},
    {"  soft_xoff : \t\t", 400, FieldFormat::kU64},
    {"  in_stack : \t\t", 408, FieldFormat::kU64},
    {"  tun_discards : \t", 416, FieldFormat::kU64},
    {"  gts : \t\t", 424, FieldFormat::kU64},
    {"  door_bells : \t\t", 432, FieldFormat::kU64},
    {"  empty : \t\t", 440, FieldFormat::kU64},
    {"Response queue:", 0, FieldFormat::kHeading},
    {"  Size : \t\t", 448, FieldFormat::kU32},
    {"  credits : \t\t", 452, FieldFormat::kU32},
    {"  cidx : \t\t", 456, FieldFormat::kU32},
    {"  i_cidx : \t\t", 460, FieldFormat::kU32},
    {"  i_sidx : \t\t", 464, FieldFormat::kU32},
    {"  q_size : \t\t", 468, FieldFormat::kU32},
    {"  q_credits : \t\t", 472, FieldFormat::kU32},
    {"  q_cidx : \t\t", 476, FieldFormat::kU32},
    {"  q_pidx : \t\t", 480, FieldFormat::kU32},
    {"  used : \t\t", 488, FieldFormat::kU64Low32},
    {"  spills : \t\t", 496, FieldFormat::kU64Low32},
    {"  spills_oflo : \t", 504, FieldFormat::kU64Low32},
    {"  spills_uflo : \t", 512, FieldFormat::kU64Low32},
    {"  soft_xon : \t\t", 520, FieldFormat::kU64Low32},
    {"  soft_xoff : \t\t", 528, FieldFormat::kU64Low32},
    {"  in_stack : \t\t", 536, FieldFormat::kU64},
    {"  holdoff_tmr : \t", 544, FieldFormat::kU64Low32},
    {"  serviced : \t\t", 552, FieldFormat::kU64},
    {"  tun_creds : \t\t", 560, FieldFormat::kU64},
    {"  cmd_creds : \t\t", 568, FieldFormat::kU64},
    {"  ctrl_creds : \t\t", 576, FieldFormat::kU64},
    {"  tun_rx_pkts : \t", 584, FieldFormat::kU64},
    {"  toe_rx_pkts : \t", 592, FieldFormat::kU64},
    {"  empty : \t\t", 600, FieldFormat::kU64},
};

// Function 14.
constexpr CounterLine kIpLines[] = {
    {"ipInReceive : \t\t", 0, FieldFormat::kU64},   {"ipInHdrErrors : \t", 8, FieldFormat::kU64},
    {"ipInAddrErrors : \t", 16, FieldFormat::kU64}, {"ipInUnknownProtos : \t", 24, FieldFormat::kU64},
    {"ipInDiscards : \t\t", 32, FieldFormat::kU64}, {"ipInDelivers : \t\t", 40, FieldFormat::kU64},
    {"ipOutRequests : \t", 48, FieldFormat::kU64},  {"ipOutDiscards : \t", 56, FieldFormat::kU64},
    {"ipOutNoRoutes : \t", 64, FieldFormat::kU64},  {"ipReasmTimeout : \t", 72, FieldFormat::kU64},
    {"ipReasmReqds : \t\t", 80, FieldFormat::kU64}, {"ipReasmOKs : \t\t", 88, FieldFormat::kU64},
    {"ipReasmFails : \t\t", 96, FieldFormat::kU64},
};

// Function 15.
constexpr CounterLine kTcpLines[] = {
    {"tcpActiveOpens : \t", 0, FieldFormat::kU64},   {"tcpPassiveOpens : \t", 8, FieldFormat::kU64},
    {"tcpAttemptFails : \t", 16, FieldFormat::kU64}, {"tcpEstabResets : \t", 24, FieldFormat::kU64},
    {"tcpOutRsts : \t\t", 32, FieldFormat::kU64},    {"tcpCurrEstab : \t\t", 40, FieldFormat::kU64},
    {"tcpInSegs : \t\t", 48, FieldFormat::kU64},     {"tcpOutSegs : \t\t", 56, FieldFormat::kU64},
    {"tcpRetransSeg : \t", 64, FieldFormat::kU64},   {"tcpInErrs : \t\t", 72, FieldFormat::kU64},
    {"tcpRtoMin : \t\t", 80, FieldFormat::kU64},     {"tcpRtoMax : \t\t", 88, FieldFormat::kU64},
    {"tcpCongDrop0 : \t\t", 96, FieldFormat::kU64},  {"tcpCongDrop1 : \t\t", 104, FieldFormat::kU64},
};

// Function 13: the global counters, "sge:" before the doorbell counters, and the link-down resets
// kept at the end of the record.
constexpr CounterLine kIntrLines[] = {
    {"intrs : \t\t", 0, FieldFormat::kU64},
    {"d_intrs : \t\t", 8, FieldFormat::kU64},
    {"unclaimed_intrs : \t", 16, FieldFormat::kU64},
    {"data_intrs : \t\t", 24, FieldFormat::kU64},
    {"d_data_intrs : \t\t", 32, FieldFormat::kU64},
    {"no_data_dpcs : \t\t", 40, FieldFormat::kU64},
    {"tail_gts : \t\t", 48, FieldFormat::kU64},
    {"d_tail_gts : \t\t", 56, FieldFormat::kU64},
    {"error_gts : \t\t", 64, FieldFormat::kU64},
    {"d_error_gts : \t\t", 72, FieldFormat::kU64},
    {"mac_hang_try_toggle : \t", 80, FieldFormat::kU64},
    {"d_mac_hang_try_toggle : ", 88, FieldFormat::kU64},
    {"mac_hang_try_reset : \t", 96, FieldFormat::kU64},
    {"d_mac_hang_try_reset : \t", 104, FieldFormat::kU64},
    {"error_intrs : \t\t", 112, FieldFormat::kU64},
    {"error_dpcs : \t\t", 120, FieldFormat::kU64},
    {"no_error_dpcs : \t", 128, FieldFormat::kU64},
    {"sge:", 0, FieldFormat::kHeading},
    {"HiPioDrbDropErr : \t", 136, FieldFormat::kU64},
    {"LoPioDrbDropErr : \t", 144, FieldFormat::kU64},
    {"HiPiDbFull : \t", 152, FieldFormat::kU64},
    {"LoPiDbFull : \t", 160, FieldFormat::kU64},
    {"HiPiDbEmpty : \t", 168, FieldFormat::kU64},
    {"LoPiDbEmpty : \t", 176, FieldFormat::kU64},
    {"link_down_mac_resets : \t", 1504, FieldFormat::kU64},
};

// Function 13: one u64[8] array per line, indexed by queue set.
constexpr CounterLine kIntrQsetLines[] = {
    {"dpcs : \t\t\t", 288, FieldFormat::kU64},
    {"d_dpcs : \t\t", 352, FieldFormat::kU64},
    {"dpc_intrs : \t\t", 416, FieldFormat::kU64},
    {"d_dpc_intrs : \t\t", 480, FieldFormat::kU64},
    {"tx : \t\t\t", 544, FieldFormat::kU64},
    {"d_tx : \t\t\t", 608, FieldFormat::kU64},
    {"rx : \t\t\t", 672, FieldFormat::kU64},
    {"d_rx : \t\t\t", 736, FieldFormat::kU64},
    {"system_thread_dpcs : \t", 800, FieldFormat::kU64},
    {"max_dpc_sequence : \t", 864, FieldFormat::kU64},
    {"max_responses : \t", 928, FieldFormat::kU64},
    {"dpc_brk_on_gen : \t", 992, FieldFormat::kU64},
    {"d_dpc_brk_on_gen : \t", 1056, FieldFormat::kU64},
    {"dpc_brk_on_max : \t", 1120, FieldFormat::kU64},
    {"d_dpc_brk_on_max : \t", 1184, FieldFormat::kU64},
    {"tx_return_stalls : \t", 1248, FieldFormat::kU64},
    {"d_tx_return_stalls : \t", 1312, FieldFormat::kU64},
    {"rx_return_stalls : \t", 1376, FieldFormat::kU64},
    {"d_rx_return_stalls : \t", 1440, FieldFormat::kU64},
};

// Function 16: the global counters; the report prints "hard tid_cnt" before "soft tid_cnt".
constexpr CounterLine kOffloadLines[] = {
    {"atid_rd_index : \t\t", 0, FieldFormat::kU32},    {"atid_wr_index : \t\t", 4, FieldFormat::kU32},
    {"atid_pending : \t\t\t", 8, FieldFormat::kU32},   {"ptid_max_cnt : \t\t\t", 12, FieldFormat::kU32},
    {"ptid_rd_index : \t\t", 16, FieldFormat::kU32},   {"ptid_wr_index : \t\t", 20, FieldFormat::kU32},
    {"ptid_pending : \t\t\t", 24, FieldFormat::kU32},  {"tid_max_cnt : \t\t\t", 28, FieldFormat::kU32},
    {"soft tid_cnt : \t\t\t", 32, FieldFormat::kU32},  {"l2t_rd_index : \t\t\t", 36, FieldFormat::kU32},
    {"l2t_wr_index : \t\t\t", 40, FieldFormat::kU32},  {"l2t_pending : \t\t\t", 44, FieldFormat::kU32},
    {"tx_fwds_started : \t\t", 48, FieldFormat::kU32}, {"tx_fwds_completed : \t\t", 52, FieldFormat::kU32},
    {"fwd_qfull : \t\t\t", 56, FieldFormat::kU32},
};

// Function 16: one [port][function] array of u32 per line.
constexpr CounterLine kOffloadFunctionLines[] = {
    {"func_atid_max_cnt : \t\t", 80, FieldFormat::kU32},
    {"func_atid_cnt : \t\t", 104, FieldFormat::kU32},
    {"func_ptid_max_cnt : \t\t", 128, FieldFormat::kU32},
    {"func_ptid_cnt : \t\t", 152, FieldFormat::kU32},
    {"func_tid_max_cnt : \t\t", 176, FieldFormat::kU32},
    {"func_tid_cnt : \t\t\t", 200, FieldFormat::kU32},
    {"func_l2t_max_cnt : \t\t", 224, FieldFormat::kI32},
    {"func_l2t_cnt : \t\t\t", 248, FieldFormat::kI32},
    {"func_tx_fwds_started : \t\t", 272, FieldFormat::kI32},
    {"func_tx_fwds_completed : \t", 296, FieldFormat::kI32},
};

// Read through the index/data register pair, by index.
constexpr const char* kPipelineLabels[] = {
    "cpl_rx_sops : \t\t ",   "cpl_rx_eops : \t\t ", "ulp_tx_sops : \t\t ", "ulp_tx_eops : \t\t ",
    "ud_sops : \t\t ",       "ud_eops : \t\t ",     "uc_sops : \t\t ",     "uc_eops : \t\t ",
    "w_sops : \t\t ",        "w_eops : \t\t ",      "up_sops : \t\t ",     "up_eops : \t\t ",
    "cim_sops : \t\t ",      "cim_eops : \t\t ",    "c_sops : \t\t ",      "c_eops : \t\t ",
    "r_sops : \t\t ",        "r_eops : \t\t ",      "m_requests : \t\t ",  "m_responses : \t\t ",
    "cpl_rxpkt_drops : \t ", "c_rsp_sops : \t\t ",  "c_rsp_eops : \t\t ",  "r_rsp_sops : \t\t ",
    "r_rsp_eops : \t\t ",    "rx_data_f0 : \t\t ",  "rx_data_f1 : \t\t ",  "rx_data_sz : \t\t ",
    "cim_data_f0 : \t\t ",   "cim_data_f1 : \t\t ", "cim_data_sz : \t\t ", "tx_data_f0 : \t\t ",
    "tx_data_f1 : \t\t ",    "tx_data_sz : \t\t ",
};
static_assert(std::size(kPipelineLabels) == kPipelineCounterCount);
static_assert(std::size(kMacLines) == kMacCounterCount);
static_assert(std::size(kIntrQsetLines) == kIntrPerQsetArrayCount);
static_assert(std::size(kOffloadFunctionLines) == kToePerFunctionArrayCount);

uint64_t FieldValue(const uint8_t* field, uint32_t width) {
    uint64_t value = 0;
    std::memcpy(&value, field, width);  // little-endian host: the low bytes first
    return value;
}

}  // namespace

uint32_t FieldWidth(FieldFormat format) {
    switch (format) {
        case FieldFormat::kU64:
        case FieldFormat::kU64Low32:
            return 8;
        case FieldFormat::kU32:
        case FieldFormat::kI32:
            return 4;
        case FieldFormat::kHeading:
            break;
    }
    return 0;
}

void PrintCounterLines(std::FILE* out, std::span<const uint8_t> record, std::span<const CounterLine> lines) {
    for (const CounterLine& line : lines) {
        const uint32_t width = FieldWidth(line.format);
        if (size_t{line.offset} + width > record.size()) continue;
        const uint64_t value = FieldValue(record.data() + line.offset, width);
        std::fputs(line.label, out);
        switch (line.format) {
            case FieldFormat::kHeading:
                break;
            case FieldFormat::kU64:
                std::fprintf(out, "%" PRIu64, value);
                break;
            case FieldFormat::kU64Low32:
            case FieldFormat::kU32:
                std::fprintf(out, "%u", static_cast<uint32_t>(value));
                break;
            case FieldFormat::kI32:
                std::fprintf(out, "%d", static_cast<int32_t>(static_cast<uint32_t>(value)));
                break;
        }
        std::fputc('\n', out);
    }
}

std::span<const CounterLine> MacCounterLines() {
    return kMacLines;
}
std::span<const CounterLine> QsetCounterLines() {
    return kQsetLines;
}
std::span<const CounterLine> IpCounterLines() {
    return kIpLines;
}
std::span<const CounterLine> TcpCounterLines() {
    return kTcpLines;
}
std::span<const CounterLine> IntrCounterLines() {
    return kIntrLines;
}
std::span<const CounterLine> OffloadCounterLines() {
    return kOffloadLines;
}
std::span<const CounterLine> IntrQsetLines() {
    return kIntrQsetLines;
}
std::span<const CounterLine> OffloadFunctionLines() {
    return kOffloadFunctionLines;
}
std::span<const char* const> PipelineCounterLabels() {
    return kPipelineLabels;
}

std::string_view CounterName(const char* label) {
    std::string_view text(label);
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    return text.substr(0, text.find(' '));
}

const CounterLine* FindCounterLine(std::span<const CounterLine> lines, std::string_view name) {
    for (const CounterLine& line : lines) {
        if (line.format != FieldFormat::kHeading && CounterName(line.label) == name) return &line;
    }
    return nullptr;
}

}  // namespace qv::qvtool
