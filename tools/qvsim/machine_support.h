// Helpers shared by the qvsim commands: exit statuses, failure messages and argument parsing.
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
// A hexadecimal word of 1 to 8 digits, no prefix; nullopt for anything else.
std::optional<uint32_t> ParseHexWord(std::string_view text);

// An adapter command's usage error: "qvsim: adapter: <why>" on standard error; returns kExitUsage.
int AdapterUsage(const char* why);

// A whole word read as an unsigned number in base (as strtoull reads it, without a sign) of at most
// max; false for anything else.
bool ParseUnsigned(const char* text, int base, uint64_t max, uint64_t* value);

}  // namespace qvsim
