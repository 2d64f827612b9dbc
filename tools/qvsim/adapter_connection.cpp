// qvsim adapter <n> mem tcb|wrc|stag <index> <offset> <bytes>
//   Writes bytes (hexadecimal digits, two per byte) into a stored object at a byte offset, as the
//   adapter keeps it: TCBs and STag entries as little-endian words, WRCs as big-endian 64-bit words.
//   The index is the connection id (tcb, wrc) or the STag itself (stag: its entry is STag >> 8).
// qvsim adapter <n> la sample <slot> <value> | la wptr <slot> | la step <n> | la show
//   The TP logic analyser: one sample's 64-bit value, the write pointer, how many samples it
//   captures per read of its config register (0 stops it), and its state.
// Numbers are hexadecimal.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "adapter_parts.h"
#include "machine_support.h"
#include "qv/sim/n5/connection_memory.h"

namespace qvsim {
namespace {

namespace n5 = qv::sim::n5;

template <typename T>
bool ParseHex(const char* text, uint64_t max, T* value) {
    return ParseNumber(text, Radix::kHex, max, value);
}

// Pairs of hexadecimal digits.
bool ParseBytes(std::string_view text, std::vector<uint8_t>* bytes) {
    if (text.empty() || text.size() % 2 != 0) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        const auto byte = ParseNumber(text.substr(i, 2), Radix::kHex, 0xFF);
        if (!byte) return false;
        bytes->push_back(static_cast<uint8_t>(*byte));
    }
    return true;
}

}  // namespace

int RunMemCommand(n5::Adapter& adapter, Args args) {
    if (args.size() != 4) return AdapterUsage("expected mem tcb|wrc|stag <index> <offset> <bytes>");
    uint32_t index = 0;
    uint32_t offset = 0;
    std::vector<uint8_t> bytes;
    if (!ParseHex(args[1], 0xFFFFFFFF, &index) || !ParseHex(args[2], 0xFFFFFFFF, &offset))
        return AdapterUsage("the index and the offset are hexadecimal numbers");
    if (!ParseBytes(args[3], &bytes)) return AdapterUsage("the bytes are pairs of hexadecimal digits");
    static constexpr struct {
        const char* name;
        uint8_t* (*stored)(n5::ConnectionMemory* memory, uint32_t index);
        uint32_t size;
    } kKinds[] = {
        {"tcb", n5::StoredTcb, n5::kSimTcbBytes},
        {"wrc", n5::StoredWrc, n5::kSimWrcBytes},
        {"stag", n5::StoredStag, n5::kSimStagBytes},
    };
    const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                   [&](const auto& k) { return std::strcmp(args[0], k.name) == 0; });
    if (kind == std::end(kKinds)) return AdapterUsage("expected mem tcb|wrc|stag <index> <offset> <bytes>");
    uint8_t* const object = kind->stored(&adapter.state().connections, index);
    if (object == nullptr) {
        return AdapterFailure("%s 0x%X is not stored (the first %u TCBs, %u WRCs and %u STag entries are)",
                              args[0], index, n5::kSimTcbCount, n5::kSimWrcCount, n5::kSimStagCount);
    }
    if (offset > kind->size || bytes.size() > kind->size - offset)
        return AdapterFailure("the bytes do not fit in the %u bytes of a %s", kind->size, args[0]);
    std::memcpy(object + offset, bytes.data(), bytes.size());
    return kExitOk;
}

int RunLaCommand(n5::Adapter& adapter, Args args) {
    n5::TpLogicAnalyser& la = adapter.state().connections.la;
    uint64_t a = 0;
    uint64_t b = 0;
    const char* what = args.empty() ? "" : args[0];
    if (std::strcmp(what, "show") == 0 && args.size() == 1) {
        std::printf("write pointer 0x%02X, %u samples per config read, %" PRIu64 " captured\n",
                    la.writePointer % n5::kTpLaSlots, la.step, la.captured);
        for (uint32_t slot = 0; slot < n5::kTpLaSlots; ++slot)
            std::printf("%02X: %016" PRIX64 "\n", slot, la.samples[slot]);
        return kExitOk;
    }
    if (std::strcmp(what, "sample") == 0 && args.size() == 3 && ParseHex(args[1], n5::kTpLaSlots - 1, &a) &&
        ParseHex(args[2], UINT64_MAX, &b)) {
        la.samples[a] = b;
        return kExitOk;
    }
    if (std::strcmp(what, "wptr") == 0 && args.size() == 2 && ParseHex(args[1], n5::kTpLaSlots - 1, &a)) {
        la.writePointer = static_cast<uint32_t>(a);
        return kExitOk;
    }
    if (std::strcmp(what, "step") == 0 && args.size() == 2 && ParseHex(args[1], n5::kTpLaSlots, &a)) {
        la.step = static_cast<uint32_t>(a);
        return kExitOk;
    }
    return AdapterUsage(
        "expected la sample <slot> <value>, la wptr <slot> (slots 0 to 7F), la step <n> (0 to 80) or la "
        "show");
}

}  // namespace qvsim
