#include "flash_commands.h"

#include "qv/qvtool/flash/flash_ops.h"
#include "qv/qvtool/flash/spi_master.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace flash {

uint32_t AddressBytes(uint32_t address) {
    const uint32_t a = address & ~3u;
    return ((a >> 16) & 0xFF) | (((a >> 8) & 0xFF) << 8) | ((a & 0xFF) << 16);
}

int StartAddressedCommand(HDevice device, uint32_t opcode, uint32_t address) {
    if (SpiWrite(device, 1, true, opcode) != kStatusSuccess) return kStatusFailure;
    return SpiWrite(device, 3, true, AddressBytes(address));
}

void AbandonCommand(HDevice device) {
    uint32_t ignored = 0;
    SpiRead(device, 1, &ignored);  // a read deselects the flash and sends it no data
}

int EnableWrite(HDevice device) {
    uint8_t status = 0;
    if (SpiWrite(device, 1, false, kOpWriteEnable) != kStatusSuccess ||
        ReadFlashStatus(device, &status) != kStatusSuccess || (status & kFlashStatusWriteEnabled) == 0) {
        return kStatusFailure;
    }
    return kStatusSuccess;
}

int DisableWrite(HDevice device) {
    return SpiWrite(device, 1, false, kOpWriteDisable);
}

bool FitsAddressSpace(uint32_t address, uint64_t count) {
    return (address & ~3u) + 4 * count <= kFlashAddressSpace;
}

}  // namespace flash

int ReadFlashStatus(HDevice device, uint8_t* status) {
    *status = 0;
    uint32_t value = 0;
    if (SpiWrite(device, 1, true, flash::kOpReadStatus) != kStatusSuccess) return kStatusFailure;
    if (SpiRead(device, 1, &value) != kStatusSuccess) return kStatusFailure;
    *status = static_cast<uint8_t>(value);
    return kStatusSuccess;
}

int WaitFlashReady(HDevice device, uint32_t maxPolls) {
    for (uint32_t poll = 0; poll < maxPolls; ++poll) {
        uint8_t status = 0;
        if (ReadFlashStatus(device, &status) != kStatusSuccess) return kStatusFailure;
        if ((status & kFlashStatusBusy) == 0) return kStatusSuccess;
    }
    return kStatusFailure;
}

}  // namespace qv::qvtool
