// One simulated n5 adapter: its state file mapped into memory, the register file with the
// behaviours of the chip's host-access window and indirect pair, configuration space, MDIO, and
// the bus driver's answers to the I/O-control functions.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "qv/sim/bus_device.h"
#include "qv/sim/n5/state_layout.h"

namespace qv::sim::n5 {

class Adapter : public BusDevice {
  public:
    // Maps the state file, creating it with the default contents when missing and recreating it
    // when it has an older layout. Null with *error set (a Win32 error code) when the file cannot
    // be created or mapped, or is not an adapter state file (then it is left untouched).
    static std::unique_ptr<Adapter> Open(const std::filesystem::path& stateFile, int32_t* error);
    // Writes a fresh state file with the default contents (replacing any file there).
    static bool Reset(const std::filesystem::path& stateFile, int32_t* error);
    ~Adapter() override;
    Adapter(const Adapter&) = delete;
    Adapter& operator=(const Adapter&) = delete;

    // The bus driver: answers one buffered request in place. buffer holds the input (inSize
    // bytes) and receives the output (at most outCapacity bytes, *returned of them). Returns
    // 0 or the Win32 error that the I/O-control call reports.
    int32_t HandleRequest(uint32_t function, uint8_t* buffer, uint32_t inSize, uint32_t outCapacity,
                          uint32_t* returned) override;

    // The register file as the bus sees it: faults and register behaviours apply.
    bool ReadRegister(uint32_t offset, uint32_t* value);
    bool WriteRegister(uint32_t offset, uint32_t value);
    // Configuration space; the VPD capability's registers behave as the EEPROM's (vpd_eeprom.h).
    bool ReadConfig(uint32_t offset, uint32_t* value);
    bool WriteConfig(uint32_t offset, uint32_t value);
    bool ReadMdio(uint8_t port, uint8_t device, uint16_t reg, uint16_t* value) const;
    bool WriteMdio(uint8_t port, uint8_t device, uint16_t reg, uint16_t value);

    // Direct access to the stored state, for qvsim and tests: no faults, no behaviours.
    StateFile& state() { return *state_; }
    uint32_t PeekRegister(uint32_t offset) const {
        return state_->registers[(offset % kRegisterSpaceBytes) / 4];
    }
    void PokeRegister(uint32_t offset, uint32_t value) {
        state_->registers[(offset % kRegisterSpaceBytes) / 4] = value;
    }
    uint32_t PeekCim(uint32_t address) const { return state_->cim[address % kCimSpaceWords]; }
    void PokeCim(uint32_t address, uint32_t value) { state_->cim[address % kCimSpaceWords] = value; }

    void SetFunctionFails(uint32_t function, bool on);
    void SetRegisterReadFails(uint32_t offset, bool on);
    void SetRegisterWriteFails(uint32_t offset, bool on);
    void SetCimBusyStuck(bool on) { state_->faults.cimBusyStuck = on ? 1 : 0; }
    void SetFlashNeverReady(bool on) { state_->flash.faults.neverReady = on ? 1 : 0; }
    void SetFlashWriteEnableIgnored(bool on) { state_->flash.faults.writeEnableIgnored = on ? 1 : 0; }
    void SetVpdAbsent(bool on) { state_->vpd.faults.absent = on ? 1 : 0; }
    void SetVpdNeverCompletes(bool on) { state_->vpd.faults.neverCompletes = on ? 1 : 0; }
    void SetJtagNeverCompletes(bool on) { state_->jtag.faults.neverCompletes = on ? 1 : 0; }
    void SetJtagUnknownIdcode(bool on) { state_->jtag.faults.unknownIdcode = on ? 1 : 0; }
    void SetMicrocodeNeverReady(bool on) { state_->info.microcodeNeverReady = on ? 1 : 0; }
    void SetCimLaBusyStuck(bool on) { state_->chip.faults.cimLaBusyStuck = on ? 1 : 0; }
    void SetQueueDebugBusyStuck(bool on) { state_->chip.faults.queueDebugBusyStuck = on ? 1 : 0; }
    // Fails the request that comes `requests` requests from now (1: the next one), once; 0 disarms.
    void FailRequestAfter(uint32_t requests) { state_->faults.failAfterRequests = requests; }
    // Clears every fault, those of the serial flash, the VPD EEPROM, the JTAG chain, the microcode
    // handshake and the CIM debug interfaces included.
    void ClearFaults();

  private:
    explicit Adapter(StateFile* state) : state_(state) {}
    void StartCimAccess(uint32_t command);
    bool ReadHostAccCtrl(uint32_t* value);

    StateFile* state_;  // the mapped state file
};

// Fills a state record with the adapter's power-on contents.
void WriteDefaultState(StateFile* state);

// Registers the simulated adapter as the bus driver of the simulated host's device I/O port.
void RegisterAsBusDriver();

}  // namespace qv::sim::n5
