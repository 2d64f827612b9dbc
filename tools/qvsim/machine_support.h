// Helpers shared by the machine commands: argument parsing, text conversion and finding devices.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qvsim {

// Exit statuses of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "qvsim: <message>" on stderr and returns status.
int Fail(int status, const std::string& message);

// A decimal number within [min, max]; nullopt for anything else.
std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t min, uint32_t max);

// The device instance id of the network adapter whose connection name is name (ignoring case).
std::optional<std::u16string> FindAdapterByConnectionName(std::u16string_view name);

}  // namespace qvsim
