#include "qv/qvtool/flash/flash_identify.h"

#include "flash_commands.h"
#include "qv/qvtool/flash/flash_ops.h"

namespace qv::qvtool {

const FlashPart* AcceptFlashPart(const FlashProbe& probe, std::FILE* out) {
    const FlashPart* part = probe.answered && probe.idle ? FindFlashPart(probe.signature) : nullptr;
    if (part != nullptr) return part;
    if (!probe.answered) {
        std::fputs("The serial flash does not answer: nothing was erased.\n", out);
    } else if (!probe.idle) {
        std::fprintf(out, "The serial flash stays busy (device ID 0x%02X): nothing was erased.\n",
                     probe.signature);
    } else {
        std::fprintf(
            out, "The serial flash does not answer as a known part (device ID 0x%02X): nothing was erased.\n",
            probe.signature);
    }
    std::fputs("Power-cycle the server or run the command again.\n", out);
    return nullptr;
}

const FlashPart* IdentifyFlashPart(HDevice device, std::FILE* out) {
    // A transfer left open by an interrupted run would take the next bytes as its own.
    flash::AbandonCommand(device);
    FlashProbe probe;
    uint8_t status = 0;
    probe.idle = WaitFlashReady(device, kEraseReadyPolls, &status) == kStatusSuccess;
    const bool signatureRead = ReportFlashSignature(device, out, &probe.signature) == kStatusSuccess;
    // A failed status read leaves the status 0: not busy, yet not idle either.
    probe.answered = signatureRead && (probe.idle || (status & kFlashStatusBusy) != 0);
    return AcceptFlashPart(probe, out);
}

}  // namespace qv::qvtool
