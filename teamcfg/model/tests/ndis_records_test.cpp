// The NDIS answer layouts and parsers, byte by byte, and the texts made from them.
#include "qv/teamcfg/ndis_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "qv/teamcfg/page_texts.h"

namespace qv::cfg {
namespace {

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    if (bytes.size() < at + 4) bytes.resize(at + 4);
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// An NDIS 5 answer: the header with the first task's offset.
std::vector<uint8_t> Header5(uint32_t offsetFirstTask) {
    std::vector<uint8_t> bytes(28);
    Put32(bytes, 0, 1);
    Put32(bytes, 4, 28);
    Put32(bytes, 12, offsetFirstTask);
    return bytes;
}
// A task entry at at, with its buffer words.
void Task(std::vector<uint8_t>& bytes, size_t at, uint32_t task, uint32_t next, uint32_t bufferLength,
          std::vector<uint32_t> words = {}) {
    Put32(bytes, at, 1);
    Put32(bytes, at + 4, 20);
    Put32(bytes, at + 8, task);
    Put32(bytes, at + 12, next);
    Put32(bytes, at + 16, bufferLength);
    for (size_t i = 0; i < words.size(); ++i) Put32(bytes, at + 20 + 4 * i, words[i]);
}

TEST(NdisRecords, PreparedHeaderBytes) {
    uint8_t buffer[kTaskOffload5BufferSize];
    std::memset(buffer, 0xEE, sizeof buffer);
    PrepareTaskOffloadHeader(buffer);
    const uint8_t expected[28] = {1, 0, 0, 0, 28, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0, 0, 2, 0, 0,  0, 1, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(buffer, expected, sizeof expected));
    EXPECT_EQ(buffer[28], 0xEE);
}

TEST(NdisRecords, Ndis5TaskWalk) {
    struct Case {
        const char* name;
        std::vector<uint8_t> answer;
        bool ok;
        DeviceCaps5 caps;
    };
    std::vector<Case> cases;
    {  // checksum words keep 5, 5, 4 and 4 low bits; large send; IPsec; TOE
        auto a = Header5(28);
        Task(a, 28, 0, 36, 16, {0xFFFFFFFF, 0x21, 0xFFFFFFFF, 0x13});
        Task(a, 64, 2, 36, 16, {0, 65536, 2, 0x0101});
        Task(a, 100, 1, 20, 0);
        Task(a, 120, 3, 0, 0);
        cases.push_back({"whole chain", a, true, {{0x1F, 0x01, 0x0F, 0x03}, 65536, 2, 1, 1, 1, 1}});
    }
    cases.push_back({"no first task", Header5(0), false, {}});
    cases.push_back({"first task outside", Header5(200), false, {}});
    {
        auto a = Header5(28);
        Task(a, 28, 3, 0, 0);
        a.resize(40);  // the entry is cut short
        cases.push_back({"first task cut short", a, false, {}});
    }
    {  // a next offset below one entry would read the entry's own bytes as a task: the walk ends
        auto a = Header5(28);
        Task(a, 28, 1, 12, 0);
        Put32(a, 48, 3);  // at 40 + 8: what would be read as a TOE task, the last
        Put32(a, 52, 0);
        Put32(a, 56, 0);
        cases.push_back({"overlapping next", a, true, {{}, 0, 0, 0, 0, 1, 0}});
    }
    {  // an offset that wraps 32 bits points past the end
        auto a = Header5(28);
        Task(a, 28, 1, 0xFFFFFFEC, 0);
        cases.push_back({"wrapping next", a, true, {{}, 0, 0, 0, 0, 1, 0}});
    }
    {  // task buffers too short for what is read are skipped; the chain goes on
        auto a = Header5(28);
        Task(a, 28, 0, 20, 0);
        Task(a, 48, 2, 33, 13, {1, 9000, 3});
        Task(a, 81, 3, 0, 0);
        cases.push_back({"short buffers", a, true, {{}, 0, 0, 0, 0, 0, 1}});
    }
    {  // a buffer length past the answer is cut to it
        auto a = Header5(28);
        Task(a, 28, 0, 0, 4000, {0x1F, 0x1F, 0x0F});
        cases.push_back({"buffer past the end", a, true, {}});
    }
    {  // a chain longer than any driver's ends after kMaxOffloadTasks tasks
        auto a = Header5(28);
        for (int i = 0; i < 40; ++i) Task(a, 28 + 20 * static_cast<size_t>(i), i == 39 ? 3 : 1, 20, 0);
        cases.push_back({"endless chain", a, true, {{}, 0, 0, 0, 0, 1, 0}});
    }
    for (const Case& c : cases) {
        DeviceCaps5 caps;
        std::memset(&caps, 0x5A, sizeof caps);
        EXPECT_EQ(ParseTaskOffload5(c.answer, &caps), c.ok) << c.name;
        EXPECT_EQ(0, std::memcmp(&caps, &c.caps, sizeof caps)) << c.name;
    }
}

TEST(NdisRecords, Ndis6RecordsByOffset) {
    std::vector<uint8_t> answer(112);
    for (size_t i = 4; i < answer.size(); i += 4) Put32(answer, i, static_cast<uint32_t>(0x1000 + i));
    answer[0] = 0xA7, answer[1] = 1;
    DeviceCaps6 caps;
    ASSERT_TRUE(ParseTaskOffload6(answer, &caps));
    const uint32_t fields[][2] = {{caps.checksum[0].encapsulation, 4},
                                  {caps.checksum[3].bits, 32},
                                  {caps.lsoV1.encapsulation, 36},
                                  {caps.lsoV1.optionBits, 48},
                                  {caps.ipsecSupported.encapsulation, 52},
                                  {caps.ipsecSupported.flags, 68},
                                  {caps.ipsecV4Ah, 72},
                                  {caps.ipsecV4Esp, 76},
                                  {caps.lsoV2Ipv4Encapsulation, 80},
                                  {caps.lsoV2Ipv4MinSegmentCount, 88},
                                  {caps.lsoV2Ipv6.encapsulation, 92},
                                  {caps.lsoV2Ipv6.optionBits, 104}};
    for (const auto& [value, offset] : fields) EXPECT_EQ(value, 0x1000 + offset) << offset;
    // What the driver did not return counts as 0; a wrong type or revision refuses the record.
    ASSERT_TRUE(ParseTaskOffload6(std::span<const uint8_t>(answer.data(), 8), &caps));
    EXPECT_EQ(caps.checksum[0].encapsulation, 0x1004u);
    EXPECT_EQ(caps.checksum[0].bits, 0u);
    for (const auto& [type, revision, size] : {std::tuple{0xA8, 1, 112}, {0xA7, 2, 112}, {0xA7, 1, 3}}) {
        answer[0] = static_cast<uint8_t>(type), answer[1] = static_cast<uint8_t>(revision);
        EXPECT_FALSE(
            ParseTaskOffload6(std::span<const uint8_t>(answer.data(), static_cast<size_t>(size)), &caps));
        EXPECT_EQ(caps.lsoV1.encapsulation, 0u);
    }
    ConnectionOffloadCaps toe;
    ParseConnectionOffload(std::span<const uint8_t>(answer.data(), 13), &toe);
    EXPECT_EQ(toe.encapsulation, 0x1004u);
    EXPECT_EQ(toe.supportBits, 0x1008u);
    EXPECT_EQ(toe.capacity, 0x0Cu);  // one byte of it returned
    EXPECT_EQ(toe.flags, 0u);
}

TEST(PageTexts, LinkSpeed) {
    OsVersionInfo v5, v6;
    v5.majorVersion = 5;
    v6.majorVersion = 6;
    const struct {
        uint64_t units;
        const OsVersionInfo* os;
        const char16_t* text;
    } cases[] = {
        {100000000, &v6, u"10 Gbps"},
        {10000000, &v6, u"1 Gbps"},
        {1000000, &v6, u"100 Mbps"},
        {1, &v6, u"100 bps"},
        {0, &v6, u"100 bps"},
        {2, &v6, u"200 bps"},
        {9, &v6, u"900 bps"},
        {10, &v6, u"1 Kbps"},
        {5000, &v6, u"500 Kbps"},
        {10000, &v6, u"1 Mbps"},
        {1000000000, &v6, u"10 Gbps"},  // capped at 0x280000000 bit/s
        {1000000000, &v5, u"100 Gbps"},
        {100000000, nullptr, u"100 bps"},
        {~0ull, &v5, u"18446744073 Gbps"},
    };
    for (const auto& c : cases) EXPECT_EQ(LinkSpeedText(c.units, c.os), c.text) << c.units;
}

TEST(PageTexts, Offload) {
    // NDIS 5 answers: TOE, large send and checksum facts; "failed" is an error other than
    // ERROR_NOT_SUPPORTED.
    const struct {
        bool ok, toe, lso, checksum;
        const char16_t* text;
    } ndis5[] = {{true, true, true, true, u"TOE, LSO, Checksum Offload"},
                 {true, false, false, true, u"Checksum Offload"},
                 {true, false, true, false, u"LSO"},
                 {true, false, false, false, u""},
                 {false, true, true, true, u"Unknown"}};
    for (const auto& c : ndis5) {
        OffloadAnswers a;
        a.ndis5 = c.ok;
        a.ndis5Error = c.ok ? kErrorSuccess : 31;
        a.caps5.toePresent = c.toe;
        a.caps5.ipOptions = c.lso;
        a.caps5.checksum[3] = c.checksum;
        EXPECT_EQ(OffloadText(a), c.text);
    }
    // NDIS 6 after ERROR_NOT_SUPPORTED: a refused record (header type mismatch) or no fact gives
    // "Unknown"; TOE needs the connection answer with encapsulation, a low support bit or capacity.
    const struct {
        bool ok, lso, checksum, connection;
        uint32_t support, capacity;
        const char16_t* text;
    } ndis6[] = {{false, true, true, true, 1, 1, u"Unknown"},
                 {true, false, false, true, 0x100, 0, u"Unknown"},
                 {true, true, false, false, 1, 1, u"LSO"},
                 {true, true, true, true, 0x100, 0, u"LSO, Checksum Offload"},
                 {true, false, true, true, 0x40, 0, u"Checksum Offload, TOE"},
                 {true, false, false, true, 0, 1, u"TOE"}};
    for (const auto& c : ndis6) {
        OffloadAnswers a;
        a.ndis5Error = kErrorNotSupported;
        a.ndis6 = c.ok;
        a.caps6.lsoV2Ipv6.encapsulation = c.lso ? 2 : 0;
        a.caps6.checksum[2].encapsulation = c.checksum ? 2 : 0;
        a.connection = c.connection;
        a.connectionCaps = {0, c.support, c.capacity, 0};
        EXPECT_EQ(OffloadText(a), c.text);
    }
}

}  // namespace
}  // namespace qv::cfg
