// qvsim newdev and qvsim miniport: how the machine's newdev.dll and simulated team miniport
// behave, and the lines of qvsim show that tell it when it differs from the default.
#include <algorithm>
#include <cstdio>
#include <string>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/sim/host_state.h"

namespace qvsim {
namespace {

using qv::sim::ReadHostValue;
using qv::sim::WriteHostValue;

struct Choice {
    std::string_view word;
    uint32_t value;
};

constexpr Choice kExportStates[] = {
    {"works", qv::sim::kExportWorks}, {"fails", qv::sim::kExportFails}, {"missing", qv::sim::kExportMissing}};
constexpr Choice kLibraryStates[] = {{"present", 1}, {"missing", 0}};
constexpr Choice kRebootRequests[] = {
    {"none", qv::sim::kRebootNone}, {"restart", qv::sim::kRebootRestart}, {"reboot", qv::sim::kRebootReboot}};

// What "newdev <name> <word>" sets: the host value and the words it takes. The rows from
// kFirstExport on are newdev.dll's exports.
struct Setting {
    std::string_view name;
    std::u16string_view hostValue;
    std::span<const Choice> choices;
};
constexpr Setting kSettings[] = {
    {"library", qv::sim::kHostNewdevLibrary, kLibraryStates},
    {"reboot", qv::sim::kHostRebootRequest, kRebootRequests},
    {"DiInstallDevice", qv::sim::kHostNewdevDiInstallDevice, kExportStates},
    {"InstallSelectedDriver", qv::sim::kHostNewdevInstallSelectedDriver, kExportStates},
    {"UpdateDriverForPlugAndPlayDevicesW", qv::sim::kHostNewdevUpdateDriver, kExportStates},
};
constexpr size_t kFirstExport = 2;

std::optional<uint32_t> Pick(std::span<const Choice> choices, std::string_view word) {
    const auto it = std::ranges::find(choices, word, &Choice::word);
    return it == choices.end() ? std::nullopt : std::optional(it->value);
}

std::string_view WordOf(std::span<const Choice> choices, uint32_t value) {
    const auto it = std::ranges::find(choices, value, &Choice::value);
    return it == choices.end() ? "?" : it->word;
}

int Write(std::u16string_view name, uint32_t value, const char* command) {
    return WriteHostValue(name, value) ? kExitOk : RegistryUnwritable(command);
}

constexpr uint32_t kMaxDelay = 86400000;  // a day of milliseconds

}  // namespace

int RunNewdev(std::span<char* const> args) {
    constexpr const char* kUsage =
        "newdev: expected library present|missing, reboot none|restart|reboot, or "
        "<export> works|fails|missing";
    if (args.size() != 2) return Fail(kExitUsage, kUsage);
    for (const auto& setting : kSettings) {
        if (setting.name != args[0]) continue;
        const auto value = Pick(setting.choices, args[1]);
        return value ? Write(setting.hostValue, *value, "newdev") : Fail(kExitUsage, kUsage);
    }
    return Fail(kExitUsage, kUsage);
}

int RunMiniport(std::span<char* const> args) {
    constexpr const char* kUsage = "miniport: expected address-delay MILLISECONDS|never";
    if (args.size() != 2 || std::string_view(args[0]) != "address-delay") return Fail(kExitUsage, kUsage);
    const auto delay = std::string_view(args[1]) == "never"
                           ? std::optional<uint64_t>(qv::sim::kMiniportAddressNever)
                           : ParseNumber(args[1], Radix::kDecimal, kMaxDelay);
    return delay ? Write(qv::sim::kHostMiniportAddressDelay, *delay, "miniport") : Fail(kExitUsage, kUsage);
}

void ShowInstallSettings() {
    std::string newdev;
    if (ReadHostValue(qv::sim::kHostNewdevLibrary).value_or(1) == 0) newdev = "cannot be loaded";
    for (const auto& e : std::span(kSettings).subspan(kFirstExport)) {
        const uint32_t state = ReadHostValue(e.hostValue).value_or(qv::sim::kExportWorks);
        if (state == qv::sim::kExportWorks) continue;
        if (!newdev.empty()) newdev += ", ";
        newdev += std::string(e.name) + " " + std::string(WordOf(kExportStates, state));
    }
    if (!newdev.empty()) std::printf("newdev.dll: %s\n", newdev.c_str());
    const uint32_t reboot = ReadHostValue(qv::sim::kHostRebootRequest).value_or(qv::sim::kRebootNone);
    if (reboot != qv::sim::kRebootNone)
        std::printf("Reboot request: %s\n", std::string(WordOf(kRebootRequests, reboot)).c_str());
    const uint32_t delay = ReadHostValue(qv::sim::kHostMiniportAddressDelay).value_or(0);
    if (delay == qv::sim::kMiniportAddressNever) {
        std::printf("Miniport address: never written\n");
    } else if (delay != 0) {
        std::printf("Miniport address: written %u ms after a start\n", delay);
    }
}

}  // namespace qvsim
