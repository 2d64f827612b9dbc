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

// Every command in the order of the usage text: the machine's (init, show, export, import, device
// changes), the adapter's (registers, faults, flash, EEPROM of a simulated n5 adapter) and the
// network configuration's (the write lock).
std::span<const Command> Commands();

}  // namespace qvsim
