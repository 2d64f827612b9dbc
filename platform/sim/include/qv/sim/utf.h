// UTF-8 <-> UTF-16 conversion for the simulator's command line and tests. Invalid sequences
// become U+FFFD; nothing read from outside can make these overrun.
#pragma once

#include <string>
#include <string_view>

namespace qv::sim {

std::u16string ToUtf16(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);

}  // namespace qv::sim
