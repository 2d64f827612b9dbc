// The bus driver's interface registrations, as the simulated host keeps them in the registry:
// DeviceClasses\{interface class}\<reference> with DeviceInstance and SymbolicLink values.
#include <string>

#include "qv/platform/guid.h"
#include "qv/platform/registry.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"

namespace qv::sim {
namespace {

constexpr Guid kBusDriverInterfaceClass = {
    0xB5C98E43, 0x7483, 0x415C, {0x93, 0x08, 0x38, 0x06, 0x52, 0x64, 0xE1, 0x0B}};

// Registry strings here are ASCII; anything else becomes '?'.
std::string Narrow(std::u16string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char16_t c : text) s += (c < 0x80) ? static_cast<char>(c) : '?';
    return s;
}

class Key {
  public:
    ~Key() {
        if (key_ != nullptr) reg::CloseKey(key_);
    }
    LStatus Open(HKey parent, const std::u16string& path) {
        return reg::OpenKeyEx(parent, path.c_str(), kKeyRead, &key_);
    }
    HKey get() const { return key_; }

    // A REG_SZ value, or empty when absent or of another type.
    std::u16string ReadString(const char16_t* name) const {
        uint32_t type = 0;
        uint32_t size = 0;
        if (reg::QueryValueEx(key_, name, &type, nullptr, &size) != kErrorSuccess || type != kRegSz)
            return {};
        std::u16string text(size / 2 + 1, u'\0');
        uint32_t capacity = static_cast<uint32_t>(text.size() * 2);
        if (reg::QueryValueEx(key_, name, &type, reinterpret_cast<uint8_t*>(text.data()), &capacity) !=
            kErrorSuccess) {
            return {};
        }
        text.resize(capacity / 2);
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        return text;
    }

  private:
    HKey key_ = nullptr;
};

bool DeviceNodeExists(const std::u16string& instanceId) {
    Key node;
    return node.Open(kHkeyLocalMachine, std::u16string(kEnumPath) + u"\\" + instanceId) == kErrorSuccess;
}

}  // namespace

int32_t ListBusDriverInterfaces(bool presentOnly, std::vector<BusDriverInterface>* interfaces) {
    interfaces->clear();
    Key classKey;
    const std::u16string classPath =
        std::u16string(kDeviceClassesPath) + u"\\" + GuidToString(kBusDriverInterfaceClass);
    const LStatus opened = classKey.Open(kHkeyLocalMachine, classPath);
    if (opened == kErrorFileNotFound) return kErrorSuccess;  // no interface registered
    if (opened != kErrorSuccess) return opened;
    for (uint32_t index = 0;; ++index) {
        char16_t name[kMaxKeyNameLength + 1];
        uint32_t length = kMaxKeyNameLength + 1;
        const LStatus status = reg::EnumKeyEx(classKey.get(), index, name, &length);
        if (status == kErrorNoMoreItems) break;
        if (status != kErrorSuccess) return status;
        Key entry;
        if (entry.Open(classKey.get(), std::u16string(name, length)) != kErrorSuccess) continue;
        const std::u16string instance = entry.ReadString(u"DeviceInstance");
        const std::u16string link = entry.ReadString(u"SymbolicLink");
        if (instance.empty() || link.empty()) continue;
        BusDriverInterface found{Narrow(instance), Narrow(link), false};
        found.present = DeviceNodeExists(instance) && IsDevicePresent(instance);
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
