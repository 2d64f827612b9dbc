// The diagnostic trace hook of the teaming library and programs.
//
// Every library operation reports "-->Name:" on entry, "<--Name:" (with a reason on failure) on
// exit and "   Name: step" in between. By default the lines are discarded; when the environment
// variable QV_TRACE names a file, each line is appended there as UTF-8, so a field engineer can
// switch tracing on without changing what the user sees.
#pragma once

namespace qv {

// printf-style, with the conventions of U16Format (text.h).
void QvTrace(const char16_t* format, ...);

}  // namespace qv
