// qvsim and the network configuration: holding and freeing the write lock, and the binding and
// lock lines of qvsim show after changes made through the port.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "qv/platform/netcfg.h"
#include "qv/sim/machine.h"
#include "qvsim_run.h"

namespace qvsim::testing {
namespace {

using namespace qv::netcfg;
using qv::IEnumNetCfgBindingPath;
using qv::IEnumNetCfgComponent;
using qv::INetCfg;
using qv::INetCfgBindingPath;
using qv::INetCfgClass;
using qv::INetCfgComponent;
using qv::INetCfgComponentBindings;
using qv::INetCfgLock;

constexpr const char* kLockLine =
    "Network configuration write lock: held by \"Other Program\" (held by qvsim until freed)\n";

// COM on this thread, a new INetCfg and its lock interface.
void OpenConfig(INetCfg* cfg, INetCfgLock* lock) {
    ASSERT_EQ(CoInitialize(), qv::kSOk);
    ASSERT_EQ(CreateNetCfg(cfg), qv::kSOk);
    ASSERT_EQ(QueryLock(*cfg, lock), qv::kSOk);
}

TEST(QvsimWriteLock, HoldShowsInShowUntilFreedAndBlocksTheProgramsLock) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init"}).status, 0);
    const Result hold = box.Run({"write-lock", "hold", "Other Program"});
    EXPECT_EQ(hold.status, 0) << hold.err;
    const std::string shown = box.Run({"show"}).out;
    EXPECT_NE(shown.find(std::string(kLockLine) + "Bus-driver instances:\n"), std::string::npos) << shown;

    const Result again = box.Run({"write-lock", "hold", "Someone"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err,
              "qvsim: write-lock: already held by \"Other Program\" (held by qvsim until freed)\n");

    // A program of the machine gets the holder's name back.
    qv::sim::SelectMachine(box.machine());
    INetCfg cfg = nullptr;
    INetCfgLock lock = nullptr;
    OpenConfig(&cfg, &lock);
    char16_t* holder = nullptr;
    EXPECT_EQ(AcquireWriteLock(lock, 0, u"QvTeamCfg", &holder), qv::kSFalse);
    EXPECT_EQ(std::u16string(holder ? holder : u""), u"Other Program");
    CoTaskMemFree(holder);

    EXPECT_EQ(box.Run({"write-lock", "free"}).status, 0);
    EXPECT_EQ(box.Run({"show"}).out.find("write lock"), std::string::npos);
    EXPECT_EQ(AcquireWriteLock(lock, 0, u"QvTeamCfg", &holder), qv::kSOk);
    const std::string own = "Network configuration write lock: held by \"QvTeamCfg\" (process " +
                            std::to_string(getpid()) + ")\n";
    EXPECT_NE(box.Run({"show"}).out.find(own), std::string::npos);
    EXPECT_EQ(ReleaseWriteLock(lock), qv::kSOk);
    Release(lock);
    Release(cfg);
    CoUninitialize();
    EXPECT_EQ(box.Run({"show"}).out.find("write lock"), std::string::npos);
}

TEST(QvsimWriteLock, UsageErrors) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "1"}).status, 0);
    const struct {
        std::initializer_list<std::string> args;
    } cases[] = {{{"write-lock"}},
                 {{"write-lock", "hold"}},
                 {{"write-lock", "hold", ""}},
                 {{"write-lock", "take", "x"}},
                 {{"write-lock", "free", "x"}},
                 {{"write-lock", "hold", std::string(257, 'n')}}};
    for (const auto& c : cases) {
        const Result r = box.Run(c.args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.err.rfind("qvsim: write-lock: ", 0), 0u) << r.err;
    }
    EXPECT_EQ(box.Run({"show"}).out.find("write lock"), std::string::npos);
}

TEST(QvsimShow, BindingsOfAnAdapterOnceOneIsDisabled) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "1", "--no-other-vendor"}).status, 0);
    qv::sim::SelectMachine(box.machine());
    INetCfg cfg = nullptr;
    INetCfgLock lock = nullptr;
    OpenConfig(&cfg, &lock);
    ASSERT_EQ(AcquireWriteLock(lock, 0, u"QvTeamCfg", nullptr), qv::kSOk);
    ASSERT_EQ(Initialize(cfg), qv::kSOk);
    INetCfgClass cls = nullptr;
    IEnumNetCfgComponent components = nullptr;
    INetCfgComponent adapter = nullptr;
    ASSERT_EQ(QueryNetCfgClass(cfg, qv::kGuidDevClassNet, &cls), qv::kSOk);
    ASSERT_EQ(EnumComponents(cls, &components), qv::kSOk);
    ASSERT_EQ(Next(components, &adapter), qv::kSOk);  // Local Area Connection
    INetCfgComponentBindings bindings = nullptr;
    IEnumNetCfgBindingPath paths = nullptr;
    INetCfgBindingPath tcpip = nullptr;
    ASSERT_EQ(QueryBindings(adapter, &bindings), qv::kSOk);
    ASSERT_EQ(EnumBindingPaths(bindings, qv::kEbpAbove, &paths), qv::kSOk);
    ASSERT_EQ(Next(paths, &tcpip), qv::kSOk);
    ASSERT_EQ(Enable(tcpip, false), qv::kSOk);
    EXPECT_EQ(box.Run({"show"}).out.find("bindings:"), std::string::npos);  // not applied yet
    ASSERT_EQ(Apply(cfg), qv::kSOk);
    const std::string shown = box.Run({"show"}).out;
    EXPECT_NE(shown.find("    state:    present, enabled\n"
                         "    bindings: ms_tcpip disabled, qv_qvteamp enabled\n"
                         "  Local Area Connection 2\n"),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.find("bindings:"), shown.rfind("bindings:"));  // the other adapter's are all enabled
    for (void* object : std::initializer_list<void*>{tcpip, paths, bindings, adapter, components, cls})
        Release(object);
    Uninitialize(cfg);
    ReleaseWriteLock(lock);
    Release(lock);
    Release(cfg);
    CoUninitialize();
}

}  // namespace
}  // namespace qvsim::testing
