// -u wtf: a diagram of the data path with the pipeline counters (which clear on read), the IP
// counters and each port's frame counters and transmit and receive words. It prints nothing when
// any of its reads fails.
#include <cstring>

#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kSlots = 2;
// The transmit-side and receive-side words of slot s: 0x9A8 + 0x200 s and 0x9AC + 0x200 s.
constexpr uint32_t kSlotTxWord = 0x9A8;
constexpr uint32_t kSlotRxWord = 0x9AC;
constexpr uint32_t kSlotStride = 0x200;

// The pipeline counters the diagram shows, in the order they are read.
constexpr uint32_t kDiagramCounters[] = {12, 13, 8, 9,  10, 11, 16, 17, 23, 24, 4,
                                         5,  6,  7, 14, 15, 2,  3,  21, 22, 0,  1};

constexpr char kDiagram[] =
    "|P|                     |S|-> CIM:%4x|%4x ->|C|\n"
    "|C|<- W:%8x|%4x ->|G|<- UP: %4x|%4x <-|I|\n"
    "|I|                     |E|            |M|\n"
    "| |<- R:%8x|%4x <-| |\n"
    "| |-> R_RSP:%4x|%4x ->| |<- UD: %4x|%4x <-|ULP|\n"
    "| |                     | |<- UC: %4x|%4x <-| TX|-> IPOut: %4x------->|T|\n"
    "| |<- C:%8x|%4x <-| |-> TX: %4x|%4x ->|   |                      |P|\n"
    "| |<- C_RSP:%4x|%4x <-| |                                              | |\n"
    "| |                     | |<- RX: %4x|%4x <-|CPL|<- IPin:%5x|%4x <- | |\n"
    "| |                     | |                   |SWI|                      | |\n"
    "*************************************************************************| |\n"
    "                                                          (clear on read)| |\n";

struct Slot {
    PortLinkRecord link;
    MacStatsRecord mac;
    uint32_t txWord;
    uint32_t rxWord;
};

// Asks port `port` in every slot; the number of ports found, 0 when a port's words cannot be read.
// found[p] is the slot that answered for port p.
uint32_t FindPorts(HDevice device, Slot (&slots)[kSlots], uint32_t (&found)[kSlots]) {
    uint32_t ports = 0;
    for (uint32_t s = 0; s < kSlots; ++s) {
        Slot& slot = slots[s];
        slot.link.port = ports;
        slot.mac.port = ports;
        const bool link = RequestRecord(device, IoFunction::kPortLink, &slot.link);
        const bool mac = RequestRecord(device, IoFunction::kMacStats, &slot.mac);
        if (!link && !mac) continue;  // the next slot asks for the same port
        if (RegisterRead(device, kSlotTxWord + kSlotStride * s, &slot.txWord) != kStatusSuccess ||
            RegisterRead(device, kSlotRxWord + kSlotStride * s, &slot.rxWord) != kStatusSuccess) {
            return 0;
        }
        found[ports++] = s;
    }
    return ports;
}

uint32_t Low32(uint64_t value) {
    return static_cast<uint32_t>(value);
}

}  // namespace

void RunPipelineDiagramReport(const ReportRequest& request) {
    Slot slots[kSlots] = {};
    uint32_t found[kSlots] = {};
    const uint32_t ports = FindPorts(request.device, slots, found);
    if (ports == 0) return;
    IpStatsRecord ip{};
    if (!RequestRecord(request.device, IoFunction::kIpStats, &ip)) return;
    uint32_t c[kPipelineCounterCount] = {};
    for (const uint32_t index : kDiagramCounters) {
        if (IndirectRead(request.device, index, &c[index]) != kStatusSuccess) return;
    }

    std::FILE* out = request.out;
    std::fputs("*************** ", out);
    for (uint32_t s = 0; s < kSlots; ++s)
        std::fprintf(out, "iface%d = mac%d, ", static_cast<int>(s + 1),
                     static_cast<int32_t>(slots[s].mac.port));
    std::fprintf(out, "ports = %d ********************\n", static_cast<int>(ports));
    const uint64_t* in = ip.counters;
    std::fprintf(out, kDiagram, c[12], c[13], c[8], c[9], c[10], c[11], c[16], c[17], c[23], c[24], c[4],
                 c[5], c[6], c[7], Low32(in[kIpOutRequests]), c[14], c[15], c[2], c[3], c[21], c[22], c[0],
                 c[1], Low32(in[kIpInReceive]), Low32(in[kIpInDelivers]));
    for (uint32_t p = 0; p < ports; ++p) {
        // The slot that answered for port p: the same slot unless an earlier slot found nothing.
        const Slot& slot = slots[found[p]];
        const uint32_t tx = slot.txWord;
        const uint32_t rx = slot.rxWord;
        const uint32_t txFrames = Low32(slot.mac.counters[kMacTxFrames]);
        if (slot.link.linkStatus != 0) {
            std::fprintf(out, "                                 <- <- %8x <-|XGMAC%d|<- %4x|%4x <-|T|\n",
                         txFrames, static_cast<int>(p), tx & 0xFFFF, tx >> 16);
            std::fputs("                            link up", out);
        } else {
            std::fprintf(out, "                                  | <- %8x <-|XGMAC%d|<- %4x|%4x <-|T|\n",
                         txFrames, static_cast<int>(p), tx & 0xFFFF, tx >> 16);
            std::fputs("                          link down", out);
        }
        std::fprintf(out, " -> %8x ->|      |-> %4x|%4x ->|P|\n", Low32(slot.mac.counters[kMacRxFrames]),
                     rx >> 16, rx & 0xFFFF);
    }
}

}  // namespace qv::qvtool
