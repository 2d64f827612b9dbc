// The simulated machine: a directory holding the registry database (registry.db) and the
// machine's Windows directory. Every process works on one machine at a time.
#pragma once

#include <filesystem>
#include <string>

#include "qv/sim/default_inventory.h"
#include "qv/sim/registry_store.h"

namespace qv::sim {

// Creates a machine in dir with the inventory of options, as BuildMachineRegistry builds one (with
// force, do not replace a machine that other processes are using).
bool CreateMachine(const std::filesystem::path& dir, const InventoryOptions& options, bool force,
                   std::string* error);

// The same with an empty registry and no inventory: for importing a whole machine from a .reg file.
bool CreateEmptyMachine(const std::filesystem::path& dir, bool force, std::string* error);

}  // namespace qv::sim
