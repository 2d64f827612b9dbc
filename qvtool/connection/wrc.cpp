// -s wrc: a connection's work-request context. The adapter keeps it as big-endian 64-bit words;
// the dump makes every 8-byte group native first, then reads the fields big-endian at their offsets.
#include <array>

#include "bit_fields.h"
#include "qv/qvtool/connection/connection_state.h"
#include "qv/qvtool/connection/memory_read.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

using Wrc = std::array<uint8_t, kWrcBytes>;

// How a field is printed: the plain "name : " form, the form without the blank before the colon,
// or a single byte shown in the top byte of a word.
enum class Style { kPlain, kNoBlank, kTopByte };

struct WrcField {
    const char* name;
    uint32_t offset;
    uint32_t width;  // 1, 2 or 4
    Style style;
};

struct WrcSection {
    const char* title;
    std::span<const WrcField> fields;
};

constexpr WrcField kBasic[] = {
    {"tid", 0, 4, Style::kPlain},
    {"flags", 4, 2, Style::kPlain},
    {"state", 6, 1, Style::kPlain},
    {"credits", 7, 1, Style::kPlain},
};
constexpr WrcField kIo[] = {
    {"sge_ec", 8, 2, Style::kPlain},
    {"sge_respQ", 10, 1, Style::kPlain},
    {"port", 11, 1, Style::kPlain},
    {"ulp", 12, 1, Style::kPlain},
    {"coherency_counter", 13, 1, Style::kPlain},
};
constexpr WrcField kReassembly[] = {
    {"frag_len", 14, 1, Style::kPlain},
    {"frag_credits", 15, 1, Style::kPlain},
    {"frag", 16, 4, Style::kPlain},
};
constexpr WrcField kToe[] = {
    {"aborted", 20, 1, Style::kPlain},      {"num_tx_pages", 21, 1, Style::kPlain},
    {"max_tx_pages", 22, 1, Style::kPlain}, {"trace_idx", 23, 1, Style::kPlain},
    {"snd_nxt", 24, 4, Style::kPlain},      {"snd_max", 28, 4, Style::kPlain},
    {"snd_una", 32, 4, Style::kPlain},      {"snd_iss", 36, 4, Style::kPlain},
};
constexpr WrcField kRi[] = {
    {"pdid", 40, 4, Style::kPlain},
    {"scqid", 44, 4, Style::kPlain},
    {"rcqid", 48, 4, Style::kPlain},
    {"rq_addr_32a", 52, 4, Style::kPlain},
    {"rq_size", 56, 2, Style::kPlain},
    {"rq_wr_idx", 58, 2, Style::kPlain},
    {"mpaattrs", 60, 1, Style::kTopByte},
    {"qpcaps", 61, 1, Style::kTopByte},
    {"mulpdu_tagged", 62, 2, Style::kPlain},
    {"mulpdu_untagged", 64, 2, Style::kPlain},
    {"ord_max", 66, 2, Style::kPlain},
    {"ird_max", 68, 2, Style::kPlain},
    {"ord", 70, 2, Style::kNoBlank},
    {"ird", 72, 2, Style::kNoBlank},
    {"markeroffset", 74, 2, Style::kNoBlank},
    {"msn_send", 76, 4, Style::kPlain},
    {"msn_rdma_read", 80, 4, Style::kPlain},
    {"msn_rdma_read_req", 84, 4, Style::kPlain},
    {"rdma_read_req_err", 88, 2, Style::kNoBlank},
    {"ack_mode", 90, 1, Style::kNoBlank},
    {"sge_ec_credits", 91, 1, Style::kNoBlank},
    {"maxiolen_tagged", 92, 2, Style::kNoBlank},
    {"maxiolen_untagged", 94, 2, Style::kNoBlank},
    {"mo", 96, 4, Style::kPlain},
};
constexpr WrcSection kSections[] = {
    {"WRC BASIC\n", kBasic}, {"WRC IO\n", kIo}, {"WRC REASSEMBLY\n", kReassembly},
    {"WRC TOE\n", kToe},     {"WRC RI\n", kRi},
};

constexpr uint32_t kTraceIdxOffset = 23;
constexpr uint32_t kBufferStart = 128;
constexpr uint32_t kBufferEnd = 2176;
constexpr uint32_t kZeroStart = 2304;
constexpr uint32_t kHistoryStart = 2336;
constexpr uint32_t kHistorySlots = 16;
constexpr uint32_t kHistorySlotBytes = 32;
static_assert(kHistoryStart + kHistorySlots * kHistorySlotBytes == kWrcBytes);

// Every 8-byte group byte-reversed: the big-endian 64-bit words made native.
void Convert(Wrc* wrc) {
    for (size_t g = 0; g < wrc->size(); g += 8) {
        for (size_t i = 0; i < 4; ++i) std::swap((*wrc)[g + i], (*wrc)[g + 7 - i]);
    }
}

uint32_t BigEndian(const Wrc& wrc, uint32_t offset, uint32_t width) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) value = value << 8 | wrc[offset + i];
    return value;
}

// The native 64-bit word at offset.
uint64_t Native64(const Wrc& wrc, uint32_t offset) {
    return LittleEndian(wrc.data() + offset, 8);
}

void PrintWord64(uint64_t v, std::FILE* out) {
    std::fprintf(out, " %08x%08x", static_cast<uint32_t>(v >> 32), static_cast<uint32_t>(v));
}

void PrintField(const Wrc& wrc, const WrcField& f, std::FILE* out) {
    const uint32_t value = BigEndian(wrc, f.offset, f.width);
    const char* blank = f.style == Style::kNoBlank ? "" : " ";
    switch (f.style == Style::kTopByte ? 8 : 2 * f.width) {
        case 2:
            std::fprintf(out, "%u %s%s: 0x%02x (%u)\n", f.width, f.name, blank, value, value);
            break;
        case 4:
            std::fprintf(out, "%u %s%s: 0x%04x (%u)\n", f.width, f.name, blank, value, value);
            break;
        default: {
            const uint32_t shown = f.style == Style::kTopByte ? value << 24 : value;
            std::fprintf(out, "%u %s%s: 0x%08x (%u)\n", f.width, f.name, blank, shown, shown);
            break;
        }
    }
}

void PrintRawState(const Wrc& wrc, uint32_t shownBase, std::FILE* out) {
    std::fputs("WRC STATE (raw)\n", out);
    for (uint32_t line = 0; line < 4; ++line) {
        std::fprintf(out, "[%08x]:", shownBase + 32 * line);
        // Each native 32-bit word shown byte-reversed: its bytes read big-endian.
        for (uint32_t w = 0; w < 8; ++w) std::fprintf(out, "%08x ", BigEndian(wrc, 32 * line + 4 * w, 4));
        std::fputs("\n", out);
    }
}

void PrintSections(const Wrc& wrc, std::FILE* out) {
    for (const WrcSection& section : kSections) {
        std::fputs(section.title, out);
        for (const WrcField& f : section.fields) PrintField(wrc, f, out);
    }
    std::fputs("WRC BUFFERING\n", out);
    std::fprintf(out, "  4 fbuf.pp: 0x%08x (%u)\n", BigEndian(wrc, 116, 4), BigEndian(wrc, 116, 4));
    std::fprintf(out, "  4 fbuf.cp: 0x%08x (%u)\n", BigEndian(wrc, 120, 4), BigEndian(wrc, 120, 4));
    const uint32_t bytes = BigEndian(wrc, 124, 4);
    std::fprintf(out, "  4 fbuf.num_bytes: 0x%08x (%d)\n", bytes, static_cast<int32_t>(bytes));
}

void PrintBuffer(const Wrc& wrc, uint32_t shownBase, std::FILE* out) {
    std::fputs("WRC BUFFER (raw)\n", out);
    for (uint32_t at = kBufferStart; at < kBufferEnd; at += 32) {
        std::fprintf(out, "[%08x]:", shownBase + at);
        for (uint32_t v = 0; v < 4; ++v) PrintWord64(Native64(wrc, at + 8 * v), out);
        std::fputs("\n", out);
    }
    std::fputs("WRC ZERO\n", out);
    std::fprintf(out, "[%08x]:", shownBase + kZeroStart);
    PrintWord64(Native64(wrc, kZeroStart), out);
    PrintWord64(Native64(wrc, kZeroStart + 8), out);
    std::fputs("\n", out);
}

void PrintHistory(const Wrc& wrc, std::FILE* out) {
    const uint32_t idx = wrc[kTraceIdxOffset];
    std::fprintf(out, "WRC WR HISTORY, idx %u\n", idx);
    // The index is a byte from the adapter: only its slot within the sixteen is used.
    for (uint32_t n = 0; n < kHistorySlots; ++n) {
        const uint32_t slot = (idx + kHistorySlots - n) % kHistorySlots;
        const uint32_t at = kHistoryStart + kHistorySlotBytes * slot;
        const uint64_t v0 = Native64(wrc, at);
        std::fprintf(out, "%02u: %08x %08x", slot, static_cast<uint32_t>(v0 >> 32),
                     static_cast<uint32_t>(v0));
        for (uint32_t v = 1; v < 4; ++v) {
            const uint64_t word = Native64(wrc, at + 8 * v);
            std::fprintf(out, " %08x%08x", static_cast<uint32_t>(word >> 32), static_cast<uint32_t>(word));
        }
        std::fputs("\n", out);
    }
}

}  // namespace

uint32_t WrcAddress(uint32_t sdramBase, uint32_t tid) {
    return sdramBase + kWrcRegion + tid * kWrcBytes;
}

void PrintWrc(uint32_t tid, std::span<const uint8_t> answer, uint32_t returned, std::FILE* out) {
    Wrc wrc{};
    KeepReturnedBytes(answer, returned, wrc);
    Convert(&wrc);
    const uint32_t shownBase = kWrcShownBase + tid * kWrcBytes;
    PrintRawState(wrc, shownBase, out);
    PrintSections(wrc, out);
    PrintBuffer(wrc, shownBase, out);
    PrintHistory(wrc, out);
}

void WrcReport(const ReportRequest& request) {
    uint32_t base = 0;
    if (RegisterRead(request.device, kSdramBaseRegister, &base) != kStatusSuccess) return;
    Wrc wrc{};
    if (!ReadAdapterMemory(request.device, MemoryKind::kConnection, WrcAddress(base, request.index), wrc)) {
        std::fprintf(request.out, "Work request context read error. status = 0x%08x\n", 0u);
        return;
    }
    PrintWrc(request.index, wrc, kWrcBytes, request.out);
}

}  // namespace qv::qvtool
