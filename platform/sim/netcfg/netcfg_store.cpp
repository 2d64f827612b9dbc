// Reading and writing the network configuration's own registry keys.
#include "netcfg_store.h"

#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"

namespace qv::sim::netcfg {

constexpr std::u16string_view kArrow = u"->";

std::u16string ComponentsPath() {
    return JoinPath(kSimNetCfgPath, u"Components");
}

std::u16string BindingPathsPath() {
    return JoinPath(kSimNetCfgPath, u"BindingPaths");
}

std::vector<StoredComponent> ReadStoredComponents(std::u16string_view classGuid) {
    std::vector<StoredComponent> list;
    RegKey components;
    if (RegKey::Open(ComponentsPath(), kKeyRead, &components) != kErrorSuccess) return list;
    for (const auto& name : components.SubKeys()) {
        RegKey key;
        if (RegKey::Open(components.get(), name, kKeyQueryValue, &key) != kErrorSuccess) continue;
        StoredComponent c;
        c.guid = name;
        c.componentId = key.ReadString(u"ComponentId").value_or(u"");
        c.classGuid = key.ReadString(u"Class").value_or(u"");
        c.characteristics = key.ReadDword(u"Characteristics").value_or(0);
        c.bindName = key.ReadString(u"BindName").value_or(u"");
        c.driverKey = key.ReadString(u"DriverKey").value_or(u"");
        if (classGuid.empty() || EqualsIgnoreCase(c.classGuid, classGuid)) list.push_back(std::move(c));
    }
    return list;
}

std::vector<StoredPath> ReadStoredPaths() {
    std::vector<StoredPath> list;
    RegKey paths;
    if (RegKey::Open(BindingPathsPath(), kKeyRead, &paths) != kErrorSuccess) return list;
    for (const auto& name : paths.SubKeys()) {
        RegKey key;
        if (RegKey::Open(paths.get(), name, kKeyQueryValue, &key) != kErrorSuccess) continue;
        StoredPath p;
        p.keyName = name;
        p.token = key.ReadString(u"Token").value_or(u"");
        p.components = key.ReadMultiString(u"Components").value_or(std::vector<std::u16string>{});
        p.enabled = key.ReadDword(u"Enabled").value_or(0) != 0;
        list.push_back(std::move(p));
    }
    return list;
}

std::u16string_view TokenLower(std::u16string_view token) {
    const size_t arrow = token.rfind(kArrow);
    return arrow == std::u16string_view::npos ? std::u16string_view() : token.substr(arrow + kArrow.size());
}

std::u16string_view TokenUpper(std::u16string_view token) {
    const size_t arrow = token.find(kArrow);
    return arrow == std::u16string_view::npos ? token : token.substr(0, arrow);
}

LStatus WriteStoredPath(const StoredPath& path) {
    if (path.keyName.empty()) return kErrorNoMoreItems;
    return WriteKeyValues(JoinPath(BindingPathsPath(), path.keyName),
                          RegValues{{RegValue::String(u"Token", path.token),
                                     RegValue::MultiString(u"Components", path.components),
                                     RegValue::Dword(u"Enabled", path.enabled ? 1 : 0)}});
}

}  // namespace qv::sim::netcfg
