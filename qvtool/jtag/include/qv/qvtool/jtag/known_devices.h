// The devices the tool knows on an adapter's JTAG chain, as data: FPGAs and their configuration
// PROMs. A device is identified by the IDCODE it shifts out after a reset; the row then tells
// the length of its instruction register, its IDCODE and configure instructions and how many
// configuration bits it takes. Lookup takes the first row whose IDCODE matches.
#pragma once

#include <cstdint>
#include <span>

namespace qv::qvtool {

constexpr uint32_t kJtagDeviceNameMax = 15;  // characters of a device name

struct JtagDevice {
    const char* name;
    uint32_t idcode;
    uint32_t irLength;  // bits of the instruction register
    uint32_t idcodeInstruction;
    uint32_t configureInstruction;
    uint32_t configBits;  // configuration size in bits
};

std::span<const JtagDevice> KnownJtagDevices();
// The first known device with this IDCODE; null for an unknown one.
const JtagDevice* FindJtagDevice(uint32_t idcode);
// The first known device with this name (compared exactly); null for an unknown one.
const JtagDevice* FindJtagDeviceByName(const char* name);
// The device's configuration size in bytes (rounded up): the most a bit-stream for it may hold.
uint32_t JtagConfigBytes(const JtagDevice& device);
// The configuration size of the largest known device, in bytes (rounded up).
uint32_t LargestJtagConfigBytes();

}  // namespace qv::qvtool
