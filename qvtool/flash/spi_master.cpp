#include "qv/qvtool/flash/spi_master.h"

#include "qv/qvtool/ioctl_records.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

bool ValidCount(uint32_t count) {
    return count >= 1 && count <= 4;
}

}  // namespace

int SpiWrite(HDevice device, uint32_t count, bool keepSelected, uint32_t data) {
    if (!ValidCount(count)) return kStatusFailure;
    FlashTransferRecord record{static_cast<uint8_t>(count), static_cast<uint8_t>(keepSelected ? 1 : 0), 0,
                               data};
    return SendRequest(device, IoFunction::kFlashWrite, &record, sizeof record, nullptr, 0) ? kStatusSuccess
                                                                                            : kStatusFailure;
}

int SpiRead(HDevice device, uint32_t count, uint32_t* data) {
    *data = 0;
    if (!ValidCount(count)) return kStatusFailure;
    FlashTransferRecord record{static_cast<uint8_t>(count), 0, 0, 0};
    const bool ok =
        SendRequest(device, IoFunction::kFlashRead, &record, sizeof record, &record, sizeof record);
    if (!ok) return kStatusFailure;
    // Only the bytes asked for: the rest of the answer is not the flash's.
    *data = count == 4 ? record.data : record.data & ((1u << (8 * count)) - 1);
    return kStatusSuccess;
}

}  // namespace qv::qvtool
