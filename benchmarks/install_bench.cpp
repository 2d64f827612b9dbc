// Cost of installing and removing one virtual adapter on the default simulated machine through the
// teaming library: GetMiniportInf once, then per cycle cmdInstall (device creation, registration,
// driver installation through newdev.dll, friendly name, NetCfgInstanceId) and its removal as the
// command line removes a team adapter (QueryAdapters in QV_REMOVE_TEAM, which calls RemoveTeamDetails).
#include <benchmark/benchmark.h>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/inventory.h"
#include "qv/testing/temp_machine.h"

namespace {

// Present network devices, to check that every cycle removed what it installed.
int NetDeviceCount() {
    qv::ScopedDevInfo set(qv::dev::GetClassDevs(&qv::kGuidDevClassNet, nullptr, nullptr, qv::kDigcfPresent));
    qv::DevInfoData device{};
    int count = 0;
    while (qv::dev::EnumDeviceInfo(set.get(), static_cast<uint32_t>(count), &device)) ++count;
    return count;
}

void BM_InstallRemoveAdapter(benchmark::State& state) {
    static qv::testing::TempMachine machine;  // the default inventory, removed at exit
    char16_t inf[qv::kInfPathCapacity] = {};
    if (!qv::GetMiniportInf(inf)) {
        state.SkipWithError("no miniport INF");
        return;
    }
    const int before = NetDeviceCount();
    for (auto _ : state) {
        char16_t name[qv::kInstallNameCapacity] = u"Bench Team";
        qv::Guid guid{};
        if (qv::cmdInstall(qv::kMiniportHardwareId, inf, name, &guid) != qv::QV_INSTALL_OK ||
            !qv::QueryAdapters(qv::QV_REMOVE_TEAM, guid, 0, nullptr)) {
            state.SkipWithError("installation or removal failed");
            break;
        }
    }
    if (NetDeviceCount() != before) state.SkipWithError("an installed adapter was not removed");
}
BENCHMARK(BM_InstallRemoveAdapter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
