#include "adapter_facts.h"

#include <algorithm>
#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/platform/result_codes.h"
#include "qv/platform/scoped_handle.h"
#include "qv/platform/utf.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/team_store.h"

namespace qv::qvteam {
namespace {

constexpr uint32_t kIoctlNdisQueryGlobalStats = 0x00170002;
constexpr uint32_t kOidPermanentAddress = 0x01010101;
constexpr uint32_t kOidCurrentAddress = 0x01010102;
constexpr uint32_t kFileShareReadWrite = 3;
constexpr uint32_t kMacBytes = 6;

// The component id of the protocol at the top of a binding path; empty when it cannot be read.
std::string UpperProtocolId(INetCfgBindingPath path) {
    ScopedCom<IEnumNetCfgBindingInterface> interfaces;
    ScopedCom<INetCfgBindingInterface> first;
    ScopedCom<INetCfgComponent> upper;
    ScopedCoTaskString id;
    if (netcfg::EnumBindingInterfaces(path, interfaces.Receive()) != kSOk ||
        netcfg::Next(interfaces.get(), first.Receive()) != kSOk ||
        netcfg::GetUpperComponent(first.get(), upper.Receive()) != kSOk ||
        netcfg::GetId(upper.get(), id.Receive()) != kSOk || !id.valid()) {
        return {};
    }
    return ToUtf8(id.get());
}

// The enabled paths above one adapter component.
void AddBoundProtocols(INetCfgComponent component, std::vector<std::string>* protocols) {
    ScopedCom<INetCfgComponentBindings> bindings;
    ScopedCom<IEnumNetCfgBindingPath> paths;
    if (netcfg::QueryBindings(component, bindings.Receive()) != kSOk ||
        netcfg::EnumBindingPaths(bindings.get(), kEbpAbove, paths.Receive()) != kSOk) {
        return;
    }
    ScopedCom<INetCfgBindingPath> path;
    while (netcfg::Next(paths.get(), path.Receive()) == kSOk) {
        if (netcfg::IsEnabled(path.get()) != kSOk) continue;
        const std::string id = UpperProtocolId(path.get());
        if (!id.empty() && std::find(protocols->begin(), protocols->end(), id) == protocols->end()) {
            protocols->push_back(id);
        }
    }
}

// An address the adapter's driver answers for oid, as text.
std::optional<std::string> ReadMac(const Guid& adapter, uint32_t oid) {
    const OwnedU16 path = AddWin32DevicePrefix(GuidToString(adapter).c_str());
    if (!path) return std::nullopt;
    const ScopedDevice device(
        io::CreateFileA(ToUtf8(path.get()).c_str(), 0, kFileShareReadWrite, kOpenExisting, 0));
    if (!device.valid()) return std::nullopt;
    uint8_t mac[kMacBytes] = {};
    uint32_t returned = 0;
    if (!io::DeviceIoControl(device.get(), kIoctlNdisQueryGlobalStats, &oid, sizeof oid, mac, sizeof mac,
                             &returned) ||
        returned != kMacBytes) {
        return std::nullopt;
    }
    // All zeros is no address: a driver that has none to tell says so.
    if (std::all_of(std::begin(mac), std::end(mac), [](uint8_t byte) { return byte == 0; }))
        return std::nullopt;
    char text[3 * kMacBytes];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                  mac[5]);
    return std::string(text);
}

}  // namespace

std::optional<std::string> ReadPermanentMac(const Guid& adapter) {
    return ReadMac(adapter, kOidPermanentAddress);
}

std::optional<std::string> ReadCurrentMac(const Guid& adapter) {
    return ReadMac(adapter, kOidCurrentAddress);
}

BindingReader::BindingReader() {
    char16_t* holder = nullptr;
    if (AcquireNetCfg(false, kNetCfgClientName, &netCfg_, &holder) != kSOk) netCfg_ = nullptr;
    if (holder != nullptr) netcfg::CoTaskMemFree(holder);
}

BindingReader::~BindingReader() {
    if (netCfg_ != nullptr) ReleaseNetCfg(netCfg_, false);
}

std::vector<std::string> BindingReader::BoundProtocols(const Guid& adapter) const {
    std::vector<std::string> protocols;
    if (netCfg_ == nullptr) return protocols;
    ScopedCom<INetCfgClass> netClass;
    ScopedCom<IEnumNetCfgComponent> components;
    if (netcfg::QueryNetCfgClass(netCfg_, kGuidDevClassNet, netClass.Receive()) != kSOk ||
        netcfg::EnumComponents(netClass.get(), components.Receive()) != kSOk) {
        return protocols;
    }
    ScopedCom<INetCfgComponent> component;
    while (netcfg::Next(components.get(), component.Receive()) == kSOk) {
        Guid guid{};
        if (netcfg::GetInstanceGuid(component.get(), &guid) == kSOk && GuidEqual(guid, adapter)) {
            AddBoundProtocols(component.get(), &protocols);
        }
    }
    return protocols;
}

}  // namespace qv::qvteam
