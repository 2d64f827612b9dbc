// Protocol bindings and the teaming protocol's installation on a simulated machine: which paths
// above an adapter change (read back with qv::sim::ReadAdapterBindings), the adapter selector, the
// write lock held by another client on virtual time, COM already initialised on the thread, and
// no network-configuration object left behind on any path.
#include "qv/teamlib/bindings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "qv/platform/netcfg.h"
#include "qv/platform/utf.h"
#include "qv/sim/clock.h"
#include "qv/sim/device_database.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

using sim::RegValue;
using sim::RegValues;

const std::u16string kTcpipGuid = u"{7C9E2A51-0000-4000-8000-000000000001}";
const std::u16string kTeampGuid = u"{5A5A7E40-0000-4000-8000-000000000001}";
const std::u16string kLldpGuid = u"{6E77D1D0-0000-4000-8000-000000000001}";
const std::u16string kOtherHolder = u"Network Connections";

std::u16string NetCfgKey(const std::u16string& sub) {
    return std::u16string(sim::kSimNetCfgPath) + u'\\' + sub;
}

// A third protocol of another vendor, installed after the machine's two.
bool AddOtherProtocol() {
    const std::u16string driverKey = std::u16string(sim::kNetTransClassGuid) + u"\\0002";
    return sim::WriteKeyValues(sim::DriverKeyPath(driverKey),
                               RegValues{{RegValue::String(u"ComponentId", u"nw_lldp"),
                                          RegValue::String(u"NetCfgInstanceId", kLldpGuid),
                                          RegValue::Dword(u"Characteristics", 0x80)}}) == kErrorSuccess &&
           sim::WriteKeyValues(
               NetCfgKey(u"Components\\" + kLldpGuid),
               RegValues{{RegValue::String(u"ComponentId", u"nw_lldp"),
                          RegValue::String(u"Class", sim::kNetTransClassGuid),
                          RegValue::Dword(u"Characteristics", 0x80), RegValue::String(u"BindName", u"NwLldp"),
                          RegValue::String(u"DriverKey", driverKey)}}) == kErrorSuccess;
}

// A binding path from the top component down to the adapter (the last of components).
bool AddPath(const std::u16string& key, const std::u16string& token,
             const std::vector<std::u16string>& components) {
    return sim::WriteKeyValues(
               NetCfgKey(u"BindingPaths\\" + key),
               RegValues{{RegValue::String(u"Token", token), RegValue::MultiString(u"Components", components),
                          RegValue::Dword(u"Enabled", 1)}}) == kErrorSuccess;
}

// The adapter's paths as "<token>=<0|1>", in registry order.
std::vector<std::string> Bindings(const std::u16string& adapter) {
    std::vector<std::string> list;
    for (const auto& b : sim::ReadAdapterBindings(adapter))
        list.push_back(ToUtf8(b.token) + (b.enabled ? "=1" : "=0"));
    return list;
}

std::string Path(const std::u16string& token, bool enabled) {
    return ToUtf8(token) + (enabled ? "=1" : "=0");
}

class BindingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        sim::UseVirtualClock(true);
        handlesBefore_ = sim::LiveHandleCount();
    }
    void TearDown() override {
        EXPECT_EQ(sim::LiveHandleCount(), handlesBefore_) << "network-configuration objects leaked";
        EXPECT_FALSE(sim::ReadWriteLock().held && sim::ReadWriteLock().holder == kNetCfgClientName);
        // COM is back to uninitialised on this thread.
        EXPECT_EQ(netcfg::CoInitialize(), kSOk);
        netcfg::CoUninitialize();
        sim::UseVirtualClock(false);
    }
    testing::TempMachine machine_;
    size_t handlesBefore_ = 0;
};

TEST_F(BindingsTest, UnbindingAMemberKeepsOnlyTheTeamingProtocol) {
    const std::u16string port = testing::DefaultPortGuid(0);
    const std::u16string other = testing::DefaultPortGuid(1);
    ASSERT_TRUE(AddOtherProtocol());
    ASSERT_TRUE(AddPath(u"0100", u"nw_lldp->" + port, {kLldpGuid, port}));
    // A path that reaches the adapter through the teaming protocol belongs to the team.
    ASSERT_TRUE(AddPath(u"0101", u"ms_tcpip->qv_qvteamp->" + port, {kTcpipGuid, kTeampGuid, port}));
    const std::vector<std::string> otherBefore = Bindings(other);

    const struct {
        int enable;
        bool othersEnabled;
    } steps[] = {{0, false}, {0, false}, {1, true}, {1, true}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.enable);
        EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(port), step.enable, 1), 1);
        EXPECT_EQ(Bindings(port), (std::vector<std::string>{
                                      Path(u"ms_tcpip->" + port, step.othersEnabled),
                                      Path(u"qv_qvteamp->" + port, true),
                                      Path(u"nw_lldp->" + port, step.othersEnabled),
                                      Path(u"ms_tcpip->qv_qvteamp->" + port, true),
                                  }));
        EXPECT_EQ(Bindings(other), otherBefore);
    }
}

TEST_F(BindingsTest, SelectorPicksPhysicalOrVirtualAdapters) {
    const std::u16string port = testing::DefaultPortGuid(2);
    const std::u16string team = testing::kTeamA;
    ASSERT_TRUE(testing::AddTeamAdapter(1, team, u"Team0"));
    const struct {
        std::u16string adapter;
        int physical;
        bool changes;
    } cases[] = {
        {port, 1, true},
        {port, 0, false},
        {port, 2, false},
        {team, 0, true},
        {team, 2, true},
        {team, 1, false},
        {u"{0BAD0000-0000-4000-8000-000000000000}", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.adapter) + " selector " + std::to_string(c.physical));
        // An adapter no component matches still gets an (empty) change applied: success.
        EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(c.adapter), 0, c.physical), 1);
        const auto bindings = sim::ReadAdapterBindings(c.adapter);
        bool tcpipBound = true;
        for (const auto& b : bindings) {
            if (b.protocolId == u"ms_tcpip") tcpipBound = b.enabled;
            if (b.protocolId == u"qv_qvteamp") {
                EXPECT_TRUE(b.enabled);
            }
        }
        EXPECT_EQ(tcpipBound, !c.changes);
        EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(c.adapter), 1, c.physical), 1);
        for (const auto& b : sim::ReadAdapterBindings(c.adapter)) EXPECT_TRUE(b.enabled) << ToUtf8(b.token);
    }
}

TEST_F(BindingsTest, LockHeldByAnotherClientFailsAfterTheWaitOnVirtualTime) {
    ASSERT_TRUE(sim::HoldWriteLock(kOtherHolder, nullptr));
    const std::u16string port = testing::DefaultPortGuid(0);
    const auto before = Bindings(port);
    const auto realStart = std::chrono::steady_clock::now();
    uint64_t slept = sim::VirtualMillisecondsSlept();
    EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(port), 0, 1), 0);
    EXPECT_GE(sim::VirtualMillisecondsSlept() - slept, 4500u);
    EXPECT_LE(sim::VirtualMillisecondsSlept() - slept, kNetCfgLockTimeoutMs);
    EXPECT_EQ(Bindings(port), before);

    INetCfg netCfg = reinterpret_cast<INetCfg>(1);
    char16_t* holder = nullptr;
    slept = sim::VirtualMillisecondsSlept();
    EXPECT_EQ(AcquireNetCfg(true, kNetCfgClientName, &netCfg, &holder), kNetcfgENoWriteLock);
    EXPECT_GE(sim::VirtualMillisecondsSlept() - slept, 4500u);
    EXPECT_EQ(netCfg, nullptr);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(std::u16string(holder), kOtherHolder);
    netcfg::CoTaskMemFree(holder);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(3));
    EXPECT_EQ(sim::ReadWriteLock().holder, kOtherHolder);
    ASSERT_TRUE(sim::FreeWriteLock());
}

TEST_F(BindingsTest, SessionTakesAndGivesBackComAndTheLock) {
    for (const bool takeLock : {true, false}) {
        SCOPED_TRACE(takeLock);
        INetCfg netCfg = nullptr;
        char16_t* holder = nullptr;
        ASSERT_EQ(AcquireNetCfg(takeLock, kNetCfgClientName, &netCfg, &holder), kSOk);
        EXPECT_NE(netCfg, nullptr);
        EXPECT_EQ(holder, nullptr);
        EXPECT_EQ(sim::ReadWriteLock().held, takeLock);
        EXPECT_EQ(sim::ReadWriteLock().holder, takeLock ? kNetCfgClientName : u"");
        EXPECT_EQ(ReleaseNetCfg(netCfg, takeLock), kSOk);
        EXPECT_FALSE(sim::ReadWriteLock().held);
    }
}

TEST_F(BindingsTest, ComAlreadyInitialisedOnTheThreadFails) {
    ASSERT_EQ(netcfg::CoInitialize(), kSOk);
    INetCfg netCfg = nullptr;
    char16_t* holder = nullptr;
    EXPECT_EQ(AcquireNetCfg(true, kNetCfgClientName, &netCfg, &holder), kSFalse);
    EXPECT_EQ(netCfg, nullptr);
    EXPECT_FALSE(sim::ReadWriteLock().held);
    const std::u16string port = testing::DefaultPortGuid(0);
    EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(port), 0, 1), 0);
    for (const auto& b : sim::ReadAdapterBindings(port)) EXPECT_TRUE(b.enabled);
    EXPECT_EQ(InstallProtocolDriver(), 1);  // traced only
    netcfg::CoUninitialize();  // the thread's own initialisation; the failed calls gave theirs back
}

bool TeamingProtocolBound(const std::u16string& adapter) {
    for (const auto& b : sim::ReadAdapterBindings(adapter)) {
        if (b.protocolId == u"qv_qvteamp") return b.enabled;
    }
    return false;
}

TEST_F(BindingsTest, InstallProtocolDriverInstallsTheRemovedProtocol) {
    const std::u16string port = testing::DefaultPortGuid(3);
    ASSERT_TRUE(sim::RemoveProtocol(u"qv_qvteamp"));
    ASSERT_FALSE(TeamingProtocolBound(port));

    // Another client's lock: 1, nothing installed.
    ASSERT_TRUE(sim::HoldWriteLock(kOtherHolder, nullptr));
    EXPECT_EQ(InstallProtocolDriver(), 1);
    EXPECT_FALSE(TeamingProtocolBound(port));
    ASSERT_TRUE(sim::FreeWriteLock());

    // No protocol INF: 0, nothing installed.
    const auto inf = machine_.dir() / "Windows" / "Inf" / "oem2.inf";
    const auto kept = machine_.scratch().path() / "oem2.inf";
    std::filesystem::rename(inf, kept);
    EXPECT_EQ(InstallProtocolDriver(), 0);
    EXPECT_FALSE(TeamingProtocolBound(port));
    EXPECT_FALSE(sim::ReadWriteLock().held);

    std::filesystem::rename(kept, inf);
    EXPECT_EQ(InstallProtocolDriver(), 1);
    EXPECT_TRUE(TeamingProtocolBound(port));
    EXPECT_EQ(InstallProtocolDriver(), 1);  // installed already: still one binding per adapter
    int teamingPaths = 0;
    for (const auto& b : sim::ReadAdapterBindings(port)) teamingPaths += b.protocolId == u"qv_qvteamp";
    EXPECT_EQ(teamingPaths, 1);
}

TEST_F(BindingsTest, InstallNeedsALockedConfiguration) {
    ASSERT_TRUE(sim::RemoveProtocol(u"qv_qvteamp"));
    for (const bool locked : {false, true}) {
        INetCfg netCfg = nullptr;
        char16_t* holder = nullptr;
        ASSERT_EQ(AcquireNetCfg(locked, kNetCfgClientName, &netCfg, &holder), kSOk);
        EXPECT_EQ(HrInstallNetComponent(netCfg), locked ? kSOk : kNetcfgENoWriteLock);
        EXPECT_EQ(ReleaseNetCfg(netCfg, locked), kSOk);
        EXPECT_EQ(TeamingProtocolBound(testing::DefaultPortGuid(0)), locked);
    }
}

}  // namespace
}  // namespace qv
