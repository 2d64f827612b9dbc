#include "qv/qvtool/jtag/board_config.h"

#include <algorithm>

#include "qv/qvtool/number_text.h"
#include "qv/qvtool/storage/image_file.h"

namespace qv::qvtool {
namespace {

constexpr char kTooManyRowsMessage[] = "Error: more than 64 fpga rows specified.\n";
static_assert(kBoardMaxRows == 64, "the message names the limit");

// Characters that separate fields. A NUL byte separates too, so that no name carries one.
bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\0';
}

// The next field of the line from *at; empty at the end of the line.
std::string_view NextField(std::string_view line, size_t* at) {
    size_t i = *at;
    while (i < line.size() && IsSeparator(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !IsSeparator(line[i])) ++i;
    *at = i;
    return line.substr(start, i - start);
}

bool ReadDecimalField(std::string_view field, uint32_t* value) {
    if (field.empty()) return false;
    uint64_t v = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint32_t>(c - '0');
        if (v > 0xFFFFFFFFu) return false;
    }
    *value = static_cast<uint32_t>(v);
    return true;
}

// Hexadecimal digits with an optional 0x prefix; the value must fit in 32 bits.
bool ReadHexField(std::string_view field, uint32_t* value) {
    if (field.size() > 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X')) field.remove_prefix(2);
    if (field.empty()) return false;
    uint64_t v = 0;
    for (const char c : field) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return false;
        v = v * 16 + static_cast<uint32_t>(digit);
        if (v > 0xFFFFFFFFu) return false;
    }
    *value = static_cast<uint32_t>(v);
    return true;
}

bool IsBlank(std::string_view line) {
    for (const char c : line) {
        if (!IsSeparator(c)) return false;
    }
    return true;
}

// One row's fields; the message of the first that fails, or null.
const char* ReadRow(std::string_view line, BoardRow* row) {
    if (line.size() > kBoardMaxLine) return "Invalid row specified.\n";
    size_t at = 0;
    if (!ReadDecimalField(NextField(line, &at), &row->position)) return "Invalid row specified.\n";
    if (!ReadHexField(NextField(line, &at), &row->idcode)) return "Invalid fpga id specified.\n";
    const std::string_view module = NextField(line, &at);
    if (module.empty()) return "Error: No fpga module name specified.\n";
    if (module.size() > kBoardMaxName) return "Error: fpga module name too long.\n";
    const std::string_view bitStream = NextField(line, &at);
    if (bitStream.size() > kBoardMaxName) return "Error: fpga config file name too long.\n";
    row->module = module;
    row->bitStream = bitStream;
    return nullptr;
}

}  // namespace

BoardConfig ParseBoardConfig(std::string_view text) {
    BoardConfig config;
    for (uint32_t number = 1; !text.empty(); ++number) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (IsBlank(line) || line[0] == '#') continue;
        // Every row must be configured: one left out would leave its device as it is.
        BoardRow row;
        const char* message = config.rows.size() == kBoardMaxRows ? kTooManyRowsMessage : ReadRow(line, &row);
        if (message != nullptr) {
            config.rows.clear();
            config.message = message;
            return config;
        }
        row.line = number;
        config.rows.push_back(std::move(row));
    }
    config.ok = true;
    return config;
}

std::span<const BoardRow> ConfiguredRows(const BoardConfig& config) {
    const auto end = std::find_if(config.rows.begin(), config.rows.end(),
                                  [](const BoardRow& row) { return row.idcode == 0; });
    return {config.rows.begin(), end};
}

bool LoadBoardConfig(const std::string& path, BoardConfig* config, std::FILE* out) {
    const LoadedFile file = LoadImageFile(path);
    if (file.status != LoadStatus::kLoaded) {
        std::fprintf(out, "Unable to open %s board configuration file\n", path.c_str());
        return false;
    }
    *config = ParseBoardConfig(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
    std::fputs(config->message, out);
    return config->ok;
}

}  // namespace qv::qvtool
