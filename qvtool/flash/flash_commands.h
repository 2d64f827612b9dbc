// The flash command set and the steps the operations share.
#pragma once

#include <cstdint>

#include "qv/platform/deviceio.h"

namespace qv::qvtool::flash {

constexpr uint32_t kOpWriteEnable = 0x06;
constexpr uint32_t kOpWriteDisable = 0x04;
constexpr uint32_t kOpReadStatus = 0x05;
constexpr uint32_t kOpSectorErase = 0xD8;
constexpr uint32_t kOpPageProgram = 0x02;
constexpr uint32_t kOpRead = 0x03;
constexpr uint32_t kOpReadSignature = 0xAB;  // sent with three dummy bytes in one 4-byte transfer

// The 3-byte transfer of an address: the address is rounded down to a word, and its most
// significant byte goes out first.
uint32_t AddressBytes(uint32_t address);
// Sends opcode and address, keeping the flash selected for the data that follows.
int StartAddressedCommand(HDevice device, uint32_t opcode, uint32_t address);
// Ends a command cut short by a failed transfer, without sending it another byte.
void AbandonCommand(HDevice device);
// Write enable, then a status read: fails when a request fails, the latch did not set or the flash
// is busy.
int EnableWrite(HDevice device);
// True when the status read as a program or erase ended shows the latch cleared, as the flash
// leaves it after the cycle; a command that the flash ignored leaves the latch set.
bool CycleRan(uint8_t lastStatus);
int DisableWrite(HDevice device);
// True when count words from address stay inside the 24-bit address space.
bool FitsAddressSpace(uint32_t address, uint64_t count);

}  // namespace qv::qvtool::flash
