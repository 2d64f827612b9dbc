// The register file, configuration space and MDIO registers of the simulated adapter.
#include <cstring>

#include "chip_answers.h"
#include "qv/sim/n5/adapter.h"
#include "qv/sim/n5/adapter_info_state.h"

namespace qv::sim::n5 {
namespace {

// The registers whose behaviour is modelled here.
constexpr uint32_t kRegIndirectIndex = 0x78;
constexpr uint32_t kRegIndirectData = 0x7C;
constexpr uint32_t kRegHostAccCtrl = 0x2B0;
constexpr uint32_t kRegHostAccData = 0x2B4;
constexpr uint32_t kRegPl3Rev = 0x6F4;

// host_acc_ctrl fields.
constexpr uint32_t kHostAddressMask = 0xFFFF;
constexpr uint32_t kHostWrite = 1u << 16;
constexpr uint32_t kHostBusy = 1u << 17;
// Polls for which an access reads busy before it completes.
constexpr uint32_t kCimBusyPolls = 3;

bool BitSet(const uint8_t* bits, uint32_t index) {
    return (bits[index / 8] >> (index % 8)) & 1u;
}

// Registers are 32 bits wide; the low two offset bits do not select anything.
bool RegisterIndex(uint32_t offset, uint32_t* index) {
    if (offset >= kRegisterSpaceBytes) return false;
    *index = offset / 4;
    return true;
}

// Sets or clears the bit of the register at offset in a bit-per-register map.
void SetRegisterBit(uint8_t* bits, uint32_t offset, bool on) {
    uint32_t index = 0;
    if (!RegisterIndex(offset, &index)) return;
    const uint8_t mask = static_cast<uint8_t>(1u << (index % 8));
    bits[index / 8] =
        on ? static_cast<uint8_t>(bits[index / 8] | mask) : static_cast<uint8_t>(bits[index / 8] & ~mask);
}

constexpr uint8_t kMdioNoDevice = 0xFF;
constexpr uint8_t kMdioMaxPort = 31;
constexpr uint8_t kMdioMaxDevice = 31;

bool ValidMdioAddress(uint8_t port, uint8_t device) {
    return port <= kMdioMaxPort && (device <= kMdioMaxDevice || device == kMdioNoDevice);
}

// The slot that holds a written register; null when the register was never written.
MdioSlot* FindMdioSlot(MdioSlot* slots, uint8_t port, uint8_t device, uint16_t reg) {
    for (uint32_t i = 0; i < kMdioSlotCount; ++i) {
        const MdioSlot& s = slots[i];
        if (s.used && s.port == port && s.device == device && s.reg == reg) return &slots[i];
    }
    return nullptr;
}

// Power-on values of the PHY registers: control, status and identifier words.
uint16_t DefaultMdioValue(uint8_t port, uint8_t device, uint16_t reg) {
    switch (reg) {
        case 0:
            return device == kMdioNoDevice ? 0x1140 : 0x2040;
        case 1:
            return device == kMdioNoDevice ? 0x796D : 0x0006;
        case 2:
            return 0x02A5;
        case 3:
            return static_cast<uint16_t>(0x5C10 | (port & 0xF));
        default:
            return 0;
    }
}

}  // namespace

bool Adapter::ReadHostAccCtrl(uint32_t* value) {
    Counters& c = state_->counters;
    ++c.hostAccCtrlReads;
    bool busy = state_->faults.cimBusyStuck != 0;
    if (c.busyPollsLeft > 0) {
        --c.busyPollsLeft;
        busy = true;
    }
    const uint32_t stored = state_->registers[kRegHostAccCtrl / 4] & ~kHostBusy;
    *value = busy ? (stored | kHostBusy) : stored;
    return true;
}

void Adapter::StartCimAccess(uint32_t command) {
    const uint32_t address = command & kHostAddressMask;
    const bool write = (command & kHostWrite) != 0;
    uint32_t& data = state_->registers[kRegHostAccData / 4];
    if (write) {
        state_->cim[address] = data;
        CimWordWritten(state_, address);
    } else {
        data = state_->cim[address];
    }
    state_->registers[kRegHostAccCtrl / 4] = command & (kHostAddressMask | kHostWrite);
    Counters& c = state_->counters;
    ++c.cimAccesses;
    c.lastCimAddress = address;
    c.lastCimWrite = write ? 1 : 0;
    c.busyPollsLeft = kCimBusyPolls;
}

bool Adapter::ReadRegister(uint32_t offset, uint32_t* value) {
    uint32_t index = 0;
    if (!RegisterIndex(offset, &index) || BitSet(state_->faults.registerReadFails, index)) return false;
    if (IsJtagRegister(index * 4)) return JtagReadRegister(&state_->jtag, index * 4, value);
    if (IsMicrocodeRegister(index * 4)) return MicrocodeReadRegister(&state_->info, index * 4, value);
    if (IsTpLaRegister(index * 4)) {
        return TpLaReadRegister(&state_->connections.la, &state_->registers[kRegTpLaConfig / 4], index * 4,
                                value);
    }
    if (IsQueueDebugRegister(index * 4)) return QueueDebugRead(state_, index * 4, value);
    switch (index * 4) {
        case kRegHostAccCtrl:
            return ReadHostAccCtrl(value);
        case kRegIndirectData: {
            const uint32_t address = state_->registers[kRegIndirectIndex / 4];
            if (ReadPipelineCounter(&state_->stats, address, value)) return true;
            *value = address < kIndirectWords ? state_->indirect[address] : 0;
            return true;
        }
        default:
            *value = state_->registers[index];
            return true;
    }
}

bool Adapter::WriteRegister(uint32_t offset, uint32_t value) {
    uint32_t index = 0;
    if (!RegisterIndex(offset, &index) || BitSet(state_->faults.registerWriteFails, index)) return false;
    if (IsJtagRegister(index * 4)) return JtagWriteRegister(&state_->jtag, index * 4, value);
    if (IsMicrocodeRegister(index * 4)) return MicrocodeWriteRegister(&state_->info, index * 4, value);
    if (IsTpLaRegister(index * 4))
        return TpLaWriteRegister(&state_->registers[kRegTpLaConfig / 4], index * 4, value);
    if (IsQueueDebugRegister(index * 4)) return QueueDebugWrite(state_, index * 4, value);
    switch (index * 4) {
        case kRegHostAccCtrl:
            StartCimAccess(value);
            return true;
        case kRegIndirectData: {
            const uint32_t address = state_->registers[kRegIndirectIndex / 4];
            if (WritePipelineCounter(&state_->stats, address, value)) return true;
            if (address < kIndirectWords) state_->indirect[address] = value;
            return true;
        }
        case kRegPl3Rev:
            return true;  // read-only
        default:
            state_->registers[index] = value;
            return true;
    }
}

bool Adapter::ReadConfig(uint32_t offset, uint32_t* value) {
    if (offset > kConfigSpaceBytes - 4) return false;
    std::memcpy(value, state_->config + offset, 4);
    VpdConfigRead(&state_->vpd, state_->config, offset, value);
    return true;
}

bool Adapter::WriteConfig(uint32_t offset, uint32_t value) {
    if (offset > kConfigSpaceBytes - 4) return false;
    if (offset < 4) return true;  // vendor and device id are read-only
    if (VpdConfigWrite(&state_->vpd, state_->config, offset, value)) return true;
    std::memcpy(state_->config + offset, &value, 4);
    return true;
}

bool Adapter::ReadMdio(uint8_t port, uint8_t device, uint16_t reg, uint16_t* value) const {
    if (!ValidMdioAddress(port, device)) return false;
    const MdioSlot* slot = FindMdioSlot(state_->mdio, port, device, reg);
    *value = slot != nullptr ? slot->value : DefaultMdioValue(port, device, reg);
    return true;
}

bool Adapter::WriteMdio(uint8_t port, uint8_t device, uint16_t reg, uint16_t value) {
    if (!ValidMdioAddress(port, device)) return false;
    MdioSlot* slot = FindMdioSlot(state_->mdio, port, device, reg);
    for (uint32_t i = 0; slot == nullptr && i < kMdioSlotCount; ++i) {
        if (!state_->mdio[i].used) slot = &state_->mdio[i];
    }
    if (slot == nullptr) return false;  // the PHYs' register store is full
    *slot = MdioSlot{1, port, device, 0, reg, value};
    return true;
}

void Adapter::SetFunctionFails(uint32_t function, bool on) {
    if (function > kMaxFunction) return;
    const uint32_t bit = 1u << function;
    uint32_t& mask = state_->faults.failingFunctions;
    mask = on ? (mask | bit) : (mask & ~bit);
}

void Adapter::SetRegisterReadFails(uint32_t offset, bool on) {
    SetRegisterBit(state_->faults.registerReadFails, offset, on);
}

void Adapter::SetRegisterWriteFails(uint32_t offset, bool on) {
    SetRegisterBit(state_->faults.registerWriteFails, offset, on);
}

void Adapter::ClearFaults() {
    std::memset(&state_->faults, 0, sizeof state_->faults);
    std::memset(&state_->flash.faults, 0, sizeof state_->flash.faults);
    std::memset(&state_->vpd.faults, 0, sizeof state_->vpd.faults);
    std::memset(&state_->jtag.faults, 0, sizeof state_->jtag.faults);
    state_->info.microcodeNeverReady = 0;
    std::memset(&state_->chip.faults, 0, sizeof state_->chip.faults);
}

}  // namespace qv::sim::n5
