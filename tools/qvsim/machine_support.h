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

// "qvsim: <command>: the machine registry cannot be written"; returns kExitFailure.
int RegistryUnwritable(const std::string& command);

// An adapter command's usage error: "qvsim: adapter: <why>" on standard error; returns kExitUsage.
int AdapterUsage(const char* why);
// An adapter command's failure: "qvsim: adapter: " and the printf-formatted message on standard
// error; returns kExitFailure.
[[gnu::format(printf, 1, 2)]] int AdapterFailure(const char* format, ...);

// How a number is written: decimal digits; hexadecimal digits, "0x" before them allowed; decimal,
// or hexadecimal after "0x"; or as C writes it (hexadecimal after "0x", octal after a leading 0).
enum class Radix { kDecimal, kHex, kDecimalOrHex, kC };

// The one number parser of qvsim: a whole word, no sign and no spaces, of at most max; nullopt for
// anything else.
std::optional<uint64_t> ParseNumber(std::string_view text, Radix radix, uint64_t max);

// The same into *value; false, leaving *value as it was, for anything else.
template <typename T>
bool ParseNumber(std::string_view text, Radix radix, uint64_t max, T* value) {
    const auto number = ParseNumber(text, radix, max);
    if (number) *value = static_cast<T>(*number);
    return number.has_value();
}

// "a.b.c" or "a.b.c.d": exactly parts.size() decimal parts, each at most max.
bool ParseDotted(std::string_view text, std::span<uint32_t> parts, uint32_t max);

}  // namespace qvsim
