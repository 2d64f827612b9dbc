#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "qv/teamlib/trace.h"
#include "qv/testing/environment.h"
#include "qv/testing/temp_dir.h"

namespace qv {
namespace {

// With QV_TRACE unset at the first call, tracing stays off even when the variable appears later:
// the environment is read once, and nothing is written.
TEST(QvTraceTest, DiscardsLinesWhenNotEnabled) {
    qv::testing::SetEnvironment("QV_TRACE", "");
    QvTrace(u"-->Start:");
    const qv::testing::TempDir dir("qvtrace");
    ASSERT_TRUE(dir.ok());
    const std::string path = (dir / "trace.log").string();
    qv::testing::SetEnvironment("QV_TRACE", path.c_str());
    QvTrace(u"   Start: step %d", 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    qv::testing::SetEnvironment("QV_TRACE", "");
}

}  // namespace
}  // namespace qv
