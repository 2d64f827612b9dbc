// The capability walk and single-word accesses of the VPD capability.
#include <bitset>

#include "qv/qvtool/eeprom/vpd_access.h"

namespace qv::qvtool {
namespace {

// Polls the address register until the completion flag reads `set`.
int WaitForFlag(const VpdPort& port, bool set) {
    for (uint32_t poll = 0; poll < kVpdPollLimit; ++poll) {
        uint32_t word = 0;
        if (ConfigRead(port.device, port.capability, &word) != kStatusSuccess) return kStatusFailure;
        if (((word & kVpdCompletionFlag) != 0) == set) return kStatusSuccess;
    }
    if (port.progress != nullptr) port.progress->Clear();
    std::fputs(kVpdNotCompleteMessage, port.out);
    return kStatusFailure;
}

}  // namespace

int FindVpdCapability(HDevice device, uint32_t* capability) {
    *capability = 0;
    uint32_t word = 0;
    if (ConfigRead(device, kCapabilityListPointer, &word) != kStatusSuccess) return kStatusFailure;
    uint32_t pointer = word & 0xFF;
    std::bitset<256 / 4> visited;
    for (uint32_t hops = 0; hops < kMaxCapabilityHops && pointer >= kFirstCapabilityOffset; ++hops) {
        const uint32_t at = pointer & ~3u;
        if (visited[at / 4]) break;  // a loop in the list
        visited.set(at / 4);
        if (ConfigRead(device, at, &word) != kStatusSuccess) break;
        if ((word & 0xFF) == kVpdCapabilityId) {
            *capability = at;
            return kStatusSuccess;
        }
        pointer = (word >> 8) & 0xFF;
    }
    return kStatusFailure;
}

int VpdReadWord(const VpdPort& port, uint32_t address, uint32_t* value) {
    *value = 0xFFFFFFFF;
    // Address in bits 16-30 with the flag clear starts a read; the flag goes to 1 when it is done.
    if (ConfigWrite(port.device, port.capability, (address & 0x7FFC) << 16) != kStatusSuccess ||
        WaitForFlag(port, true) != kStatusSuccess) {
        return kStatusFailure;
    }
    uint32_t data = 0;
    if (ConfigRead(port.device, port.capability + 4, &data) != kStatusSuccess) return kStatusFailure;
    *value = data;
    return kStatusSuccess;
}

int VpdWriteWord(const VpdPort& port, uint32_t address, uint32_t value) {
    // The data first, then the address with the flag set; the flag goes to 0 when it is written.
    if (ConfigWrite(port.device, port.capability + 4, value) != kStatusSuccess ||
        ConfigWrite(port.device, port.capability, ((address & 0xFFFC) | 0x8000) << 16) != kStatusSuccess) {
        return kStatusFailure;
    }
    return WaitForFlag(port, false);
}

}  // namespace qv::qvtool
