// Case-insensitive comparisons of ASCII words, as the keyword matching of the command line uses.
#pragma once

#include <cstddef>

namespace qv::qvtool {

// True when both words are equal without regard to case.
bool EqualsIgnoreCase(const char* a, const char* b);
// True when word begins with prefix (over the prefix's whole length) without regard to case.
bool StartsWithIgnoreCase(const char* word, const char* prefix);

}  // namespace qv::qvtool
