// Environment variables and the C runtime's time zone for the suites, the same on both builds
// (setenv and tzset on the host, _putenv_s and _tzset under Windows).
#pragma once

namespace qv::testing {

// Sets name to value for this process; an empty value removes the variable.
void SetEnvironment(const char* name, const char* value);
// Local time becomes UTC for the C runtime's time calls (TZ=UTC0, then the runtime re-reads it).
void UseUtcTime();

}  // namespace qv::testing
