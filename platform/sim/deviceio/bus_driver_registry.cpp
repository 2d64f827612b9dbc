// The bus driver's interface registrations, as the simulated host keeps them in the registry:
// DeviceClasses\{interface class}\<reference> with DeviceInstance and SymbolicLink values.
#include <string>

#include "qv/platform/guid.h"
#include "qv/platform/registry.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"

namespace qv::sim {
namespace {

// Registry strings here are ASCII; anything else becomes '?'.
std::string Narrow(std::u16string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char16_t c : text) s += (c < 0x80) ? static_cast<char>(c) : '?';
    return s;
}

// A REG_SZ value, or empty when absent or of another type.
std::u16string ReadSz(const RegKey& key, std::u16string_view name) {
    uint32_t type = kRegNone;
    auto text = key.ReadString(name, &type);
    return text && type == kRegSz ? std::move(*text) : std::u16string();
}

}  // namespace

int32_t ListBusDriverInterfaces(bool presentOnly, std::vector<BusDriverInterface>* interfaces) {
    interfaces->clear();
    RegKey classKey;
    const std::u16string classPath = JoinPath(kDeviceClassesPath, kBusDriverInterfaceGuid);
    const LStatus opened = RegKey::Open(classPath, kKeyRead, &classKey);
    if (opened == kErrorFileNotFound) return kErrorSuccess;  // no interface registered
    if (opened != kErrorSuccess) return opened;
    for (uint32_t index = 0;; ++index) {
        char16_t name[kMaxKeyNameLength + 1];
        uint32_t length = kMaxKeyNameLength + 1;
        const LStatus status = reg::EnumKeyEx(classKey.get(), index, name, &length);
        if (status == kErrorNoMoreItems) break;
        if (status != kErrorSuccess) return status;
        RegKey entry;
        if (RegKey::Open(classKey.get(), std::u16string_view(name, length), kKeyRead, &entry) !=
            kErrorSuccess)
            continue;
        const std::u16string instance = ReadSz(entry, u"DeviceInstance");
        const std::u16string link = ReadSz(entry, u"SymbolicLink");
        if (instance.empty() || link.empty()) continue;
        BusDriverInterface found{Narrow(instance), Narrow(link), DeviceNodePresent(instance)};
        if (presentOnly && !found.present) continue;
        interfaces->push_back(std::move(found));
    }
    return kErrorSuccess;
}

std::filesystem::path AdapterStateFile(const std::string& deviceInstance) {
    std::string name = deviceInstance;
    for (char& c : name) {
        if (c == '\\' || c == '/') c = '#';
    }
    return MachineDir() / "adapters" / (name + ".n5");
}

bool FindBusDriverInstance(int instance, BusDriverInterface* found) {
    std::vector<BusDriverInterface> interfaces;
    if (ListBusDriverInterfaces(true, &interfaces) != kErrorSuccess) return false;
    if (instance < 0 || static_cast<size_t>(instance) >= interfaces.size()) return false;
    *found = interfaces[static_cast<size_t>(instance)];
    return true;
}

bool AdapterStateFileOfInstance(int instance, std::filesystem::path* stateFile) {
    BusDriverInterface found;
    if (!FindBusDriverInstance(instance, &found)) return false;
    *stateFile = AdapterStateFile(found.deviceInstance);
    return true;
}

}  // namespace qv::sim
