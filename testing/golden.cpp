#include "qv/testing/golden.h"

#include <cstdlib>
#include <fstream>

#include "qv/testing/temp_dir.h"

namespace qv::testing {
namespace {

// The line starting at pos (without its line feed), and pos moved past it; false at the end.
bool NextLine(std::string_view text, size_t* pos, std::string_view* line) {
    if (*pos >= text.size()) return false;
    size_t end = text.find('\n', *pos);
    if (end == std::string_view::npos) end = text.size();
    *line = text.substr(*pos, end - *pos);
    *pos = end + 1;
    return true;
}

std::string Shown(std::string_view line) {
    std::string shown = "\"";
    for (const char c : line) {
        if (c == '\r') {
            shown += "\\r";
        } else {
            shown += c;
        }
    }
    return shown + "\"";
}

}  // namespace

std::filesystem::path SourcePath(std::string_view relative) {
    return std::filesystem::path(QV_SOURCE_DIR) / relative;
}

std::string ReadGolden(std::string_view relative) {
    const auto path = SourcePath(relative);
    std::ifstream file(path, std::ios::binary);
    if (!file.good()) {
        ADD_FAILURE() << "missing golden file " << path.string();
        return {};
    }
    return ReadFile(path);
}

::testing::AssertionResult SameText(std::string_view expected, std::string_view actual,
                                    std::string_view what) {
    if (expected == actual) return ::testing::AssertionSuccess();
    size_t wantPos = 0, gotPos = 0;
    std::string_view want, got;
    for (int line = 1;; ++line) {
        const bool haveWant = NextLine(expected, &wantPos, &want);
        const bool haveGot = NextLine(actual, &gotPos, &got);
        if (!haveWant && !haveGot) break;
        if (haveWant != haveGot || want != got) {
            return ::testing::AssertionFailure()
                   << what << ":" << line << ": expected " << (haveWant ? Shown(want) : "<end>") << ", got "
                   << (haveGot ? Shown(got) : "<end>");
        }
    }
    return ::testing::AssertionFailure() << what << ": the texts differ only in the last line's line feed";
}

::testing::AssertionResult MatchesGolden(std::string_view text, std::string_view relative) {
    const auto path = SourcePath(relative);
    if (std::getenv("QV_REGEN_GOLDEN") != nullptr) WriteFile(path, text);
    std::ifstream file(path, std::ios::binary);
    if (!file.good()) return ::testing::AssertionFailure() << "missing golden file " << path.string();
    return SameText(ReadFile(path), text, path.string());
}

}  // namespace qv::testing
