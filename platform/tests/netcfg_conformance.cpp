// Behaviour of the network-configuration port that the teaming library relies on, on the
// simulated host and, in the windows build, on the real COM classes. Wine's network configuration
// is a stub: depending on its version CLSID_CNetCfg is not registered, or the object exists but
// QueryNetCfgClass answers E_NOTIMPL. Only those two answers, and only under Wine, skip the case;
// every other answer is checked as on Windows.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "qv/platform/netcfg.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "qv/testing/temp_machine.h"
#endif
#include "qv/testing/wine.h"

namespace qv {
namespace {

using namespace qv::netcfg;

using qv::testing::RunningUnderWine;

// A result that marks a known gap of Wine's network configuration.
bool WineGap(HResult result) {
    return RunningUnderWine() && (result == kRegdbEClassNotReg || result == kENotImpl);
}

class NetCfgConformance : public ::testing::Test {
  protected:
    void SetUp() override {
#ifndef _WIN32
        machine_ = std::make_unique<qv::testing::TempMachine>();
#endif
    }
#ifndef _WIN32
    std::unique_ptr<qv::testing::TempMachine> machine_;
#endif
};

TEST_F(NetCfgConformance, CoInitializeAnswersSFalseOnASecondCallOfTheThread) {
    HResult first = kEFail, second = kEFail, afterBalance = kEFail;
    std::thread([&] {
        first = CoInitialize();
        second = CoInitialize();
        CoUninitialize();
        CoUninitialize();
        afterBalance = CoInitialize();
        CoUninitialize();
    }).join();
    EXPECT_EQ(first, kSOk);
    EXPECT_EQ(second, kSFalse);
    EXPECT_EQ(afterBalance, kSOk);
}

std::u16string Take(char16_t* text) {
    std::u16string copy = text ? text : u"";
    CoTaskMemFree(text);
    return copy;
}

struct AdapterView {
    Guid guid{};
    std::vector<Guid> pathBottoms;  // the lower component of each path's last interface
    size_t paths = 0;
};

TEST_F(NetCfgConformance, ReadsAdaptersAndThePathsAboveThemWithoutTheLock) {
    ASSERT_EQ(CoInitialize(), kSOk);
    INetCfg cfg = nullptr;
    const HResult created = CreateNetCfg(&cfg);
    if (WineGap(created)) {
        CoUninitialize();
        GTEST_SKIP()
            << "known Wine gap: Wine has no network-configuration classes (CLSID_CNetCfg not registered)";
    }
    ASSERT_EQ(created, kSOk);
    ASSERT_NE(cfg, nullptr);
    EXPECT_GE(AddRef(cfg), 2u);
    EXPECT_GE(Release(cfg), 1u);
    ASSERT_EQ(Initialize(cfg), kSOk);

    INetCfgClass cls = nullptr;
    const HResult queried = QueryNetCfgClass(cfg, kGuidDevClassNet, &cls);
    if (WineGap(queried)) {
        EXPECT_EQ(Uninitialize(cfg), kSOk);
        EXPECT_EQ(Release(cfg), 0u);
        CoUninitialize();
        GTEST_SKIP() << "known Wine gap: Wine's INetCfg does not implement QueryNetCfgClass (E_NOTIMPL)";
    }
    ASSERT_EQ(queried, kSOk);
    IEnumNetCfgComponent components = nullptr;
    ASSERT_EQ(EnumComponents(cls, &components), kSOk);
    ASSERT_EQ(Reset(components), kSOk);
    std::vector<AdapterView> adapters;
    INetCfgComponent component = nullptr;
    while (Next(components, &component) == kSOk) {
        AdapterView view;
        uint32_t characteristics = 0;
        EXPECT_EQ(GetInstanceGuid(component, &view.guid), kSOk);
        EXPECT_EQ(GetCharacteristics(component, &characteristics), kSOk);
        char16_t* id = nullptr;
        EXPECT_EQ(GetId(component, &id), kSOk);
        EXPECT_FALSE(Take(id).empty());
        INetCfgComponentBindings bindings = nullptr;
        ASSERT_EQ(QueryBindings(component, &bindings), kSOk);
        IEnumNetCfgBindingPath paths = nullptr;
        ASSERT_EQ(EnumBindingPaths(bindings, kEbpAbove, &paths), kSOk);
        INetCfgBindingPath path = nullptr;
        while (Next(paths, &path) == kSOk) {
            ++view.paths;
            char16_t* token = nullptr;
            EXPECT_EQ(GetPathToken(path, &token), kSOk);
            EXPECT_FALSE(Take(token).empty());
            const HResult enabled = IsEnabled(path);
            EXPECT_TRUE(enabled == kSOk || enabled == kSFalse);
            IEnumNetCfgBindingInterface interfaces = nullptr;
            ASSERT_EQ(EnumBindingInterfaces(path, &interfaces), kSOk);
            INetCfgBindingInterface bi = nullptr;
            Guid bottom{};
            while (Next(interfaces, &bi) == kSOk) {
                INetCfgComponent lower = nullptr;
                EXPECT_EQ(GetLowerComponent(bi, &lower), kSOk);
                EXPECT_EQ(GetInstanceGuid(lower, &bottom), kSOk);
                Release(lower);
                Release(bi);
            }
            view.pathBottoms.push_back(bottom);
            Release(interfaces);
            EXPECT_EQ(Enable(path, false), kNetcfgENoWriteLock);  // changes need the lock
            Release(path);
        }
        Release(paths);
        Release(bindings);
        Release(component);
        adapters.push_back(view);
    }
    EXPECT_EQ(component, nullptr);
    for (const auto& a : adapters) {
        for (const auto& bottom : a.pathBottoms)
            EXPECT_EQ(bottom, a.guid) << "a path above ends at its adapter";
    }
#ifndef _WIN32
    ASSERT_EQ(adapters.size(), 5u);  // the default machine
    for (const auto& a : adapters) EXPECT_EQ(a.paths, 2u);
#endif
    EXPECT_EQ(Apply(cfg), kNetcfgENoWriteLock);
    Release(components);
    Release(cls);
    EXPECT_EQ(Uninitialize(cfg), kSOk);
    EXPECT_EQ(Release(cfg), 0u);
    CoUninitialize();
}

}  // namespace
}  // namespace qv
