// Names read from a machine may hold anything: in text for people a control character (a line
// break) would make a line of its own, so each shows as '?'.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace qv::qvteam {

inline std::string Printable(std::string_view text) {
    std::string out(text);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; },
        '?');
    return out;
}

}  // namespace qv::qvteam
