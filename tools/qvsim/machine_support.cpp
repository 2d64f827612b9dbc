#include "machine_support.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace qvsim {

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "qvsim: %s\n", message.c_str());
    return status;
}

std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t min, uint32_t max) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value < min || value > max) return std::nullopt;
    return static_cast<uint32_t>(value);
}

int AdapterUsage(const char* why) {
    std::fprintf(stderr, "qvsim: adapter: %s\n", why);
    return kExitUsage;
}

bool ParseUnsigned(const char* text, int base, uint64_t max, uint64_t* value) {
    if (text == nullptr || *text == '\0' || *text == '-') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, base);
    if (errno != 0 || *end != '\0' || v > max) return false;
    *value = v;
    return true;
}

std::optional<uint32_t> ParseHexWord(std::string_view text) {
    uint64_t value = 0;
    const std::string word(text);
    if (word.size() > 8 || !ParseUnsigned(word.c_str(), 16, 0xFFFFFFFF, &value)) return std::nullopt;
    return static_cast<uint32_t>(value);
}

}  // namespace qvsim
