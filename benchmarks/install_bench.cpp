// Cost of installing and removing one virtual adapter on the default simulated machine, as the
// teaming library does it: a device list of class Net, a device with a generated id and the
// miniport's hardware id, registration, the best driver of the miniport's INF installed through
// newdev.dll's InstallSelectedDriver, and removal.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "qv/platform/devinst.h"
#include "qv/platform/files.h"
#include "qv/platform/newdev.h"
#include "qv/testing/temp_machine.h"

namespace {

std::u16string MiniportInf() {
    char16_t windows[qv::kMaxPath];
    const uint32_t length = qv::file::GetSystemWindowsDirectory(windows, qv::kMaxPath);
    return std::u16string(windows, length) + u"\\Inf\\oem1.inf";
}

bool InstallAndRemove(const std::u16string& inf) {
    qv::HDevInfo set = qv::dev::CreateDeviceInfoList(&qv::kGuidDevClassNet, nullptr);
    qv::DevInfoData device;
    const char16_t ids[] = u"QV_QVTEAMMP\0";
    bool ok = qv::dev::CreateDeviceInfo(set, u"Net", qv::kGuidDevClassNet, nullptr, nullptr,
                                        qv::kDicdGenerateId | qv::kDicdInheritClassdrvs, &device) &&
              qv::dev::SetDeviceRegistryProperty(set, &device, qv::kSpdrpHardwareId,
                                                 reinterpret_cast<const uint8_t*>(ids), sizeof ids) &&
              qv::dev::CallClassInstaller(qv::kDifRegisterDevice, set, &device);
    qv::DevInstallParams params;
    ok = ok && qv::dev::SetSelectedDevice(set, &device) &&
         qv::dev::GetDeviceInstallParams(set, &device, &params);
    if (ok) {
        params.flags |= qv::kDiEnumSingleInf;
        params.flagsEx |= qv::kDiFlagsExAllowExcludedDrvs;
        std::copy(inf.begin(), inf.end(), params.driverPath);
    }
    ok = ok && qv::dev::SetDeviceInstallParams(set, &device, &params) &&
         qv::dev::BuildDriverInfoList(set, &device, qv::kSpditCompatDriver) &&
         qv::dev::CallClassInstaller(qv::kDifSelectBestCompatDrv, set, &device);
    qv::HModule newdev = qv::newdev::LoadLibrary(u"newdev.dll");
    uint32_t reboot = 0;
    ok = ok && newdev != nullptr &&
         qv::newdev::CallInstallSelectedDriver(qv::newdev::GetProcAddress(newdev, "InstallSelectedDriver"),
                                               nullptr, set, nullptr, false, &reboot);
    if (newdev != nullptr) qv::newdev::FreeLibrary(newdev);
    qv::dev::DestroyDriverInfoList(set, &device, qv::kSpditCompatDriver);
    ok = qv::dev::CallClassInstaller(qv::kDifRemove, set, &device) && ok;
    qv::dev::DestroyDeviceInfoList(set);
    return ok;
}

void BM_InstallRemoveAdapter(benchmark::State& state) {
    static qv::testing::TempMachine machine;  // the default inventory, removed at exit
    const std::u16string inf = MiniportInf();
    for (auto _ : state) {
        if (!InstallAndRemove(inf)) {
            state.SkipWithError("installation failed");
            break;
        }
    }
}
BENCHMARK(BM_InstallRemoveAdapter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
