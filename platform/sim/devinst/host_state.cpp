// Simulator-only device and host values under SOFTWARE\QvSim.
#include "qv/sim/host_state.h"

#include <algorithm>
#include <random>

#include "qv/sim/device_database.h"
#include "qv/sim/reg_key.h"

namespace qv::sim {
namespace {

std::optional<uint32_t> ReadDword(const std::u16string& path, std::u16string_view valueName) {
    RegKey key;
    if (RegKey::Open(path, kKeyQueryValue, &key) != kErrorSuccess) return std::nullopt;
    return key.ReadDword(valueName);
}

bool WriteDword(const std::u16string& path, std::u16string_view valueName, uint32_t value) {
    RegKey key;
    if (RegKey::Create(path, &key) != kErrorSuccess) return false;
    return key.WriteDword(valueName, value) == kErrorSuccess;
}

}  // namespace

Guid NewRandomGuid() {
    std::random_device random;
    Guid guid{};
    guid.data1 = random();
    guid.data2 = static_cast<uint16_t>(random());
    guid.data3 = static_cast<uint16_t>((random() & 0x0FFF) | 0x4000);  // version 4
    for (auto& byte : guid.data4) byte = static_cast<uint8_t>(random());
    guid.data4[0] = static_cast<uint8_t>((guid.data4[0] & 0x3F) | 0x80);
    return guid;
}

std::u16string DeviceStateKeyName(std::u16string_view instanceId) {
    std::u16string name(instanceId);
    std::replace(name.begin(), name.end(), u'\\', u'#');
    return name;
}

std::optional<uint32_t> ReadDeviceState(std::u16string_view instanceId, std::u16string_view valueName) {
    return ReadDword(DeviceStatePath(instanceId), valueName);
}

bool WriteDeviceState(std::u16string_view instanceId, std::u16string_view valueName, uint32_t value) {
    return WriteDword(DeviceStatePath(instanceId), valueName, value);
}

bool IsDevicePresent(std::u16string_view instanceId) {
    return ReadDeviceState(instanceId, kStatePresent).value_or(1) != 0;
}

bool IsDeviceDisabled(std::u16string_view instanceId) {
    return ReadDeviceState(instanceId, kStateDisabled).value_or(0) != 0;
}

std::optional<uint32_t> ReadHostValue(std::u16string_view valueName) {
    return ReadDword(std::u16string(kSimHostPath), valueName);
}

bool WriteHostValue(std::u16string_view valueName, uint32_t value) {
    return WriteDword(std::u16string(kSimHostPath), valueName, value);
}

}  // namespace qv::sim
