// The check -p makes before it erases anything: which part is the flash, and is it ready for
// commands. A run killed half-way can leave the flash selected in the middle of a command or busy
// with a program or erase cycle; then it ignores (or misreads) what comes next, so the check first
// ends the open transfer and waits for the cycle, and only a flash that then answers as a part of
// the parts table is erased.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/flash/flash_parts.h"

namespace qv::qvtool {

// What the flash showed: whether its status and signature could be read at all, whether it went
// idle within the poll limit, and the signature byte.
struct FlashProbe {
    bool answered = false;
    bool idle = false;
    uint8_t signature = 0;
};

// The part the probe shows, or null after printing why the flash is refused and what to do.
const FlashPart* AcceptFlashPart(const FlashProbe& probe, std::FILE* out);

// Ends an open transfer, waits until the flash is idle (at most kEraseReadyPolls status polls) and
// reads its signature, printing "Reading Device ID from serial flash..." and the ID as the
// programming always has; then AcceptFlashPart.
const FlashPart* IdentifyFlashPart(HDevice device, std::FILE* out);

}  // namespace qv::qvtool
