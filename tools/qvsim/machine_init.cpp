// qvsim init: create a machine with the default inventory, or with an empty registry; qvsim os:
// change the OS version of a machine.
#include <algorithm>
#include <string>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/sim/default_inventory.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"

namespace qvsim {
namespace {

// "MAJOR.MINOR[.BUILD]" into the options; false when malformed.
bool ParseOsVersion(std::string_view text, qv::sim::InventoryOptions* options) {
    uint32_t parts[3] = {0, 0, options->osBuild};
    const auto count = static_cast<size_t>(std::count(text.begin(), text.end(), '.')) + 1;
    if (count < 2 || count > 3 || !ParseDotted(text, std::span(parts, count), 0xFFFF)) return false;
    options->osMajor = parts[0];
    options->osMinor = parts[1];
    options->osBuild = parts[2];
    return true;
}

}  // namespace

int RunInit(std::span<char* const> args) {
    qv::sim::InventoryOptions options;
    bool force = false;
    bool empty = false;
    bool inventoryOption = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        inventoryOption = inventoryOption || (arg != "--force" && arg != "--empty");
        if (arg == "--force") {
            force = true;
        } else if (arg == "--empty") {
            empty = true;
        } else if (arg == "--no-other-vendor") {
            options.otherVendorAdapter = false;
        } else if (arg == "--no-admin") {
            options.administrator = false;
        } else if (arg == "--cards") {
            const auto cards = hasValue ? ParseNumber(args[++i], Radix::kDecimal, 8) : std::nullopt;
            if (!cards) return Fail(kExitUsage, "init: --cards needs a number from 0 to 8");
            options.cards = static_cast<int>(*cards);
        } else if (arg == "--os") {
            if (!hasValue || !ParseOsVersion(args[++i], &options)) {
                return Fail(kExitUsage, "init: --os needs MAJOR.MINOR or MAJOR.MINOR.BUILD");
            }
        } else {
            return Fail(kExitUsage, "init: unknown option '" + std::string(arg) + "'");
        }
    }
    if (empty && inventoryOption) return Fail(kExitUsage, "init: --empty takes no inventory options");
    std::string error;
    const auto dir = qv::sim::MachineDir();
    const bool created = empty ? qv::sim::CreateEmptyMachine(dir, force, &error)
                               : qv::sim::CreateMachine(dir, options, force, &error);
    if (!created) return Fail(kExitFailure, "init: " + error);
    std::printf("created machine %s\n", dir.string().c_str());
    return kExitOk;
}

int RunOs(std::span<char* const> args) {
    qv::sim::InventoryOptions version;
    version.osBuild = qv::sim::ReadHostValue(u"OsBuild").value_or(version.osBuild);
    if (args.size() != 1 || !ParseOsVersion(args[0], &version)) {
        return Fail(kExitUsage, "os: expected MAJOR.MINOR or MAJOR.MINOR.BUILD");
    }
    const bool written = qv::sim::WriteHostValue(u"OsMajor", version.osMajor) &&
                         qv::sim::WriteHostValue(u"OsMinor", version.osMinor) &&
                         qv::sim::WriteHostValue(u"OsBuild", version.osBuild);
    return written ? kExitOk : RegistryUnwritable("os");
}

}  // namespace qvsim
