// The NDIS answer layouts and parsers, byte by byte, and the texts made from them.
#include "qv/teamcfg/ndis_records.h"

#include <gtest/gtest.h>

#include <cstring>
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
    {  // a next offset below one entry would overlap or loop: the walk ends there
        auto a = Header5(28);
        Task(a, 28, 1, 4, 0);
        Task(a, 48, 3, 0, 0);
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

TEST(NdisRecords, Ndis6OffloadFieldsByOffset) {
    std::vector<uint8_t> answer(112);
    for (size_t i = 4; i < answer.size(); i += 4) Put32(answer, i, static_cast<uint32_t>(0x1000 + i));
    answer[0] = 0xA7, answer[1] = 1, answer[2] = 112;
    DeviceCaps6 caps;
    ASSERT_TRUE(ParseTaskOffload6(answer, &caps));
    EXPECT_EQ(caps.checksum[0].encapsulation, 0x1004u);
    EXPECT_EQ(caps.checksum[3].bits, 0x1020u);
    EXPECT_EQ(caps.lsoV1.encapsulation, 0x1024u);
    EXPECT_EQ(caps.lsoV1.optionBits, 0x1030u);
    EXPECT_EQ(caps.ipsecSupported.encapsulation, 0x1034u);
    EXPECT_EQ(caps.ipsecSupported.flags, 0x1044u);
    EXPECT_EQ(caps.ipsecV4Ah, 0x1048u);
    EXPECT_EQ(caps.ipsecV4Esp, 0x104Cu);
    EXPECT_EQ(caps.lsoV2Ipv4Encapsulation, 0x1050u);
    EXPECT_EQ(caps.lsoV2Ipv4MinSegmentCount, 0x1058u);
    EXPECT_EQ(caps.lsoV2Ipv6.encapsulation, 0x105Cu);
    EXPECT_EQ(caps.lsoV2Ipv6.optionBits, 0x1068u);

    // What the driver did not return counts as 0.
    ASSERT_TRUE(ParseTaskOffload6(std::span<const uint8_t>(answer.data(), 8), &caps));
    EXPECT_EQ(caps.checksum[0].encapsulation, 0x1004u);
    EXPECT_EQ(caps.checksum[0].bits, 0u);
    EXPECT_EQ(caps.lsoV2Ipv6.encapsulation, 0u);

    const struct {
        uint8_t type, revision;
        size_t size;
    } refused[] = {{0xA8, 1, 112}, {0xA7, 2, 112}, {0xA7, 1, 3}};
    for (const auto& r : refused) {
        answer[0] = r.type, answer[1] = r.revision;
        EXPECT_FALSE(ParseTaskOffload6(std::span<const uint8_t>(answer.data(), r.size), &caps));
        EXPECT_EQ(caps.lsoV1.encapsulation, 0u);
    }
}

TEST(NdisRecords, ConnectionOffloadWords) {
    std::vector<uint8_t> answer(20);
    for (size_t i = 4; i < 20; i += 4) Put32(answer, i, static_cast<uint32_t>(i));
    ConnectionOffloadCaps caps;
    ParseConnectionOffload(answer, &caps);
    EXPECT_EQ(caps.encapsulation, 4u);
    EXPECT_EQ(caps.supportBits, 8u);
    EXPECT_EQ(caps.capacity, 12u);
    EXPECT_EQ(caps.flags, 16u);
    ParseConnectionOffload(std::span<const uint8_t>(answer.data(), 9), &caps);
    EXPECT_EQ(caps.supportBits, 8u & 0xFF);
    EXPECT_EQ(caps.capacity, 0u);
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
    OffloadAnswers toeLsoChecksum5;
    toeLsoChecksum5.ndis5 = true;
    toeLsoChecksum5.caps5.toePresent = 1;
    toeLsoChecksum5.caps5.tcpOptions = 1;
    toeLsoChecksum5.caps5.checksum[3] = 1;
    OffloadAnswers checksumOnly5;
    checksumOnly5.ndis5 = true;
    checksumOnly5.caps5.checksum[0] = 0x1F;
    OffloadAnswers empty5;
    empty5.ndis5 = true;
    OffloadAnswers otherError;
    otherError.ndis5Error = 31;
    OffloadAnswers mismatch6;  // NDIS 5 not supported, NDIS 6 header refused
    mismatch6.ndis5Error = kErrorNotSupported;
    OffloadAnswers ndis6 = mismatch6;
    ndis6.ndis6 = true;
    OffloadAnswers lso6 = ndis6;
    lso6.caps6.lsoV2Ipv6.encapsulation = 2;
    OffloadAnswers all6 = lso6;
    all6.caps6.checksum[2].encapsulation = 2;
    all6.connection = true;
    all6.connectionCaps.supportBits = 0x100;  // above the low 8 bits: no TOE
    OffloadAnswers toe6 = ndis6;
    toe6.connection = true;
    toe6.connectionCaps.capacity = 1;
    OffloadAnswers failedToe6 = toe6;
    failedToe6.connection = false;

    const struct {
        const char* name;
        const OffloadAnswers& answers;
        const char16_t* text;
    } cases[] = {
        {"NDIS 5 TOE, LSO, checksum", toeLsoChecksum5, u"TOE, LSO, Checksum Offload"},
        {"NDIS 5 checksum", checksumOnly5, u"Checksum Offload"},
        {"NDIS 5 nothing", empty5, u""},
        {"NDIS 5 failed otherwise", otherError, u"Unknown"},
        {"NDIS 6 header mismatch", mismatch6, u"Unknown"},
        {"NDIS 6 nothing", ndis6, u"Unknown"},
        {"NDIS 6 LSO", lso6, u"LSO"},
        {"NDIS 6 LSO checksum", all6, u"LSO, Checksum Offload"},
        {"NDIS 6 TOE", toe6, u"TOE"},
        {"NDIS 6 TOE query failed", failedToe6, u"Unknown"},
    };
    for (const auto& c : cases) EXPECT_EQ(OffloadText(c.answers), c.text) << c.name;
}

}  // namespace
}  // namespace qv::cfg
