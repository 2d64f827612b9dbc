// The network configuration read and changed directly in the registry, for qvsim and the tests.
#include "netcfg_store.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"

namespace qv::sim {
namespace {

using netcfg::StoredComponent;
using netcfg::StoredPath;

std::u16string_view Bottom(const StoredPath& path) {
    return path.components.empty() ? netcfg::TokenLower(path.token)
                                   : std::u16string_view(path.components.back());
}

// The protocol a path starts at: its component id, else the start of its token.
std::u16string ProtocolId(const StoredPath& path, const std::vector<StoredComponent>& components) {
    for (const auto& c : components) {
        if (!path.components.empty() && EqualsIgnoreCase(c.guid, path.components.front()))
            return c.componentId;
    }
    return std::u16string(netcfg::TokenUpper(path.token));
}

LStatus DeleteKeyAt(const std::u16string& path) {
    return reg::DeleteKey(kHkeyLocalMachine, path.c_str());
}

}  // namespace

std::vector<AdapterBinding> ReadAdapterBindings(std::u16string_view adapterGuid) {
    RegistryTransaction snapshot(RegistryTransaction::Mode::kReadSnapshot);
    const auto components = netcfg::ReadStoredComponents(u"");
    std::vector<AdapterBinding> bindings;
    for (const auto& path : netcfg::ReadStoredPaths()) {
        if (!EqualsIgnoreCase(Bottom(path), adapterGuid)) continue;
        bindings.push_back({ProtocolId(path, components), path.enabled, path.token});
    }
    return bindings;
}

bool RemoveProtocol(std::u16string_view componentId) {
    RegistryTransaction txn;
    if (!txn.ok()) return false;
    const auto protocols = netcfg::ReadStoredComponents(kNetTransClassGuid);
    const StoredComponent* protocol = nullptr;
    for (const auto& c : protocols) {
        if (EqualsIgnoreCase(c.componentId, componentId)) protocol = &c;
    }
    if (protocol == nullptr) return false;
    for (const auto& path : netcfg::ReadStoredPaths()) {
        if (!EqualsIgnoreCase(ProtocolId(path, protocols), componentId)) continue;
        if (DeleteKeyAt(JoinPath(netcfg::BindingPathsPath(), path.keyName)) != kErrorSuccess) return false;
    }
    if (DeleteKeyAt(JoinPath(netcfg::ComponentsPath(), protocol->guid)) != kErrorSuccess) return false;
    if (!protocol->driverKey.empty() && DeleteKeyAt(DriverKeyPath(protocol->driverKey)) != kErrorSuccess)
        return false;
    return txn.Commit() == kErrorSuccess;
}

}  // namespace qv::sim
