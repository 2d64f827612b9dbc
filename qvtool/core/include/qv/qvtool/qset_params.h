// The queue-set parameters that -m reads and sets, by name.
#pragma once

#include <string>

namespace qv::qvtool {

constexpr int kQsetParamCount = 5;
extern const char* const kQsetParamNames[kQsetParamCount];

// The index of the parameter whose name equals text without regard to case, or -1. The text
// "list" (any case, as a prefix) is handled by the caller with QsetParamListText.
int QsetParamIndex(const char* text);
// True when the text asks for the parameter list instead of naming a parameter.
bool IsQsetParamListRequest(const char* text);
// The parameter list as printed.
std::string QsetParamListText();

}  // namespace qv::qvtool
