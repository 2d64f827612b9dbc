#include "qv/sim/reg_key.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "qv/sim/little_endian.h"

namespace qv::sim {
namespace {

char16_t FoldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

// Every UTF-16 unit of bytes; an odd last byte is dropped.
std::u16string Units(const std::vector<uint8_t>& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    if (!units.empty()) std::memcpy(units.data(), bytes.data(), units.size() * 2);
    return units;
}

}  // namespace

LStatus RegKey::Open(std::u16string_view path, uint32_t sam, RegKey* out) {
    return Open(kHkeyLocalMachine, path, sam, out);
}

LStatus RegKey::Open(HKey parent, std::u16string_view path, uint32_t sam, RegKey* out) {
    HKey key = nullptr;
    const std::u16string p(path);
    const LStatus status = reg::OpenKeyEx(parent, p.c_str(), sam, &key);
    *out = RegKey(status == kErrorSuccess ? key : nullptr);
    return status;
}

LStatus RegKey::Create(std::u16string_view path, RegKey* out) {
    HKey key = nullptr;
    const std::u16string p(path);
    const LStatus status =
        reg::CreateKeyEx(kHkeyLocalMachine, p.c_str(), kRegOptionNonVolatile, kKeyAllAccess, &key, nullptr);
    *out = RegKey(status == kErrorSuccess ? key : nullptr);
    return status;
}

std::optional<std::vector<uint8_t>> RegKey::ReadBytes(std::u16string_view name, uint32_t* type) const {
    if (!valid()) return std::nullopt;
    const std::u16string n(name);
    uint32_t valueType = 0;
    // Most values are short: one call with a modest buffer, a second only when it was too small.
    // The value may grow between calls when another process writes it; a few retries cover that.
    std::vector<uint8_t> data(256);
    for (int attempt = 0; attempt < 4; ++attempt) {
        uint32_t got = static_cast<uint32_t>(data.size());
        const LStatus status = reg::QueryValueEx(get(), n.c_str(), &valueType, data.data(), &got);
        if (status == kErrorSuccess) {
            data.resize(got);
            if (type) *type = valueType;
            return data;
        }
        if (status != kErrorMoreData) return std::nullopt;
        data.resize(got);
    }
    return std::nullopt;
}

std::optional<std::u16string> RegKey::ReadString(std::u16string_view name, uint32_t* type) const {
    const auto bytes = ReadBytes(name, type);
    if (!bytes) return std::nullopt;
    return StringFromBytes(*bytes);
}

std::optional<std::vector<std::u16string>> RegKey::ReadMultiString(std::u16string_view name) const {
    const auto bytes = ReadBytes(name, nullptr);
    if (!bytes) return std::nullopt;
    return ParseMultiString(*bytes);
}

std::vector<std::u16string> ParseMultiString(const std::vector<uint8_t>& bytes) {
    const std::u16string all = Units(bytes);
    std::vector<std::u16string> list;
    size_t pos = 0;
    while (pos < all.size()) {
        size_t end = all.find(u'\0', pos);
        if (end == std::u16string::npos) end = all.size();
        if (end == pos) break;  // the empty string ends the list
        list.emplace_back(all.substr(pos, end - pos));
        pos = end + 1;
    }
    return list;
}

std::optional<uint32_t> RegKey::ReadDword(std::u16string_view name) const {
    const auto bytes = ReadBytes(name, nullptr);
    return bytes ? DwordFromBytes(*bytes) : std::nullopt;
}

LStatus RegKey::WriteString(std::u16string_view name, std::u16string_view text) const {
    const std::u16string n(name);
    const auto bytes = StringBytes(text);
    return reg::SetValueEx(get(), n.c_str(), kRegSz, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

LStatus RegKey::WriteMultiString(std::u16string_view name, const std::vector<std::u16string>& list) const {
    const std::u16string n(name);
    const auto bytes = MultiStringBytes(list);
    return reg::SetValueEx(get(), n.c_str(), kRegMultiSz, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

LStatus RegKey::WriteDword(std::u16string_view name, uint32_t value) const {
    const std::u16string n(name);
    const auto bytes = DwordBytes(value);
    return reg::SetValueEx(get(), n.c_str(), kRegDword, bytes.data(), 4);
}

std::vector<std::u16string> RegKey::SubKeys() const {
    std::vector<std::u16string> names;
    if (!valid()) return names;
    char16_t name[kMaxKeyNameLength + 1];
    for (uint32_t index = 0;; ++index) {
        uint32_t length = kMaxKeyNameLength + 1;
        const LStatus status = reg::EnumKeyEx(get(), index, name, &length);
        if (status == kErrorMoreData) continue;  // cannot happen with a full-size buffer; skip it
        if (status != kErrorSuccess) break;
        names.emplace_back(name, length);
    }
    return names;
}

LStatus RegKey::DeleteTree(std::u16string_view path) {
    struct Level {
        RegKey key;
        std::u16string name;  // below the level above
    };
    std::vector<Level> levels(1);
    levels[0].name = path;
    LStatus status = Open(path, kKeyRead, &levels[0].key);
    if (status != kErrorSuccess) return status;
    char16_t name[kMaxKeyNameLength + 1];
    while (!levels.empty()) {
        uint32_t length = kMaxKeyNameLength + 1;
        status = reg::EnumKeyEx(levels.back().key.get(), 0, name, &length);
        if (status == kErrorSuccess) {
            Level child{{}, std::u16string(name, length)};
            status = Open(levels.back().key.get(), child.name, kKeyRead, &child.key);
            if (status != kErrorSuccess) return status;
            levels.push_back(std::move(child));
            continue;
        }
        if (status != kErrorNoMoreItems) return status;
        const std::u16string leaf = std::move(levels.back().name);
        levels.pop_back();
        status = reg::DeleteKey(levels.empty() ? kHkeyLocalMachine : levels.back().key.get(), leaf.c_str());
        if (status != kErrorSuccess) return status;
    }
    return kErrorSuccess;
}

std::vector<uint8_t> StringBytes(std::u16string_view text) {
    std::vector<uint8_t> bytes((text.size() + 1) * 2, 0);
    if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size() * 2);
    return bytes;
}

std::u16string StringFromBytes(const std::vector<uint8_t>& bytes) {
    std::u16string text = Units(bytes);
    if (const size_t end = text.find(u'\0'); end != std::u16string::npos) text.resize(end);
    return text;
}

std::vector<uint8_t> DwordBytes(uint32_t value) {
    std::vector<uint8_t> bytes(4);
    Put32(bytes.data(), value);
    return bytes;
}

std::optional<uint32_t> DwordFromBytes(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != 4) return std::nullopt;
    return Get32(bytes.data());
}

std::vector<uint8_t> MultiStringBytes(const std::vector<std::u16string>& list) {
    std::u16string all;
    for (const auto& s : list) {
        all += s;
        all += u'\0';
    }
    all += u'\0';
    std::vector<uint8_t> bytes(all.size() * 2);
    std::memcpy(bytes.data(), all.data(), bytes.size());
    return bytes;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    return std::ranges::equal(a, b, {}, FoldAscii, FoldAscii);
}

bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return FoldAscii(static_cast<unsigned char>(x)) == FoldAscii(static_cast<unsigned char>(y));
    });
}

std::u16string AsciiUpper(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out) c = FoldAscii(c);
    return out;
}

std::u16string AsciiLower(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    return out;
}

std::optional<std::u16string> FreeNumberedName(const std::vector<std::u16string>& taken,
                                               const std::function<bool(const std::u16string&)>& alsoTaken) {
    for (int number = 0; number < 10000; ++number) {
        char digits[12];  // room for any int, so the compiler can see nothing is cut
        std::snprintf(digits, sizeof digits, "%04d", number);
        const std::u16string name(digits, digits + 4);
        const bool inTaken = std::any_of(taken.begin(), taken.end(),
                                         [&](const std::u16string& t) { return EqualsIgnoreCase(t, name); });
        if (!inTaken && !(alsoTaken && alsoTaken(name))) return name;
    }
    return std::nullopt;
}

}  // namespace qv::sim
