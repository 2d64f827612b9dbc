// Requests per second through the simulated transport: register reads, a whole "-r all -f"
// decode, and the programming of a 64 KiB flash image, on a fresh default machine.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "qv/qvtool/adapter_connection.h"
#include "qv/qvtool/flash/flash_ops.h"
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
    ~BenchAdapter() { qv::qvtool::CloseAdapter(&connection_); }
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

// Programming a 64 KiB firmware image as the tool does it: erase its sector, write it page by
// page, compare it, one SPI transfer per request.
void BM_ProgramFlash64KiB(benchmark::State& state) {
    const qv::HDevice device = Adapter().device();
    std::FILE* sink = std::fopen("/dev/null", "w");
    std::vector<uint32_t> image(qv::qvtool::kFlashSectorBytes / 4);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint32_t>(i * 0x9E3779B9u);
    const qv::qvtool::FlashPart& part = *qv::qvtool::FindFlashPart(0x13);  // the simulated 8-Mbit part
    for (auto _ : state) {
        if (qv::qvtool::EraseFlashSectors(device, part, 7, 1, sink) != 0 ||
            qv::qvtool::WriteFlashImage(device, part, image, qv::qvtool::kFlashFirmwareAddress, sink) != 0 ||
            qv::qvtool::CompareFlashImage(device, image, qv::qvtool::kFlashFirmwareAddress, sink) != 0) {
            state.SkipWithError("programming failed");
            break;
        }
    }
    std::fclose(sink);
}
BENCHMARK(BM_ProgramFlash64KiB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
