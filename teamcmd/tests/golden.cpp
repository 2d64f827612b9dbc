#include "golden.h"

#include "qv/testing/golden.h"

namespace qv::teamcmd::testing {

std::string Golden(const std::string& name) {
    return qv::testing::ReadGolden("teamcmd/tests/golden/" + name);
}

}  // namespace qv::teamcmd::testing
