// Loading the network configuration of the machine into a model and applying a model's changes.
#include "model.h"

#include <algorithm>

#include "netcfg_store.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"

namespace qv::sim::netcfg {
namespace {

// The present network adapters of the device database, in enumeration order.
// Reads only what the engine needs of each adapter, not the whole device record: Initialize runs
// once per binding change, over every network device.
void LoadAdapters(Model* model) {
    LStatus status = kErrorSuccess;
    for (const auto& id : ListDevices(u"", kNetClassGuid, &status)) {
        RegKey node;
        RegKey driver;
        if (!IsDevicePresent(id) || RegKey::Open(DeviceNodePath(id), kKeyQueryValue, &node) != kErrorSuccess)
            continue;
        const auto driverKey = node.ReadString(u"Driver");
        if (!driverKey || RegKey::Open(DriverKeyPath(*driverKey), kKeyQueryValue, &driver) != kErrorSuccess)
            continue;
        Component c;
        c.guidText = driver.ReadString(u"NetCfgInstanceId").value_or(u"");
        if (!GuidFromString(c.guidText, &c.guid)) continue;
        // The engine names an adapter by the hardware id its driver matched.
        const auto matching = driver.ReadString(u"MatchingDeviceId");
        const auto hardwareIds = matching ? std::nullopt : node.ReadMultiString(u"HardwareID");
        c.id = AsciiLower(matching                               ? *matching
                          : hardwareIds && !hardwareIds->empty() ? hardwareIds->front()
                                                                 : u"");
        c.classGuid = kGuidDevClassNet;
        c.characteristics = driver.ReadDword(u"Characteristics").value_or(0);
        c.bindName = c.guidText;
        model->components.push_back(std::move(c));
    }
}

// The protocols in the order of their driver keys, which is the order they were installed in.
void LoadProtocols(Model* model) {
    auto protocols = ReadStoredComponents(kNetTransClassGuid);
    std::stable_sort(
        protocols.begin(), protocols.end(),
        [](const StoredComponent& a, const StoredComponent& b) { return a.driverKey < b.driverKey; });
    for (const auto& stored : protocols) {
        Component c;
        if (!GuidFromString(stored.guid, &c.guid)) continue;
        c.guidText = stored.guid;
        c.id = AsciiLower(stored.componentId);
        c.classGuid = kGuidDevClassNetTrans;
        c.characteristics = stored.characteristics;
        c.bindName = stored.bindName;
        model->components.push_back(std::move(c));
    }
}

std::optional<size_t> FindByGuidText(const Model& model, std::u16string_view text) {
    Guid guid{};
    if (!GuidFromString(text, &guid)) return std::nullopt;
    for (size_t i = 0; i < model.components.size(); ++i) {
        if (model.components[i].guid == guid) return i;
    }
    return std::nullopt;
}

// A stored path whose every component is in the model; the components come from the path's list,
// else from its token (a protocol id above an adapter GUID).
std::optional<Path> Resolve(const Model& model, const StoredPath& stored) {
    Path path;
    path.keyName = stored.keyName;
    path.token = stored.token;
    path.enabled = path.storedEnabled = stored.enabled;
    if (stored.components.empty()) {
        const auto upper = model.FindById(AsciiLower(TokenUpper(stored.token)), kGuidDevClassNetTrans);
        const auto lower = FindByGuidText(model, TokenLower(stored.token));
        if (!upper || !lower) return std::nullopt;
        path.components = {*upper, *lower};
        return path;
    }
    for (const auto& guid : stored.components) {
        const auto index = FindByGuidText(model, guid);
        if (!index) return std::nullopt;
        path.components.push_back(*index);
    }
    if (path.components.size() < 2) return std::nullopt;
    return path;
}

bool IsAdapter(const Component& c) {
    return c.classGuid == kGuidDevClassNet;
}

Path NewPath(const Model& model, size_t protocol, size_t adapter) {
    Path path;
    path.token = model.components[protocol].id + u"->" + model.components[adapter].guidText;
    path.components = {protocol, adapter};
    path.storedEnabled = false;
    return path;
}

StoredPath ToStored(const Model& model, const Path& path) {
    StoredPath stored;
    stored.keyName = path.keyName;
    stored.token = path.token;
    for (const size_t index : path.components) stored.components.push_back(model.components[index].guidText);
    stored.enabled = path.enabled;
    return stored;
}

LStatus WriteProtocol(const Component& c) {
    LStatus status = kErrorSuccess;
    const auto driverKey = FreeDriverKey(kNetTransClassGuid, &status);
    if (!driverKey) return status;
    RegValues driver{{RegValue::String(u"ComponentId", c.id),
                      RegValue::String(u"NetCfgInstanceId", c.guidText),
                      RegValue::String(u"DriverDesc", c.description)}};
    if (!c.provider.empty()) driver.values.push_back(RegValue::String(u"ProviderName", c.provider));
    driver.values.push_back(RegValue::Dword(u"Characteristics", c.characteristics));
    if (!c.infPath.empty()) driver.values.push_back(RegValue::String(u"InfPath", c.infPath));
    status = WriteKeyValues(DriverKeyPath(*driverKey), driver);
    if (status != kErrorSuccess) return status;
    return WriteKeyValues(
        JoinPath(ComponentsPath(), c.guidText),
        RegValues{{RegValue::String(u"ComponentId", c.id), RegValue::String(u"Class", kNetTransClassGuid),
                   RegValue::Dword(u"Characteristics", c.characteristics),
                   RegValue::String(u"BindName", c.bindName), RegValue::String(u"DriverKey", *driverKey)}});
}

// Writes the Enabled value of a path the registry has; a path removed meanwhile (with its
// adapter) is left removed.
LStatus WriteEnabled(const Path& path) {
    RegKey key;
    const LStatus opened = RegKey::Open(JoinPath(BindingPathsPath(), path.keyName), kKeyAllAccess, &key);
    if (opened == kErrorFileNotFound) return kErrorSuccess;
    if (opened != kErrorSuccess) return opened;
    return key.WriteDword(u"Enabled", path.enabled ? 1 : 0);
}

LStatus WriteChanges(Model* model) {
    for (const auto& c : model->components) {
        if (!c.pendingInstall) continue;
        if (const LStatus status = WriteProtocol(c); status != kErrorSuccess) return status;
    }
    std::vector<std::u16string> taken;
    RegKey paths;
    if (RegKey::Open(BindingPathsPath(), kKeyRead, &paths) == kErrorSuccess) taken = paths.SubKeys();
    for (auto& path : model->paths) {
        LStatus status = kErrorSuccess;
        if (path.keyName.empty()) {
            path.keyName = FreeNumberedName(taken).value_or(u"");  // empty: no number left
            taken.push_back(path.keyName);
            status = WriteStoredPath(ToStored(*model, path));
        } else if (path.enabled != path.storedEnabled) {
            status = WriteEnabled(path);
        }
        if (status != kErrorSuccess) return status;
    }
    return kErrorSuccess;
}

}  // namespace

std::optional<size_t> Model::FindById(std::u16string_view id, const Guid& classGuid) const {
    for (size_t i = 0; i < components.size(); ++i) {
        if (components[i].classGuid == classGuid && EqualsIgnoreCase(components[i].id, id)) return i;
    }
    return std::nullopt;
}

size_t Model::AddProtocol(Component protocol) {
    components.push_back(std::move(protocol));
    const size_t index = components.size() - 1;
    for (size_t i = 0; i < index; ++i) {
        if (IsAdapter(components[i])) paths.push_back(NewPath(*this, index, i));
    }
    return index;
}

bool Model::HasChanges() const {
    return std::any_of(components.begin(), components.end(),
                       [](const Component& c) { return c.pendingInstall; }) ||
           std::any_of(paths.begin(), paths.end(),
                       [](const Path& p) { return p.keyName.empty() || p.enabled != p.storedEnabled; });
}

Model LoadModel() {
    Model model;
    RegistryTransaction snapshot(RegistryTransaction::Mode::kReadSnapshot);
    LoadAdapters(&model);
    LoadProtocols(&model);
    std::vector<bool> bound(model.components.size(), false);
    for (const auto& stored : ReadStoredPaths()) {
        auto path = Resolve(model, stored);
        if (!path) continue;
        bound[path->components.back()] = true;
        model.paths.push_back(std::move(*path));
    }
    const size_t count = model.components.size();
    for (size_t adapter = 0; adapter < count; ++adapter) {
        if (!IsAdapter(model.components[adapter]) || bound[adapter]) continue;
        for (size_t protocol = 0; protocol < count; ++protocol) {
            if (!IsAdapter(model.components[protocol]))
                model.paths.push_back(NewPath(model, protocol, adapter));
        }
    }
    return model;
}

HResult ApplyModel(Model* model) {
    if (!model->HasChanges()) return kSOk;
    Model written = *model;  // the model changes only when the transaction commits
    RegistryTransaction txn;
    LStatus status = txn.status();
    if (status == kErrorSuccess) status = WriteChanges(&written);
    if (status == kErrorSuccess) status = txn.Commit();
    if (status != kErrorSuccess) return HResultFromWin32(static_cast<Win32Error>(status));
    for (auto& c : written.components) c.pendingInstall = false;
    for (auto& p : written.paths) p.storedEnabled = p.enabled;
    *model = std::move(written);
    return kSOk;
}

}  // namespace qv::sim::netcfg
