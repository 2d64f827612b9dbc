// Parsing of the NDIS offload answers: bounded walks over bytes the driver returned.
#include "qv/teamcfg/ndis_records.h"

#include <algorithm>
#include <cstring>

namespace qv::cfg {
namespace {

// Copies the record at offset out of answer; false when it does not lie wholly inside.
template <typename Record>
bool ReadAt(std::span<const uint8_t> answer, size_t offset, Record* out, size_t size = sizeof(Record)) {
    if (offset > answer.size() || answer.size() - offset < size) return false;
    std::memcpy(out, answer.data() + offset, size);
    return true;
}

// The answer's bytes over a zeroed record: what the driver did not return stays 0.
template <typename Record>
Record ZeroExtended(std::span<const uint8_t> answer) {
    Record record{};
    if (!answer.empty()) std::memcpy(&record, answer.data(), std::min(answer.size(), sizeof(Record)));
    return record;
}

constexpr uint32_t kChecksumMasks[4] = {0x1F, 0x1F, 0x0F, 0x0F};

void ApplyTask(const NdisTaskOffload& task, std::span<const uint8_t> buffer, DeviceCaps5* out) {
    switch (task.task) {
        case kNdisTaskChecksum: {
            NdisTaskTcpIpChecksum checksum{};
            if (!ReadAt(buffer, 0, &checksum)) return;
            const uint32_t words[4] = {checksum.v4Transmit, checksum.v4Receive, checksum.v6Transmit,
                                       checksum.v6Receive};
            for (int i = 0; i < 4; ++i) out->checksum[i] = words[i] & kChecksumMasks[i];
            return;
        }
        case kNdisTaskIpsec:
            out->ipsecPresent = 1;
            return;
        case kNdisTaskLargeSend: {
            NdisTaskTcpLargeSend largeSend{};
            if (!ReadAt(buffer, 0, &largeSend, kLargeSendBufferUsed)) return;
            out->maxOffloadSize = largeSend.maxOffloadSize;
            out->minSegmentCount = largeSend.minSegmentCount;
            out->tcpOptions = largeSend.tcpOptions;
            out->ipOptions = largeSend.ipOptions;
            return;
        }
        case kNdisTaskToe:
            out->toePresent = 1;
            return;
        default:
            return;
    }
}

}  // namespace

void PrepareTaskOffloadHeader(std::span<uint8_t> buffer) {
    NdisTaskOffloadHeader header{};
    header.version = 1;
    header.size = sizeof(NdisTaskOffloadHeader);
    header.encapsulation = kNdisEncapsulationIeee8023;
    header.encapsulationFlags = kNdisFixedHeaderSizeFlag;
    std::memcpy(buffer.data(), &header, std::min(buffer.size(), sizeof header));
}

bool ParseTaskOffload5(std::span<const uint8_t> answer, DeviceCaps5* out) {
    *out = DeviceCaps5{};
    NdisTaskOffloadHeader header{};
    if (!ReadAt(answer, 0, &header) || header.offsetFirstTask == 0) return false;
    size_t offset = header.offsetFirstTask;
    NdisTaskOffload task{};
    if (!ReadAt(answer, offset, &task)) return false;
    for (int walked = 0; walked < kMaxOffloadTasks; ++walked) {
        // The task buffer is what the entry claims, cut to the answer's end.
        const size_t bufferStart = offset + sizeof(NdisTaskOffload);
        const size_t available = answer.size() - std::min(answer.size(), bufferStart);
        const size_t bufferLength = std::min<size_t>(task.taskBufferLength, available);
        ApplyTask(task, answer.subspan(std::min(answer.size(), bufferStart), bufferLength), out);
        // Offsets move forward by at least one entry, so the walk cannot loop or overlap.
        if (task.offsetNextTask < sizeof(NdisTaskOffload)) break;
        offset += task.offsetNextTask;
        if (!ReadAt(answer, offset, &task)) break;
    }
    return true;
}

bool ParseTaskOffload6(std::span<const uint8_t> answer, DeviceCaps6* out) {
    *out = DeviceCaps6{};
    if (answer.size() < sizeof(NdisObjectHeader)) return false;
    const NdisOffload offload = ZeroExtended<NdisOffload>(answer);
    if (offload.header.type != kNdisObjectTypeOffload) return false;     // Header Type mismatch
    if (offload.header.revision != kNdisOffloadRevision1) return false;  // Header Version mismatch
    std::copy(std::begin(offload.checksum), std::end(offload.checksum), out->checksum);
    out->lsoV1 = offload.lsoV1;
    out->lsoV2Ipv4Encapsulation = offload.lsoV2Ipv4.encapsulation;
    out->lsoV2Ipv4MaxOffloadSize = offload.lsoV2Ipv4.maxOffloadSize;
    out->lsoV2Ipv4MinSegmentCount = offload.lsoV2Ipv4.minSegmentCount;
    out->lsoV2Ipv6 = offload.lsoV2Ipv6;
    out->ipsecSupported = offload.ipsecSupported;
    out->ipsecV4Ah = offload.ipsecV4Ah;
    out->ipsecV4Esp = offload.ipsecV4Esp;
    return true;
}

void ParseConnectionOffload(std::span<const uint8_t> answer, ConnectionOffloadCaps* out) {
    const NdisConnectionOffload record = ZeroExtended<NdisConnectionOffload>(answer);
    *out = {record.encapsulation, record.supportBits, record.capacity, record.flags};
}

}  // namespace qv::cfg
