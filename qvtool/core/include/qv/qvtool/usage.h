// The usage screen of qvtool.
#pragma once

namespace qv::qvtool {

// The whole screen, fifty lines, as printed on standard output.
extern const char* const kUsageText;

}  // namespace qv::qvtool
