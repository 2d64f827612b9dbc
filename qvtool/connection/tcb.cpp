// -s tcb: a connection's TCP control block, raw or decoded field by field.
#include <array>

#include "bit_fields.h"
#include "qv/qvtool/connection/connection_state.h"
#include "qv/qvtool/connection/memory_read.h"

namespace qv::qvtool {
namespace {

enum class Shown { kHex, kAddress, kDecimal };

struct TcbField {
    const char* label;
    uint32_t hi;
    uint32_t lo;
    Shown shown;
};

constexpr TcbField kTcbFields[] = {
    {"state", 3, 0, Shown::kHex},
    {"timer", 4, 4, Shown::kHex},
    {"dack timer", 5, 5, Shown::kHex},
    {"del flag", 6, 6, Shown::kHex},
    {"l2t ix", 17, 7, Shown::kHex},
    {"smac", 19, 18, Shown::kHex},
    {"tos", 25, 20, Shown::kHex},
    {"max rt", 29, 26, Shown::kHex},
    {"t rxtshift", 33, 30, Shown::kHex},
    {"t dupacks", 37, 34, Shown::kHex},
    {"t maxsegs", 41, 38, Shown::kHex},
    {"t flags1", 105, 74, Shown::kHex},
    {"t flags2", 80, 74, Shown::kHex},
    {"snd scale", 84, 81, Shown::kHex},
    {"rcv scale", 88, 85, Shown::kHex},
    {"snd una raw", 115, 89, Shown::kHex},
    {"snd nxt raw", 119, 116, Shown::kHex},  // shown masked with kSndNxtMask
    {"rcv nxt", 174, 143, Shown::kHex},
    {"rcv adv", 178, 175, Shown::kHex},
    {"snd max raw", 217, 191, Shown::kHex},
    {"snd cwnd", 244, 218, Shown::kHex},
    {"snd ssthresh", 271, 245, Shown::kHex},
    {"t rtt ts recent age", 303, 272, Shown::kHex},
    {"t rtseq recent", 335, 304, Shown::kHex},
    {"t srtt", 351, 336, Shown::kHex},
    {"t rttvar", 367, 352, Shown::kHex},
    {"ts last ask sent raw", 394, 368, Shown::kHex},
    {"dip", 426, 395, Shown::kAddress},
    {"sip", 458, 427, Shown::kAddress},
    {"dp", 474, 459, Shown::kDecimal},
    {"sp", 490, 475, Shown::kDecimal},
    {"timestamp", 522, 491, Shown::kHex},
    {"timestamp offset", 526, 523, Shown::kHex},
    {"tx max", 558, 527, Shown::kHex},
    {"tx hdr ptr raw", 575, 559, Shown::kHex},
    {"tx last ptr raw", 592, 576, Shown::kHex},
    {"tx compact", 593, 593, Shown::kHex},
    {"rx compact", 594, 594, Shown::kHex},
    {"rcv wnd", 621, 595, Shown::kHex},
    {"rx hdr offset", 648, 622, Shown::kHex},
    {"tx frag0 start idx raw", 675, 649, Shown::kHex},
    {"tx frag1 start idx raw", 702, 676, Shown::kHex},
    {"rx frag0 len", 729, 703, Shown::kHex},
    {"rx frag1 len", 756, 730, Shown::kHex},
    {"newreno recover", 783, 757, Shown::kHex},
    {"pdu have len", 784, 784, Shown::kHex},
    {"pdu len", 800, 785, Shown::kHex},
    {"rx quiesce", 801, 801, Shown::kHex},
    {"rx ptr raw", 818, 802, Shown::kHex},
    {"cpu no", 825, 819, Shown::kHex},
    {"ulp type", 829, 826, Shown::kHex},
};

// Only bits 118 and 116 of the send-next field are shown.
constexpr uint32_t kSndNxtMask = 0x14;

// The flags of the decode, in the order they take bits 10-14 and 16-48 of the flag word.
constexpr const char* kTcbFlags[] = {
    "dack",
    "nagle",
    "recv scale",
    "recv tstmp",
    "recv sack",
    "keepalive",
    "tcam bypass",
    "core fin",
    "core more",
    "migrating",
    "active open",
    "ask mode",
    "non offload",
    "mod schd",
    "mod schd reason0",
    "mod schd reason1",
    "mod schd rx",
    "core push",
    "coalesce enable",
    "coalesce push",
    "coalesce last psh",
    "coalesce heartbeat",
    "lock tid",
    "dack mss",
    "cctrl sel0",
    "cctrl sel1",
    "newreno fast recovery",
    "tx pace auto",
    "peer fin held",
    "core urg",
    "rdma error",
    "ssws disabled",
    "dupack count odd",
    "tx channel",
    "rx channel",
    "tx pace fixed",
    "rdma flm error",
    "rx flow control disable",
};
static_assert(std::size(kTcbFlags) == 38);

uint32_t FlagBit(uint32_t n) {
    return n < 5 ? 10 + n : 16 + (n - 5);
}

void PrintRaw(std::span<const uint8_t, kTcbBytes> tcb, std::FILE* out) {
    std::fputs("raw tcb dump:", out);
    for (uint32_t line = 0; line < 4; ++line) {
        std::fprintf(out, "\n %u:", line);
        for (uint32_t k = 8 * line; k < 8 * line + 8; ++k) std::fprintf(out, " %08x", TcbWord(tcb, k));
    }
    std::fputs("\n\n", out);
    std::fputs("\n", out);
}

void PrintFields(uint32_t tid, std::span<const uint8_t, kTcbBytes> tcb, std::FILE* out) {
    std::fprintf(out, "tcb %u\n", tid);
    for (const TcbField& f : kTcbFields) {
        uint32_t v = TcbBits(tcb, f.hi, f.lo);
        std::fprintf(out, "  %-23s= ", f.label);
        switch (f.shown) {
            case Shown::kHex:
                if (f.hi == 119 && f.lo == 116) v &= kSndNxtMask;
                std::fprintf(out, "%0xh\n", v);
                break;
            case Shown::kAddress:
                std::fprintf(out, "%d.%d.%d.%d\n", static_cast<int>(v >> 24),
                             static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                             static_cast<int>(v & 0xFF));
                break;
            case Shown::kDecimal:
                std::fprintf(out, "%u\n", v);
                break;
        }
    }
    const uint64_t flags = static_cast<uint64_t>(TcbBits(tcb, 105, 74)) << 32 | TcbBits(tcb, 80, 74);
    std::fputs("  tflag decode:\n", out);
    for (uint32_t n = 0; n < std::size(kTcbFlags); ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "%s:", kTcbFlags[n]);
        std::fprintf(out, "    %-25s%c\n", name, ((flags >> FlagBit(n)) & 1u) ? '1' : '0');
    }
    std::fputs("\n", out);
}

}  // namespace

uint32_t TcbAddress(uint32_t tid) {
    return tid * kTcbBytes;
}

uint32_t TcbWord(std::span<const uint8_t, kTcbBytes> tcb, uint32_t k) {
    const uint32_t physical = (k % (kTcbBytes / 4)) ^ 2u;  // within each group of four: 2, 3, 0, 1
    return static_cast<uint32_t>(LittleEndian(tcb.data() + 4 * physical, 4));
}

uint32_t TcbBits(std::span<const uint8_t, kTcbBytes> tcb, uint32_t hi, uint32_t lo) {
    uint32_t value = 0;
    for (uint32_t b = hi + 1; b-- > lo;) value = value << 1 | ((TcbWord(tcb, b / 32) >> (b % 32)) & 1u);
    return value;
}

void PrintTcb(uint32_t tid, bool expandFields, std::span<const uint8_t> answer, uint32_t returned,
              std::FILE* out) {
    std::array<uint8_t, kTcbBytes> tcb{};
    KeepReturnedBytes(answer, returned, tcb);
    if (expandFields) {
        PrintFields(tid, tcb, out);
    } else {
        PrintRaw(tcb, out);
    }
}

void TcbReport(const ReportRequest& request) {
    std::array<uint8_t, kTcbBytes> tcb{};
    if (!ReadAdapterMemory(request.device, MemoryKind::kConnection, TcbAddress(request.index), tcb)) {
        std::fprintf(request.out, "TCB read error. status = 0x%08x\n", 0u);
        return;
    }
    PrintTcb(request.index, request.expandFields, tcb, kTcbBytes, request.out);
}

}  // namespace qv::qvtool
