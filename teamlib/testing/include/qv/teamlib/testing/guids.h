// GUID helpers for the teaming suites: parsing a GUID string as part of a test, and the team
// adapter GUIDs the suites add to their simulated machines.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "qv/platform/guid.h"

namespace qv::testing {

// Team adapters a suite creates itself (they are not part of the default inventory).
inline const std::u16string kTeamA = u"{7EA00001-0000-4000-8000-00000000000A}";
inline const std::u16string kTeamB = u"{7EA00002-0000-4000-8000-00000000000B}";

// The GUID text names; a text that does not parse fails the test and gives the zero GUID.
inline Guid ToGuid(const std::u16string& text) {
    Guid guid{};
    EXPECT_TRUE(GuidFromString(text, &guid)) << std::string(text.begin(), text.end());
    return guid;
}

}  // namespace qv::testing
