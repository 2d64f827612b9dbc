// Registry operations per second on a simulated machine: the common read path of the programs
// (open a driver-parameters key, read a value, close), writes, and enumeration.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
#include "qv/testing/temp_machine.h"

namespace {

using namespace qv;

constexpr const char16_t* kAdapterKey =
    u"SYSTEM\\CurrentControlSet\\Services\\qvteamp\\Parameters\\Adapters\\{0A1B2C3D-0000-4000-8000-"
    u"00000000AB01}";
constexpr const char16_t* kClassKey = u"SYSTEM\\CurrentControlSet\\Control\\Class\\Bench";
constexpr int kSubkeys = 64;

// One scratch machine for the whole run, with an adapter entry and a class key of 64 subkeys.
class Machine {
  public:
    Machine() {
        if (!machine_.ok()) abort();
        HKey key = nullptr;
        reg::CreateKeyEx(kHkeyLocalMachine, kAdapterKey, 0, kKeyAllAccess, &key, nullptr);
        const uint32_t number = 0x121;
        reg::SetValueEx(key, u"TeamNumber", kRegDword, reinterpret_cast<const uint8_t*>(&number), 4);
        reg::SetValueEx(key, u"Order", kRegDword, reinterpret_cast<const uint8_t*>(&number), 4);
        reg::CloseKey(key);
        sim::RegistryTransaction txn;
        for (int i = 0; i < kSubkeys; ++i) {
            const std::string name = std::to_string(1000 + i);
            const std::u16string path =
                std::u16string(kClassKey) + u"\\" + std::u16string(name.begin(), name.end());
            reg::CreateKeyEx(kHkeyLocalMachine, path.c_str(), 0, kKeyAllAccess, &key, nullptr);
            reg::SetValueEx(key, u"NetCfgInstanceId", kRegSz, reinterpret_cast<const uint8_t*>(u"{x}"), 8);
            reg::CloseKey(key);
        }
        txn.Commit();
    }

  private:
    qv::testing::TempMachine machine_{qv::testing::MachineOptions::EmptyRegistry()};
};

Machine& TheMachine() {
    static Machine machine;
    return machine;
}

void BM_OpenQueryClose(benchmark::State& state) {
    TheMachine();
    for (auto _ : state) {
        HKey key = nullptr;
        uint32_t value = 0, size = 4;
        if (reg::OpenKeyEx(kHkeyLocalMachine, kAdapterKey, kKeyRead, &key) != kErrorSuccess) abort();
        reg::QueryValueEx(key, u"TeamNumber", nullptr, reinterpret_cast<uint8_t*>(&value), &size);
        reg::CloseKey(key);
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OpenQueryClose);

void BM_QueryValue(benchmark::State& state) {
    TheMachine();
    HKey key = nullptr;
    reg::OpenKeyEx(kHkeyLocalMachine, kAdapterKey, kKeyRead, &key);
    for (auto _ : state) {
        uint32_t value = 0, size = 4;
        reg::QueryValueEx(key, u"TeamNumber", nullptr, reinterpret_cast<uint8_t*>(&value), &size);
        benchmark::DoNotOptimize(value);
    }
    reg::CloseKey(key);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QueryValue);

void BM_SetValue(benchmark::State& state) {
    TheMachine();
    HKey key = nullptr;
    reg::OpenKeyEx(kHkeyLocalMachine, kAdapterKey, kKeyAllAccess, &key);
    uint32_t value = 0;
    for (auto _ : state) {
        ++value;
        if (reg::SetValueEx(key, u"Order", kRegDword, reinterpret_cast<const uint8_t*>(&value), 4) !=
            kErrorSuccess) {
            abort();
        }
    }
    reg::CloseKey(key);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetValue);

// One iteration lists all 64 subkeys of the class key, as the adapter inventory does.
void BM_EnumSubkeys(benchmark::State& state) {
    TheMachine();
    HKey key = nullptr;
    reg::OpenKeyEx(kHkeyLocalMachine, kClassKey, kKeyRead, &key);
    char16_t name[256];
    for (auto _ : state) {
        uint32_t i = 0;
        for (uint32_t length = 256; reg::EnumKeyEx(key, i, name, &length) == kErrorSuccess; length = 256) ++i;
        if (i != kSubkeys) abort();
    }
    reg::CloseKey(key);
    state.SetItemsProcessed(state.iterations() * kSubkeys);
}
BENCHMARK(BM_EnumSubkeys);

}  // namespace

BENCHMARK_MAIN();
