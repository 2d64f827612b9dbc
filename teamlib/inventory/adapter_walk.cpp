#include "qv/teamlib/internal/adapter_walk.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// The largest text property read whole when it does not fit a read (a name padded to a fixed
// size is at most a few hundred bytes).
constexpr uint32_t kLongestStoredText = 4096;

constexpr char16_t kQuorvexPrefix[] = u"Quorvex";
constexpr size_t kQuorvexPrefixLength = 7;

bool IsTeamStyleVirtualAdapter(HKey driverKey) {
    OwnedU16 provider;
    if (!ReadStringFromRegistry(driverKey, u"ProviderName", &provider)) return false;
    const std::u16string_view name(provider.get());
    if (name.size() < kQuorvexPrefixLength ||
        !U16EqualNoCase(name.substr(0, kQuorvexPrefixLength), kQuorvexPrefix)) {
        return false;
    }
    uint32_t size = 0;
    return reg::QueryValueEx(driverKey, u"VlanID", nullptr, nullptr, &size) != kErrorSuccess;
}

}  // namespace

bool WalkAdapters(HWnd parent, const WalkFilter& filter,
                  const std::function<WalkStep(WalkedAdapter&)>& visit) {
    ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, parent, kDigcfPresent));
    if (!set.valid()) {
        QvTrace(u"   WalkAdapters: SetupDiGetClassDevs failed 0x%x", GetLastError());
        return false;
    }
    for (uint32_t index = 0;; ++index) {
        DevInfoData device{};
        device.cbSize = sizeof(device);
        if (!dev::EnumDeviceInfo(set.get(), index, &device)) break;

        AdapterClass adapterClass;
        if (IsPhysicalNIC(device)) {
            if (!filter.physical && !filter.everyDevice) continue;
            adapterClass = AdapterClass::kPhysical;
        } else if (IsVirtualNIC(device)) {
            if (!filter.virtualTeamAdapters && !filter.everyDevice) continue;
            adapterClass = AdapterClass::kVirtual;
        } else {
            if (!filter.everyDevice) continue;
            adapterClass = AdapterClass::kOther;
        }

        ScopedKey driverKey(
            dev::OpenDevRegKey(set.get(), &device, kDicsFlagGlobal, 0, kDiregDrv, kKeyAllAccess));
        if (!driverKey.valid()) {
            QvTrace(u"   WalkAdapters: cannot open the driver key of device %u", index);
            continue;
        }
        OwnedU16 guidString;
        if (!ReadStringFromRegistry(driverKey.get(), u"NetCfgInstanceId", &guidString)) {
            QvTrace(u"   WalkAdapters: device %u has no NetCfgInstanceId", index);
            continue;
        }
        if (adapterClass == AdapterClass::kVirtual && !filter.everyDevice &&
            !IsTeamStyleVirtualAdapter(driverKey.get())) {
            continue;
        }

        WalkedAdapter adapter{set.get(), &device, adapterClass, driverKey.get(), guidString.get(), Guid{}};
        if (!GuidFromString(guidString.get(), &adapter.guid)) {
            QvTrace(u"   WalkAdapters: NetCfgInstanceId %s is not a GUID", guidString.get());
            continue;
        }
        if (visit(adapter) == WalkStep::kStop) break;
    }
    return true;
}

bool ReadDeviceText(HDevInfo set, DevInfoData* device, uint32_t property, char16_t* buffer,
                    uint32_t capacityUnits, uint32_t byteSize) {
    if (capacityUnits == 0) return false;
    std::memset(buffer, 0, capacityUnits * sizeof(char16_t));
    // One unit is kept back so that the text stays terminated whatever the property holds.
    const uint32_t limit = (capacityUnits - 1) * static_cast<uint32_t>(sizeof(char16_t));
    const uint32_t size = byteSize < limit ? byteSize : limit;
    uint32_t type = 0;
    uint32_t required = 0;
    if (dev::GetDeviceRegistryProperty(set, device, property, &type, reinterpret_cast<uint8_t*>(buffer), size,
                                       &required)) {
        return true;
    }
    buffer[0] = u'\0';
    // Names are stored with fixed sizes (up to 522 bytes, the rest zeros), larger than some of the
    // reads: a text that fits the read up to its terminator is taken from the whole property.
    if (GetLastError() != kErrorInsufficientBuffer || required <= size || required > kLongestStoredText) {
        return false;
    }
    std::vector<char16_t> whole(required / sizeof(char16_t) + 1, u'\0');
    if (!dev::GetDeviceRegistryProperty(set, device, property, &type,
                                        reinterpret_cast<uint8_t*>(whole.data()), required, &required)) {
        return false;
    }
    const size_t length = std::u16string_view(whole.data()).size();
    if (length == 0 || (length + 1) * sizeof(char16_t) > size) return false;
    std::memcpy(buffer, whole.data(), length * sizeof(char16_t));
    return true;
}

bool WriteFriendlyName(HDevInfo set, DevInfoData* device, std::u16string_view name, uint32_t maxBytes) {
    const size_t maxUnits = maxBytes / sizeof(char16_t);
    if (maxUnits == 0) return false;
    std::u16string stored(name.substr(0, std::min(name.size(), maxUnits - 1)));
    stored.resize(std::u16string_view(stored.c_str()).size());  // up to an embedded terminator
    return dev::SetDeviceRegistryProperty(set, device, kSpdrpFriendlyName,
                                          reinterpret_cast<const uint8_t*>(stored.c_str()),
                                          static_cast<uint32_t>((stored.size() + 1) * sizeof(char16_t)));
}

bool ReadDisplayName(HDevInfo set, DevInfoData* device, char16_t* buffer, uint32_t capacityUnits,
                     uint32_t byteSize) {
    return ReadDeviceText(set, device, kSpdrpFriendlyName, buffer, capacityUnits, byteSize) ||
           ReadDeviceText(set, device, kSpdrpDeviceDesc, buffer, capacityUnits, byteSize);
}

}  // namespace qv
