// Cost of one full adapter-inventory walk on the default simulated machine: the class device list,
// and for every device its driver key, its NetCfgInstanceId and its friendly name.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
#include "qv/testing/temp_machine.h"

namespace {

int WalkInventory() {
    int found = 0;
    qv::HDevInfo set = qv::dev::GetClassDevs(&qv::kGuidDevClassNet, nullptr, nullptr, qv::kDigcfPresent);
    if (set == qv::kInvalidDevInfo) return -1;
    qv::DevInfoData device;
    for (uint32_t i = 0; qv::dev::EnumDeviceInfo(set, i, &device); ++i) {
        qv::HKey key =
            qv::dev::OpenDevRegKey(set, &device, qv::kDicsFlagGlobal, 0, qv::kDiregDrv, qv::kKeyAllAccess);
        if (key == qv::kInvalidHKey) continue;
        char16_t id[64];
        uint32_t size = sizeof id;
        if (qv::reg::QueryValueEx(key, u"NetCfgInstanceId", nullptr, reinterpret_cast<uint8_t*>(id), &size) ==
            qv::kErrorSuccess) {
            ++found;
        }
        qv::reg::CloseKey(key);
        uint8_t name[512];
        qv::dev::GetDeviceRegistryProperty(set, &device, qv::kSpdrpFriendlyName, nullptr, name, sizeof name,
                                           nullptr);
    }
    qv::dev::DestroyDeviceInfoList(set);
    return found;
}

void BM_InventoryWalk(benchmark::State& state) {
    static qv::testing::TempMachine machine;  // the default inventory, removed at exit
    for (auto _ : state) benchmark::DoNotOptimize(WalkInventory());
    state.counters["adapters"] = WalkInventory();
}
BENCHMARK(BM_InventoryWalk)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
