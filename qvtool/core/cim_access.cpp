#include "qv/qvtool/cim_access.h"

#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

constexpr const char* kReadError = "Error reading cim register.\n";
constexpr const char* kWriteError = "Error writing cim register.\n";

// The address field of host_acc_ctrl. Addresses are cut to its sixteen bits so that a large
// offset can never set the write or busy bit of the command.
uint32_t AddressField(uint32_t address) {
    return address & kHostAccAddressMask;
}

int Fail(const char* message, std::FILE* out) {
    std::fputs(message, out);
    return kStatusFailure;
}

// Starts an access and waits for it; a failed start fails the wait at once.
int StartAndWait(HDevice device, uint32_t command) {
    if (RegisterWrite(device, kHostAccCtrl, command) != kStatusSuccess) return kStatusFailure;
    return CimBusyWait(device);
}

int ReadAt(HDevice device, uint32_t address, uint32_t* value, std::FILE* out) {
    if (StartAndWait(device, AddressField(address)) != kStatusSuccess) return Fail(kReadError, out);
    uint32_t data = 0;
    const int status = RegisterRead(device, kHostAccData, &data);
    *value = data;
    return status == kStatusSuccess ? kStatusSuccess : Fail(kReadError, out);
}

}  // namespace

int CimBusyWait(HDevice device) {
    for (int poll = 1; poll <= kBusyPollLimit; ++poll) {
        uint32_t ctrl = 0;
        if (RegisterRead(device, kHostAccCtrl, &ctrl) != kStatusSuccess) return kStatusFailure;
        if ((ctrl & kHostAccBusy) == 0) return poll < kBusyPollLimit ? kStatusSuccess : kStatusFailure;
    }
    return kStatusFailure;
}

int CimRead(HDevice device, uint32_t address, uint32_t* value, std::FILE* out) {
    return ReadAt(device, address, value, out);
}

int CimWrite(HDevice device, uint32_t address, uint32_t value, std::FILE* out) {
    if (RegisterWrite(device, kHostAccData, value) != kStatusSuccess) return Fail(kWriteError, out);
    if (StartAndWait(device, AddressField(address) | kHostAccWrite) != kStatusSuccess) {
        return Fail(kWriteError, out);
    }
    return kStatusSuccess;
}

int CimControlRead(HDevice device, uint32_t offset, uint32_t* value, std::FILE* out) {
    if (CimBusyWait(device) != kStatusSuccess) return Fail(kReadError, out);  // no access may be running
    return ReadAt(device, offset + kCimControlBase, value, out);
}

int CimControlWrite(HDevice device, uint32_t offset, uint32_t value, std::FILE* out) {
    return CimWrite(device, offset + kCimControlBase, value, out);
}

}  // namespace qv::qvtool
