// qvsim adapter <n> context <type> <id> [<f0> <f1>]
//   a queue context: type 0-2 egress (one id space: 0-15 and 65528-65535), 3 free list (0-17),
//   4 response queue (0-7); prints its two words, or sets them.
// qvsim adapter <n> descriptor <queue> <index> [<length> [<word>...]]
//   a descriptor of queue (queue set * 6 + kind, 0-47) at index (0-15): prints the length the
//   driver returns and the sixteen data words, or sets the length (any 32-bit number, so that an
//   answer longer than the record can be staged) and up to sixteen words, the rest zero.
// qvsim adapter <n> table pace|cctrl|tos|mtu|map|lkp|txmod <index> [<value>]
//   one entry of a TP table: prints it, or sets it.
// Types, ids, queues, indexes and lengths are decimal; words and values hexadecimal. A word is kept
// big-endian in the descriptor's data, as the tool prints it.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "adapter_parts.h"
#include "machine_support.h"
#include "qv/sim/little_endian.h"

namespace qvsim {

using namespace qv::sim::n5;

int RunContextCommand(Adapter& a, Args args) {
    const auto type = args.size() >= 2 ? ParseNumber(args[0], Radix::kDecimal, 4) : std::nullopt;
    const auto id = args.size() >= 2 ? ParseNumber(args[1], Radix::kDecimal, 0xFFFFFFFF) : std::nullopt;
    if (!type || !id || (args.size() != 2 && args.size() != 4)) {
        return AdapterUsage("expected context <type 0-4> <id> [<f0> <f1>]");
    }
    QueueContext* context =
        FindQueueContext(a.state().chip, static_cast<uint32_t>(*type), static_cast<uint32_t>(*id));
    if (context == nullptr) return Fail(kExitFailure, "adapter: no context of that type has that id");
    if (args.size() == 4) {
        const auto f0 = ParseNumber(args[2], Radix::kHex, UINT64_MAX);
        const auto f1 = ParseNumber(args[3], Radix::kHex, UINT64_MAX);
        if (!f0 || !f1) return AdapterUsage("the context words must be hexadecimal numbers");
        *context = {.f0 = *f0, .f1 = *f1};
        return kExitOk;
    }
    std::printf("f0 = 0x%016" PRIX64 "\nf1 = 0x%016" PRIX64 "\n", context->f0, context->f1);
    return kExitOk;
}

int RunDescriptorCommand(Adapter& a, Args args) {
    constexpr size_t kWords = kDescriptorBytes / 8;
    const auto queue =
        args.size() >= 2 ? ParseNumber(args[0], Radix::kDecimal, kDescriptorQueues - 1) : std::nullopt;
    const auto index =
        args.size() >= 2 ? ParseNumber(args[1], Radix::kDecimal, kDescriptorSlots - 1) : std::nullopt;
    const auto length = args.size() >= 3 ? ParseNumber(args[2], Radix::kDecimal, 0xFFFFFFFF) : std::nullopt;
    if (!queue || !index || (args.size() >= 3 && !length) || args.size() > 3 + kWords) {
        return AdapterUsage(
            "expected descriptor <queue 0-47> <index 0-15> [<length> [<word>...]] (at most 16 words)");
    }
    Descriptor& d = a.state().chip.descriptors[*queue][*index];
    if (args.size() >= 3) {
        Descriptor value{};
        value.length = static_cast<uint32_t>(*length);
        for (size_t w = 0; w + 3 < args.size(); ++w) {
            const auto parsed = ParseNumber(args[3 + w], Radix::kHex, UINT64_MAX);
            if (!parsed) return AdapterUsage("the words must be hexadecimal numbers");
            qv::sim::PutBig64(value.data + 8 * w, *parsed);
        }
        d = value;
        return kExitOk;
    }
    std::printf("length %u\n", d.length);
    for (size_t w = 0; w < kWords; ++w) {
        uint64_t word = 0;
        for (size_t b = 0; b < 8; ++b) word = word << 8 | d.data[8 * w + b];
        std::printf("%016" PRIX64 "%c", word, w % 4 == 3 ? '\n' : ' ');
    }
    return kExitOk;
}

int RunTableCommand(Adapter& a, Args args) {
    uint32_t table = 0;
    while (!args.empty() && table < kTpTableCount && std::strcmp(args[0], kTpTableNames[table]) != 0) ++table;
    if (args.size() < 2 || args.size() > 3 || table == kTpTableCount) {
        return AdapterUsage("expected table pace|cctrl|tos|mtu|map|lkp|txmod <index> [<value>]");
    }
    const auto index = ParseNumber(args[1], Radix::kDecimal, kTpTableEntries[table] - 1);
    if (!index) return AdapterUsage("the index is past the table's end");
    uint32_t& entry = a.state().chip.tpTables[TpTableStart(table) + *index];
    if (args.size() == 3) {
        const auto value = ParseNumber(args[2], Radix::kHex, 0xFFFFFFFF);
        if (!value) return AdapterUsage("the value must be a 32-bit hexadecimal number");
        entry = static_cast<uint32_t>(*value);
        return kExitOk;
    }
    std::printf("0x%08X\n", entry);
    return kExitOk;
}

}  // namespace qvsim
