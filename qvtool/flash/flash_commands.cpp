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
        ReadFlashStatus(device, &status) != kStatusSuccess) {
        return kStatusFailure;
    }
    // A busy flash ignores the next command whatever its latch shows (the latch of the running
    // cycle stays set until it completes).
    return (status & (kFlashStatusWriteEnabled | kFlashStatusBusy)) == kFlashStatusWriteEnabled
               ? kStatusSuccess
               : kStatusFailure;
}

bool CycleRan(uint8_t lastStatus) {
    return (lastStatus & kFlashStatusWriteEnabled) == 0;
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

int WaitFlashReady(HDevice device, uint32_t maxPolls, uint8_t* lastStatus) {
    uint8_t status = 0;
    int result = kStatusFailure;
    for (uint32_t poll = 0; poll < maxPolls; ++poll) {
        if (ReadFlashStatus(device, &status) != kStatusSuccess) break;
        if ((status & kFlashStatusBusy) == 0) {
            result = kStatusSuccess;
            break;
        }
    }
    if (lastStatus != nullptr) *lastStatus = status;
    return result;
}

}  // namespace qv::qvtool
