// Machine creation: the registry store builds the database, the default inventory fills it.
#include "qv/sim/machine.h"

namespace qv::sim {

bool CreateMachine(const std::filesystem::path& dir, const InventoryOptions& options, bool force,
                   std::string* error) {
    return BuildMachineRegistry(dir, [&options] { return WriteDefaultInventory(options); }, force, error);
}

bool CreateEmptyMachine(const std::filesystem::path& dir, bool force, std::string* error) {
    return BuildMachineRegistry(dir, {}, force, error);
}

}  // namespace qv::sim
