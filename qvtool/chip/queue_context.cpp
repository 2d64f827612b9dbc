#include "qv/qvtool/chip/queue_context.h"

#include <cinttypes>

#include "qv/qvtool/number_text.h"
#include "qv/qvtool/text_match.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

constexpr const char* kInvalidId = "\nContext ID is not valid\n";
constexpr uint32_t kFreeListQsets = 9;  // two free lists each
constexpr uint32_t kResponseQueues = 8;

// The context's u32 words at offsets 8, 12, 16 and 20, and its u16 halves at 16 to 22.
uint32_t Word(const ContextRecord& c, int n) {
    const uint64_t f = n < 2 ? c.f0 : c.f1;
    return static_cast<uint32_t>(f >> (32 * (n % 2)));
}
uint32_t Half(const ContextRecord& c, int n) {
    return static_cast<uint32_t>(c.f1 >> (16 * n)) & 0xFFFF;
}
uint32_t Bits(uint32_t word, int high, int low) {
    return (word >> low) & (0xFFFFFFFFu >> (31 - high + low));
}

bool ReadContext(HDevice device, uint32_t type, uint32_t id, ContextRecord* context) {
    *context = ContextRecord{type, id, 0, 0};
    return SendRequest(device, IoFunction::kQueueContextRead, context, sizeof *context, context,
                       sizeof *context);
}

void PrintRawWords(const ContextRecord& c, std::FILE* out) {
    std::fprintf(out, "cntxt.f0 = 0x%016" PRIX64 "\n", c.f0);
    std::fprintf(out, "cntxt.f1 = 0x%016" PRIX64 "\n", c.f1);
}

// Reads egress context id and prints it; no title.
void ShowEgress(uint32_t type, uint32_t id, bool expandFields, HDevice device, std::FILE* out) {
    ContextRecord context{};
    if (!ReadContext(device, type, id, &context)) {
        std::fprintf(out, "Egress queue %d context read error. status = 0x%08x\n", static_cast<int>(id), 0);
        return;
    }
    PrintRawWords(context, out);
    if (expandFields) PrintEgressFields(context, out);
}

// The egress display: the id says which kind of egress queue it is.
void EgressDisplay(uint32_t id, bool expandFields, HDevice device, std::FILE* out) {
    uint32_t type = 0;
    if (id >= 8 && id <= 15) {
        std::fprintf(out, "\nTunnel context id = %d\n", static_cast<int>(id));
        type = kContextEgressTunnel;
    } else if (id >= 0xFFF8 && id <= 0xFFFF) {
        std::fprintf(out, "\nControl context id = %d\n", static_cast<int>(id));
        type = kContextEgressControl;
    } else if (id <= 7) {
        std::fprintf(out, "\nCommand context id = %d\n", static_cast<int>(id));
        type = kContextEgressOffload;
    } else {
        std::fputs(kInvalidId, out);
        return;
    }
    ShowEgress(type, id, expandFields, device, out);
}

void FreeListDisplay(uint32_t qset, bool expandFields, HDevice device, std::FILE* out) {
    if (qset >= kFreeListQsets) {
        std::fputs(kInvalidId, out);
        return;
    }
    for (uint32_t id = 2 * qset; id <= 2 * qset + 1; ++id) {
        ContextRecord context{};
        if (!ReadContext(device, kContextFreeList, id, &context)) {
            std::fprintf(out, "Free list %d context read error. status = 0x%08x\n", static_cast<int>(id), 0);
            return;
        }
        std::fprintf(out, "\nFree list queue context id = %d\n", static_cast<int>(context.id));
        PrintRawWords(context, out);
        if (expandFields) PrintFreeListFields(context, out);
    }
}

void ResponseDisplay(uint32_t n, bool expandFields, HDevice device, std::FILE* out) {
    if (n >= kResponseQueues) {
        std::fputs(kInvalidId, out);
        return;
    }
    std::fprintf(out, "\nResponse queue context id = %d\n", static_cast<int>(n));
    ContextRecord context{};
    if (!ReadContext(device, kContextResponse, n, &context)) {
        std::fprintf(out, "response queue %d context read error. status = 0x%08x\n", static_cast<int>(n), 0);
        return;
    }
    PrintRawWords(context, out);
    if (expandFields) PrintResponseFields(context, out);
}

}  // namespace

void PrintEgressFields(const ContextRecord& c, std::FILE* out) {
    const uint32_t w1 = Word(c, 1);
    const uint64_t base = ((c.f0 << 16) | Half(c, 3)) << 12;
    std::fprintf(out, "valid = %d\n", static_cast<int>(Bits(w1, 31, 31)));
    std::fprintf(out, "up_token = 0x%05X\n", Bits(w1, 30, 11));
    std::fprintf(out, "generation = %d\n", static_cast<int>(Bits(w1, 10, 10)));
    std::fprintf(out, "toe = %d\n", static_cast<int>(Bits(w1, 9, 9)));
    std::fprintf(out, "tun = %d\n", static_cast<int>(Bits(w1, 8, 8)));
    std::fprintf(out, "cq_num = %d\n", static_cast<int>(Bits(w1, 7, 7)));
    std::fprintf(out, "rq_num = %d\n", static_cast<int>(Bits(w1, 6, 4)));
    std::fprintf(out, "base_addr = 0x%016" PRIX64 "\n", base);
    std::fprintf(out, "size = %d\n", static_cast<int>(Half(c, 2)));
    std::fprintf(out, "index = %d\n", static_cast<int>(Half(c, 1)));
    std::fprintf(out, "gts_enable = %d\n", static_cast<int>(Bits(Half(c, 0), 15, 15)));
    std::fprintf(out, "credits = %d\n", static_cast<int>(Bits(Half(c, 0), 14, 0)));
}

void PrintFreeListFields(const ContextRecord& c, std::FILE* out) {
    const uint32_t w0 = Word(c, 0);
    const uint32_t w2 = Word(c, 2);
    const uint32_t w3 = Word(c, 3);
    const uint32_t index = (Bits(w0, 3, 0) << 12) | Bits(w3, 31, 20);
    const uint64_t base = ((static_cast<uint64_t>(w3) << 32) | w2) << 12;
    std::fprintf(out, "congestion_th = %d\n", static_cast<int>(Bits(Word(c, 1), 31, 21)));
    std::fprintf(out, "entry_sz  = %d\n", static_cast<int32_t>(static_cast<uint32_t>(c.f0 >> 21)));
    std::fprintf(out, "generation  = %d\n", static_cast<int>(Bits(w0, 20, 20)));
    std::fprintf(out, "size  = %d\n", static_cast<int>(Bits(w0, 19, 4)));
    std::fprintf(out, "index  = %d\n", static_cast<int>(index));
    std::fprintf(out, "base_addr = 0x%016" PRIX64 "\n", base);
}

void PrintResponseFields(const ContextRecord& c, std::FILE* out) {
    const uint32_t w0 = Word(c, 0);
    const uint64_t base = ((static_cast<uint64_t>(w0) << 32) | Word(c, 3)) << 12;
    std::fprintf(out, "fl_thresh = %d\n", static_cast<int32_t>(Word(c, 1)));
    std::fprintf(out, "cq_mode = %d\n", static_cast<int>(Bits(w0, 31, 31)));
    std::fprintf(out, "inton = %d\n", static_cast<int>(Bits(w0, 29, 29)));
    std::fprintf(out, "generation = %d\n", static_cast<int>(Bits(w0, 28, 28)));
    std::fprintf(out, "int_armed = %d\n", static_cast<int>(Bits(w0, 27, 27)));
    std::fprintf(out, "int_enable = %d\n", static_cast<int>(Bits(w0, 26, 26)));
    std::fprintf(out, "rsp_q = %d\n", static_cast<int>(Bits(w0, 25, 20)));
    std::fprintf(out, "base_addr = 0x%016" PRIX64 "\n", base);
    std::fprintf(out, "size = %d\n", static_cast<int>(Half(c, 1)));
    std::fprintf(out, "index = %d\n", static_cast<int>(Half(c, 0)));
}

void RunQueueContext(const char* name, bool expandFields, HDevice device, std::FILE* out) {
    // The number right after the letters, as atoi reads it; ids wrap as the 32-bit words they are.
    const auto number = [name](size_t letters) {
        return static_cast<uint32_t>(ReadDecimalOrZero(name + letters));
    };
    if (StartsWithIgnoreCase(name, "tun")) {
        EgressDisplay(number(3) + 8, expandFields, device, out);
    } else if (StartsWithIgnoreCase(name, "toe")) {
        EgressDisplay(number(3), expandFields, device, out);
    } else if (StartsWithIgnoreCase(name, "ctrl")) {
        EgressDisplay(number(4) + 0xFFF8, expandFields, device, out);
    } else if (StartsWithIgnoreCase(name, "flq")) {
        FreeListDisplay(number(3), expandFields, device, out);
    } else if (StartsWithIgnoreCase(name, "rspq")) {
        ResponseDisplay(number(4), expandFields, device, out);
    } else if (StartsWithIgnoreCase(name, "qp")) {
        ShowEgress(kContextEgressTunnel, number(2), expandFields, device, out);
    }
}

}  // namespace qv::qvtool
