// qvtool's statistics reports, fed an arbitrary driver answer: the first byte picks the record,
// the second how many of the following bytes the driver "returned" into it (the rest of the record
// keeps its zeroed request). Every record must print within bounds, and the counts the driver
// answers (queue sets, ports, functions) must never produce more lines than the record can hold.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace {

using namespace qv::qvtool;

template <typename Record>
Record Answer(const uint8_t* data, size_t size, size_t returned) {
    Record record{};
    std::memcpy(&record, data, std::min({size, returned, sizeof record}));
    return record;
}

// Prints into memory and returns the number of lines printed.
template <typename Print>
size_t CountLines(Print print) {
    char* text = nullptr;
    size_t length = 0;
    std::FILE* out = open_memstream(&text, &length);
    if (out == nullptr) std::abort();
    print(out);
    std::fclose(out);
    const size_t lines = static_cast<size_t>(std::count(text, text + length, '\n'));
    std::free(text);
    return lines;
}

constexpr size_t kIntrMaxLines = 25 + kIntrMaxQsets * (2 + kIntrPerQsetArrayCount);
constexpr size_t kToeMaxLines = 16 + kToeMaxPorts * (1 + kToeMaxFunctions * (1 + kToePerFunctionArrayCount));

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t kind = data[0];
    const size_t returned = static_cast<size_t>(data[1]) * 8;
    data += 2;
    size -= 2;
    size_t lines = 0;
    size_t limit = 0;
    switch (kind % 8) {
        case 0:
            lines = CountLines(
                [&](std::FILE* o) { PrintPortLink(o, Answer<PortLinkRecord>(data, size, returned)); });
            limit = 3;
            break;
        case 1:
            lines = CountLines(
                [&](std::FILE* o) { PrintMacStats(o, -1, Answer<MacStatsRecord>(data, size, returned)); });
            limit = 1 + kMacCounterCount;
            break;
        case 2:
            lines = CountLines(
                [&](std::FILE* o) { PrintQsetStats(o, 7, Answer<QsetStatsRecord>(data, size, returned)); });
            limit = 1 + QsetCounterLines().size();
            break;
        case 3:
            lines = CountLines([&](std::FILE* o) {
                PrintInterruptStats(o, Answer<InterruptStatsRecord>(data, size, returned));
            });
            limit = kIntrMaxLines;
            break;
        case 4:
            lines = CountLines([&](std::FILE* o) {
                PrintOffloadStats(o, 0xFFFFFFFF, Answer<OffloadStatsRecord>(data, size, returned));
            });
            limit = kToeMaxLines;
            break;
        case 5:
            lines = CountLines([&](std::FILE* o) {
                PrintConnection(o, 0, Answer<ConnectionStatsRecord>(data, size, returned));
            });
            limit = 2;
            break;
        case 6:
            lines = CountLines([&](std::FILE* o) {
                PrintCounterLines(o, RecordBytes(Answer<IpStatsRecord>(data, size, returned)),
                                  IpCounterLines());
            });
            limit = IpCounterLines().size();
            break;
        default:
            lines = CountLines([&](std::FILE* o) {
                PrintCounterLines(o, RecordBytes(Answer<TcpStatsRecord>(data, size, returned)),
                                  TcpCounterLines());
            });
            limit = TcpCounterLines().size();
            break;
    }
    if (lines > limit) std::abort();
    return 0;
}
