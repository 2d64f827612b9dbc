// Helpers of the installation suites: the default machine's miniport INF, the registry as text and
// an installer of team adapters.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "qv/sim/regfile.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/text.h"

namespace qv::testing {

// The miniport INF of the default machine (Windows directory C:\WINDOWS).
inline constexpr char16_t kMiniportInf[] = u"C:\\WINDOWS\\Inf\\oem1.inf";

// The machine's registry as .reg text, to show that a failed operation left nothing behind.
inline std::string RegistryText() {
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(sim::ExportRegFile(out, &error)) << error;
    return out.str();
}

struct Installed {
    int result = -1;
    Guid guid{};
    std::u16string name;  // the name buffer afterwards
};

inline Installed Install(const std::u16string& name, const char16_t* inf = kMiniportInf,
                         const char16_t* hardwareId = kMiniportHardwareId) {
    char16_t buffer[kInstallNameCapacity] = {};
    U16CopyInto(buffer, kInstallNameCapacity, name);
    Installed out;
    out.result = cmdInstall(hardwareId, inf, buffer, &out.guid);
    out.name = buffer;
    return out;
}

}  // namespace qv::testing
