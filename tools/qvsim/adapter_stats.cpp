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
#include "adapter_stats.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "machine_support.h"
#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/stats_records.h"

namespace qvsim {
namespace {

namespace n5 = qv::sim::n5;
using Args = std::span<char* const>;

// A decimal number, or a hexadecimal one after "0x".
bool ParseValue(const char* text, uint64_t* value) {
    const bool hex = text != nullptr && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    return hex ? ParseUnsigned(text + 2, 16, UINT64_MAX, value) : ParseUnsigned(text, 10, UINT64_MAX, value);
}

bool ParseIndex(const char* text, uint32_t limit, uint32_t* index) {
    uint64_t v = 0;
    if (!ParseValue(text, &v) || v >= limit) return false;
    *index = static_cast<uint32_t>(v);
    return true;
}

void Store(uint8_t* field, uint32_t width, uint64_t value) {
    for (uint32_t i = 0; i < width; ++i) field[i] = static_cast<uint8_t>(value >> (8 * i));
}

// A record image and the tool's lines for it.
struct Image {
    uint8_t* bytes;
    uint32_t size;
    std::span<const qv::qvtool::CounterLine> lines;
};

bool FindImage(n5::Statistics& s, std::string_view name, Image* image) {
    using namespace qv::qvtool;
    const struct {
        const char* prefix;
        uint32_t count;  // instances; 0: one image
    } kinds[] = {{"phy", n5::kStatsPorts},
                 {"mac", n5::kStatsPorts},
                 {"qs", n5::kStatsQsets},
                 {"intr", 0},
                 {"ip", 0},
                 {"tcp", 0},
                 {"toe", 0}};
    for (const auto& kind : kinds) {
        const std::string_view prefix(kind.prefix);
        if (name.substr(0, prefix.size()) != prefix) continue;
        const std::string_view rest = name.substr(prefix.size());
        uint32_t at = 0;
        if (kind.count == 0 ? !rest.empty() : !ParseIndex(std::string(rest).c_str(), kind.count, &at))
            continue;
        if (prefix == "phy") *image = {s.portLink[at], n5::kPortLinkBytes, {}};
        if (prefix == "mac") *image = {s.mac[at], n5::kMacStatsBytes, MacCounterLines()};
        if (prefix == "qs") *image = {s.qset[at], n5::kQsetStatsBytes, QsetCounterLines()};
        if (prefix == "intr") *image = {s.interrupts, n5::kInterruptStatsBytes, IntrCounterLines()};
        if (prefix == "ip") *image = {s.ip, n5::kIpStatsBytes, IpCounterLines()};
        if (prefix == "tcp") *image = {s.tcp, n5::kTcpStatsBytes, TcpCounterLines()};
        if (prefix == "toe") *image = {s.offload, n5::kOffloadStatsBytes, OffloadCounterLines()};
        return true;
    }
    return false;
}

// u32@<hex offset> or u64@<hex offset>: the field's width and offset.
bool ParseOffsetField(const char* text, uint32_t* width, uint32_t* offset) {
    const std::string_view t(text);
    if (t.size() < 5 || t[3] != '@' || (t.substr(0, 3) != "u32" && t.substr(0, 3) != "u64")) return false;
    *width = t[1] == '3' ? 4 : 8;
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text + 4, &end, 16);
    if (errno != 0 || *end != '\0' || text[4] == '-') return false;
    *offset = static_cast<uint32_t>(v);
    return true;
}

int SetPipelineCounter(n5::Statistics& s, const char* name, uint64_t value) {
    const auto labels = qv::qvtool::PipelineCounterLabels();
    for (uint32_t i = 0; i < labels.size(); ++i) {
        if (qv::qvtool::CounterName(labels[i]) != name) continue;
        s.pipeline[i] = static_cast<uint32_t>(value);
        return kExitOk;
    }
    std::fprintf(stderr, "qvsim: adapter: sge has no counter %s\n", name);
    return kExitFailure;
}

int Set(n5::Statistics& s, Args args) {
    uint64_t value = 0;
    if (args.size() != 3 || !ParseValue(args[2], &value))
        return AdapterUsage("expected set <record> <counter> <value>");
    if (std::strcmp(args[0], "sge") == 0) return SetPipelineCounter(s, args[1], value);
    Image image{};
    if (!FindImage(s, args[0], &image)) {
        std::fprintf(
            stderr,
            "qvsim: adapter: no statistics record %s (phy0-1, mac0-1, qs0-7, intr, ip, tcp, toe, sge)\n",
            args[0]);
        return kExitFailure;
    }
    uint32_t width = 0;
    uint32_t offset = 0;
    if (!ParseOffsetField(args[1], &width, &offset)) {
        const qv::qvtool::CounterLine* line = qv::qvtool::FindCounterLine(image.lines, args[1]);
        if (line == nullptr) {
            std::fprintf(stderr, "qvsim: adapter: %s has no counter %s\n", args[0], args[1]);
            return kExitFailure;
        }
        width = qv::qvtool::FieldWidth(line->format);
        offset = line->offset;
    }
    if (offset + width > image.size) {
        std::fprintf(stderr, "qvsim: adapter: the field lies outside the %u-byte record\n", image.size);
        return kExitFailure;
    }
    Store(image.bytes + offset, width, value);
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
    Store(link + n5::kPortLinkStatus, 4, up ? 1 : 0);
    if (args.size() > 2) Store(link + n5::kPortLinkSpeed, 4, speed);
    if (args.size() > 3) Store(link + n5::kPortLinkDuplex, 4, duplex);
    return kExitOk;
}

int Functions(n5::Statistics& s, Args args) {
    uint32_t port = 0;
    uint32_t count = 0;
    if (args.size() != 2 || !ParseIndex(args[0], n5::kStatsPorts, &port) ||
        !ParseIndex(args[1], 1u << 31, &count))
        return AdapterUsage("expected stats functions <port 0-1> <count>");
    Store(s.offload + n5::kOffloadFunctionCount + 4 * port, 4, count);
    return kExitOk;
}

int Qsets(n5::Statistics& s, Args args) {
    uint32_t count = 0;
    if (args.size() != 1 || !ParseIndex(args[0], 1u << 31, &count))
        return AdapterUsage("expected stats qsets <count>");
    Store(s.interrupts + n5::kInterruptQsetCount, 4, count);
    return kExitOk;
}

bool ParseMac(const char* text, uint8_t (&mac)[6]) {
    unsigned b[6];
    char tail = 0;
    if (std::sscanf(text, "%2x:%2x:%2x:%2x:%2x:%2x%c", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &tail) != 6)
        return false;
    for (int i = 0; i < 6; ++i) mac[i] = static_cast<uint8_t>(b[i]);
    return true;
}

int Connection(n5::Statistics& s, Args args) {
    uint32_t number = 0;
    uint64_t tid = qv::qvtool::kNoSocketTid;
    uint8_t mac[6] = {};
    const bool none = args.size() >= 2 && std::strcmp(args[1], "none") == 0;
    if (args.size() < 2 || args.size() > 3 || !ParseIndex(args[0], n5::kOffloadConnections, &number) ||
        (!none && (!ParseValue(args[1], &tid) || tid > 0xFFFFFFFF)) ||
        (args.size() == 3 && !ParseMac(args[2], mac))) {
        return AdapterUsage("expected stats connection <0-15> <tid>|none [<aa:bb:cc:dd:ee:ff>]");
    }
    n5::OffloadConnection& c = s.connections[number];
    c.tid = static_cast<uint32_t>(tid);
    if (args.size() == 3) std::memcpy(c.mac, mac, sizeof mac);
    return kExitOk;
}

}  // namespace

int RunStatsCommand(n5::Adapter& adapter, Args args) {
    n5::Statistics& s = adapter.state().stats;
    const std::string_view command = args.empty() ? "" : args[0];
    const Args rest = args.empty() ? args : args.subspan(1);
    if (command == "set") return Set(s, rest);
    if (command == "link") return Link(s, rest);
    if (command == "functions") return Functions(s, rest);
    if (command == "qsets") return Qsets(s, rest);
    if (command == "connection") return Connection(s, rest);
    if (command == "reset" && rest.empty()) {
        n5::PowerOnStatistics(&s);
        return kExitOk;
    }
    return AdapterUsage("expected stats set|link|functions|qsets|connection|reset ...; see qvsim help");
}

}  // namespace qvsim
