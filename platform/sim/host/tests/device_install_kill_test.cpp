// A process killed while it creates, installs or removes virtual adapters leaves every device
// whole or gone: each registration, driver installation and removal is one registry transaction.
// A child cycles through the three; the parent kills it after a growing number of finished steps,
// so that the kill lands in each kind of step in turn, and then checks the machine.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "device_install_support.h"
#include "qv/platform/devinst.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

using qv::testing::TempMachine;

const std::u16string kNetClass(kGuidDevClassNetText);

// One step done: a byte to the parent.
void Report(int fd, char step) {
    if (write(fd, &step, 1) != 1) _exit(3);
}

// Creates, registers, installs and removes adapters until killed.
[[noreturn]] void Cycle(int fd) {
    for (;;) {
        HDevInfo set = dev::CreateDeviceInfoList(&kGuidDevClassNet, nullptr);
        DevInfoData device;
        const auto ids = qv::testing::MultiSz(u"QV_QVTEAMMP");
        if (!dev::CreateDeviceInfo(set, u"Net", kGuidDevClassNet, nullptr, nullptr, kDicdGenerateId, &device) ||
            !dev::SetDeviceRegistryProperty(set, &device, kSpdrpHardwareId, ids.data(), 26))
            _exit(4);
        if (!dev::CallClassInstaller(kDifRegisterDevice, set, &device)) _exit(5);
        Report(fd, 'r');
        if (!dev::BuildDriverInfoList(set, &device, kSpditCompatDriver) ||
            !dev::CallClassInstaller(kDifSelectBestCompatDrv, set, &device) ||
            !dev::CallClassInstaller(kDifInstallDevice, set, &device))
            _exit(6);
        Report(fd, 'i');
        if (!dev::CallClassInstaller(kDifRemove, set, &device)) _exit(7);
        Report(fd, 'x');
        dev::DestroyDeviceInfoList(set);
    }
}

std::string IntegrityCheck(const std::filesystem::path& machine) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2((machine / "registry.db").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
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
    std::vector<std::u16string> names;
    HKey key = nullptr;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyRead, &key) != kErrorSuccess) return names;
    char16_t name[kMaxKeyNameLength + 1];
    for (uint32_t i = 0;; ++i) {
        uint32_t length = kMaxKeyNameLength + 1;
        if (reg::EnumKeyEx(key, i, name, &length) != kErrorSuccess) break;
        names.emplace_back(name, length);
    }
    reg::CloseKey(key);
    return names;
}

// Every root-enumerated adapter is a registered node without a driver, or has all of its parts;
// no driver key or connection is left without its device. Returns the number of adapters found.
size_t ExpectWholeDevices() {
    std::set<std::u16string> driverKeys, guids;
    LStatus status = kErrorSuccess;
    size_t found = 0;
    for (const auto& id : sim::ListDevices(u"ROOT", kNetClass, &status)) {
        ++found;
        const auto device = sim::ReadDevice(id);
        EXPECT_TRUE(device);
        if (!device) continue;
        EXPECT_EQ(device->hardwareIds, std::vector<std::u16string>{u"QV_QVTEAMMP"}) << "node of " << id.size();
        if (device->driverKey.empty()) continue;
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
    return found;
}

TEST(DeviceInstallKilled, EveryDeviceIsWholeOrGone) {
    TempMachine machine;
    for (int steps = 1; steps <= 9; ++steps) {
        SCOPED_TRACE("killed after " + std::to_string(steps) + " steps");
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            Cycle(pipeFds[1]);
        }
        close(pipeFds[1]);
        int done = 0;
        char step = 0;
        while (done < steps && read(pipeFds[0], &step, 1) == 1) ++done;
        kill(child, SIGKILL);
        close(pipeFds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_EQ(done, steps) << "the child stopped with status " << status;
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(IntegrityCheck(machine.dir()), "ok");
        EXPECT_LE(ExpectWholeDevices(), static_cast<size_t>(steps));
    }
    // The machine goes on working: what the kills left behind can be removed.
    LStatus status = kErrorSuccess;
    for (const auto& id : sim::ListDevices(u"ROOT", kNetClass, &status)) {
        sim::RegistryTransaction txn;
        ASSERT_EQ(sim::RemoveDevice(id), kErrorSuccess);
        ASSERT_EQ(txn.Commit(), kErrorSuccess);
    }
    EXPECT_EQ(ExpectWholeDevices(), 0u);
}

}  // namespace
}  // namespace qv
