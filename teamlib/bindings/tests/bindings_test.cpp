// Protocol bindings and the teaming protocol's installation on a simulated machine: which paths
// above an adapter change, the adapter selector, another client's write lock on virtual time, COM
// already initialised on the thread, and no object, lock or COM initialisation left behind.
#include "qv/teamlib/bindings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "qv/platform/clock.h"
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
const std::u16string kOtherClient = u"Network Connections";

// The adapter's paths as "<token>=<0|1>" in registry order.
std::vector<std::string> Bindings(const std::u16string& adapter) {
    std::vector<std::string> list;
    for (const auto& b : sim::ReadAdapterBindings(adapter))
        list.push_back(ToUtf8(b.token) + "=" + "01"[b.enabled]);
    return list;
}

bool Bound(const std::u16string& adapter, const std::u16string& protocol) {
    for (const auto& b : sim::ReadAdapterBindings(adapter))
        if (b.protocolId == protocol) return b.enabled;
    return false;
}

class BindingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        sim::UseVirtualClock(true);
        handles_ = sim::LiveHandleCount();
    }
    void TearDown() override {
        EXPECT_EQ(sim::LiveHandleCount(), handles_) << "network-configuration objects leaked";
        EXPECT_NE(sim::ReadWriteLock().holder, kNetCfgClientName);
        EXPECT_EQ(netcfg::CoInitialize(), kSOk) << "COM left initialised on the thread";
        netcfg::CoUninitialize();
        sim::UseVirtualClock(false);
    }
    testing::TempMachine machine_;
    size_t handles_ = 0;
};

TEST_F(BindingsTest, UnbindingAMemberKeepsOnlyTheTeamingProtocol) {
    const std::u16string port = testing::DefaultPortGuid(0), lldp = u"{6E77D1D0-0000-4000-8000-000000000001}";
    const std::u16string tcpip = u"{7C9E2A51-0000-4000-8000-000000000001}";
    const std::u16string teamp = u"{5A5A7E40-0000-4000-8000-000000000001}";
    const std::u16string netCfg = std::u16string(sim::kSimNetCfgPath) + u'\\';
    // A third protocol bound to the port, and a path that reaches the port through the teaming protocol.
    ASSERT_EQ(sim::WriteKeyValues(
                  netCfg + u"Components\\" + lldp,
                  {{RegValue::String(u"ComponentId", u"nw_lldp"),
                    RegValue::String(u"Class", sim::kNetTransClassGuid),
                    RegValue::String(u"DriverKey", std::u16string(sim::kNetTransClassGuid) + u"\\0002")}}),
              kErrorSuccess);
    const std::pair<std::u16string, std::vector<std::u16string>> paths[] = {
        {u"nw_lldp->" + port, {lldp, port}}, {u"ms_tcpip->qv_qvteamp->" + port, {tcpip, teamp, port}}};
    int key = 100;
    for (const auto& [token, components] : paths)
        ASSERT_EQ(sim::WriteKeyValues(
                      netCfg + u"BindingPaths\\0" + FromUtf8(std::to_string(key++)),
                      {{RegValue::String(u"Token", token), RegValue::MultiString(u"Components", components),
                        RegValue::Dword(u"Enabled", 1)}}),
                  kErrorSuccess);
    const auto otherPort = Bindings(testing::DefaultPortGuid(1));
    for (const int enable : {0, 0, 1, 1}) {
        EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(port), enable, 1), 1);
        const char others = "01"[enable];
        EXPECT_EQ(Bindings(port), (std::vector<std::string>{"ms_tcpip->" + ToUtf8(port) + "=" + others,
                                                            "qv_qvteamp->" + ToUtf8(port) + "=1",
                                                            "nw_lldp->" + ToUtf8(port) + "=" + others,
                                                            "ms_tcpip->qv_qvteamp->" + ToUtf8(port) + "=1"}));
        EXPECT_EQ(Bindings(testing::DefaultPortGuid(1)), otherPort);
    }
}

TEST_F(BindingsTest, SelectorPicksPhysicalOrVirtualAdapters) {
    const std::u16string port = testing::DefaultPortGuid(2), team = testing::kTeamA;
    ASSERT_TRUE(testing::AddTeamAdapter(1, team, u"Team0"));
    const struct {
        std::u16string adapter;
        int physical;
        bool changes;
    } cases[] = {{port, 1, true},
                 {port, 0, false},
                 {port, 2, false},
                 {team, 0, true},
                 {team, 2, true},
                 {team, 1, false},
                 {u"{0BAD0000-0000-4000-8000-000000000000}", 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.adapter) + " selector " + std::to_string(c.physical));
        // No component with the GUID: an empty change is applied, which is success.
        EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(c.adapter), 0, c.physical), 1);
        EXPECT_EQ(Bound(c.adapter, u"ms_tcpip"), !c.changes && c.adapter != cases[6].adapter);
        EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(c.adapter), 1, c.physical), 1);
        for (const auto& b : sim::ReadAdapterBindings(c.adapter)) EXPECT_TRUE(b.enabled);
    }
}

TEST_F(BindingsTest, LockOfAnotherClientFailsAfterTheWaitOnVirtualTime) {
    const std::u16string port = testing::DefaultPortGuid(0);
    const auto before = Bindings(port);
    ASSERT_TRUE(sim::HoldWriteLock(kOtherClient, nullptr));
    for (int call = 0; call < 2; ++call) {
        SCOPED_TRACE(call);
        const uint64_t tick = clk::TickCount(), slept = sim::VirtualMillisecondsSlept();
        INetCfg netCfg = nullptr;
        char16_t* holder = nullptr;
        if (call == 0) {
            EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(port), 0, 1), 0);
        } else {
            EXPECT_EQ(AcquireNetCfg(true, kNetCfgClientName, &netCfg, &holder), kNetcfgENoWriteLock);
            EXPECT_EQ(netCfg, nullptr);
            EXPECT_EQ(std::u16string(holder ? holder : u""), kOtherClient);
            netcfg::CoTaskMemFree(holder);
        }
        // One wait of the timeout, counted on the tick as the lock counts it (virtual sleeps and the
        // real time of the attempts), and no more sleeping than the timeout.
        EXPECT_GE(clk::TickCount() - tick, kNetCfgLockTimeoutMs);
        EXPECT_LE(sim::VirtualMillisecondsSlept() - slept, kNetCfgLockTimeoutMs);
    }
    EXPECT_EQ(Bindings(port), before);
    ASSERT_TRUE(sim::FreeWriteLock());
    // Free again: the session holds the lock under the programs' name until it is released.
    INetCfg netCfg = nullptr;
    char16_t* holder = nullptr;
    ASSERT_EQ(AcquireNetCfg(true, kNetCfgClientName, &netCfg, &holder), kSOk);
    EXPECT_EQ(sim::ReadWriteLock().holder, kNetCfgClientName);
    EXPECT_EQ(ReleaseNetCfg(netCfg, true), kSOk);
    EXPECT_FALSE(sim::ReadWriteLock().held);
}

TEST_F(BindingsTest, ComAlreadyInitialisedOnTheThreadFails) {
    ASSERT_EQ(netcfg::CoInitialize(), kSOk);
    INetCfg netCfg = nullptr;
    char16_t* holder = nullptr;
    EXPECT_EQ(AcquireNetCfg(true, kNetCfgClientName, &netCfg, &holder), kSFalse);
    EXPECT_EQ(netCfg, nullptr);
    EXPECT_EQ(EnableProtocolNicBindings(testing::ToGuid(testing::DefaultPortGuid(0)), 0, 1), 0);
    EXPECT_TRUE(Bound(testing::DefaultPortGuid(0), u"ms_tcpip"));
    netcfg::CoUninitialize();  // the test's own; the failed calls gave theirs back (see TearDown)
}

TEST_F(BindingsTest, InstallProtocolDriverInstallsTheRemovedProtocol) {
    const std::u16string port = testing::DefaultPortGuid(3);
    const auto inf = machine_.dir() / "Windows" / "Inf" / "oem2.inf",
               kept = machine_.scratch().path() / "oem2.inf";
    ASSERT_TRUE(sim::RemoveProtocol(u"qv_qvteamp"));
    ASSERT_TRUE(sim::HoldWriteLock(kOtherClient, nullptr));
    EXPECT_EQ(InstallProtocolDriver(), 1);  // the lock is only traced
    ASSERT_TRUE(sim::FreeWriteLock());
    std::filesystem::rename(inf, kept);
    EXPECT_EQ(InstallProtocolDriver(), 0);
    EXPECT_FALSE(Bound(port, u"qv_qvteamp"));
    std::filesystem::rename(kept, inf);
    EXPECT_EQ(InstallProtocolDriver(), 1);
    EXPECT_TRUE(Bound(port, u"qv_qvteamp"));
    // Installing needs the lock.
    ASSERT_TRUE(sim::RemoveProtocol(u"qv_qvteamp"));
    INetCfg netCfg = nullptr;
    char16_t* holder = nullptr;
    ASSERT_EQ(AcquireNetCfg(false, kNetCfgClientName, &netCfg, &holder), kSOk);
    EXPECT_EQ(HrInstallNetComponent(netCfg), kNetcfgENoWriteLock);
    EXPECT_EQ(ReleaseNetCfg(netCfg, false), kSOk);
    EXPECT_FALSE(Bound(port, u"qv_qvteamp"));
}

}  // namespace
}  // namespace qv
