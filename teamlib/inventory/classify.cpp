#include <string_view>

#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// Whether the device's instance id begins with prefix, ignoring case; *readable is false when
// the id cannot be read.
bool InstanceIdStartsWith(const DevInfoData& device, std::u16string_view prefix, bool* readable) {
    char16_t id[kMaxDeviceIdLength] = {};
    *readable = dev::GetDeviceId(device.devInst, id, kMaxDeviceIdLength, 0) == kCrSuccess;
    if (!*readable) return false;
    id[kMaxDeviceIdLength - 1] = u'\0';
    const std::u16string_view text(id);
    return text.size() >= prefix.size() && U16EqualNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

int IsPhysicalNIC(const DevInfoData& device) {
    bool readable = false;
    const bool rootEnumerated = InstanceIdStartsWith(device, u"ROOT\\", &readable);
    if (!readable) {
        QvTrace(u"   IsPhysicalNIC: CM_Get_Device_ID failed");
        return 0;
    }
    return rootEnumerated ? 0 : 1;
}

int IsVirtualNIC(const DevInfoData& device) {
    bool readable = false;
    const bool virtualAdapter = InstanceIdStartsWith(device, u"ROOT\\NET\\", &readable);
    if (!readable) {
        QvTrace(u"   IsVirtualNIC: CM_Get_Device_ID failed");
        return 0;
    }
    return virtualAdapter ? 1 : 0;
}

bool IsQuorvexNic(const Guid& guid) {
    QvTrace(u"-->IsQuorvexNic:");
    char16_t wanted[kGuidStringLength + 1];
    StringFromGuid(guid, wanted, kGuidStringLength + 1);

    bool found = false;
    bool quorvex = false;
    // Every adapter counts here, virtual ones of any provider included, so the walk is done on
    // the raw device list rather than through the team-adapter filter.
    ScopedDevInfo set(dev::GetClassDevs(&kGuidDevClassNet, nullptr, nullptr, kDigcfPresent));
    if (!set.valid()) {
        QvTrace(u"<--IsQuorvexNic: cannot open the device list");
        return false;
    }
    for (uint32_t index = 0; !found; ++index) {
        DevInfoData device{};
        device.cbSize = sizeof(device);
        if (!dev::EnumDeviceInfo(set.get(), index, &device)) break;
        ScopedKey driverKey(
            dev::OpenDevRegKey(set.get(), &device, kDicsFlagGlobal, 0, kDiregDrv, kKeyAllAccess));
        if (!driverKey.valid()) continue;
        OwnedU16 id;
        if (!ReadStringFromRegistry(driverKey.get(), u"NetCfgInstanceId", &id)) continue;
        if (std::u16string_view(id.get()) != std::u16string_view(wanted)) continue;
        found = true;
        OwnedU16 provider;
        quorvex = ReadStringFromRegistry(driverKey.get(), u"ProviderName", &provider) &&
                  std::u16string_view(provider.get()) == u"Quorvex";
    }
    QvTrace(found ? u"<--IsQuorvexNic:" : u"<--IsQuorvexNic: no adapter with that GUID");
    return quorvex;
}

}  // namespace qv
