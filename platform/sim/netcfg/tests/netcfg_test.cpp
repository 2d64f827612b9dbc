// The simulated network configuration through its port: COM per thread, components and binding
// paths of the default machine, changes that Apply persists or Uninitialize drops, the write lock
// across processes (forked children and qvsim's lock) on virtual time, Install of the teaming
// protocol, and handles that are refused instead of crashing.
#include "qv/platform/netcfg.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "qv/platform/clock.h"
#include "qv/platform/utf.h"
#include "qv/sim/clock.h"
#include "qv/sim/device_database.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/testing/child_process.h"
#include "qv/testing/eventually.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using namespace qv::netcfg;
using qv::testing::Child;
using qv::testing::Eventually;
using qv::testing::ReportLine;
using qv::testing::TempMachine;

constexpr const char16_t* kClient = u"QvTeamCfg";
const std::u16string kTcpip = u"{7C9E2A51-0000-4000-8000-000000000001}";
const std::u16string kTeamp = u"{5A5A7E40-0000-4000-8000-000000000001}";

std::u16string N5Guid(int n) {
    return u"{5A5A0005-0000-4000-8000-00000000000" + std::u16string(1, static_cast<char16_t>(u'0' + n)) +
           u"}";
}

std::u16string TakeString(char16_t* text) {
    std::u16string copy = text ? text : u"(null)";
    CoTaskMemFree(text);
    return copy;
}

// One INetCfg as the library takes it: COM, the object, optionally the write lock, Initialize.
class Config {
  public:
    explicit Config(bool lock, const char16_t* client = kClient, uint32_t timeoutMs = 0) {
        com_ = CoInitialize();
        EXPECT_TRUE(Succeeded(com_));
        EXPECT_EQ(CreateNetCfg(&cfg_), kSOk);
        if (lock) {
            EXPECT_EQ(QueryLock(cfg_, &lock_), kSOk);
            char16_t* holder = nullptr;
            lockResult_ = AcquireWriteLock(lock_, timeoutMs, client, &holder);
            holder_ = holder ? TakeString(holder) : u"";
        }
        if (lockResult_ == kSOk) {
            EXPECT_EQ(Initialize(cfg_), kSOk);
        }
    }
    ~Config() {
        if (lockResult_ == kSOk) Uninitialize(cfg_);
        if (lock_) {
            ReleaseWriteLock(lock_);
            Release(lock_);
        }
        Release(cfg_);
        CoUninitialize();
    }
    INetCfg get() const { return cfg_; }
    HResult lockResult() const { return lockResult_; }
    const std::u16string& holder() const { return holder_; }

  private:
    HResult com_ = kEFail;
    INetCfg cfg_ = nullptr;
    INetCfgLock lock_ = nullptr;
    HResult lockResult_ = kSOk;
    std::u16string holder_;
};

struct ComponentInfo {
    std::u16string guid;
    std::u16string id;
    uint32_t characteristics;
};

template <class F>
void ForEachComponent(INetCfg cfg, const Guid& classGuid, F visit) {
    INetCfgClass cls = nullptr;
    ASSERT_EQ(QueryNetCfgClass(cfg, classGuid, &cls), kSOk);
    IEnumNetCfgComponent components = nullptr;
    ASSERT_EQ(EnumComponents(cls, &components), kSOk);
    ASSERT_EQ(Reset(components), kSOk);
    INetCfgComponent component = nullptr;
    while (Next(components, &component) == kSOk) {
        visit(component);
        EXPECT_EQ(Release(component), 0u);
    }
    EXPECT_EQ(component, nullptr);
    Release(components);
    Release(cls);
}

std::vector<ComponentInfo> Components(INetCfg cfg, const Guid& classGuid) {
    std::vector<ComponentInfo> list;
    ForEachComponent(cfg, classGuid, [&](INetCfgComponent c) {
        ComponentInfo info{};
        Guid guid{};
        char16_t* id = nullptr;
        EXPECT_EQ(GetInstanceGuid(c, &guid), kSOk);
        EXPECT_EQ(GetId(c, &id), kSOk);
        EXPECT_EQ(GetCharacteristics(c, &info.characteristics), kSOk);
        info.guid = GuidToString(guid);
        info.id = TakeString(id);
        list.push_back(info);
    });
    return list;
}

// One binding path as the port reports it: token, enabled state, and each interface's upper and
// lower component ids / GUIDs.
struct PathInfo {
    std::u16string token;
    bool enabled;
    std::vector<std::u16string> interfaces;  // "<upper id>/<lower guid>"
};

std::u16string IdOf(INetCfgComponent c) {
    char16_t* id = nullptr;
    EXPECT_EQ(GetId(c, &id), kSOk);
    return TakeString(id);
}

std::u16string GuidOf(INetCfgComponent c) {
    Guid guid{};
    EXPECT_EQ(GetInstanceGuid(c, &guid), kSOk);
    return GuidToString(guid);
}

// Calls visit for each binding path of the component with that GUID, in the given direction.
void ForEachPath(INetCfg cfg, const Guid& classGuid, const std::u16string& guid, uint32_t flags,
                 const std::function<void(INetCfgBindingPath)>& visit) {
    ForEachComponent(cfg, classGuid, [&](INetCfgComponent c) {
        if (GuidOf(c) != guid) return;
        INetCfgComponentBindings bindings = nullptr;
        ASSERT_EQ(QueryBindings(c, &bindings), kSOk);
        IEnumNetCfgBindingPath paths = nullptr;
        ASSERT_EQ(EnumBindingPaths(bindings, flags, &paths), kSOk);
        INetCfgBindingPath path = nullptr;
        while (Next(paths, &path) == kSOk) {
            visit(path);
            Release(path);
        }
        Release(paths);
        Release(bindings);
    });
}

std::vector<PathInfo> Paths(INetCfg cfg, const Guid& classGuid, const std::u16string& guid,
                            uint32_t flags = kEbpAbove) {
    std::vector<PathInfo> list;
    ForEachPath(cfg, classGuid, guid, flags, [&](INetCfgBindingPath path) {
        PathInfo info{};
        char16_t* token = nullptr;
        EXPECT_EQ(GetPathToken(path, &token), kSOk);
        info.token = TakeString(token);
        const HResult enabled = IsEnabled(path);
        EXPECT_TRUE(enabled == kSOk || enabled == kSFalse);
        info.enabled = enabled == kSOk;
        IEnumNetCfgBindingInterface interfaces = nullptr;
        ASSERT_EQ(EnumBindingInterfaces(path, &interfaces), kSOk);
        INetCfgBindingInterface bi = nullptr;
        while (Next(interfaces, &bi) == kSOk) {
            INetCfgComponent upper = nullptr, lower = nullptr;
            EXPECT_EQ(GetUpperComponent(bi, &upper), kSOk);
            EXPECT_EQ(GetLowerComponent(bi, &lower), kSOk);
            info.interfaces.push_back(IdOf(upper) + u"/" + GuidOf(lower));
            Release(upper);
            Release(lower);
            Release(bi);
        }
        Release(interfaces);
        list.push_back(info);
    });
    return list;
}

// Enables or disables every path above the adapter whose token starts with the protocol id.
void EnableAbove(INetCfg cfg, const std::u16string& adapter, const std::u16string& protocolId, bool enable,
                 HResult expected = kSOk) {
    ForEachPath(cfg, kGuidDevClassNet, adapter, kEbpAbove, [&](INetCfgBindingPath path) {
        char16_t* token = nullptr;
        ASSERT_EQ(GetPathToken(path, &token), kSOk);
        if (TakeString(token).rfind(protocolId + u"->", 0) == 0) {
            EXPECT_EQ(Enable(path, enable), expected);
        }
    });
}

// The registry's Enabled state of protocol -> adapter, -1 when there is no such path.
int StoredEnabled(const std::u16string& adapter, const std::u16string& protocolId) {
    for (const auto& b : sim::ReadAdapterBindings(adapter)) {
        if (b.protocolId == protocolId) return b.enabled ? 1 : 0;
    }
    return -1;
}

// Asks for the write lock with a wait of timeoutMs and expects it refused to the holder named. The
// wait is counted on the tick, which virtual sleeps move and the real time of the attempts as
// well: it lasts the timeout on the tick and sleeps no longer than the timeout.
void ExpectRefusedAfterTheWait(uint32_t timeoutMs, const std::u16string& holder) {
    SCOPED_TRACE(timeoutMs);
    const uint64_t tick = clk::TickCount(), slept = sim::VirtualMillisecondsSlept();
    {
        Config cfg(true, kClient, timeoutMs);
        EXPECT_EQ(cfg.lockResult(), kSFalse);
        EXPECT_EQ(cfg.holder(), holder);
    }
    EXPECT_GE(clk::TickCount() - tick, timeoutMs);
    EXPECT_LE(sim::VirtualMillisecondsSlept() - slept, timeoutMs);
}

class NetCfgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        sim::UseVirtualClock(true);
        handlesBefore_ = sim::LiveHandleCount();
    }
    void TearDown() override {
        EXPECT_EQ(sim::LiveHandleCount(), handlesBefore_) << "network-configuration objects leaked";
        EXPECT_FALSE(sim::ReadWriteLock().held);
        sim::UseVirtualClock(false);
    }
    TempMachine machine_;
    size_t handlesBefore_ = 0;
};

TEST_F(NetCfgTest, ComIsCountedPerThread) {
    EXPECT_EQ(CoInitialize(), kSOk);
    EXPECT_EQ(CoInitialize(), kSFalse);
    CoUninitialize();
    EXPECT_EQ(CoInitialize(), kSFalse);  // still initialised once
    HResult other = kEFail;
    INetCfg created = nullptr;
    HResult createdOnOther = kSOk;
    std::thread([&] {
        createdOnOther = CreateNetCfg(&created);  // no COM on this thread
        other = CoInitialize();
        CoUninitialize();
    }).join();
    EXPECT_EQ(other, kSOk);
    EXPECT_EQ(createdOnOther, kCoENotInitialized);
    EXPECT_EQ(created, nullptr);
    CoUninitialize();
    CoUninitialize();
    INetCfg cfg = nullptr;
    EXPECT_EQ(CreateNetCfg(&cfg), kCoENotInitialized);
    CoUninitialize();  // one too many is harmless
    EXPECT_EQ(CoInitialize(), kSOk);
    CoUninitialize();
}

TEST_F(NetCfgTest, ComponentsOfEachClass) {
    // A hidden adapter keeps its component with the flag; one that is not present has none.
    const auto hidden = sim::FindDeviceByNetCfgInstanceId(N5Guid(2));
    const auto gone = sim::FindDeviceByNetCfgInstanceId(N5Guid(3));
    ASSERT_TRUE(hidden && gone);
    const auto device = sim::ReadDevice(*hidden);
    ASSERT_TRUE(device);
    ASSERT_EQ(sim::WriteKeyValues(sim::DriverKeyPath(device->driverKey),
                                  sim::RegValues{{sim::RegValue::Dword(u"Characteristics", 0x8C)}}),
              kErrorSuccess);
    ASSERT_TRUE(sim::WriteDeviceState(*gone, sim::kStatePresent, 0));

    Config cfg(false);
    const std::u16string n5 = u"pci\\ven_5a5a&dev_0005";
    const struct {
        const Guid& cls;
        std::vector<ComponentInfo> expected;
    } cases[] = {
        {kGuidDevClassNet,
         {{N5Guid(1), n5, 0x84},
          {N5Guid(2), n5, 0x8C},
          {N5Guid(4), n5, 0x84},
          {u"{6E770001-0000-4000-8000-000000000001}", u"pci\\ven_6e77&dev_1000", 0x84}}},
        {kGuidDevClassNetTrans, {{kTcpip, u"ms_tcpip", 0xA0}, {kTeamp, u"qv_qvteamp", 0x80}}},
        {kGuidDevClassSystem, {}},
    };
    for (const auto& c : cases) {
        const auto got = Components(cfg.get(), c.cls);
        ASSERT_EQ(got.size(), c.expected.size()) << GuidToAscii(c.cls);
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].guid, c.expected[i].guid);
            EXPECT_EQ(got[i].id, c.expected[i].id);
            EXPECT_EQ(got[i].characteristics, c.expected[i].characteristics) << ToUtf8(got[i].guid);
        }
    }
}

TEST_F(NetCfgTest, PathsAboveAnAdapterAndBelowAProtocol) {
    Config cfg(false);
    const auto above = Paths(cfg.get(), kGuidDevClassNet, N5Guid(1));
    ASSERT_EQ(above.size(), 2u);
    const std::u16string protocols[] = {u"ms_tcpip", u"qv_qvteamp"};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(above[i].token, protocols[i] + u"->" + N5Guid(1));
        EXPECT_TRUE(above[i].enabled);
        ASSERT_EQ(above[i].interfaces.size(), 1u);
        EXPECT_EQ(above[i].interfaces[0], protocols[i] + u"/" + N5Guid(1));
    }
    const auto below = Paths(cfg.get(), kGuidDevClassNetTrans, kTeamp, kEbpBelow);
    ASSERT_EQ(below.size(), 5u);
    EXPECT_EQ(below[4].token, u"qv_qvteamp->{6E770001-0000-4000-8000-000000000001}");
    EXPECT_TRUE(Paths(cfg.get(), kGuidDevClassNet, N5Guid(1), kEbpBelow).empty());
    EXPECT_TRUE(Paths(cfg.get(), kGuidDevClassNetTrans, kTcpip, kEbpAbove).empty());
}

TEST_F(NetCfgTest, ApplyPersistsForOtherProcessesAndUninitializeDiscards) {
    {
        Config cfg(true);
        EnableAbove(cfg.get(), N5Guid(1), u"ms_tcpip", false);
        EnableAbove(cfg.get(), N5Guid(2), u"ms_tcpip", false);
        EXPECT_EQ(Paths(cfg.get(), kGuidDevClassNet, N5Guid(1))[0].enabled, false);  // seen at once
        EXPECT_EQ(StoredEnabled(N5Guid(1), u"ms_tcpip"), 1);                         // not yet stored
        EXPECT_EQ(Apply(cfg.get()), kSOk);
        EXPECT_EQ(StoredEnabled(N5Guid(1), u"ms_tcpip"), 0);
        EnableAbove(cfg.get(), N5Guid(2), u"ms_tcpip", true);  // dropped by Uninitialize below
        EnableAbove(cfg.get(), N5Guid(3), u"qv_qvteamp", false);
    }
    const struct {
        std::u16string adapter, protocol;
        int enabled;
    } expected[] = {{N5Guid(1), u"ms_tcpip", 0},
                    {N5Guid(1), u"qv_qvteamp", 1},
                    {N5Guid(2), u"ms_tcpip", 0},
                    {N5Guid(3), u"qv_qvteamp", 1},
                    {N5Guid(4), u"ms_tcpip", 1}};
    for (const auto& e : expected)
        EXPECT_EQ(StoredEnabled(e.adapter, e.protocol), e.enabled) << ToUtf8(e.adapter);
    // Another process sees the applied state through the port, without the lock.
    Child child([&] {
        Config cfg(false);
        int wrong = 0;
        for (const auto& e : expected) {
            for (const auto& p : Paths(cfg.get(), kGuidDevClassNet, e.adapter)) {
                if (p.token == e.protocol + u"->" + e.adapter && p.enabled != (e.enabled == 1)) ++wrong;
            }
        }
        return wrong;
    });
    EXPECT_EQ(child.Wait().exitCode, 0);
}

TEST_F(NetCfgTest, ChangesNeedTheWriteLock) {
    Config cfg(false);
    EnableAbove(cfg.get(), N5Guid(1), u"ms_tcpip", false, kNetcfgENoWriteLock);
    EXPECT_EQ(Apply(cfg.get()), kNetcfgENoWriteLock);
    INetCfgClassSetup setup = nullptr;
    ASSERT_EQ(QueryNetCfgClassSetup(cfg.get(), kGuidDevClassNetTrans, &setup), kSOk);
    OboToken obo;
    obo.type = kOboUser;
    INetCfgComponent installed = nullptr;
    EXPECT_EQ(Install(setup, u"QV_QVTEAMP", &obo, 0, 0, nullptr, nullptr, &installed), kNetcfgENoWriteLock);
    EXPECT_EQ(installed, nullptr);
    Release(setup);
    EXPECT_EQ(StoredEnabled(N5Guid(1), u"ms_tcpip"), 1);
}

TEST_F(NetCfgTest, LockOfAnotherProcessFailsAfterTheWaitWithItsHolder) {
    // A child that takes the lock and holds it until it is killed.
    Child child([](int report) {
        Config cfg(true, u"Other Program");
        ReportLine(report, cfg.lockResult() == kSOk ? "locked" : "refused");
        for (;;) pause();
    });
    ASSERT_EQ(child.Line(), "locked");
    EXPECT_EQ(sim::ReadWriteLock().holder, u"Other Program");
    EXPECT_EQ(sim::ReadWriteLock().processId, static_cast<uint32_t>(child.pid()));
    ExpectRefusedAfterTheWait(5000, u"Other Program");
    // Its death frees the lock, even before it is reaped.
    kill(child.pid(), SIGKILL);
    EXPECT_TRUE(Eventually([] { return !sim::ReadWriteLock().held; }));
    {
        Config cfg(true, kClient, 5000);
        EXPECT_EQ(cfg.lockResult(), kSOk);
        EXPECT_EQ(sim::ReadWriteLock().holder, kClient);
    }
}

TEST_F(NetCfgTest, LockOfAProcessThatEndedIsFree) {
    Child child([] {
        CoInitialize();
        INetCfg cfg = nullptr;
        INetCfgLock lock = nullptr;
        char16_t* holder = nullptr;
        if (CreateNetCfg(&cfg) != kSOk || QueryLock(cfg, &lock) != kSOk) return 2;
        return AcquireWriteLock(lock, 0, u"Crashed", &holder) == kSOk ? 0 : 1;  // ends holding it
    });
    ASSERT_EQ(child.Wait().exitCode, 0);
    const uint64_t slept = sim::VirtualMillisecondsSlept();
    Config cfg(true, kClient, 5000);
    EXPECT_EQ(cfg.lockResult(), kSOk);
    EXPECT_EQ(sim::VirtualMillisecondsSlept(), slept);  // no wait at all
}

TEST_F(NetCfgTest, QvsimLockHoldsUntilFreedAndWaitsAreBounded) {
    sim::WriteLockState state;
    ASSERT_TRUE(sim::HoldWriteLock(u"Network Connections", &state));
    EXPECT_FALSE(sim::HoldWriteLock(u"Another", &state));
    EXPECT_EQ(state.holder, u"Network Connections");
    EXPECT_EQ(state.processId, 0u);
    for (const uint32_t timeout : {0u, 1u, 250u, 5000u})
        ExpectRefusedAfterTheWait(timeout, u"Network Connections");
    ASSERT_TRUE(sim::FreeWriteLock());
    Config cfg(true, kClient, 5000);
    EXPECT_EQ(cfg.lockResult(), kSOk);
}

TEST_F(NetCfgTest, SecondObjectOfTheProcessWaitsAndLastReleaseGivesTheLockBack) {
    ASSERT_EQ(CoInitialize(), kSOk);
    INetCfg first = nullptr;
    INetCfgLock lock = nullptr;
    char16_t* holder = nullptr;
    ASSERT_EQ(CreateNetCfg(&first), kSOk);
    ASSERT_EQ(QueryLock(first, &lock), kSOk);
    EXPECT_EQ(AcquireWriteLock(lock, 0, u"First", &holder), kSOk);
    EXPECT_EQ(holder, nullptr);
    EXPECT_EQ(AcquireWriteLock(lock, 0, u"First", &holder), kSOk);  // held already by this object
    {
        Config second(true, u"Second", 300);
        EXPECT_EQ(second.lockResult(), kSFalse);
        EXPECT_EQ(second.holder(), u"First");
    }
    EXPECT_EQ(Initialize(first), kSOk);
    EXPECT_EQ(ReleaseWriteLock(lock), kNetcfgEAlreadyInitialized);  // Uninitialize comes first
    EXPECT_EQ(AddRef(first), 2u);
    EXPECT_EQ(Release(first), 1u);
    EXPECT_EQ(Release(first), 0u);
    EXPECT_TRUE(sim::ReadWriteLock().held);  // the lock interface still refers to the object
    EXPECT_EQ(Release(lock), 0u);
    EXPECT_FALSE(sim::ReadWriteLock().held);
    CoUninitialize();
}

TEST_F(NetCfgTest, InstallAddsTheTeamingProtocolBoundToEveryAdapter) {
    ASSERT_TRUE(sim::RemoveProtocol(u"qv_qvteamp"));
    EXPECT_EQ(StoredEnabled(N5Guid(1), u"qv_qvteamp"), -1);
    OboToken obo;
    obo.type = kOboUser;
    std::u16string guid;
    for (int round = 0; round < 2; ++round) {  // the second finds it installed
        Config cfg(true);
        INetCfgClassSetup setup = nullptr;
        ASSERT_EQ(QueryNetCfgClassSetup(cfg.get(), kGuidDevClassNetTrans, &setup), kSOk);
        INetCfgComponent component = nullptr;
        EXPECT_EQ(Install(setup, u"QV_QVTEAMP", &obo, 0, 0, nullptr, nullptr, &component), kSOk);
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(IdOf(component), u"qv_qvteamp");
        if (round == 0) guid = GuidOf(component);
        EXPECT_EQ(GuidOf(component), guid);
        Release(component);
        EXPECT_EQ(Install(setup, u"QV_NOSUCH", &obo, 0, 0, nullptr, nullptr, &component),
                  kSpapiENoDriverSelected);
        EXPECT_EQ(Install(setup, u"QV_QVTEAMP", nullptr, 0, 0, nullptr, nullptr, &component), kEPointer);
        OboToken bad;
        bad.type = 7;
        EXPECT_EQ(Install(setup, u"QV_QVTEAMP", &bad, 0, 0, nullptr, nullptr, &component), kEInvalidArg);
        Release(setup);
        const auto above = Paths(cfg.get(), kGuidDevClassNet, N5Guid(4));
        ASSERT_EQ(above.size(), 2u);
        EXPECT_EQ(above[1].token, u"qv_qvteamp->" + N5Guid(4));
        EXPECT_TRUE(above[1].enabled);
        if (round == 0) {
            EXPECT_EQ(StoredEnabled(N5Guid(4), u"qv_qvteamp"), -1);  // pending until Apply
        }
        EXPECT_EQ(Apply(cfg.get()), kSOk);
    }
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(StoredEnabled(N5Guid(n), u"qv_qvteamp"), 1);
    EXPECT_EQ(sim::ReadAdapterBindings(N5Guid(1)).size(), 2u);  // installed once
    Config cfg(false);
    const auto protocols = Components(cfg.get(), kGuidDevClassNetTrans);
    ASSERT_EQ(protocols.size(), 2u);
    EXPECT_EQ(protocols[1].guid, guid);
}

TEST_F(NetCfgTest, InstallWithoutApplyLeavesNothing) {
    ASSERT_TRUE(sim::RemoveProtocol(u"qv_qvteamp"));
    {
        Config cfg(true);
        INetCfgClassSetup setup = nullptr;
        ASSERT_EQ(QueryNetCfgClassSetup(cfg.get(), kGuidDevClassNetTrans, &setup), kSOk);
        OboToken obo;
        obo.type = kOboUser;
        EXPECT_EQ(Install(setup, u"qv_qvteamp", &obo, 0, 0, nullptr, nullptr, nullptr), kSOk);
        Release(setup);
    }
    Config cfg(false);
    EXPECT_EQ(Components(cfg.get(), kGuidDevClassNetTrans).size(), 1u);
    EXPECT_EQ(sim::ReadAdapterBindings(N5Guid(1)).size(), 1u);
}

TEST_F(NetCfgTest, NewAdapterIsBoundToEveryProtocolAtTheNextApply) {
    sim::DeviceRecord team;
    team.instanceId = u"ROOT\\NET\\0000";
    team.hardwareIds = {u"QV_QVTEAMMP"};
    team.classGuid = sim::kNetClassGuid;
    team.netCfgInstanceId = u"{7EA00001-0000-4000-8000-00000000000A}";
    team.driverValues.values = {sim::RegValue::Dword(u"Characteristics", kNcfVirtual)};
    ASSERT_EQ(sim::CreateDevice(&team), kErrorSuccess);
    {
        Config cfg(true);
        const auto teamComponent = Components(cfg.get(), kGuidDevClassNet).back();
        EXPECT_EQ(teamComponent.id, u"qv_qvteammp");
        EXPECT_EQ(teamComponent.characteristics, kNcfVirtual);
        const auto above = Paths(cfg.get(), kGuidDevClassNet, team.netCfgInstanceId);
        ASSERT_EQ(above.size(), 2u);
        EXPECT_EQ(above[0].token, u"ms_tcpip->" + team.netCfgInstanceId);
        EnableAbove(cfg.get(), team.netCfgInstanceId, u"ms_tcpip", false);
        EXPECT_EQ(sim::ReadAdapterBindings(team.netCfgInstanceId).size(), 0u);
        EXPECT_EQ(Apply(cfg.get()), kSOk);
    }
    EXPECT_EQ(StoredEnabled(team.netCfgInstanceId, u"ms_tcpip"), 0);
    EXPECT_EQ(StoredEnabled(team.netCfgInstanceId, u"qv_qvteamp"), 1);
}

TEST_F(NetCfgTest, BadHandlesAreRefused) {
    ASSERT_EQ(CoInitialize(), kSOk);
    INetCfg cfg = nullptr;
    ASSERT_EQ(CreateNetCfg(&cfg), kSOk);
    INetCfgClass cls = nullptr;
    EXPECT_EQ(QueryNetCfgClass(cfg, kGuidDevClassNet, &cls), kNetcfgENotInitialized);
    EXPECT_EQ(Apply(cfg), kNetcfgENotInitialized);
    EXPECT_EQ(Uninitialize(cfg), kNetcfgENotInitialized);
    ASSERT_EQ(Initialize(cfg), kSOk);
    EXPECT_EQ(Initialize(cfg), kNetcfgEAlreadyInitialized);
    ASSERT_EQ(QueryNetCfgClass(cfg, kGuidDevClassNet, &cls), kSOk);
    IEnumNetCfgComponent components = nullptr;
    ASSERT_EQ(EnumComponents(cls, &components), kSOk);
    INetCfgComponent component = nullptr;
    ASSERT_EQ(Next(components, &component), kSOk);
    INetCfgLock lock = nullptr;
    ASSERT_EQ(QueryLock(cfg, &lock), kSOk);
    char16_t* holder = nullptr;
    EXPECT_EQ(AcquireWriteLock(lock, 0, u"Late", &holder), kNetcfgEAlreadyInitialized);
    EXPECT_EQ(AcquireWriteLock(lock, 0, nullptr, &holder), kEPointer);
    EXPECT_EQ(AcquireWriteLock(lock, 0, u"", &holder), kEInvalidArg);
    EXPECT_EQ(ReleaseWriteLock(lock), kNetcfgEAlreadyInitialized);

    INetCfgComponent released = nullptr;
    ASSERT_EQ(Next(components, &released), kSOk);
    EXPECT_EQ(Release(released), 0u);
    const auto madeUp = [](uintptr_t value) { return reinterpret_cast<void*>(value); };
    uint32_t flags = 0;
    Guid guid{};
    char16_t* text = nullptr;
    INetCfgComponentBindings bindings = nullptr;
    // Each call with a null handle, a made-up one, a released one and one of another interface.
    const std::vector<void*> wrong = {madeUp(0x1230), madeUp(0x7), released, cls, lock};
    const struct {
        const char* call;
        std::function<HResult(void*)> run;
    } calls[] = {
        {"GetCharacteristics",
         [&](void* h) { return GetCharacteristics(static_cast<INetCfgComponent>(h), &flags); }},
        {"GetInstanceGuid",
         [&](void* h) { return GetInstanceGuid(static_cast<INetCfgComponent>(h), &guid); }},
        {"GetId", [&](void* h) { return GetId(static_cast<INetCfgComponent>(h), &text); }},
        {"QueryBindings",
         [&](void* h) { return QueryBindings(static_cast<INetCfgComponent>(h), &bindings); }},
        {"Initialize", [&](void* h) { return Initialize(static_cast<INetCfg>(h)); }},
        {"Apply", [&](void* h) { return Apply(static_cast<INetCfg>(h)); }},
        {"ReleaseWriteLock", [&](void* h) { return ReleaseWriteLock(static_cast<INetCfgLock>(h)); }},
        {"Reset", [&](void* h) { return Reset(static_cast<IEnumNetCfgComponent>(h)); }},
        {"Enable", [&](void* h) { return Enable(static_cast<INetCfgBindingPath>(h), false); }},
        {"IsEnabled", [&](void* h) { return IsEnabled(static_cast<INetCfgBindingPath>(h)); }},
        {"GetPathToken", [&](void* h) { return GetPathToken(static_cast<INetCfgBindingPath>(h), &text); }},
    };
    for (const auto& c : calls) {
        EXPECT_EQ(c.run(nullptr), kEPointer) << c.call;
        for (void* h : wrong) {
            if (std::string(c.call) == "ReleaseWriteLock" && h == lock) continue;  // its own interface
            EXPECT_EQ(c.run(h), kEInvalidArg) << c.call << " " << h;
        }
    }
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(AddRef(released), 0u);
    EXPECT_EQ(Release(madeUp(0x1230)), 0u);
    EXPECT_EQ(GetCharacteristics(component, nullptr), kEPointer);
    EXPECT_EQ(Next(components, nullptr), kEPointer);

    // Objects of an Initialize that was undone are refused, also after a new Initialize.
    ASSERT_EQ(Uninitialize(cfg), kSOk);
    EXPECT_EQ(GetCharacteristics(component, &flags), kNetcfgENotInitialized);
    ASSERT_EQ(Initialize(cfg), kSOk);
    EXPECT_EQ(GetCharacteristics(component, &flags), kNetcfgENotInitialized);
    IEnumNetCfgComponent stale = components;
    EXPECT_EQ(EnumComponents(cls, &stale), kNetcfgENotInitialized);
    EXPECT_EQ(stale, nullptr);
    for (void* object : std::vector<void*>{component, components, cls, lock}) EXPECT_EQ(Release(object), 0u);
    EXPECT_EQ(Uninitialize(cfg), kSOk);
    EXPECT_EQ(Release(cfg), 0u);
    CoUninitialize();
}

}  // namespace
}  // namespace qv
