// The adapter's informational state: power-on contents, the microcode handshake, the generated
// trace, and the bus driver's answers that read and change them.
#include <cstdio>
#include <cstring>

#include "adapter_info_answers.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/n5/adapter_info_state.h"

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kVersionRecordSize = 16;
constexpr uint32_t kQsetParamRecordSize = 16;
constexpr uint32_t kEndMarkBytes = 8;

// The entry with sequence number k, as the driver would have logged it.
struct GeneratedEntry {
    uint32_t number;
    int64_t first;
    int64_t second;
    char message[96];
};

GeneratedEntry MakeEntry(uint32_t k) {
    GeneratedEntry e{};
    e.number = k % kQsetCount;
    e.first = 1200000 + static_cast<int64_t>(k) * 1375;  // microseconds since the driver started
    e.second = k % 7 == 6 ? -static_cast<int64_t>(k % 3 + 1) : static_cast<int64_t>(k * 37 % 4096);
    switch (k % 5) {
        case 0:
            std::snprintf(e.message, sizeof e.message, "rspq%u: %u responses processed", e.number,
                          k * 3 % 64 + 1);
            break;
        case 1:
            std::snprintf(e.message, sizeof e.message, "flq%u refill: %u buffers", e.number, k * 11 % 128);
            break;
        case 2:
            std::snprintf(e.message, sizeof e.message, "intr: cause 0x%08X", 0x10000u << (k % 8) | k);
            break;
        case 3:
            std::snprintf(e.message, sizeof e.message, "txq%u doorbell pidx %u", e.number, k * 17 % 1024);
            break;
        default:
            std::snprintf(e.message, sizeof e.message, "port %u link %s", k % 2, k % 10 == 4 ? "down" : "up");
            break;
    }
    return e;
}

// Fills buffer (capacity bytes) with the next entries that fit, leaving room for the end mark, and
// gives the bytes used; 0 when no entry is left (or not even one fits).
uint32_t FillTraceBuffer(AdapterInfoState* info, uint8_t* buffer, uint32_t capacity) {
    uint32_t used = 0;
    while (info->traceEntriesLeft > 0) {
        const GeneratedEntry e = MakeEntry(info->traceNextEntry);
        const uint32_t length = static_cast<uint32_t>(std::strlen(e.message));
        const uint32_t bytes = (kTraceEntryHeaderBytes + length + 1 + 7) & ~7u;  // terminated, padded to 8
        if (capacity < kEndMarkBytes || bytes > capacity - kEndMarkBytes - used) break;
        uint8_t* p = buffer + used;
        std::memset(p, 0, bytes);
        Put64(p, bytes);
        Put32(p + 8, e.number);
        Put64(p + 16, static_cast<uint64_t>(e.first));
        Put64(p + 24, static_cast<uint64_t>(e.second));
        std::memcpy(p + kTraceEntryHeaderBytes, e.message, length);
        used += bytes;
        --info->traceEntriesLeft;
        ++info->traceNextEntry;
    }
    if (used == 0) return 0;
    Put64(buffer + used, 0);
    ++info->traceBuffersHandedOut;
    return used + kEndMarkBytes;
}

}  // namespace

const char* const kQsetParamNames[kQsetParamCount] = {
    "holdoff", "maxrxpkts", "cpu_affinity", "default_txq", "percent_below_dpc_threshold",
};

void PowerOnAdapterInfo(AdapterInfoState* info) {
    std::memset(info, 0, sizeof *info);
    const uint32_t version[4] = {3, 2, 0, 17};
    std::memcpy(info->busDriverVersion, version, sizeof version);
    info->loadedMicrocode = 0x00010403;  // 1.4.3
    info->traceEntriesLeft = kTraceEntriesAtPowerOn;
    for (uint32_t q = 0; q < kQsetCount; ++q) {
        const uint32_t params[kQsetParamCount] = {0x32, 0x40, q, 0, 0x19};
        std::memcpy(info->qsetParams[q], params, sizeof params);
    }
}

bool IsMicrocodeRegister(uint32_t offset) {
    return offset == kRegMicrocodeControl || offset == kRegMicrocodeData;
}

bool MicrocodeReadRegister(AdapterInfoState* info, uint32_t offset, uint32_t* value) {
    if (offset == kRegMicrocodeData) {
        *value = info->microcodeBusyReads == 0 ? info->loadedMicrocode : 0;
        return true;
    }
    if (info->microcodeBusyReads > 0 && info->microcodeNeverReady == 0) --info->microcodeBusyReads;
    *value = info->microcodeBusyReads > 0 ? kMicrocodeRequest : 1;
    return true;
}

bool MicrocodeWriteRegister(AdapterInfoState* info, uint32_t offset, uint32_t value) {
    if (offset == kRegMicrocodeControl && (value & kMicrocodeRequest) != 0) {
        info->microcodeBusyReads = kMicrocodeBusyReads;
    }
    return true;  // the data register is read-only
}

int32_t VersionInfo(Adapter& a, const Request& r) {
    if (r.outCapacity < kVersionRecordSize) return kErrorInsufficientBuffer;
    for (uint32_t i = 0; i < 4; ++i) Put32(r.buffer + 4 * i, a.state().info.busDriverVersion[i]);
    return Answered(r, kVersionRecordSize);
}

int32_t TraceBuffer(Adapter& a, const Request& r) {
    return Answered(r, FillTraceBuffer(&a.state().info, r.buffer, r.outCapacity));
}

int32_t QsetParam(Adapter& a, const Request& r) {
    if (r.inSize < kQsetParamRecordSize || r.outCapacity < kQsetParamRecordSize)
        return kErrorInsufficientBuffer;
    const uint32_t qset = Get32(r.buffer);
    const uint32_t index = Get32(r.buffer + 8);
    if (qset >= kQsetCount || index >= kQsetParamCount) return kErrorInvalidParameter;
    uint32_t& param = a.state().info.qsetParams[qset][index];
    if (Get32(r.buffer + 4) != 0) param = Get32(r.buffer + 12);
    Put32(r.buffer + 12, param);
    return Answered(r, kQsetParamRecordSize);
}

int32_t PortIdentify(Adapter& a, const Request& r) {
    if (r.inSize < 4) return kErrorInsufficientBuffer;
    const int32_t seconds = static_cast<int32_t>(Get32(r.buffer));
    if (seconds < 0) return kErrorInvalidParameter;
    a.state().info.lastBlinkSeconds = seconds;
    ++a.state().info.blinkRequests;
    return kErrorSuccess;
}

}  // namespace qv::sim::n5
