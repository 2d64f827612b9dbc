// The bus driver's I/O-control requests: codes and the fixed little-endian records of the register,
// configuration-space, serial-flash and MDIO functions. Each record is handed to the driver as input and,
// where the function answers, as output buffer, so the answer overwrites the request in place.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "qv/platform/deviceio.h"

namespace qv::qvtool {

static_assert(std::endian::native == std::endian::little, "the records are sent in host byte order");

constexpr uint32_t kBusDriverDeviceType = 0x6800;

enum class IoFunction : uint32_t {
    kRegisterRead = 1,
    kRegisterWrite = 2,
    kConfigRead = 3,
    kConfigWrite = 4,
    kFlashRead = 5,
    kFlashWrite = 6,
    kMdioRead = 7,
    kMdioWrite = 8,
    kQueueContextRead = 9,
    kPortLink = 10,
    kMacStats = 11,
    kQsetStats = 12,
    kInterruptStats = 13,
    kIpStats = 14,
    kTcpStats = 15,
    kOffloadStats = 16,
    kConnectionStats = 17,
    kPaceTable = 18,
    kCctrlTable = 19,
    kTosTable = 20,
    kMtuTable = 21,
    kMapTable = 22,
    kLkpTable = 23,
    kTxModTable = 24,
    kMemoryRead = 25,
    kVersionInfo = 26,
    kTraceBuffer = 28,
    kQsetParam = 29,
    kDescriptorRead = 30,
    kPortIdentify = 31,
};

constexpr uint32_t IoControlCode(IoFunction function) {
    return CtlCodeBuffered(kBusDriverDeviceType, static_cast<uint32_t>(function));
}

#pragma pack(push, 1)

// Functions 1 to 4: a register or configuration-space word.
struct RegisterRecord {
    uint32_t offset;
    uint32_t value;
};

// Functions 7 and 8: one MDIO register of a port's PHY.
struct MdioRecord {
    uint8_t port;
    uint8_t device;  // kMdioNoDevice: an access without a device address
    uint16_t reg;
    uint16_t value;
};

// Functions 5 and 6: one SPI transfer of the serial flash.
struct FlashTransferRecord {
    uint8_t count;         // bytes to send or receive, 1 to 4
    uint8_t keepSelected;  // write only: 1 keeps the flash selected after the transfer
    uint16_t reserved;
    uint32_t data;  // the bytes, the first one in the least significant byte
};

#pragma pack(pop)

constexpr uint8_t kMdioNoDevice = 0xFF;

static_assert(sizeof(RegisterRecord) == 8);
static_assert(offsetof(RegisterRecord, offset) == 0 && offsetof(RegisterRecord, value) == 4);
static_assert(sizeof(MdioRecord) == 6);
static_assert(offsetof(MdioRecord, port) == 0 && offsetof(MdioRecord, device) == 1);
static_assert(offsetof(MdioRecord, reg) == 2 && offsetof(MdioRecord, value) == 4);
static_assert(sizeof(FlashTransferRecord) == 8);
static_assert(offsetof(FlashTransferRecord, keepSelected) == 1 && offsetof(FlashTransferRecord, data) == 4);

}  // namespace qv::qvtool
