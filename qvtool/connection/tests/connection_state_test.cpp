// The memory-read record byte by byte, and the decoders of the connection state on buffers: the
// TCB's word order, the WRC's conversion, the STag halves, and the bounds a returned length sets.
#include "qv/qvtool/connection/connection_state.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "qv/qvtool/connection/memory_read.h"
#include "qv/testing/temp_dir.h"

namespace qv::qvtool {
namespace {

template <typename Print>
std::string Printed(Print print) {
    std::FILE* f = std::tmpfile();
    print(f);
    std::string text = qv::testing::ReadStream(f);
    std::fclose(f);
    return text;
}

TEST(MemoryReadRecordTest, LaysOutCodeKindAddressAndLengthLittleEndian) {
    const MemoryReadRecord record = MakeMemoryReadRecord(MemoryKind::kStag, 0x12345678, 32);
    uint8_t bytes[sizeof record];
    std::memcpy(bytes, &record, sizeof record);
    const uint8_t expected[20] = {0x64, 0x00, 0x00, 0x68, 0x01, 0x00, 0x00, 0x00, 0x78, 0x56,
                                  0x34, 0x12, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(bytes, expected, sizeof expected));
    EXPECT_EQ(IoControlCode(IoFunction::kMemoryRead), 0x68000064u);
}

TEST(MemoryReadRecordTest, KeepsOnlyTheReturnedBytes) {
    const std::vector<uint8_t> answer = {1, 2, 3, 4, 5, 6};
    const struct {
        uint32_t returned;
        std::array<uint8_t, 4> kept;
    } cases[] = {
        {0, {0, 0, 0, 0}},
        {3, {1, 2, 3, 0}},
        {4, {1, 2, 3, 4}},
        {0xFFFFFFFF, {1, 2, 3, 4}},  // beyond both buffers
    };
    for (const auto& c : cases) {
        std::array<uint8_t, 4> into;
        into.fill(0xEE);
        KeepReturnedBytes(answer, c.returned, into);
        EXPECT_EQ(into, c.kept) << c.returned;
    }
    std::array<uint8_t, 4> into{9, 9, 9, 9};
    KeepReturnedBytes(std::span<const uint8_t>(answer.data(), 2), 4, into);
    EXPECT_EQ(into, (std::array<uint8_t, 4>{1, 2, 0, 0})) << "an answer shorter than it claims";
}

TEST(ConnectionAddressTest, PlacesEachObject) {
    EXPECT_EQ(TcbAddress(3), 384u);
    EXPECT_EQ(WrcAddress(0x20000000, 1), 0x20300B20u);
    EXPECT_EQ(StagAddress(0x400000, 0x1FF), 0x400020u);
    EXPECT_EQ(StagAddress(0x400000, 0xFF), 0x400000u);
}

// A TCB whose physical word p holds p, and one with chosen logical words.
std::array<uint8_t, kTcbBytes> Tcb(const std::vector<std::pair<uint32_t, uint32_t>>& logical = {}) {
    std::array<uint8_t, kTcbBytes> tcb{};
    for (uint32_t p = 0; p < 32; ++p) std::memcpy(tcb.data() + 4 * p, &p, 4);
    for (const auto& [k, v] : logical) std::memcpy(tcb.data() + 4 * (k ^ 2), &v, 4);
    return tcb;
}

TEST(TcbTest, LogicalWordsSwapEachPairOf64BitWords) {
    const auto tcb = Tcb();
    const uint32_t expected[] = {2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9};
    for (uint32_t k = 0; k < std::size(expected); ++k) EXPECT_EQ(TcbWord(tcb, k), expected[k]) << k;
    EXPECT_EQ(Printed([&](std::FILE* f) { PrintTcb(0, false, tcb, kTcbBytes, f); }).substr(0, 49),
              "raw tcb dump:\n 0: 00000002 00000003 00000000 0000");
}

TEST(TcbTest, FieldsSpanWordsAndTheFlagsFollowTFlags1) {
    auto tcb = Tcb({{0, 0xC0000000},
                    {1, 0},
                    {2, 0x04000400},
                    {3, 0x00000000},
                    {12, 0x0A010002u << 11},
                    {13, 0x0A010002u >> 21}});
    EXPECT_EQ(TcbBits(tcb, 33, 30), 0x3u) << "bits 31:30 of word 0, bits 1:0 of word 1 clear";
    EXPECT_EQ(TcbBits(tcb, 80, 74), 0x01u);
    EXPECT_EQ(TcbBits(tcb, 426, 395), 0x0A010002u);
    const std::string text = Printed([&](std::FILE* f) { PrintTcb(7, true, tcb, kTcbBytes, f); });
    EXPECT_EQ(text.substr(0, 41), "tcb 7\n  state                  = 0h\n  tim");
    EXPECT_NE(text.find("  t flags2               = 1h\n"), std::string::npos);
    EXPECT_NE(text.find("  snd nxt raw            = 0h\n"), std::string::npos) << "bits 116-119 clear";
    EXPECT_NE(text.find("  dip                    = 10.1.0.2\n"), std::string::npos);
    // The flag word's bit 32 is TCB bit 74: the 22nd flag, the first that can show 1.
    EXPECT_NE(text.find("    coalesce heartbeat:      1\n    lock tid:                0\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 3), "1\n\n");  // rx flow control disable is TCB bit 90
}

TEST(TcbTest, SendNextShowsOnlyBits118And116) {
    auto tcb = Tcb({{3, 0x00F00000}});  // logical bits 116..119
    const std::string text = Printed([&](std::FILE* f) { PrintTcb(0, true, tcb, kTcbBytes, f); });
    EXPECT_NE(text.find("  snd nxt raw            = 4h\n"), std::string::npos)
        << "bit 118 alone passes the mask";
}

// A WRC as the adapter keeps it: bytes of each 8-byte group in reverse.
std::vector<uint8_t> AdapterWrc(const std::vector<std::pair<uint32_t, uint8_t>>& converted) {
    std::vector<uint8_t> wrc(kWrcBytes);
    for (const auto& [at, byte] : converted) wrc[(at & ~7u) | (7 - (at & 7))] = byte;
    return wrc;
}

TEST(WrcTest, FieldsAreReadBigEndianAfterTheConversion) {
    const auto wrc = AdapterWrc({{3, 0x07},
                                 {23, 0x13},
                                 {60, 0xAB},
                                 {70, 0x01},
                                 {71, 0x02},
                                 {124, 0xFF},
                                 {125, 0xFF},
                                 {126, 0xFF},
                                 {127, 0xFE},
                                 {2336 + 3 * 32 + 7, 0x5A}});
    const std::string text = Printed([&](std::FILE* f) { PrintWrc(1, wrc, kWrcBytes, f); });
    EXPECT_EQ(text.substr(0, 36), "WRC STATE (raw)\n[20300b20]:00000007 ");
    EXPECT_NE(text.find("\n4 tid : 0x00000007 (7)\n"), std::string::npos);
    EXPECT_NE(text.find("\n1 mpaattrs : 0xab000000 (2868903936)\n"), std::string::npos);
    EXPECT_NE(text.find("\n2 ord: 0x0102 (258)\n"), std::string::npos);
    EXPECT_NE(text.find("\n  4 fbuf.num_bytes: 0xfffffffe (-2)\n"), std::string::npos);
    EXPECT_NE(text.find("WRC ZERO\n[20301420]: 0000000000000000 0000000000000000\n"), std::string::npos);
    // trace_idx 0x13 starts the history at slot 3; slot 3's first 64-bit word has 0x5A in its top byte.
    EXPECT_NE(text.find("WRC WR HISTORY, idx 19\n03: 5a000000 00000000 "), std::string::npos);
    EXPECT_NE(text.find("\n04: 00000000"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 73, 4), "04: ") << "the walk wraps to slot 4 last";
}

TEST(WrcTest, BytesPastTheReturnedLengthReadAsZero) {
    std::vector<uint8_t> wrc(kWrcBytes, 0xFF);
    const std::string text = Printed([&](std::FILE* f) { PrintWrc(0, wrc, 4, f); });
    EXPECT_EQ(text.substr(0, 36), "WRC STATE (raw)\n[20300000]:00000000 ")
        << "the four bytes sit at the group's end";
    EXPECT_NE(text.find("4 tid : 0x00000000 (0)\n2 flags : 0xffff (65535)\n"), std::string::npos)
        << text.substr(0, 200);
    EXPECT_NE(text.find("4 snd_iss : 0x00000000 (0)"), std::string::npos);
}

TEST(StagTest, DecodesHighHalvesFirstAndBoundsTheAnswer) {
    std::array<uint8_t, kStagBytes> entry{};
    const uint64_t words[4] = {0xC0800001'2A100005ull, 0x00000010'00001000ull, 0x00007F00'12345000ull,
                               0x00000000'00ABCDEFull};
    std::memcpy(entry.data(), words, sizeof words);
    const std::string text = Printed([&](std::FILE* f) { PrintStag(0x100, entry, kStagBytes, f); });
    EXPECT_EQ(text,
              "c08000012a100005 \n0000001000001000 \n00007f0012345000 \n0000000000abcdef \n"
              "STag 0x100:\nValid 1 Key 0x81 State 0 Type 0x0 PDID 0x1 \n"
              "Perms 0x2 Rem Inv Disable 0x1 Addr Type 0x0 \n"
              "Bind Enable 0x1 Page Size 0x1 QPID 0x5\n"
              "PBL Addr 0x10 Length 4096\nVA 00007f0012345000 \nBind Cnt/PSTag 0 \n");
    const std::string shortText = Printed([&](std::FILE* f) { PrintStag(0x100, entry, 8, f); });
    EXPECT_EQ(shortText.substr(0, 36), "c08000012a100005 \n0000000000000000 \n");
}

TEST(TpLogicAnalyserTest, CountsOfZeroAndAbove128ReadAllSamples) {
    const uint32_t cases[][2] = {{0, 128}, {1, 1}, {127, 127}, {128, 128}, {129, 128}, {0x200, 128}};
    for (const auto& c : cases) EXPECT_EQ(TpLaSampleCount(c[0]), c[1]) << c[0];
}

TEST(TpLogicAnalyserTest, EachFormatTakesItsBits) {
    const uint64_t value = 0x9ABC1234'81FF0021ull;
    EXPECT_EQ(Printed([&](std::FILE* f) { PrintTpLaSample(value, false, f); }),
              "op=9 state=a/b src=3 hit=0 E_RxErr=0 tid=1234\n"
              "spurmsg=1 line= 1 flushMsg=1 Emsg=1 Cmsg=1\n"
              "Edata=1 Cdata=1 txSend=1 txMod=1 fastrxmt=1\n"
              "initTcb=0 rxBufEmpty=0 rxHaveCred=0 rxdvld=0\n"
              "rxoodvld=0 rxfwd=0 rxMod=0 rxMap=0\n"
              "flushRxBuf=0 rdmaMod=0 rdmaErr=1 RcfpduHavLen=1\n");
    const std::string second = Printed([&](std::FILE* f) { PrintTpLaSample(value, true, f); });
    EXPECT_EQ(second.substr(0, 45), "cmd=9a/bc Pseq=0 Fseq=0 Vseq=0 Pack=1\nFack=0 ");
    EXPECT_NE(second.find("tcpErr=1 intMsg=3f rcfReason=0 rcfHeldFin=0\n"), std::string::npos);
    EXPECT_NE(second.find("rxTrimPost=0 rxTrimPre=0 ooFrag=1\n"), std::string::npos);
}

}  // namespace
}  // namespace qv::qvtool
