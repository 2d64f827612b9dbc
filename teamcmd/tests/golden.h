// Expected console texts kept as files under teamcmd/tests/golden/.
#pragma once

#include <string>

namespace qv::teamcmd::testing {

// The content of teamcmd/tests/golden/<name>, byte for byte; fails the test when it is missing.
std::string Golden(const std::string& name);

}  // namespace qv::teamcmd::testing
