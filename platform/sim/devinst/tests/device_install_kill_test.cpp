// A process killed while it creates, installs or removes virtual adapters leaves every device
// whole or gone: each registration, driver installation and removal is one registry transaction.
// A child cycles through the three and is killed inside each transaction in turn (at the
// simulator's install points), and at moments the parent chooses; then the machine is checked.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <set>
#include <string>

#include "device_install_support.h"
#include "qv/platform/devinst.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/install_points.h"
#include "qv/sim/machine.h"
#include "qv/sim/reg_key.h"
#include "qv/testing/child_process.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using qv::testing::Child;
using qv::testing::ChildStatus;
using qv::testing::TempMachine;

const std::u16string kNetClass(kGuidDevClassNetText);

// Creates, registers, installs and removes adapters until killed (or once).
[[noreturn]] void Cycle(int fd, bool once = false) {
    for (;;) {
        HDevInfo set = dev::CreateDeviceInfoList(&kGuidDevClassNet, nullptr);
        DevInfoData device;
        const auto ids = qv::testing::MultiSz(u"QV_QVTEAMMP");
        if (!dev::CreateDeviceInfo(set, u"Net", kGuidDevClassNet, nullptr, nullptr, kDicdGenerateId,
                                   &device) ||
            !dev::SetDeviceRegistryProperty(set, &device, kSpdrpHardwareId, ids.data(), 26))
            _exit(4);
        if (!dev::CallClassInstaller(kDifRegisterDevice, set, &device)) _exit(5);
        qv::testing::ReportLine(fd, "r");
        if (!dev::BuildDriverInfoList(set, &device, kSpditCompatDriver) ||
            !dev::CallClassInstaller(kDifSelectBestCompatDrv, set, &device) ||
            !dev::CallClassInstaller(kDifInstallDevice, set, &device))
            _exit(6);
        qv::testing::ReportLine(fd, "i");
        if (!dev::CallClassInstaller(kDifRemove, set, &device)) _exit(7);
        qv::testing::ReportLine(fd, "x");
        dev::DestroyDeviceInfoList(set);
        if (once) _exit(0);
    }
}

std::string IntegrityCheck(const std::filesystem::path& machine) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2((machine / "registry.db").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
            sqlite3_step(check) == SQLITE_ROW) {
            result = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
        }
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return result;
}

std::vector<std::u16string> SubKeys(const std::u16string& path) {
    sim::RegKey key;
    return sim::RegKey::Open(path, kKeyRead, &key) == kErrorSuccess ? key.SubKeys()
                                                                    : std::vector<std::u16string>{};
}

struct Found {
    size_t bare = 0;   // registered, no driver
    size_t whole = 0;  // with its driver
};

// Every root-enumerated adapter is a registered node without a driver, or has all of its parts;
// no driver key or connection is left without its device.
Found ExpectWholeDevices() {
    Found counts;
    std::set<std::u16string> driverKeys, guids;
    LStatus status = kErrorSuccess;
    for (const auto& id : sim::ListDevices(u"ROOT", kNetClass, &status)) {
        const auto device = sim::ReadDevice(id);
        EXPECT_TRUE(device);
        if (!device) continue;
        EXPECT_EQ(device->hardwareIds, std::vector<std::u16string>{u"QV_QVTEAMMP"})
            << "node of " << id.size();
        if (device->driverKey.empty()) {
            ++counts.bare;
            continue;
        }
        ++counts.whole;
        driverKeys.insert(device->driverKey.substr(device->driverKey.size() - 4));
        guids.insert(device->netCfgInstanceId);
        EXPECT_FALSE(device->netCfgInstanceId.empty());
        EXPECT_EQ(device->service, u"qvteamm");
        EXPECT_TRUE(device->driverValues.String(u"ProviderName"));
        EXPECT_TRUE(device->driverValues.String(u"NetworkAddress"));
        EXPECT_FALSE(device->connectionName.empty());
    }
    EXPECT_EQ(status, kErrorSuccess);
    // The inventory's adapters hold 0000 to 0004; every other driver key belongs to a device here.
    for (const auto& key : SubKeys(std::u16string(sim::kClassPath) + u'\\' + kNetClass)) {
        if (key.size() == 4 && key >= u"0005") {
            EXPECT_EQ(driverKeys.count(key), 1u) << "orphaned driver key";
        }
    }
    for (const auto& guid : SubKeys(std::u16string(sim::kNetworkPath) + u'\\' + kNetClass)) {
        if (guid.rfind(u"{5A5A0005", 0) == 0 || guid.rfind(u"{6E770001", 0) == 0) continue;
        EXPECT_EQ(guids.count(guid), 1u) << "orphaned connection";
    }
    return counts;
}

sim::InstallPoint g_killAt;
void KillAtPoint(sim::InstallPoint point) {
    if (point == g_killAt) raise(SIGKILL);
}

TEST(DeviceInstallKilled, InsideEachTransactionTheDeviceKeepsItsLastWholeState) {
    TempMachine machine;
    Found expected;
    const struct {
        sim::InstallPoint point;
        size_t bare, whole;  // what the killed cycle leaves
    } points[] = {
        {sim::InstallPoint::kRegisterNodeWritten, 0, 0},  {sim::InstallPoint::kInstallOldRemoved, 1, 0},
        {sim::InstallPoint::kInstallDeviceWritten, 1, 0}, {sim::InstallPoint::kRemoveDeviceRemoved, 0, 1},
        {sim::InstallPoint::kRemoveNetCfgRemoved, 0, 1},
    };
    for (const auto& p : points) {
        SCOPED_TRACE("point " + std::to_string(static_cast<int>(p.point)));
        Child child([&p](int report) {
            g_killAt = p.point;
            sim::SetInstallPointHook(KillAtPoint);
            Cycle(report, true);
        });
        const ChildStatus end = child.Wait();
        ASSERT_EQ(end.signal, SIGKILL) << "exit code " << end.exitCode;
        EXPECT_EQ(IntegrityCheck(machine.dir()), "ok");
        expected.bare += p.bare;
        expected.whole += p.whole;
        const Found found = ExpectWholeDevices();
        EXPECT_EQ(found.bare, expected.bare);
        EXPECT_EQ(found.whole, expected.whole);
    }
}

TEST(DeviceInstallKilled, AtAnyMomentEveryDeviceIsWholeOrGone) {
    TempMachine machine;
    for (int steps = 1; steps <= 9; ++steps) {
        SCOPED_TRACE("killed after " + std::to_string(steps) + " steps");
        Child child([](int report) { Cycle(report); });
        int done = 0;
        while (done < steps && !child.Line().empty()) ++done;
        const ChildStatus end = child.Kill();
        ASSERT_EQ(done, steps) << "the child stopped with exit code " << end.exitCode;
        ASSERT_NE(end.signal, 0);
        EXPECT_EQ(IntegrityCheck(machine.dir()), "ok");
        const Found found = ExpectWholeDevices();
        EXPECT_LE(found.bare + found.whole, static_cast<size_t>(steps));
    }
    // The machine goes on working: what the kills left behind can be removed.
    LStatus status = kErrorSuccess;
    for (const auto& id : sim::ListDevices(u"ROOT", kNetClass, &status)) {
        sim::RegistryTransaction txn;
        ASSERT_EQ(sim::RemoveDevice(id), kErrorSuccess);
        ASSERT_EQ(txn.Commit(), kErrorSuccess);
    }
    const Found found = ExpectWholeDevices();
    EXPECT_EQ(found.bare + found.whole, 0u);
}

}  // namespace
}  // namespace qv
