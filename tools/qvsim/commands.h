// One qvsim subcommand: its name, a one-line synopsis for the usage text, and its handler, which
// gets the words after the subcommand name and returns the exit status.
#pragma once

#include <span>
#include <string_view>

namespace qvsim {

struct Command {
    std::string_view name;
    std::string_view synopsis;
    int (*run)(std::span<char* const> args);
};

// Machine-level commands (init, show, export, import, device changes).
std::span<const Command> MachineCommands();
// Adapter-level commands (registers, faults, flash, EEPROM of a simulated n5 adapter).
std::span<const Command> AdapterCommands();
// Network-configuration commands (the write lock).
std::span<const Command> NetCfgCommands();

}  // namespace qvsim
