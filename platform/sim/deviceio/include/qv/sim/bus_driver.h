// The adapters' virtual bus driver on the simulated host: its interface registrations in the
// machine's registry and the state file of the simulated adapter behind each of them. For qvsim
// and the tests; the programs reach the bus driver through the device I/O port only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qv::sim {

struct BusDriverInterface {
    std::string deviceInstance;  // "ROOT\QVVBD\0000"
    std::string symbolicLink;    // "\\?\ROOT#QVVBD#0000#{B5C98E43-...}"
    bool present = false;
};

// The interfaces registered under the bus driver's interface class, in registry order. With
// presentOnly, the ones whose device is present; their positions are the instance numbers the
// tool selects. Returns a registry error code (0 on success).
int32_t ListBusDriverInterfaces(bool presentOnly, std::vector<BusDriverInterface>* interfaces);

// Simulator values (DWORD) on a bus-driver device's state key that make its lookup or open fail:
// the interface detail fails with the stored error; the detail reports the stored size as the one
// it needs; opening the device path fails with the stored error. 0 or absent: no fault.
inline constexpr std::u16string_view kStateInterfaceDetailFails = u"InterfaceDetailFails";
inline constexpr std::u16string_view kStateInterfaceDetailSize = u"InterfaceDetailSize";
inline constexpr std::u16string_view kStateOpenFails = u"OpenFails";

// <machine dir>/adapters/<instance id with '\' as '#'>.n5
std::filesystem::path AdapterStateFile(const std::string& deviceInstance);

// Present bus-driver instance `instance` (0, 1, ...). False when there is none or the registry
// cannot be read.
bool FindBusDriverInstance(int instance, BusDriverInterface* found);

// The state file of bus-driver instance `instance` (0, 1, ...). False when there is no such
// present instance or the registry cannot be read.
bool AdapterStateFileOfInstance(int instance, std::filesystem::path* stateFile);

}  // namespace qv::sim
