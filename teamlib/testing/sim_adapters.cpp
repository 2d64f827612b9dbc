#include "qv/teamlib/testing/sim_adapters.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
#include "qv/teamlib/text.h"

namespace qv::testing {
namespace {

constexpr std::u16string_view kNetClass = u"{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr std::u16string_view kEnum = u"SYSTEM\\CurrentControlSet\\Enum\\";
constexpr std::u16string_view kClass = u"SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr std::u16string_view kNetwork = u"SYSTEM\\CurrentControlSet\\Control\\Network\\";
constexpr std::u16string_view kSimDevices = u"SOFTWARE\\QvSim\\Devices\\";

class Key {
  public:
    ~Key() {
        if (key_ != nullptr) reg::CloseKey(key_);
    }
    bool Create(const std::u16string& path) {
        uint32_t disposition = 0;
        return reg::CreateKeyEx(kHkeyLocalMachine, path.c_str(), kRegOptionNonVolatile, kKeyAllAccess, &key_,
                                &disposition) == kErrorSuccess;
    }
    bool Open(const std::u16string& path) {
        return reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyAllAccess, &key_) == kErrorSuccess;
    }
    bool Set(std::u16string_view name, uint32_t type, const std::vector<uint8_t>& bytes) {
        return reg::SetValueEx(key_, std::u16string(name).c_str(), type, bytes.data(),
                               static_cast<uint32_t>(bytes.size())) == kErrorSuccess;
    }
    bool String(std::u16string_view name, std::u16string_view text) {
        return Set(name, kRegSz, Utf16Bytes(std::u16string(text) + u'\0'));
    }
    bool Dword(std::u16string_view name, uint32_t value) {
        std::vector<uint8_t> bytes(4);
        std::memcpy(bytes.data(), &value, 4);
        return Set(name, kRegDword, bytes);
    }
    HKey get() const { return key_; }

  private:
    HKey key_ = nullptr;
};

std::u16string ReadString(HKey key, const char16_t* name) {
    char16_t buffer[300] = {};
    uint32_t size = sizeof(buffer) - 2;
    uint32_t type = 0;
    if (reg::QueryValueEx(key, name, &type, reinterpret_cast<uint8_t*>(buffer), &size) != kErrorSuccess)
        return {};
    return buffer;
}

// The first unused driver key name "{class}\NNNN".
std::u16string NewDriverKey() {
    for (int index = 0; index < 10000; ++index) {
        const std::u16string name = std::u16string(kNetClass) + U16Format(u"\\%04d", index);
        Key key;
        if (!key.Open(std::u16string(kClass) + name)) return name;
    }
    return {};
}

std::u16string StateKeyName(std::u16string id) {
    for (auto& c : id) {
        if (c == u'\\') c = u'#';
    }
    return id;
}

}  // namespace

TempMachine::TempMachine(bool defaultInventory) {
    char pattern[] = "/tmp/qvteamlibXXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    dir_ = std::filesystem::path(pattern) / "machine";
    std::string error;
    sim::InventoryOptions options;
    if (!defaultInventory) {
        options.cards = 0;
        options.otherVendorAdapter = false;
    }
    ok_ = sim::CreateMachine(dir_, options, true, &error);
    sim::SelectMachine(dir_);
}

TempMachine::~TempMachine() {
    if (dir_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(dir_.parent_path(), ignored);
}

std::u16string DefaultPortGuid(int index) {
    return U16Format(u"{5A5A0005-0000-4000-8000-0000000000%02X}", index + 1);
}

bool AddSimAdapter(const SimAdapter& a) {
    const std::u16string driver = NewDriverKey();
    if (driver.empty()) return false;
    bool ok = true;
    Key node;
    ok = node.Create(std::u16string(kEnum) + a.instanceId) && ok;
    ok = node.String(u"DeviceDesc", a.description) && ok;
    if (!a.friendlyName.empty()) ok = node.String(u"FriendlyName", a.friendlyName) && ok;
    ok = node.String(u"Driver", driver) && ok;
    ok = node.String(u"ClassGUID", kNetClass) && ok;
    ok = node.String(u"Class", u"Net") && ok;
    ok = node.String(u"Service", u"qvteamp") && ok;
    ok = node.String(u"Mfg", a.provider) && ok;

    Key drv;
    ok = drv.Create(std::u16string(kClass) + driver) && ok;
    ok = drv.String(u"NetCfgInstanceId", a.guid) && ok;
    ok = drv.String(u"ProviderName", a.provider) && ok;
    ok = drv.String(u"DriverDesc", a.description) && ok;
    ok = drv.String(u"DriverDate", u"3-14-2008") && ok;
    ok = drv.String(u"DriverVersion", u"2.0.1.5") && ok;
    ok = drv.Dword(u"Characteristics", 0x1) && ok;
    if (a.vlanId) ok = drv.Dword(u"VlanID", *a.vlanId) && ok;

    if (!a.connectionName.empty()) {
        Key connection;
        ok = connection.Create(std::u16string(kNetwork) + std::u16string(kNetClass) + u"\\" + a.guid +
                               u"\\Connection") &&
             ok;
        ok = connection.String(u"Name", a.connectionName) && ok;
        ok = connection.String(u"PnpInstanceID", a.instanceId) && ok;
    }
    Key state;
    ok = state.Create(std::u16string(kSimDevices) + StateKeyName(a.instanceId)) && ok;
    ok = state.Dword(u"Present", a.present ? 1 : 0) && ok;
    ok = state.Dword(u"Disabled", 0) && ok;
    return ok;
}

bool AddTeamAdapter(int number, const std::u16string& guid, const std::u16string& name) {
    SimAdapter a;
    a.instanceId = U16Format(u"ROOT\\NET\\%04d", number);
    a.guid = guid;
    a.friendlyName = name;
    a.connectionName = name;
    return AddSimAdapter(a);
}

std::u16string StoreEntryPath(const std::u16string& member) {
    return u"System\\CurrentControlSet\\Services\\qvteamp\\Parameters\\Adapters\\" + member;
}

bool WriteStoreEntry(const std::u16string& member, const std::optional<std::u16string>& teamAdapterGuid,
                     std::optional<uint32_t> teamNumber, std::optional<uint32_t> order) {
    Key key;
    if (!key.Create(StoreEntryPath(member))) return false;
    bool ok = true;
    if (teamNumber) ok = key.Dword(u"TeamNumber", *teamNumber) && ok;
    if (teamAdapterGuid) ok = key.String(u"TeamBinding", u"\\Device\\" + *teamAdapterGuid) && ok;
    if (order) ok = key.Dword(u"Order", *order) && ok;
    return ok;
}

std::optional<std::vector<uint8_t>> ReadValueBytes(const std::u16string& path, const std::u16string& name,
                                                   uint32_t* type) {
    Key key;
    if (!key.Open(path)) return std::nullopt;
    uint32_t size = 0;
    uint32_t valueType = 0;
    if (reg::QueryValueEx(key.get(), name.c_str(), &valueType, nullptr, &size) != kErrorSuccess)
        return std::nullopt;
    std::vector<uint8_t> bytes(size);
    if (reg::QueryValueEx(key.get(), name.c_str(), &valueType, bytes.data(), &size) != kErrorSuccess) {
        return std::nullopt;
    }
    bytes.resize(size);
    if (type != nullptr) *type = valueType;
    return bytes;
}

bool WriteValueBytes(const std::u16string& path, const std::u16string& name, uint32_t type,
                     const std::vector<uint8_t>& bytes) {
    Key key;
    return key.Create(path) && key.Set(name, type, bytes);
}

std::u16string DriverKeyPathOf(const std::u16string& guid) {
    for (int index = 0; index < 10000; ++index) {
        const std::u16string path =
            std::u16string(kClass) + std::u16string(kNetClass) + U16Format(u"\\%04d", index);
        Key key;
        if (!key.Open(path)) {
            if (index > 64) break;
            continue;
        }
        if (U16EqualNoCase(ReadString(key.get(), u"NetCfgInstanceId"), guid)) return path;
    }
    return {};
}

std::vector<uint8_t> Utf16Bytes(std::u16string_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

}  // namespace qv::testing
