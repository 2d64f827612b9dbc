// The registers of the CIM's debug interfaces: the logic analyser's control word in CIM queue
// space (a read request loads the data word from the capture), and the queue debug registers (a
// start loads the data register with one entry of the selected queue).
#include "chip_answers.h"

namespace qv::sim::n5 {
namespace {

constexpr uint32_t kLaControl = 0x80;
constexpr uint32_t kLaData = 0x84;
constexpr uint32_t kLaReadRequest = 1u << 1;

constexpr uint32_t kIbqDbgCfg = 0x2C0;
constexpr uint32_t kObqDbgCfg = 0x2C4;
constexpr uint32_t kIbqDbgData = 0x2C8;
constexpr uint32_t kObqDbgData = 0x2CC;
constexpr uint32_t kDbgStart = 1u << 0;
constexpr uint32_t kDbgBusy = 1u << 1;

}  // namespace

void CimWordWritten(StateFile* state, uint32_t address) {
    if (address != kLaControl) return;
    uint32_t& control = state->cim[kLaControl];
    if ((control & kLaReadRequest) == 0 || state->chip.faults.cimLaBusyStuck != 0) return;
    state->cim[kLaData] = state->chip.cimLa[(control >> 2) & (kCimLaWords - 1)];
    control &= ~kLaReadRequest;
}

bool IsQueueDebugRegister(uint32_t offset) {
    return offset >= kIbqDbgCfg && offset <= kObqDbgData;
}

bool QueueDebugRead(StateFile* state, uint32_t offset, uint32_t* value) {
    *value = state->registers[offset / 4];
    if ((offset == kIbqDbgCfg || offset == kObqDbgCfg) && state->chip.faults.queueDebugBusyStuck != 0) {
        *value |= kDbgBusy;
    }
    return true;
}

bool QueueDebugWrite(StateFile* state, uint32_t offset, uint32_t value) {
    if (offset == kIbqDbgData || offset == kObqDbgData) return true;  // read-only
    state->registers[offset / 4] = value & ~(kDbgStart | kDbgBusy);
    if ((value & kDbgStart) == 0) return true;
    const uint32_t queue = (value >> 3) & 3;
    const uint32_t entry = (value >> 16) & (kCimQueueEntries - 1);
    uint32_t data = 0;
    if (offset == kIbqDbgCfg) {
        data = state->chip.cimQueues[queue][entry];
    } else if (queue < kCimOutboundQueues) {
        data = state->chip.cimQueues[kCimInboundQueues + queue][entry];
    }
    state->registers[(offset == kIbqDbgCfg ? kIbqDbgData : kObqDbgData) / 4] = data;
    return true;
}

}  // namespace qv::sim::n5
