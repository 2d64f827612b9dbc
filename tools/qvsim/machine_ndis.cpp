// qvsim ndis: changes what a network adapter answers to NDIS queries (link, speed, frame size,
// offload form, connection offload, counters). The adapter is named by its connection name or by
// its NetCfgInstanceId "{...}".
#include <string>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/ndis_adapter.h"

namespace qvsim {
namespace {

constexpr const char* kUsage =
    "ndis: expected <connection name|{guid}> link connected|disconnected | speed UNITS | mtu BYTES | "
    "offload ndis5|ndis6 | toe on|off | counter OID VALUE";

// The NetCfgInstanceId of the adapter named by a connection name or a GUID; "" when none.
std::u16string AdapterGuid(const char* name) {
    const std::u16string text = qv::ToUtf16(name);
    auto instance = text.starts_with(u'{') ? qv::sim::FindDeviceByNetCfgInstanceId(text)
                                           : qv::sim::FindDeviceByConnectionName(text);
    if (!instance) return {};
    const auto adapter = qv::sim::ReadNdisAdapter(*instance);
    return adapter ? adapter->guid : std::u16string();
}

// One of two words as 0 or 1; nullopt for anything else.
std::optional<uint32_t> OneOfTwo(std::string_view word, std::string_view zero, std::string_view one) {
    if (word == zero) return 0;
    if (word == one) return 1;
    return std::nullopt;
}

// A decimal number from 1 to 2^32 - 1.
std::optional<uint32_t> Positive(std::string_view word) {
    const auto number = ParseNumber(word, Radix::kDecimal, 0xFFFFFFFFu);
    if (!number || *number == 0) return std::nullopt;
    return static_cast<uint32_t>(*number);
}

}  // namespace

int RunNdis(std::span<char* const> args) {
    if (args.size() < 3) return Fail(kExitUsage, kUsage);
    const std::string_view what = args[1];
    std::u16string_view valueName;
    std::optional<uint32_t> value;
    const bool counter = what == "counter";
    const auto counterOid =
        counter && args.size() == 4 ? ParseNumber(args[2], Radix::kC, 0xFFFFFFFFu) : std::nullopt;
    const auto counterValue =
        counter && args.size() == 4 ? ParseNumber(args[3], Radix::kDecimal, UINT64_MAX) : std::nullopt;
    if (counter) {
        if (!counterOid || !qv::sim::StatisticsStep(static_cast<uint32_t>(*counterOid)) || !counterValue)
            return Fail(kExitUsage, kUsage);
    } else if (args.size() != 3) {
        return Fail(kExitUsage, kUsage);
    } else if (what == "link") {
        valueName = qv::sim::kNdisMediaConnect;
        value = OneOfTwo(args[2], "connected", "disconnected");
    } else if (what == "speed") {
        valueName = qv::sim::kNdisLinkSpeed;
        value = Positive(args[2]);
    } else if (what == "mtu") {
        valueName = qv::sim::kNdisMaxFrameSize;
        value = Positive(args[2]);
    } else if (what == "offload") {
        valueName = qv::sim::kNdisOffloadForm;
        value = OneOfTwo(args[2], "ndis5", "ndis6");
        if (value) *value += 5;
    } else if (what == "toe") {
        valueName = qv::sim::kNdisConnectionOffload;
        value = OneOfTwo(args[2], "off", "on");
    }
    if (!counter && !value) return Fail(kExitUsage, kUsage);
    const std::u16string guid = AdapterGuid(args[0]);
    if (guid.empty()) return Fail(kExitFailure, "ndis: no network adapter '" + std::string(args[0]) + "'");
    const bool written =
        counter ? qv::sim::WriteNdisCounter(guid, static_cast<uint32_t>(*counterOid), *counterValue)
                : qv::sim::WriteNdisFact(guid, valueName, *value);
    return written ? kExitOk : RegistryUnwritable("ndis");
}

}  // namespace qvsim
