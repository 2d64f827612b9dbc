// The simulated bus driver: answers each I/O-control function from the adapter's state, through
// the handler of its function number.
#include <algorithm>
#include <array>
#include <functional>

#include "adapter_info_answers.h"
#include "chip_answers.h"
#include "qv/platform/wintypes.h"
#include "qv/sim/n5/adapter.h"
#include "request_record.h"
#include "statistics_answers.h"

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kWordRecordSize = 8;  // offset u32, value u32
constexpr uint32_t kMdioRecordSize = 6;  // port u8, device u8, register u16, value u16

// A word record (offset u32, value u32) read through read: the value is written back into the
// record. failure is the status when the adapter refuses the offset.
template <auto read, int32_t failure>
int32_t WordRead(Adapter& a, const Request& r) {
    if (r.inSize < kWordRecordSize || r.outCapacity < kWordRecordSize) return kErrorInsufficientBuffer;
    uint32_t value = 0;
    if (!std::invoke(read, a, Get32(r.buffer), &value)) return failure;
    Put32(r.buffer + 4, value);
    return Answered(r, kWordRecordSize);
}

// A word record written through write; nothing is returned.
template <auto write, int32_t failure>
int32_t WordWrite(Adapter& a, const Request& r) {
    if (r.inSize < kWordRecordSize) return kErrorInsufficientBuffer;
    return std::invoke(write, a, Get32(r.buffer), Get32(r.buffer + 4)) ? kErrorSuccess : failure;
}

constexpr Handler RegisterRead = WordRead<&Adapter::ReadRegister, kErrorGenFailure>;
constexpr Handler RegisterWrite = WordWrite<&Adapter::WriteRegister, kErrorGenFailure>;
constexpr Handler ConfigRead = WordRead<&Adapter::ReadConfig, kErrorInvalidParameter>;
constexpr Handler ConfigWrite = WordWrite<&Adapter::WriteConfig, kErrorInvalidParameter>;

int32_t MdioRead(Adapter& a, const Request& r) {
    if (r.inSize < kMdioRecordSize || r.outCapacity < kMdioRecordSize) return kErrorInsufficientBuffer;
    uint16_t value = 0;
    if (!a.ReadMdio(r.buffer[0], r.buffer[1], Get16(r.buffer + 2), &value)) return kErrorInvalidParameter;
    Put16(r.buffer + 4, value);
    return Answered(r, kMdioRecordSize);
}

int32_t MdioWrite(Adapter& a, const Request& r) {
    if (r.inSize < kMdioRecordSize) return kErrorInsufficientBuffer;
    if (!a.WriteMdio(r.buffer[0], r.buffer[1], Get16(r.buffer + 2), Get16(r.buffer + 4))) {
        return kErrorInvalidParameter;
    }
    return Answered(r, r.outCapacity < kMdioRecordSize ? 0 : kMdioRecordSize);
}

// Functions 5 and 6: one SPI transfer of the serial flash. Byte 0 is the byte count (1 to 4),
// byte 1 the keep-selected flag of a write, bytes 4-7 the data, first byte least significant.
constexpr uint32_t kFlashRecordSize = 8;

int32_t FlashRead(Adapter& a, const Request& r) {
    if (r.inSize < kFlashRecordSize || r.outCapacity < kFlashRecordSize) return kErrorInsufficientBuffer;
    uint32_t data = 0;
    if (!SerialFlashRead(&a.state().flash, r.buffer[0], &data)) return kErrorInvalidParameter;
    Put32(r.buffer + 4, data);
    return Answered(r, kFlashRecordSize);
}

int32_t FlashWrite(Adapter& a, const Request& r) {
    if (r.inSize < kFlashRecordSize) return kErrorInsufficientBuffer;
    const bool ok = SerialFlashWrite(&a.state().flash, r.buffer[0], r.buffer[1] != 0, Get32(r.buffer + 4));
    return ok ? kErrorSuccess : kErrorInvalidParameter;
}

// Function 25: a 20-byte record (its own I/O-control code, the memory kind, the address, the
// length, a word not filled in) in; min(length, output capacity) bytes of that memory out.
constexpr uint32_t kMemoryReadRecordSize = 20;

int32_t MemoryRead(Adapter& a, const Request& r) {
    if (r.inSize < kMemoryReadRecordSize) return kErrorInsufficientBuffer;
    const uint32_t kind = Get32(r.buffer + 4);
    const uint32_t address = Get32(r.buffer + 8);
    const uint32_t length = std::min(Get32(r.buffer + 12), r.outCapacity);
    StateFile& s = a.state();
    if (!ReadConnectionMemory(s.connections, s.registers, kind, address, r.buffer, length))
        return kErrorInvalidParameter;
    return Answered(r, length);
}

// Functions 18 to 24: one TP table each.
template <uint32_t table>
int32_t TpTable(Adapter& a, const Request& r) {
    return TpTableRead(a, r, table);
}

// The handler of each function; functions without one are not supported by this driver.
constexpr std::array<Handler, kMaxFunction + 1> MakeHandlers() {
    std::array<Handler, kMaxFunction + 1> h{};
    h[1] = RegisterRead;
    h[2] = RegisterWrite;
    h[3] = ConfigRead;
    h[4] = ConfigWrite;
    h[5] = FlashRead;
    h[6] = FlashWrite;
    h[7] = MdioRead;
    h[8] = MdioWrite;
    h[9] = QueueContextRead;
    h[10] = AnswerIndexedStats<&Statistics::portLink>;
    h[11] = AnswerIndexedStats<&Statistics::mac>;
    h[12] = AnswerIndexedStats<&Statistics::qset>;
    h[13] = AnswerStats<&Statistics::interrupts>;
    h[14] = AnswerStats<&Statistics::ip>;
    h[15] = AnswerStats<&Statistics::tcp>;
    h[16] = AnswerStats<&Statistics::offload>;
    h[17] = AnswerConnectionStats;
    h[18] = TpTable<0>;
    h[19] = TpTable<1>;
    h[20] = TpTable<2>;
    h[21] = TpTable<3>;
    h[22] = TpTable<4>;
    h[23] = TpTable<5>;
    h[24] = TpTable<6>;
    h[25] = MemoryRead;
    h[26] = VersionInfo;
    h[28] = TraceBuffer;
    h[29] = QsetParam;
    h[30] = DescriptorRead;
    h[31] = PortIdentify;
    return h;
}
constexpr std::array<Handler, kMaxFunction + 1> kHandlers = MakeHandlers();

}  // namespace

int32_t Adapter::HandleRequest(uint32_t function, uint8_t* buffer, uint32_t inSize, uint32_t outCapacity,
                               uint32_t* returned) {
    *returned = 0;
    ++state_->counters.requests;
    if (function > kMaxFunction) return kErrorNotSupported;
    ++state_->counters.functionRequests[function];
    if (kHandlers[function] == nullptr) return kErrorNotSupported;
    if ((state_->faults.failingFunctions >> function) & 1u) return kErrorGenFailure;
    uint32_t& countdown = state_->faults.failAfterRequests;
    if (countdown > 0 && --countdown == 0) return kErrorGenFailure;
    if (buffer == nullptr && (inSize != 0 || outCapacity != 0)) return kErrorInvalidParameter;
    return kHandlers[function](*this, Request{buffer, inSize, outCapacity, returned});
}

void RegisterAsBusDriver() {
    RegisterBusDriver(
        [](const std::filesystem::path& stateFile, int32_t* error) -> std::unique_ptr<BusDevice> {
            return Adapter::Open(stateFile, error);
        });
}

}  // namespace qv::sim::n5
