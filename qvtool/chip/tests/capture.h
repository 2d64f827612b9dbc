// What a printing function writes to a stream, as text (through a temporary file, so that the
// suites run in both builds).
#pragma once

#include <cstdio>
#include <string>

namespace qv::qvtool::test {

template <typename Print>
std::string Capture(Print print) {
    std::FILE* f = std::tmpfile();
    if (f == nullptr) return "<no temporary file>";
    print(f);
    std::string text(static_cast<size_t>(std::ftell(f)), '\0');
    std::rewind(f);
    text.resize(std::fread(text.data(), 1, text.size(), f));
    std::fclose(f);
    return text;
}

}  // namespace qv::qvtool::test
