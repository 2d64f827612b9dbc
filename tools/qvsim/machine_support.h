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

// An adapter command's usage error: "qvsim: adapter: <why>" on standard error; returns kExitUsage.
int AdapterUsage(const char* why);

// How a number is written: decimal digits; hexadecimal digits, "0x" before them allowed; decimal,
// or hexadecimal after "0x"; or as C writes it (hexadecimal after "0x", octal after a leading 0).
enum class Radix { kDecimal, kHex, kDecimalOrHex, kC };

// The one number parser of qvsim: a whole word, no sign and no spaces, of at most max; nullopt for
// anything else.
std::optional<uint64_t> ParseNumber(std::string_view text, Radix radix, uint64_t max);

}  // namespace qvsim
