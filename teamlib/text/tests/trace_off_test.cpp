#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "qv/teamlib/trace.h"
#include "qv/testing/temp_dir.h"

namespace qv {
namespace {

// With QV_TRACE unset at the first call, tracing stays off even when the variable appears later:
// the environment is read once, and nothing is written.
TEST(QvTraceTest, DiscardsLinesWhenNotEnabled) {
    unsetenv("QV_TRACE");
    QvTrace(u"-->Start:");
    const qv::testing::TempDir dir("qvtrace");
    ASSERT_TRUE(dir.ok());
    const std::string path = (dir / "trace.log").string();
    setenv("QV_TRACE", path.c_str(), 1);
    QvTrace(u"   Start: step %d", 1);
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    unsetenv("QV_TRACE");
}

}  // namespace
}  // namespace qv
