// Requests per second through the simulated transport: register reads, and a whole
// "-r all -f" decode, on a fresh default machine.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "qv/qvtool/adapter_connection.h"
#include "qv/qvtool/register_commands.h"
#include "qv/qvtool/transport.h"
#include "qv/sim/machine.h"
#include "qv/testing/temp_machine.h"

namespace {

// One default machine and one open adapter for the whole run, removed at exit.
class BenchAdapter {
  public:
    BenchAdapter() {
        std::FILE* sink = std::fopen("/dev/null", "w");
        if (!qv::qvtool::OpenAdapter(0, &connection_, sink) || connection_.device == qv::kInvalidDevice)
            std::abort();
        std::fclose(sink);
    }
    ~BenchAdapter() {
        qv::qvtool::CloseAdapter(&connection_);
    }
    qv::HDevice device() const { return connection_.device; }

  private:
    qv::testing::TempMachine machine_;  // made before the adapter is opened
    qv::qvtool::AdapterConnection connection_;
};

BenchAdapter& Adapter() {
    static BenchAdapter adapter;
    return adapter;
}

void BM_RegisterRead(benchmark::State& state) {
    const qv::HDevice device = Adapter().device();
    uint32_t value = 0;
    for (auto _ : state) {
        qv::qvtool::RegisterRead(device, 0x6F4, &value);
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RegisterRead);

void BM_RegisterAllWithFields(benchmark::State& state) {
    const qv::HDevice device = Adapter().device();
    std::FILE* sink = std::fopen("/dev/null", "w");
    qv::qvtool::RegisterRequest all;
    all.read = true;
    all.target = qv::qvtool::RegisterTarget::kAllBlocks;
    for (auto _ : state) qv::qvtool::RunRegisterRead(all, true, device, sink);
    std::fclose(sink);
}
BENCHMARK(BM_RegisterAllWithFields)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
