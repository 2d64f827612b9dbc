// The default inventory of a new simulated machine: the registry contents (devices, driver keys,
// connection names, protocol bindings) and the files of its Windows directory.
#pragma once

#include <cstdint>

namespace qv::sim {

struct InventoryOptions {
    int cards = 2;
    bool otherVendorAdapter = true;
    uint32_t osMajor = 5, osMinor = 2, osBuild = 3790;
    bool administrator = true;
};

// Writes the inventory into the machine currently selected (MachineDir()) through the registry
// port. Called once when a machine is created; returns false when a write failed.
bool WriteDefaultInventory(const InventoryOptions& options = {});

}  // namespace qv::sim
