// The board configuration file of -g: which device sits at which chain position and which
// bit-stream file configures it. One row per line, fields separated by blanks or tabs:
//   <chain position, decimal> <expected IDCODE, hexadecimal> <module name> [<bit-stream file>]
// Lines that begin with '#' and lines of blanks only are skipped. The rows are kept in file order;
// a file with more than kBoardMaxRows rows is refused whole. Fields after the fourth are ignored.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv::qvtool {

constexpr uint32_t kBoardMaxRows = 64;
constexpr uint32_t kBoardMaxLine = 1023;  // characters of a line, without its line end
constexpr uint32_t kBoardMaxName = 64;    // characters of a module or bit-stream file name

struct BoardRow {
    uint32_t position;
    uint32_t idcode;
    std::string module;
    std::string bitStream;  // empty: the row is checked but nothing is downloaded
    uint32_t line;          // of the file, counted from 1, to name the row in messages
};

struct BoardConfig {
    bool ok = false;
    std::vector<BoardRow> rows;  // when ok
    const char* message = "";    // the tool's message when not ok
};

// Reads the file's text. A row whose fields do not read gives the message for the first field
// that fails, and the whole configuration is refused; so does a row after the kBoardMaxRows-th. A
// line longer than kBoardMaxLine characters is refused as an invalid row unless it is a comment or
// blank (skipped whole), so that the rest of a long line is never read as a row of its own. An
// empty text is a configuration without rows.
BoardConfig ParseBoardConfig(std::string_view text);

// The rows that configure the board: those before the first row with IDCODE 0 (the end).
std::span<const BoardRow> ConfiguredRows(const BoardConfig& config);

// Reads and parses the named file (a regular file of bounded size); prints the failure to out.
bool LoadBoardConfig(const std::string& path, BoardConfig* config, std::FILE* out);

}  // namespace qv::qvtool
