// The NDIS facts of the simulated network adapters: where they are kept, their defaults, and the
// byte-exact answers to the OIDs the adapters know.
#include "qv/sim/ndis_adapter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/little_endian.h"
#include "qv/sim/reg_key.h"

namespace qv::sim {
namespace {

constexpr uint32_t kLinkSpeed10G = 100000000;  // 10 Gb/s in units of 100 bit/s
constexpr uint32_t kLinkSpeed1G = 10000000;
constexpr uint32_t kEncapsulation8023 = 2;  // NDIS_ENCAPSULATION_IEEE_802_3
constexpr uint32_t kMaxOffloadSize = 65536;
constexpr uint32_t kMinSegmentCount = 2;
// NDIS_OBJECT_HEADER of the NDIS 6 offload records: NDIS_OBJECT_TYPE_OFFLOAD, revision 1.
constexpr uint8_t kOffloadObjectType = 0xA7;
constexpr uint8_t kOffloadRevision = 1;
constexpr uint32_t kOffloadSupported = 1;  // NDIS_OFFLOAD_SUPPORTED in each 2-bit field
constexpr uint32_t kTcpConnectionCapacity = 1024;
// Sizes of the answers in bytes.
constexpr uint32_t kTaskOffload5Size = 120;  // header, checksum, large send and TOE tasks
constexpr uint32_t kTaskOffload6Size = 112;  // NDIS_OFFLOAD
constexpr uint32_t kConnectionOffload6Size = 20;

struct NdisFacts {
    uint32_t linkSpeed = 0;  // units of 100 bit/s
    uint32_t mediaConnectStatus = 0;
    uint32_t maximumFrameSize = 1514;
    uint32_t offloadForm = 6;
    uint32_t connectionOffload = 0;
};

std::u16string CounterName(uint32_t oid) {
    char name[24];
    std::snprintf(name, sizeof name, "Counter_%08X", oid);
    return ToUtf16(name);
}

// The facts of an adapter that has no key yet: n5 adapters (service qvn5) 10 Gb/s, NDIS 6 form with
// TCP connection offload; the other physical adapters 1 Gb/s, NDIS 5 form; team and VLAN virtual
// adapters 1 Gb/s, NDIS 6 form without connection offload. Always connected, frames of 1514 bytes.
NdisFacts DefaultNdisFacts(std::u16string_view service) {
    NdisFacts facts;
    facts.linkSpeed = kLinkSpeed1G;
    if (EqualsIgnoreCase(service, u"qvn5")) {
        facts.linkSpeed = kLinkSpeed10G;
        facts.connectionOffload = 1;
    } else if (!EqualsIgnoreCase(service, u"qvteamm")) {
        facts.offloadForm = 5;
    }
    return facts;
}

NdisFacts ReadNdisFacts(std::u16string_view guid, std::u16string_view service) {
    NdisFacts facts = DefaultNdisFacts(service);
    RegKey key;
    if (RegKey::Open(JoinPath(kSimNdisPath, guid), kKeyQueryValue, &key) != kErrorSuccess) return facts;
    facts.linkSpeed = key.ReadDword(kNdisLinkSpeed).value_or(facts.linkSpeed);
    facts.mediaConnectStatus = key.ReadDword(kNdisMediaConnect).value_or(facts.mediaConnectStatus);
    facts.maximumFrameSize = key.ReadDword(kNdisMaxFrameSize).value_or(facts.maximumFrameSize);
    facts.offloadForm = key.ReadDword(kNdisOffloadForm).value_or(facts.offloadForm);
    facts.connectionOffload = key.ReadDword(kNdisConnectionOffload).value_or(facts.connectionOffload);
    return facts;
}

uint64_t ReadNdisCounter(std::u16string_view guid, uint32_t oid) {
    RegKey key;
    if (RegKey::Open(JoinPath(kSimNdisPath, guid), kKeyQueryValue, &key) != kErrorSuccess) return 0;
    uint32_t type = 0;
    const auto bytes = key.ReadBytes(CounterName(oid), &type);
    if (!bytes || type != kRegQword || bytes->size() != 8) return 0;
    return Get64(bytes->data());
}

// Twelve hex digits into six bytes; false (bytes untouched) for anything else.
bool ParseAddress(std::u16string_view text, uint8_t (&address)[6]) {
    if (text.size() != 12) return false;
    uint8_t bytes[6] = {};
    for (size_t i = 0; i < 12; ++i) {
        const char16_t c = text[i];
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
        if (digit < 0) return false;
        bytes[i / 2] = static_cast<uint8_t>(bytes[i / 2] << 4 | digit);
    }
    std::memcpy(address, bytes, 6);
    return true;
}

// 2-bit NDIS_OFFLOAD_SUPPORTED fields, count of them from bit 0.
uint32_t SupportedFields(int count) {
    uint32_t bits = 0;
    for (int i = 0; i < count; ++i) bits |= kOffloadSupported << (2 * i);
    return bits;
}

// NDIS 5: NDIS_TASK_OFFLOAD_HEADER (28 bytes), then NDIS_TASK_OFFLOAD entries (20 bytes each and
// their task buffer): checksum, large send and, with connection offload, task 3 (TOE).
uint32_t WriteTaskOffload5(const NdisFacts& facts, uint8_t* p) {
    constexpr uint32_t kHeaderSize = 28, kTaskHeaderSize = 20, kTaskBufferSize = 16;
    Put32(p + 0, 1);                    // Version
    Put32(p + 4, kHeaderSize);          // Size
    Put32(p + 12, kHeaderSize);         // OffsetFirstTask
    Put32(p + 16, kEncapsulation8023);  // EncapsulationFormat.Encapsulation
    Put32(p + 20, 1);                   // FixedHeaderSize
    Put32(p + 24, 14);                  // EncapsulationHeaderSize
    const bool toe = facts.connectionOffload != 0;
    uint8_t* task = p + kHeaderSize;
    auto writeTask = [&](uint32_t number, uint32_t bufferSize, bool last) {
        Put32(task + 0, 1);  // Version
        Put32(task + 4, kTaskHeaderSize);
        Put32(task + 8, number);
        Put32(task + 12, last ? 0 : kTaskHeaderSize + bufferSize);
        Put32(task + 16, bufferSize);
    };
    writeTask(0, kTaskBufferSize, false);  // checksum: IPv4 transmit/receive 5 bits, IPv6 4 bits
    Put32(task + 20, 0x1F);
    Put32(task + 24, 0x1F);
    Put32(task + 28, 0x0F);
    Put32(task + 32, 0x0F);
    task += kTaskHeaderSize + kTaskBufferSize;
    writeTask(2, kTaskBufferSize, !toe);  // large send: version, size, segments, TCP and IP options
    Put32(task + 20, 0);
    Put32(task + 24, kMaxOffloadSize);
    Put32(task + 28, kMinSegmentCount);
    task[32] = 1;
    task[33] = 1;
    task += kTaskHeaderSize + kTaskBufferSize;
    if (toe) {
        writeTask(3, 0, true);
        task += kTaskHeaderSize;
    }
    return static_cast<uint32_t>(task - p);
}

void WriteObjectHeader(uint8_t* p, uint16_t size) {
    p[0] = kOffloadObjectType;
    p[1] = kOffloadRevision;
    Put16(p + 2, size);
}

// NDIS 6 NDIS_OFFLOAD: header, checksum (4 x 8), large send v1 (16), IPsec v1 (28), large send v2
// (12 + 16), flags.
void WriteTaskOffload6(uint8_t* p) {
    WriteObjectHeader(p, kTaskOffload6Size);
    const uint32_t checksumBits[4] = {SupportedFields(5), SupportedFields(5), SupportedFields(4),
                                      SupportedFields(4)};
    for (int i = 0; i < 4; ++i) {
        Put32(p + 4 + 8 * i, kEncapsulation8023);
        Put32(p + 8 + 8 * i, checksumBits[i]);
    }
    Put32(p + 36, kEncapsulation8023);  // large send v1 IPv4
    Put32(p + 40, kMaxOffloadSize);
    Put32(p + 44, kMinSegmentCount);
    Put32(p + 48, SupportedFields(2));
    // IPsec v1 (52..79) stays zero: not offloaded.
    Put32(p + 80, kEncapsulation8023);  // large send v2 IPv4
    Put32(p + 84, kMaxOffloadSize);
    Put32(p + 88, kMinSegmentCount);
    Put32(p + 92, kEncapsulation8023);  // large send v2 IPv6
    Put32(p + 96, kMaxOffloadSize);
    Put32(p + 100, kMinSegmentCount);
    Put32(p + 104, SupportedFields(2));
}

// NDIS 6 connection offload: header, encapsulation, support bits (IPv4, IPv6, IPv6 extension
// headers, SACK), capacity, flags; all zero after the header when connection offload is off.
void WriteConnectionOffload6(const NdisFacts& facts, uint8_t* p) {
    WriteObjectHeader(p, kConnectionOffload6Size);
    if (facts.connectionOffload == 0) return;
    Put32(p + 4, kEncapsulation8023);
    Put32(p + 8, kOffloadSupported | kOffloadSupported << 6);  // IPv4 and SACK
    Put32(p + 12, kTcpConnectionCapacity);
}

}  // namespace

std::optional<uint32_t> StatisticsStep(uint32_t oid) {
    const auto it = std::ranges::find(kStatisticsOids, oid);
    if (it == std::end(kStatisticsOids)) return std::nullopt;
    return static_cast<uint32_t>(it - std::begin(kStatisticsOids)) + 1;
}

bool WriteNdisFact(std::u16string_view guid, std::u16string_view valueName, uint32_t value) {
    RegKey key;
    return RegKey::Create(JoinPath(kSimNdisPath, guid), &key) == kErrorSuccess &&
           key.WriteDword(valueName, value) == kErrorSuccess;
}

bool WriteNdisCounter(std::u16string_view guid, uint32_t oid, uint64_t value) {
    RegKey key;
    if (RegKey::Create(JoinPath(kSimNdisPath, guid), &key) != kErrorSuccess) return false;
    uint8_t bytes[8];
    Put64(bytes, value);
    const std::u16string name = CounterName(oid);
    return reg::SetValueEx(key.get(), name.c_str(), kRegQword, bytes, sizeof bytes) == kErrorSuccess;
}

std::optional<NdisAdapter> ReadNdisAdapter(std::u16string_view instanceId) {
    const auto record = ReadDevice(instanceId);
    if (!record || record->netCfgInstanceId.empty()) return std::nullopt;
    NdisAdapter adapter{std::u16string(instanceId), record->netCfgInstanceId, record->service};
    // Team and VLAN adapters have no burnt-in address: their permanent address is the one their
    // miniport writes. A configured NetworkAddress overrides the current address.
    const auto networkAddress = record->driverValues.String(u"NetworkAddress").value_or(u"");
    if (!ParseAddress(record->state.permanentAddress, adapter.permanentAddress))
        ParseAddress(networkAddress, adapter.permanentAddress);
    std::memcpy(adapter.currentAddress, adapter.permanentAddress, 6);
    ParseAddress(networkAddress, adapter.currentAddress);
    return adapter;
}

Win32Error AnswerNdisQuery(const NdisAdapter& adapter, uint32_t oid, std::span<uint8_t> out,
                           uint32_t* written) {
    *written = 0;
    const NdisFacts facts = ReadNdisFacts(adapter.guid, adapter.service);
    uint8_t answer[kTaskOffload5Size] = {};
    uint32_t size = 0;
    const auto step = StatisticsStep(oid);
    switch (oid) {
        case kOidCurrentAddress:
        case kOidPermanentAddress:
            std::memcpy(answer, oid == kOidCurrentAddress ? adapter.currentAddress : adapter.permanentAddress,
                        6);
            size = 6;
            break;
        case kOidLinkSpeed:
        case kOidMediaConnectStatus:
        case kOidMaximumFrameSize:
            Put32(answer, oid == kOidLinkSpeed            ? facts.linkSpeed
                          : oid == kOidMediaConnectStatus ? facts.mediaConnectStatus
                                                          : facts.maximumFrameSize);
            size = 4;
            break;
        case kOidTaskOffload5:
            if (facts.offloadForm != 5) return kErrorNotSupported;
            size = WriteTaskOffload5(facts, answer);
            break;
        case kOidTaskOffload6:
            if (facts.offloadForm != 6) return kErrorNotSupported;
            WriteTaskOffload6(answer);
            size = kTaskOffload6Size;
            break;
        case kOidConnectionOffload6:
            if (facts.offloadForm != 6) return kErrorNotSupported;
            WriteConnectionOffload6(facts, answer);
            size = kConnectionOffload6Size;
            break;
        default:
            if (!step) return kErrorNotSupported;
            size = 8;
            break;
    }
    if (out.size() < size) {
        *written = size;
        return kErrorInsufficientBuffer;
    }
    if (step) {
        // The answer is the value before this query; the counter moves on by its step.
        const uint64_t value = ReadNdisCounter(adapter.guid, oid);
        Put64(answer, value);
        if (!WriteNdisCounter(adapter.guid, oid, value + *step)) return kErrorGenFailure;
    }
    std::memcpy(out.data(), answer, size);
    *written = size;
    return kErrorSuccess;
}

}  // namespace qv::sim
