// Registry names: UTF-16 text, compared without regard to case as Windows compares them, and the
// byte forms in which the database keeps names and their comparison keys.
#pragma once

#include <string>
#include <string_view>

namespace qv::sim::regnames {

// The upper-case form of one UTF-16 unit used for comparisons: ASCII, Latin-1, Latin Extended-A,
// basic Greek and basic Cyrillic letters are folded; every other unit compares as itself.
char16_t Upcase(char16_t unit);

// The comparison key of a name: its upper-cased units, big-endian, so that comparing keys byte by
// byte orders names as Windows enumerates them (by upper-cased UTF-16 unit).
std::string FoldKey(std::u16string_view name);

// The stored form of a name: its UTF-16 units, little-endian, exactly as given.
std::string ToStored(std::u16string_view name);
std::u16string FromStored(std::string_view bytes);

}  // namespace qv::sim::regnames
