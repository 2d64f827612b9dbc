#include "qv/qvtool/jtag/known_devices.h"

#include <algorithm>
#include <cstring>

namespace qv::qvtool {
namespace {

// The second XCF08P row (8-bit instruction register) is never found by IDCODE: the first row with
// the same IDCODE wins. It stays so that the table describes both variants of the part.
constexpr JtagDevice kDevices[] = {
    {.name = "XCF01S",
     .idcode = 0x05044093,
     .irLength = 8,
     .idcodeInstruction = 0xFE,
     .configureInstruction = 0,
     .configBits = 0x00100000},
    {.name = "XCF08P",
     .idcode = 0xF5057093,
     .irLength = 16,
     .idcodeInstruction = 0xFE,
     .configureInstruction = 0,
     .configBits = 0x00800000},
    {.name = "XCF08P",
     .idcode = 0xF5057093,
     .irLength = 8,
     .idcodeInstruction = 0xFE,
     .configureInstruction = 0,
     .configBits = 0x00800000},
    {.name = "XC2VP20",
     .idcode = 0x31266093,
     .irLength = 14,
     .idcodeInstruction = 0x3FC9,
     .configureInstruction = 0x3FC5,
     .configBits = 0x007D5860},
    {.name = "XC2VP30",
     .idcode = 0x1127E093,
     .irLength = 14,
     .idcodeInstruction = 0x3FC9,
     .configureInstruction = 0x3FC5,
     .configBits = 0x00B51860},
    {.name = "XC2VP50",
     .idcode = 0x1129E093,
     .irLength = 14,
     .idcodeInstruction = 0x3FC9,
     .configureInstruction = 0x3FC5,
     .configBits = 0x01223E60},
    {.name = "XC2VP70",
     .idcode = 0x112BE093,
     .irLength = 14,
     .idcodeInstruction = 0x3FC9,
     .configureInstruction = 0x3FC5,
     .configBits = 0x018E3D60},
    {.name = "XC2VP70",
     .idcode = 0x112BA093,
     .irLength = 14,
     .idcodeInstruction = 0x3FC9,
     .configureInstruction = 0x3FC5,
     .configBits = 0x018E3D60},
    {.name = "XC2VP100",
     .idcode = 0x012D6093,
     .irLength = 14,
     .idcodeInstruction = 0x3FC9,
     .configureInstruction = 0x3FC5,
     .configBits = 0x020B4460},
};

}  // namespace

std::span<const JtagDevice> KnownJtagDevices() {
    return kDevices;
}

const JtagDevice* FindJtagDevice(uint32_t idcode) {
    for (const JtagDevice& device : kDevices) {
        if (device.idcode == idcode) return &device;
    }
    return nullptr;
}

const JtagDevice* FindJtagDeviceByName(const char* name) {
    for (const JtagDevice& device : kDevices) {
        if (std::strcmp(device.name, name) == 0) return &device;
    }
    return nullptr;
}

uint32_t JtagConfigBytes(const JtagDevice& device) {
    return device.configBits / 8 + (device.configBits % 8 != 0 ? 1 : 0);
}

uint32_t LargestJtagConfigBytes() {
    uint32_t bytes = 0;
    for (const JtagDevice& device : kDevices) bytes = std::max(bytes, JtagConfigBytes(device));
    return bytes;
}

}  // namespace qv::qvtool
