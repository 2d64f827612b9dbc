#include "qt_app.h"

#include <gtest/gtest.h>

#include <memory>

namespace qv::cfg::qt::testing {
namespace {

// The application lives from before the first test to after the last, and goes before the
// program's static objects do (Qt cannot be torn down after them).
class Application final : public ::testing::Environment {
  public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }
    QApplication& app() { return *app_; }

  private:
    int argc_ = 1;
    char name_[16] = "teamcfg_qt_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

Application* const kApplication =
    static_cast<Application*>(::testing::AddGlobalTestEnvironment(new Application));

}  // namespace

QApplication& TestApp() {
    return kApplication->app();
}

}  // namespace qv::cfg::qt::testing
