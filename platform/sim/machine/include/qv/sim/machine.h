// The simulated machine: a directory holding the registry database (registry.db) and the
// machine's Windows directory. Every process works on one machine at a time.
#pragma once

#include <filesystem>
#include <string>

#include "qv/sim/default_inventory.h"
#include "qv/sim/registry_store.h"

namespace qv::sim {

// Creates a machine in dir: the directory, a new registry database and the inventory of options.
// The database is built aside and moved into place only when complete, so no process ever sees a
// half-written machine. Only a missing or empty directory, or one that holds a machine, is used.
// Without force an existing machine is an error; with force it is replaced
// (do not replace a machine that other processes are using). The process's selected machine is
// left as it was. On failure returns false and describes the reason in *error.
bool CreateMachine(const std::filesystem::path& dir, const InventoryOptions& options, bool force,
                   std::string* error);

// The same with an empty registry and no inventory: for importing a whole machine from a .reg file.
bool CreateEmptyMachine(const std::filesystem::path& dir, bool force, std::string* error);

}  // namespace qv::sim
