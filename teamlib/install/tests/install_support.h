// Helpers of the installation suites: the default machine's miniport INF, the whole registry as
// text, and the newdev answers of the machine.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "qv/sim/host_state.h"
#include "qv/sim/regfile.h"

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

// How the machine's newdev.dll answers (sim::kExport* per export).
struct NewdevAnswers {
    uint32_t installSelectedDriver = sim::kExportWorks;
    uint32_t diInstallDevice = sim::kExportWorks;
    uint32_t updateDriver = sim::kExportWorks;
};

inline void SetNewdev(const NewdevAnswers& answers) {
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevInstallSelectedDriver, answers.installSelectedDriver));
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevDiInstallDevice, answers.diInstallDevice));
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevUpdateDriver, answers.updateDriver));
}

}  // namespace qv::testing
