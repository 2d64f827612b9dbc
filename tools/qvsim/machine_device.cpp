// qvsim set-admin and qvsim device: change the host's answers and a device's simulated state.
#include <string>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"

namespace qvsim {

int RunSetAdmin(std::span<char* const> args) {
    const auto value = args.size() == 1 ? ParseNumber(args[0], Radix::kDecimal, 1) : std::nullopt;
    if (!value) return Fail(kExitUsage, "set-admin: expected 0 or 1");
    const bool written = qv::sim::WriteHostValue(u"Administrator", static_cast<uint32_t>(*value));
    return written ? kExitOk : RegistryUnwritable("set-admin");
}

int RunDevice(std::span<char* const> args) {
    const std::string_view action = args.size() >= 2 ? args[1] : "";
    std::u16string_view valueName = qv::sim::kStateDisabled;
    uint32_t value = action == "disable" ? 1 : 0;
    if (action == "present" && args.size() == 3 && ParseNumber(args[2], Radix::kDecimal, 1, &value)) {
        valueName = qv::sim::kStatePresent;
    } else if ((action != "enable" && action != "disable") || args.size() != 2) {
        return Fail(kExitUsage, "device: expected <connection name> enable|disable|present 0|1");
    }
    const auto instanceId = qv::sim::FindDeviceByConnectionName(qv::ToUtf16(args[0]));
    if (!instanceId)
        return Fail(kExitFailure,
                    "device: no adapter has the connection name '" + std::string(args[0]) + "'");
    return qv::sim::WriteDeviceState(*instanceId, valueName, value) ? kExitOk : RegistryUnwritable("device");
}

}  // namespace qvsim
