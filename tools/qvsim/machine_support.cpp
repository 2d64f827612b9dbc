#include "machine_support.h"

#include <cstdarg>
#include <cstdio>

namespace qvsim {

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "qvsim: %s\n", message.c_str());
    return status;
}

int RegistryUnwritable(const std::string& command) {
    return Fail(kExitFailure, command + ": the machine registry cannot be written");
}

int AdapterUsage(const char* why) {
    return Fail(kExitUsage, std::string("adapter: ") + why);
}

int AdapterFailure(const char* format, ...) {
    std::fputs("qvsim: adapter: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    return kExitFailure;
}

namespace {

// The value of a digit in base, or base when it is none.
uint32_t DigitValue(char c, uint32_t base) {
    uint32_t v = base;
    if (c >= '0' && c <= '9') v = static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') v = static_cast<uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') v = static_cast<uint32_t>(c - 'A' + 10);
    return v < base ? v : base;
}

}  // namespace

std::optional<uint64_t> ParseNumber(std::string_view text, Radix radix, uint64_t max) {
    uint32_t base = 10;
    const bool hexPrefix = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (radix != Radix::kDecimal && hexPrefix) {
        base = 16;
        text.remove_prefix(2);
    } else if (radix == Radix::kHex) {
        base = 16;
    } else if (radix == Radix::kC && text.size() > 1 && text[0] == '0') {
        base = 8;
    }
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        const uint32_t digit = DigitValue(c, base);
        if (digit == base || digit > max || value > (max - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

bool ParseDotted(std::string_view text, std::span<uint32_t> parts, uint32_t max) {
    for (size_t i = 0; i < parts.size(); ++i) {
        const size_t dot = i + 1 < parts.size() ? text.find('.') : text.size();
        if (dot == std::string_view::npos) return false;
        const auto part = ParseNumber(text.substr(0, dot), Radix::kDecimal, max);
        if (!part) return false;
        parts[i] = static_cast<uint32_t>(*part);
        text.remove_prefix(dot == text.size() ? dot : dot + 1);
    }
    return true;
}

}  // namespace qvsim
