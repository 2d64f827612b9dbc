// Helpers of the device-installation suites: a root-enumerated Net device made through the port,
// device lists and properties, and registry probes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/sim/reg_key.h"
#include "qv/testing/bytes.h"

namespace qv::testing {

inline std::vector<uint8_t> MultiSz(std::u16string_view id) {
    return MultiStringBytes({id});
}

inline std::u16string DeviceIdOf(uint32_t devInst) {
    char16_t buffer[kMaxDeviceIdLength] = {};
    if (dev::GetDeviceId(devInst, buffer, kMaxDeviceIdLength, 0) != kCrSuccess) return u"?";
    return buffer;
}

// The instance ids of the devices of class cls that GetClassDevs lists (of one enumerator if given).
inline std::vector<std::u16string> DeviceIds(const Guid& cls, const char16_t* enumerator = nullptr,
                                             uint32_t flags = kDigcfPresent) {
    std::vector<std::u16string> ids;
    HDevInfo set = dev::GetClassDevs(&cls, enumerator, nullptr, flags);
    EXPECT_NE(set, kInvalidDevInfo);
    DevInfoData device;
    for (uint32_t i = 0; dev::EnumDeviceInfo(set, i, &device); ++i) ids.push_back(DeviceIdOf(device.devInst));
    EXPECT_EQ(GetLastError(), kErrorNoMoreItems);
    EXPECT_TRUE(dev::DestroyDeviceInfoList(set));
    return ids;
}

// A text property of the device, "?" when it cannot be read.
inline std::u16string StringProperty(HDevInfo set, DevInfoData* device, uint32_t property) {
    alignas(char16_t) uint8_t buffer[1024] = {};
    if (!dev::GetDeviceRegistryProperty(set, device, property, nullptr, buffer, sizeof buffer - 2, nullptr))
        return u"?";
    return reinterpret_cast<const char16_t*>(buffer);
}

inline bool KeyExists(const std::u16string& path) {
    sim::RegKey key;
    return sim::RegKey::Open(path, kKeyRead, &key) == kErrorSuccess;
}

// A device of class Net with a generated id in a set of its own, its hardware id set, registered
// when asked. The set is destroyed with the object.
class NetDevice {
  public:
    explicit NetDevice(bool registerIt = true, std::u16string_view hardwareId = u"QV_QVTEAMMP") {
        set_ = dev::CreateDeviceInfoList(&kGuidDevClassNet, nullptr);
        EXPECT_NE(set_, kInvalidDevInfo);
        EXPECT_TRUE(dev::CreateDeviceInfo(set_, u"Net", kGuidDevClassNet, nullptr, nullptr,
                                          kDicdGenerateId | kDicdInheritClassdrvs, &device_));
        const auto ids = MultiSz(hardwareId);
        EXPECT_TRUE(dev::SetDeviceRegistryProperty(set_, &device_, kSpdrpHardwareId, ids.data(),
                                                   static_cast<uint32_t>(ids.size())));
        if (registerIt) {
            EXPECT_TRUE(dev::CallClassInstaller(kDifRegisterDevice, set_, &device_));
        }
        id_ = DeviceIdOf(device_.devInst);
    }
    ~NetDevice() { dev::DestroyDeviceInfoList(set_); }
    NetDevice(const NetDevice&) = delete;
    NetDevice& operator=(const NetDevice&) = delete;

    HDevInfo set() const { return set_; }
    DevInfoData* device() { return &device_; }
    const std::u16string& id() const { return id_; }
    std::u16string NodePath() const { return u"SYSTEM\\CurrentControlSet\\Enum\\" + id_; }

  private:
    HDevInfo set_ = kInvalidDevInfo;
    DevInfoData device_;
    std::u16string id_;
};

}  // namespace qv::testing
