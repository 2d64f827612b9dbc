// Handlers of the machine commands; the table is in machine_commands.cpp.
#pragma once

#include <span>

namespace qvsim {

int RunInit(std::span<char* const> args);
int RunShow(std::span<char* const> args);
int RunExport(std::span<char* const> args);
int RunImport(std::span<char* const> args);
int RunSetAdmin(std::span<char* const> args);
int RunDevice(std::span<char* const> args);

}  // namespace qvsim
