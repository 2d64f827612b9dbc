// The simulated network configuration through its port: COM per thread, components and binding
// paths of the default machine, changes that Apply persists or Uninitialize drops, the write lock
// across processes (forked children and qvsim's lock) on virtual time, Install of the teaming
// protocol, and handles that are refused instead of crashing.
#include "qv/platform/netcfg.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
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
using Strings = std::vector<std::string>;

constexpr const char16_t* kClient = u"QvTeamCfg";
const std::u16string kTcpip = u"{7C9E2A51-0000-4000-8000-000000000001}";
const std::u16string kTeamp = u"{5A5A7E40-0000-4000-8000-000000000001}";
const std::u16string kOtherNic = u"{6E770001-0000-4000-8000-000000000001}";
const OboToken kUser{kOboUser};

std::u16string N5Guid(int n) {
    return u"{5A5A0005-0000-4000-8000-00000000000" + std::u16string(1, char16_t(u'0' + n)) + u"}";
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
        EXPECT_TRUE(Succeeded(CoInitialize()));
        EXPECT_EQ(CreateNetCfg(&cfg_), kSOk);
        if (lock) {
            EXPECT_EQ(QueryLock(cfg_, &lock_), kSOk);
            char16_t* holder = nullptr;
            lockResult_ = AcquireWriteLock(lock_, timeoutMs, client, &holder);
            if (holder) holder_ = TakeString(holder);
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
    INetCfg cfg_ = nullptr;
    INetCfgLock lock_ = nullptr;
    HResult lockResult_ = kSOk;
    std::u16string holder_;
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

// A component as Components lists it: "<instance GUID> <id> <characteristics>".
std::string Component(const std::u16string& guid, const std::u16string& id, uint32_t characteristics) {
    return ToUtf8(guid + u" " + id) + " " + std::to_string(characteristics);
}

Strings Components(INetCfg cfg, const Guid& classGuid) {
    Strings list;
    ForEachComponent(cfg, classGuid, [&](INetCfgComponent c) {
        uint32_t characteristics = 0;
        EXPECT_EQ(GetCharacteristics(c, &characteristics), kSOk);
        list.push_back(Component(GuidOf(c), IdOf(c), characteristics));
    });
    return list;
}

// Calls visit for each binding path of the component with that GUID, in the given direction, with
// the path's token.
void ForEachPath(INetCfg cfg, const Guid& classGuid, const std::u16string& guid, uint32_t flags,
                 const std::function<void(INetCfgBindingPath, const std::u16string&)>& visit) {
    ForEachComponent(cfg, classGuid, [&](INetCfgComponent c) {
        if (GuidOf(c) != guid) return;
        INetCfgComponentBindings bindings = nullptr;
        ASSERT_EQ(QueryBindings(c, &bindings), kSOk);
        IEnumNetCfgBindingPath paths = nullptr;
        ASSERT_EQ(EnumBindingPaths(bindings, flags, &paths), kSOk);
        INetCfgBindingPath path = nullptr;
        while (Next(paths, &path) == kSOk) {
            char16_t* token = nullptr;
            EXPECT_EQ(GetPathToken(path, &token), kSOk);
            visit(path, TakeString(token));
            Release(path);
        }
        Release(paths);
        Release(bindings);
    });
}

// A path from a protocol to an adapter as Paths lists it: "<token> on|off <upper id>/<lower GUID>",
// one interface.
std::string Path(const std::u16string& protocolId, const std::u16string& adapter, bool enabled = true) {
    return ToUtf8(protocolId + u"->" + adapter) + (enabled ? " on " : " off ") +
           ToUtf8(protocolId + u"/" + adapter);
}

// The two paths above an adapter of the default machine, both enabled.
Strings BothAbove(const std::u16string& adapter) {
    return {Path(u"ms_tcpip", adapter), Path(u"qv_qvteamp", adapter)};
}

// The binding paths of the component with that GUID: token, enabled state, then each interface's
// upper component id and lower component GUID.
Strings Paths(INetCfg cfg, const Guid& classGuid, const std::u16string& guid, uint32_t flags = kEbpAbove) {
    Strings list;
    ForEachPath(cfg, classGuid, guid, flags, [&](auto path, auto& token) {
        const HResult enabled = IsEnabled(path);
        EXPECT_TRUE(enabled == kSOk || enabled == kSFalse);
        std::string text = ToUtf8(token) + (enabled == kSOk ? " on" : " off");
        IEnumNetCfgBindingInterface interfaces = nullptr;
        ASSERT_EQ(EnumBindingInterfaces(path, &interfaces), kSOk);
        INetCfgBindingInterface bi = nullptr;
        while (Next(interfaces, &bi) == kSOk) {
            INetCfgComponent upper = nullptr, lower = nullptr;
            EXPECT_EQ(GetUpperComponent(bi, &upper), kSOk);
            EXPECT_EQ(GetLowerComponent(bi, &lower), kSOk);
            text += " " + ToUtf8(IdOf(upper) + u"/" + GuidOf(lower));
            Release(upper);
            Release(lower);
            Release(bi);
        }
        Release(interfaces);
        list.push_back(text);
    });
    return list;
}

// Enables or disables every path above the adapter whose token starts with the protocol id.
void EnableAbove(INetCfg cfg, const std::u16string& adapter, const std::u16string& protocolId, bool enable,
                 HResult expected = kSOk) {
    ForEachPath(cfg, kGuidDevClassNet, adapter, kEbpAbove, [&](auto path, auto& token) {
        if (token.rfind(protocolId + u"->", 0) == 0) {
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

// Installs a protocol through the class setup interface of the protocols.
HResult InstallProtocol(INetCfg cfg, const char16_t* id, const OboToken* obo,
                        INetCfgComponent* component = nullptr) {
    INetCfgClassSetup setup = nullptr;
    EXPECT_EQ(QueryNetCfgClassSetup(cfg, kGuidDevClassNetTrans, &setup), kSOk);
    const HResult result = Install(setup, id, obo, 0, 0, nullptr, nullptr, component);
    Release(setup);
    return result;
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

void ExpectLockGranted() {
    Config cfg(true, kClient, 5000);
    EXPECT_EQ(cfg.lockResult(), kSOk);
    EXPECT_EQ(sim::ReadWriteLock().holder, kClient);
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
    INetCfg created = nullptr;
    HResult createdOnOther = kSOk, other = kEFail;
    std::thread([&] {
        createdOnOther = CreateNetCfg(&created);  // no COM on this thread
        other = CoInitialize();
        CoUninitialize();
    }).join();
    EXPECT_EQ(createdOnOther, kCoENotInitialized);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(other, kSOk);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CreateNetCfg(&created), kCoENotInitialized);
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
    EXPECT_EQ(
        Components(cfg.get(), kGuidDevClassNet),
        (Strings{Component(N5Guid(1), n5, 0x84), Component(N5Guid(2), n5, 0x8C),
                 Component(N5Guid(4), n5, 0x84), Component(kOtherNic, u"pci\\ven_6e77&dev_1000", 0x84)}));
    EXPECT_EQ(Components(cfg.get(), kGuidDevClassNetTrans),
              (Strings{Component(kTcpip, u"ms_tcpip", 0xA0), Component(kTeamp, u"qv_qvteamp", 0x80)}));
    EXPECT_TRUE(Components(cfg.get(), kGuidDevClassSystem).empty());
}

TEST_F(NetCfgTest, PathsAboveAnAdapterAndBelowAProtocol) {
    Config cfg(false);
    EXPECT_EQ(Paths(cfg.get(), kGuidDevClassNet, N5Guid(1)), BothAbove(N5Guid(1)));
    EXPECT_EQ(Paths(cfg.get(), kGuidDevClassNetTrans, kTeamp, kEbpBelow),
              (Strings{Path(u"qv_qvteamp", N5Guid(1)), Path(u"qv_qvteamp", N5Guid(2)),
                       Path(u"qv_qvteamp", N5Guid(3)), Path(u"qv_qvteamp", N5Guid(4)),
                       Path(u"qv_qvteamp", kOtherNic)}));
    EXPECT_TRUE(Paths(cfg.get(), kGuidDevClassNet, N5Guid(1), kEbpBelow).empty());
    EXPECT_TRUE(Paths(cfg.get(), kGuidDevClassNetTrans, kTcpip, kEbpAbove).empty());
}

TEST_F(NetCfgTest, ApplyPersistsForOtherProcessesAndUninitializeDiscards) {
    {
        Config cfg(true);
        EnableAbove(cfg.get(), N5Guid(1), u"ms_tcpip", false);
        EnableAbove(cfg.get(), N5Guid(2), u"ms_tcpip", false);
        EXPECT_EQ(Paths(cfg.get(), kGuidDevClassNet, N5Guid(1))[0], Path(u"ms_tcpip", N5Guid(1), false));
        EXPECT_EQ(StoredEnabled(N5Guid(1), u"ms_tcpip"), 1);  // seen at once, not yet stored
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
        return std::all_of(std::begin(expected), std::end(expected), [&](const auto& e) {
            const auto paths = Paths(cfg.get(), kGuidDevClassNet, e.adapter);
            return std::count(paths.begin(), paths.end(), Path(e.protocol, e.adapter, e.enabled == 1)) == 1;
        });
    });
    EXPECT_EQ(child.Wait().exitCode, 0);
}

TEST_F(NetCfgTest, ChangesNeedTheWriteLock) {
    Config cfg(false);
    EnableAbove(cfg.get(), N5Guid(1), u"ms_tcpip", false, kNetcfgENoWriteLock);
    EXPECT_EQ(Apply(cfg.get()), kNetcfgENoWriteLock);
    INetCfgComponent installed = nullptr;
    EXPECT_EQ(InstallProtocol(cfg.get(), u"QV_QVTEAMP", &kUser, &installed), kNetcfgENoWriteLock);
    EXPECT_EQ(installed, nullptr);
    EXPECT_EQ(StoredEnabled(N5Guid(1), u"ms_tcpip"), 1);
}

TEST_F(NetCfgTest, LockOfAnotherProcessFailsAfterTheWaitWithItsHolder) {
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
    ExpectLockGranted();
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
    ExpectLockGranted();
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
    ExpectLockGranted();
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
    ExpectRefusedAfterTheWait(300, u"First");  // to a second object of this process as well
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
    const OboToken badObo{7};
    const struct {
        const char16_t* id;
        const OboToken* obo;
        HResult expected;
    } refused[] = {{u"QV_NOSUCH", &kUser, kSpapiENoDriverSelected},
                   {u"QV_QVTEAMP", nullptr, kEPointer},
                   {u"QV_QVTEAMP", &badObo, kEInvalidArg}};
    std::u16string guid;
    for (int round = 0; round < 2; ++round) {  // the second finds it installed
        SCOPED_TRACE(round);
        Config cfg(true);
        INetCfgComponent component = nullptr;
        EXPECT_EQ(InstallProtocol(cfg.get(), u"QV_QVTEAMP", &kUser, &component), kSOk);
        ASSERT_NE(component, nullptr);
        EXPECT_EQ(IdOf(component), u"qv_qvteamp");
        if (round == 0) guid = GuidOf(component);
        EXPECT_EQ(GuidOf(component), guid);
        Release(component);
        for (const auto& r : refused)
            EXPECT_EQ(InstallProtocol(cfg.get(), r.id, r.obo, &component), r.expected) << ToUtf8(r.id);
        EXPECT_EQ(Paths(cfg.get(), kGuidDevClassNet, N5Guid(4)), BothAbove(N5Guid(4)));
        EXPECT_EQ(StoredEnabled(N5Guid(4), u"qv_qvteamp"), round == 0 ? -1 : 1);  // pending until Apply
        EXPECT_EQ(Apply(cfg.get()), kSOk);
    }
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(StoredEnabled(N5Guid(n), u"qv_qvteamp"), 1);
    EXPECT_EQ(sim::ReadAdapterBindings(N5Guid(1)).size(), 2u);  // installed once
    Config cfg(false);
    EXPECT_EQ(Components(cfg.get(), kGuidDevClassNetTrans),
              (Strings{Component(kTcpip, u"ms_tcpip", 0xA0), Component(guid, u"qv_qvteamp", 0x80)}));
}

TEST_F(NetCfgTest, InstallWithoutApplyLeavesNothing) {
    ASSERT_TRUE(sim::RemoveProtocol(u"qv_qvteamp"));
    {
        Config cfg(true);
        EXPECT_EQ(InstallProtocol(cfg.get(), u"qv_qvteamp", &kUser), kSOk);
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
    const std::u16string& guid = team.netCfgInstanceId;
    {
        Config cfg(true);
        EXPECT_EQ(Components(cfg.get(), kGuidDevClassNet).back(),
                  Component(guid, u"qv_qvteammp", kNcfVirtual));
        EXPECT_EQ(Paths(cfg.get(), kGuidDevClassNet, guid), BothAbove(guid));
        EnableAbove(cfg.get(), guid, u"ms_tcpip", false);
        EXPECT_EQ(sim::ReadAdapterBindings(guid).size(), 0u);
        EXPECT_EQ(Apply(cfg.get()), kSOk);
    }
    EXPECT_EQ(StoredEnabled(guid, u"ms_tcpip"), 0);
    EXPECT_EQ(StoredEnabled(guid, u"qv_qvteamp"), 1);
}

template <class Handle>
Handle As(void* handle) {
    return static_cast<Handle>(handle);
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
        {"GetCharacteristics", [&](void* h) { return GetCharacteristics(As<INetCfgComponent>(h), &flags); }},
        {"GetInstanceGuid", [&](void* h) { return GetInstanceGuid(As<INetCfgComponent>(h), &guid); }},
        {"GetId", [&](void* h) { return GetId(As<INetCfgComponent>(h), &text); }},
        {"QueryBindings", [&](void* h) { return QueryBindings(As<INetCfgComponent>(h), &bindings); }},
        {"Initialize", [&](void* h) { return Initialize(As<INetCfg>(h)); }},
        {"Apply", [&](void* h) { return Apply(As<INetCfg>(h)); }},
        {"ReleaseWriteLock", [&](void* h) { return ReleaseWriteLock(As<INetCfgLock>(h)); }},
        {"Reset", [&](void* h) { return Reset(As<IEnumNetCfgComponent>(h)); }},
        {"Enable", [&](void* h) { return Enable(As<INetCfgBindingPath>(h), false); }},
        {"IsEnabled", [&](void* h) { return IsEnabled(As<INetCfgBindingPath>(h)); }},
        {"GetPathToken", [&](void* h) { return GetPathToken(As<INetCfgBindingPath>(h), &text); }},
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
