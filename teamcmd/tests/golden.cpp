#include "golden.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace qv::teamcmd::testing {

std::string Golden(const std::string& name) {
    const std::string path = std::string(QV_SOURCE_DIR) + "/teamcmd/tests/golden/" + name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing golden file " << path;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace qv::teamcmd::testing
