// "cim_genread" and "cim_ioqs": the CIM's general-purpose control registers, and its inbound and
// outbound queues: configuration, pointers, counts and the contents through the debug registers.
#include <cstdint>

#include "qv/qvtool/chip/cim_reports.h"
#include "qv/qvtool/cim_access.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kGeneralControl = 0xA0;  // control space, four registers
constexpr int kGeneralRegisters = 4;

constexpr int kInboundQueues = 4;
constexpr int kOutboundQueues = 3;
constexpr uint32_t kInboundQueueBase = 0x10;
constexpr uint32_t kOutboundQueueBase = 0x50;
constexpr uint32_t kQueueStride = 16;

// The queue debug registers (plain adapter registers).
constexpr uint32_t kIbqDbgCfg = 0x2C0;
constexpr uint32_t kObqDbgCfg = 0x2C4;
constexpr uint32_t kIbqDbgData = 0x2C8;
constexpr uint32_t kObqDbgData = 0x2CC;
constexpr uint32_t kDbgStart = 1u << 0;
constexpr uint32_t kDbgBusy = 1u << 1;
constexpr uint32_t kDbgQueueShift = 3;     // bits 4:3
constexpr uint32_t kDbgAddressShift = 16;  // bits 24:16
constexpr uint32_t kDbgFieldsMask =
    kDbgStart | kDbgBusy | (3u << kDbgQueueShift) | (0x1FFu << kDbgAddressShift);
constexpr uint32_t kQueueEntries = 512;
constexpr int kDbgBusyPollLimit = 1000;

// Reads one CIM word and prints it after its label; a failed read reports itself and shows 0.
uint32_t PrintCimWord(HDevice device, uint32_t address, const char* label, std::FILE* out) {
    uint32_t value = 0;
    CimRead(device, address, &value, out);
    std::fprintf(out, "%s0x%08x\n", label, value);
    return value;
}

// The contents of queue n (0 to 3 inbound, 4 to 6 outbound), 512 words, eight a line. The
// register requests are not checked (a failed read shows 0); a read that never completes ends
// the dump with the CIM read error.
void DumpQueueContents(HDevice device, uint32_t n, std::FILE* out) {
    const uint32_t cfgRegister = n < 4 ? kIbqDbgCfg : kObqDbgCfg;
    const uint32_t dataRegister = n < 4 ? kIbqDbgData : kObqDbgData;
    uint32_t cfg = 0;
    RegisterRead(device, cfgRegister, &cfg);
    for (uint32_t i = 0; i < kQueueEntries; ++i) {
        RegisterWrite(
            device, cfgRegister,
            (cfg & ~kDbgFieldsMask) | (i << kDbgAddressShift) | ((n % 4) << kDbgQueueShift) | kDbgStart);
        int poll = 0;
        do {
            cfg = 0;
            RegisterRead(device, cfgRegister, &cfg);
        } while ((cfg & kDbgBusy) != 0 && ++poll < kDbgBusyPollLimit);
        if ((cfg & kDbgBusy) != 0) {
            std::fputs("Error reading cim register.\n", out);
            return;
        }
        uint32_t data = 0;
        RegisterRead(device, dataRegister, &data);
        if (i % 8 == 0) {
            if (i != 0) std::fputs("\n", out);
            std::fprintf(out, "[%04u]: ", 4 * i);
        }
        std::fprintf(out, "%08x ", data);
    }
}

// The six lines of one queue: its pointers, status and packet count, and the count's halves.
void PrintQueue(HDevice device, const char* prefix, int q, uint32_t address, std::FILE* out) {
    char label[32];
    std::fputs("\n", out);
    const char* const registers[] = {"rdaddr:\t\t", "wraddr:\t\t", "status:\t\t", "pktcnt:\t\t"};
    uint32_t pktcnt = 0;
    for (uint32_t r = 0; r < 4; ++r) {
        std::snprintf(label, sizeof label, "%s_%d_%s", prefix, q, registers[r]);
        pktcnt = PrintCimWord(device, address + 4 * r, label, out);
    }
    std::fprintf(out, "%s_%d_pktcnt.sop:\t0x%08x\n", prefix, q, pktcnt >> 16);
    std::fprintf(out, "%s_%d_pktcnt.eop:\t0x%08x\n", prefix, q, pktcnt & 0xFFFF);
}

}  // namespace

void ReportCimGenRead(const ReportRequest& request) {
    for (int i = 0; i < kGeneralRegisters; ++i) {
        uint32_t value = 0;
        CimControlRead(request.device, kGeneralControl + 4 * static_cast<uint32_t>(i), &value, request.out);
        std::fprintf(request.out, " CIM CTL GEN%d: 0x%08x\n", i, value);
    }
}

void ReportCimQueues(const ReportRequest& request) {
    HDevice device = request.device;
    std::FILE* const out = request.out;
    const char* const labels[] = {"ibq_config:\t\t", "obq_config:\t\t", "ibq_gen:\t\t", "obq_gen:\t\t"};
    for (uint32_t i = 0; i < 4; ++i) PrintCimWord(device, 4 * i, labels[i], out);
    for (int q = 0; q < kInboundQueues; ++q) {
        PrintQueue(device, "ibq", q, kInboundQueueBase + kQueueStride * static_cast<uint32_t>(q), out);
        DumpQueueContents(device, static_cast<uint32_t>(q), out);
    }
    for (int q = 0; q < kOutboundQueues; ++q) {
        PrintQueue(device, "obq", q, kOutboundQueueBase + kQueueStride * static_cast<uint32_t>(q), out);
        DumpQueueContents(device, static_cast<uint32_t>(q) + 4, out);
    }
}

}  // namespace qv::qvtool
