// qvtool's board configuration reader (-g), fed arbitrary bytes as the file: a refused file has a
// message and no rows; an accepted one at most 64 rows, each with a module name and both names
// within their bounds and free of separators, on lines of the file in increasing order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "qv/qvtool/jtag/board_config.h"

namespace {

bool Bounded(const std::string& name, bool mayBeEmpty) {
    if (name.size() > qv::qvtool::kBoardMaxName || (name.empty() && !mayBeEmpty)) return false;
    return name.find_first_of(std::string_view(" \t\r\v\f\0\n", 7)) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qv::qvtool::BoardConfig config =
        qv::qvtool::ParseBoardConfig(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!config.ok) {
        if (*config.message == '\0' || !config.rows.empty()) std::abort();
        return 0;
    }
    if (*config.message != '\0' || config.rows.size() > qv::qvtool::kBoardMaxRows) std::abort();
    uint32_t previousLine = 0;
    for (const qv::qvtool::BoardRow& row : config.rows) {
        if (!Bounded(row.module, false) || !Bounded(row.bitStream, true)) std::abort();
        // Each row names its own line of the file: later rows lie on later lines.
        if (row.line <= previousLine || row.line > size + 1) std::abort();
        previousLine = row.line;
    }
    return 0;
}
