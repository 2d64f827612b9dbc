// The simulated serial flash part: a command decoder fed byte by byte from the SPI transfers, and
// the program and erase cycles it starts when chip select goes high.
#include "qv/sim/n5/serial_flash.h"

#include <cstring>

namespace qv::sim::n5 {
namespace {

constexpr uint8_t kOpWriteEnable = 0x06;
constexpr uint8_t kOpWriteDisable = 0x04;
constexpr uint8_t kOpReadStatus = 0x05;
constexpr uint8_t kOpSectorErase = 0xD8;
constexpr uint8_t kOpPageProgram = 0x02;
constexpr uint8_t kOpRead = 0x03;
constexpr uint8_t kOpReadSignature = 0xAB;

constexpr uint32_t kAddressBytes = 3;
constexpr uint8_t kIdleLine = 0xFF;  // what the tool reads when the part drives nothing

bool TakesAddress(uint8_t opcode) {
    return opcode == kOpSectorErase || opcode == kOpPageProgram || opcode == kOpRead ||
           opcode == kOpReadSignature;
}

bool Known(uint8_t opcode) {
    return TakesAddress(opcode) || opcode == kOpWriteEnable || opcode == kOpWriteDisable ||
           opcode == kOpReadStatus;
}

void OpenCommand(SerialFlash* f, uint8_t opcode) {
    f->selected = 1;
    f->opcode = opcode;
    f->addressBytes = 0;
    f->address = 0;
    f->dataBytes = 0;
    // While a cycle runs the part answers only status reads.
    f->ignored = (!Known(opcode) || (f->busyPolls > 0 && opcode != kOpReadStatus)) ? 1 : 0;
    if (opcode == kOpPageProgram) std::memset(f->pageLatch, 0xFF, sizeof f->pageLatch);
}

void ShiftIn(SerialFlash* f, uint8_t byte) {
    if (!f->selected) {
        OpenCommand(f, byte);
        return;
    }
    if (f->ignored) return;
    if (TakesAddress(f->opcode) && f->addressBytes < kAddressBytes) {
        f->address = ((f->address << 8) | byte) % kFlashBytes;  // most significant byte first
        ++f->addressBytes;
        return;
    }
    if (f->opcode == kOpPageProgram) f->pageLatch[(f->address + f->dataBytes) % kFlashPageBytes] = byte;
    ++f->dataBytes;
}

uint8_t ShiftOut(SerialFlash* f) {
    if (!f->selected || f->ignored) return kIdleLine;
    switch (f->opcode) {
        case kOpReadStatus: {
            const uint8_t status = static_cast<uint8_t>((f->busyPolls > 0 ? kFlashStatusBusy : 0) |
                                                        (f->writeEnabled ? kFlashStatusWriteEnabled : 0));
            // The running cycle advances with each poll; the latch clears when it completes.
            if (f->faults.neverReady == 0 && f->busyPolls > 0 && --f->busyPolls == 0) f->writeEnabled = 0;
            return status;
        }
        case kOpRead: {
            if (f->addressBytes < kAddressBytes) return kIdleLine;
            const uint8_t byte = f->memory[f->address];
            f->address = (f->address + 1) % kFlashBytes;
            ++f->dataBytes;
            return byte;
        }
        case kOpReadSignature:
            if (f->addressBytes < kAddressBytes) {
                ++f->addressBytes;  // the clocks of a read count as the dummy bytes
                return kIdleLine;
            }
            return SerialFlashPart::kSignature;
        default:
            return kIdleLine;
    }
}

// A program or erase cycle: busy for `polls` status reads (for good while neverReady is on, since
// the polls do not count down then).
void StartCycle(SerialFlash* f, uint32_t polls) {
    f->busyPolls = (polls == 0 && f->faults.neverReady != 0) ? 1 : polls;
    if (f->busyPolls == 0) f->writeEnabled = 0;
}

// Chip select goes high: write enable, write disable, program and erase take effect now.
void CloseCommand(SerialFlash* f) {
    if (!f->selected) return;
    f->selected = 0;
    if (f->ignored) return;
    const bool exactAddress = f->addressBytes == kAddressBytes;
    switch (f->opcode) {
        case kOpWriteEnable:
            if (f->dataBytes == 0 && f->faults.writeEnableIgnored == 0) f->writeEnabled = 1;
            break;
        case kOpWriteDisable:
            if (f->dataBytes == 0) f->writeEnabled = 0;
            break;
        case kOpSectorErase:
            if (f->writeEnabled && exactAddress && f->dataBytes == 0) {
                std::memset(f->memory + (f->address & ~(kFlashSectorBytes - 1)), 0xFF, kFlashSectorBytes);
                StartCycle(f, SerialFlashPart::kEraseBusyPolls);
            }
            break;
        case kOpPageProgram:
            if (f->writeEnabled && exactAddress && f->dataBytes > 0) {
                uint8_t* page = f->memory + (f->address & ~(kFlashPageBytes - 1));
                for (uint32_t i = 0; i < kFlashPageBytes; ++i) page[i] &= f->pageLatch[i];
                StartCycle(f, SerialFlashPart::kProgramBusyPolls);
            }
            break;
        default:
            break;
    }
}

bool ValidCount(uint32_t count) {
    return count >= 1 && count <= 4;
}

}  // namespace

void PowerOnSerialFlash(SerialFlash* flash) {
    std::memset(flash, 0, sizeof *flash);
    std::memset(flash->memory, 0xFF, sizeof flash->memory);
    std::memset(flash->pageLatch, 0xFF, sizeof flash->pageLatch);
}

bool SerialFlashWrite(SerialFlash* flash, uint32_t count, bool keepSelected, uint32_t data) {
    if (!ValidCount(count)) return false;
    for (uint32_t i = 0; i < count; ++i) ShiftIn(flash, static_cast<uint8_t>(data >> (8 * i)));
    if (!keepSelected) CloseCommand(flash);
    return true;
}

bool SerialFlashRead(SerialFlash* flash, uint32_t count, uint32_t* data) {
    if (!ValidCount(count)) return false;
    uint32_t value = 0;
    for (uint32_t i = 0; i < count; ++i) value |= static_cast<uint32_t>(ShiftOut(flash)) << (8 * i);
    CloseCommand(flash);
    *data = value;
    return true;
}

}  // namespace qv::sim::n5
