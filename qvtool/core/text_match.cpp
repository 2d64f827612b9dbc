#include "qv/qvtool/text_match.h"

namespace qv::qvtool {
namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoreCase(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return false;
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (Lower(*a) != Lower(*b)) return false;
    }
    return *a == *b;
}

bool StartsWithIgnoreCase(const char* word, const char* prefix) {
    if (word == nullptr || prefix == nullptr) return false;
    for (; *prefix != '\0'; ++word, ++prefix) {
        if (*word == '\0' || Lower(*word) != Lower(*prefix)) return false;
    }
    return true;
}

}  // namespace qv::qvtool
