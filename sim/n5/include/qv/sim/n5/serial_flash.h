// The adapter's serial flash: an SPI NOR part of the 8-Mbit class (1 MiB in sixteen 64 KiB sectors,
// 256-byte program pages), driven one SPI transfer at a time as the bus driver's serial-flash
// requests carry them. Its whole state, the contents included, lives in the adapter's state file.
//
// What it does, as the real part does:
// - a transfer asserts chip select if it is not asserted; the first byte after that is the opcode;
//   a transfer that does not keep the part selected ends the command (chip select goes high);
// - write enable (0x06) and write disable (0x04) set and clear the write-enable latch when the
//   command ends; the latch is cleared when a program or an erase completes;
// - page program (0x02) and sector erase (0xD8) start when the command ends after exactly three
//   address bytes (and, for a program, at least one data byte), and only with the latch set;
//   programming only clears bits; data past the page's end wraps to the page's start; an erase
//   sets its sector to 0xFF;
// - while a program or erase runs (kProgramBusyPolls or kEraseBusyPolls status reads) the status
//   register shows busy and every command except read status (0x05) is ignored;
// - read (0x03) streams bytes from the address and wraps at the end of the part; read electronic
//   signature (0xAB) answers kSignature after three dummy bytes.
#pragma once

#include <cstdint>

namespace qv::sim::n5 {

constexpr uint32_t kFlashBytes = 1024 * 1024;
constexpr uint32_t kFlashSectorBytes = 64 * 1024;
constexpr uint32_t kFlashPageBytes = 256;

// Status register bits.
constexpr uint8_t kFlashStatusBusy = 0x01;
constexpr uint8_t kFlashStatusWriteEnabled = 0x02;

struct SerialFlashPart {
    static constexpr uint8_t kSignature = 0x13;
    // Status reads that still show busy after a command starts a program or an erase.
    static constexpr uint32_t kProgramBusyPolls = 2;
    static constexpr uint32_t kEraseBusyPolls = 12;
};

struct SerialFlashFaults {
    uint8_t neverReady;          // 1: a program or erase never completes: busy for good
    uint8_t writeEnableIgnored;  // 1: write enable does not set the latch
    uint8_t reserved[2];
};

// The part's state. Plain data: it is mapped from the adapter's state file.
struct SerialFlash {
    uint8_t memory[kFlashBytes];
    uint8_t pageLatch[kFlashPageBytes];  // data of the running page program, 0xFF where not sent
    uint8_t writeEnabled;                // the write-enable latch
    uint8_t selected;                    // chip select asserted: a command is open
    uint8_t opcode;
    uint8_t ignored;        // the open command is ignored (busy, or not a known command)
    uint32_t addressBytes;  // address (or dummy) bytes received by the open command
    uint32_t address;       // address of the open command; advances as data moves
    uint32_t dataBytes;     // data bytes moved by the open command
    uint32_t busyPolls;     // status reads left that show busy
    SerialFlashFaults faults;
};

// Power-on state: erased, latch clear, not selected, no faults.
void PowerOnSerialFlash(SerialFlash* flash);
// One SPI transfer out of the tool: count bytes (1 to 4), the first from data's least significant
// byte. False for a count outside 1 to 4 (nothing is sent).
bool SerialFlashWrite(SerialFlash* flash, uint32_t count, bool keepSelected, uint32_t data);
// One SPI transfer into the tool: count bytes (1 to 4), the first in the least significant byte;
// the part is deselected afterwards. False for a count outside 1 to 4.
bool SerialFlashRead(SerialFlash* flash, uint32_t count, uint32_t* data);

}  // namespace qv::sim::n5
