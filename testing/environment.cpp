#include "qv/testing/environment.h"

#include <stdlib.h>
#include <time.h>

namespace qv::testing {

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    if (*value == '\0') {
        unsetenv(name);
    } else {
        setenv(name, value, 1);
    }
#endif
}

void UseUtcTime() {
    SetEnvironment("TZ", "UTC0");
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

}  // namespace qv::testing
