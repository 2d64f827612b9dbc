// The driver behind the bus-driver interfaces of the simulated host: the device I/O port opens the
// device of an interface through the driver that registered itself here, and hands it the
// buffered requests. The simulated adapter registers itself; the port knows no adapter.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

namespace qv::sim {

class BusDevice {
  public:
    virtual ~BusDevice() = default;
    // Answers one buffered request in place: buffer holds the input (inSize bytes) and receives
    // the output (at most outCapacity bytes, *returned of them). Returns 0 or the Win32 error that
    // the I/O-control call reports.
    virtual int32_t HandleRequest(uint32_t function, uint8_t* buffer, uint32_t inSize, uint32_t outCapacity,
                                  uint32_t* returned) = 0;
};

// Opens the device whose state lies in stateFile; null with *error set (a Win32 error code) when
// it cannot be opened.
using OpenBusDevice = std::unique_ptr<BusDevice> (*)(const std::filesystem::path& stateFile, int32_t* error);

// Makes open the bus driver of every later open. Until a driver is registered, no interface opens
// (ERROR_FILE_NOT_FOUND).
void RegisterBusDriver(OpenBusDevice open);

}  // namespace qv::sim
