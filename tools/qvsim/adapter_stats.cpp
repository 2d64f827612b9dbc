// qvsim adapter <n> stats ...: the driver statistics and pipeline counters of a simulated adapter.
//   link <port> up|down [<speed> [<duplex>]]  a port's link, with the speed (0-3) and duplex (0-1) codes
//   functions <port> <count>                  the offload functions of a port (0: none)
//   qsets <count>                             the queue sets of the interrupt statistics
//   connection <c> <tid>|none [<mac>]         an offloaded connection's socket TID and MAC address
//   set <record> <counter> <value>            any field: record phy<p>, mac<p>, qs<q>, intr, ip, tcp, toe
//                                             or sge; counter a name the tool prints (its first line of
//                                             that name) or u32@<hex offset> / u64@<hex offset>
//   reset                                     the power-on statistics
// Values are decimal, or hexadecimal after "0x".
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>

#include "adapter_parts.h"
#include "machine_support.h"
#include "qv/sim/little_endian.h"
#include "qv/sim/n5/statistics_layout.h"

namespace qvsim {
namespace {

namespace n5 = qv::sim::n5;

// A decimal number below limit, or a hexadecimal one after "0x".
bool ParseIndex(std::string_view text, uint32_t limit, uint32_t* index) {
    return ParseNumber(text, Radix::kDecimalOrHex, limit - 1, index);
}

// A record image and its fields by name.
struct Image {
    uint8_t* bytes;
    uint32_t size;
    std::span<const n5::StatsField> fields;
};

// The records by the name qvsim gives them: a prefix, followed by the port or queue set when
// there are several.
std::optional<Image> FindImage(n5::Statistics& s, std::string_view name) {
    uint32_t at = 0;
    const auto indexed = [&](std::string_view prefix, uint32_t count) {
        return name.starts_with(prefix) && ParseIndex(name.substr(prefix.size()), count, &at);
    };
    if (indexed("phy", n5::kStatsPorts)) return Image{s.portLink[at], n5::kPortLinkBytes, {}};
    if (indexed("mac", n5::kStatsPorts)) return Image{s.mac[at], n5::kMacStatsBytes, n5::kMacStatsFields};
    if (indexed("qs", n5::kStatsQsets)) return Image{s.qset[at], n5::kQsetStatsBytes, n5::kQsetStatsFields};
    if (name == "intr") return Image{s.interrupts, n5::kInterruptStatsBytes, n5::kInterruptStatsFields};
    if (name == "ip") return Image{s.ip, n5::kIpStatsBytes, n5::kIpStatsFields};
    if (name == "tcp") return Image{s.tcp, n5::kTcpStatsBytes, n5::kTcpStatsFields};
    if (name == "toe") return Image{s.offload, n5::kOffloadStatsBytes, n5::kOffloadStatsFields};
    return std::nullopt;
}

// u32@<hex offset> or u64@<hex offset>: the field's width and offset.
bool ParseOffsetField(std::string_view text, uint32_t* width, uint32_t* offset) {
    if (text.size() < 5 || text[3] != '@' || (!text.starts_with("u32") && !text.starts_with("u64")))
        return false;
    const auto number = ParseNumber(text.substr(4), Radix::kHex, UINT32_MAX);
    if (!number) return false;
    *width = text[1] == '3' ? 4 : 8;
    *offset = static_cast<uint32_t>(*number);
    return true;
}

int SetPipelineCounter(n5::Statistics& s, const char* name, uint64_t value) {
    const auto names = n5::kPipelineCounterNames;
    const auto it = std::ranges::find(names, std::string_view(name));
    if (it == names.end()) return AdapterFailure("sge has no counter %s", name);
    s.pipeline[it - names.begin()] = static_cast<uint32_t>(value);
    return kExitOk;
}

int Set(n5::Statistics& s, Args args) {
    uint64_t value = 0;
    if (args.size() != 3 || !ParseNumber(args[2], Radix::kDecimalOrHex, UINT64_MAX, &value))
        return AdapterUsage("expected set <record> <counter> <value>");
    if (std::strcmp(args[0], "sge") == 0) return SetPipelineCounter(s, args[1], value);
    const std::optional<Image> image = FindImage(s, args[0]);
    if (!image)
        return AdapterFailure("no statistics record %s (phy0-1, mac0-1, qs0-7, intr, ip, tcp, toe, sge)",
                              args[0]);
    uint32_t width = 0;
    uint32_t offset = 0;
    if (!ParseOffsetField(args[1], &width, &offset)) {
        const n5::StatsField* field = n5::FindStatsField(image->fields, args[1]);
        if (field == nullptr) return AdapterFailure("%s has no counter %s", args[0], args[1]);
        width = field->width;
        offset = field->offset;
    }
    if (uint64_t{offset} + width > image->size)
        return AdapterFailure("the field lies outside the %u-byte record", image->size);
    if (width == 4) {
        qv::sim::Put32(image->bytes + offset, static_cast<uint32_t>(value));
    } else {
        qv::sim::Put64(image->bytes + offset, value);
    }
    return kExitOk;
}

int Link(n5::Statistics& s, Args args) {
    uint32_t port = 0;
    uint32_t speed = 3;
    uint32_t duplex = 1;
    const bool up = args.size() >= 2 && std::strcmp(args[1], "up") == 0;
    if (args.size() < 2 || args.size() > 4 || !ParseIndex(args[0], n5::kStatsPorts, &port) ||
        (!up && std::strcmp(args[1], "down") != 0) ||
        (args.size() > 2 && !ParseIndex(args[2], 1u << 31, &speed)) ||
        (args.size() > 3 && !ParseIndex(args[3], 1u << 31, &duplex))) {
        return AdapterUsage("expected stats link <port 0-1> up|down [<speed code> [<duplex code>]]");
    }
    uint8_t* link = s.portLink[port];
    qv::sim::Put32(link + offsetof(n5::PortLinkImage, linkStatus), up ? 1 : 0);
    if (args.size() > 2) qv::sim::Put32(link + offsetof(n5::PortLinkImage, speed), speed);
    if (args.size() > 3) qv::sim::Put32(link + offsetof(n5::PortLinkImage, duplex), duplex);
    return kExitOk;
}

int Functions(n5::Statistics& s, Args args) {
    uint32_t port = 0;
    uint32_t count = 0;
    if (args.size() != 2 || !ParseIndex(args[0], n5::kStatsPorts, &port) ||
        !ParseIndex(args[1], 1u << 31, &count))
        return AdapterUsage("expected stats functions <port 0-1> <count>");
    qv::sim::Put32(s.offload + offsetof(n5::OffloadStatsImage, functionCount) + 4 * port, count);
    return kExitOk;
}

int Qsets(n5::Statistics& s, Args args) {
    uint32_t count = 0;
    if (args.size() != 1 || !ParseIndex(args[0], 1u << 31, &count))
        return AdapterUsage("expected stats qsets <count>");
    qv::sim::Put32(s.interrupts + offsetof(n5::InterruptStatsImage, qsetCount), count);
    return kExitOk;
}

// Six bytes of one or two hexadecimal digits, separated by ':'.
bool ParseMac(std::string_view text, uint8_t (&mac)[6]) {
    for (int i = 0; i < 6; ++i) {
        const size_t colon = i < 5 ? text.find(':') : text.size();
        const auto byte = colon <= 2 ? ParseNumber(text.substr(0, colon), Radix::kHex, 0xFF) : std::nullopt;
        if (!byte) return false;
        mac[i] = static_cast<uint8_t>(*byte);
        text.remove_prefix(i < 5 ? colon + 1 : colon);
    }
    return true;
}

int Connection(n5::Statistics& s, Args args) {
    uint32_t number = 0;
    uint32_t tid = 0xFFFFFFFF;  // no socket
    uint8_t mac[6] = {};
    const bool none = args.size() >= 2 && std::strcmp(args[1], "none") == 0;
    if (args.size() < 2 || args.size() > 3 || !ParseIndex(args[0], n5::kOffloadConnections, &number) ||
        (!none && !ParseNumber(args[1], Radix::kDecimalOrHex, 0xFFFFFFFF, &tid)) ||
        (args.size() == 3 && !ParseMac(args[2], mac))) {
        return AdapterUsage("expected stats connection <0-15> <tid>|none [<aa:bb:cc:dd:ee:ff>]");
    }
    n5::OffloadConnection& c = s.connections[number];
    c.tid = tid;
    if (args.size() == 3) std::memcpy(c.mac, mac, sizeof mac);
    return kExitOk;
}

int StatsUsage() {
    return AdapterUsage("expected stats set|link|functions|qsets|connection|reset ...; see qvsim help");
}

int Reset(n5::Statistics& s, Args args) {
    if (!args.empty()) return StatsUsage();
    n5::PowerOnStatistics(&s);
    return kExitOk;
}

}  // namespace

int RunStatsCommand(n5::Adapter& adapter, Args args) {
    n5::Statistics& s = adapter.state().stats;
    static constexpr struct {
        std::string_view name;
        int (*run)(n5::Statistics& s, Args args);
    } kCommands[] = {
        {"set", Set},
        {"link", Link},
        {"functions", Functions},
        {"qsets", Qsets},
        {"connection", Connection},
        {"reset", Reset},
    };
    for (const auto& command : kCommands) {
        if (!args.empty() && command.name == args[0]) return command.run(s, args.subspan(1));
    }
    return StatsUsage();
}

}  // namespace qvsim
