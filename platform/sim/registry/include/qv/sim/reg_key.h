// Small typed helpers over the registry port for the simulated host's own code: an owning key
// (a ScopedKey underneath) with string/DWORD reads and writes. Strings are UTF-16 as the port
// stores them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/platform/scoped_handle.h"

namespace qv::sim {

// An open registry key that closes itself.
class RegKey {
  public:
    RegKey() = default;
    explicit RegKey(HKey key) : key_(key) {}

    // Opens an existing key below HKEY_LOCAL_MACHINE (or below parent); the status is returned.
    static LStatus Open(std::u16string_view path, uint32_t sam, RegKey* out);
    static LStatus Open(HKey parent, std::u16string_view path, uint32_t sam, RegKey* out);
    // Opens or creates the key with every missing level.
    static LStatus Create(std::u16string_view path, RegKey* out);

    bool valid() const { return key_.valid(); }
    HKey get() const { return key_.get(); }
    HKey release() { return key_.release(); }

    // A REG_SZ (or any type, stored in *type when given) read as UTF-16 text up to the first
    // terminator.
    std::optional<std::u16string> ReadString(std::u16string_view name, uint32_t* type = nullptr) const;
    // A REG_MULTI_SZ read as its list of strings.
    std::optional<std::vector<std::u16string>> ReadMultiString(std::u16string_view name) const;
    std::optional<uint32_t> ReadDword(std::u16string_view name) const;
    // The raw bytes and type of a value.
    std::optional<std::vector<uint8_t>> ReadBytes(std::u16string_view name, uint32_t* type) const;

    LStatus WriteString(std::u16string_view name, std::u16string_view text) const;
    LStatus WriteMultiString(std::u16string_view name, const std::vector<std::u16string>& list) const;
    LStatus WriteDword(std::u16string_view name, uint32_t value) const;

    // Names of the subkeys in enumeration order.
    std::vector<std::u16string> SubKeys() const;

    // Deletes the key at path below HKEY_LOCAL_MACHINE with everything below it, deepest keys
    // first. The keys on the way down stay open, so every step is one call whatever the depth.
    static LStatus DeleteTree(std::u16string_view path);

  private:
    ScopedKey key_;
};

// The bytes of a REG_MULTI_SZ holding list (each string with its terminator, then one more).
std::vector<uint8_t> MultiStringBytes(const std::vector<std::u16string>& list);
// The strings of REG_MULTI_SZ bytes, up to the empty string that ends the list.
std::vector<std::u16string> ParseMultiString(const std::vector<uint8_t>& bytes);
// The bytes of a REG_SZ holding text with its terminator.
std::vector<uint8_t> StringBytes(std::u16string_view text);
// The text of REG_SZ bytes up to the first terminator (all of it when there is none).
std::u16string StringFromBytes(const std::vector<uint8_t>& bytes);
// The bytes of a REG_DWORD holding value, and the value of REG_DWORD bytes (none unless 4 bytes).
std::vector<uint8_t> DwordBytes(uint32_t value);
std::optional<uint32_t> DwordFromBytes(const std::vector<uint8_t>& bytes);

// ASCII case-insensitive comparison, as the registry and device ids compare.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);
// The same for narrow text (device paths, file names); bytes beyond ASCII compare as they are.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// text with its ASCII letters in upper resp. lower case; every other unit stays.
std::u16string AsciiUpper(std::u16string_view text);
std::u16string AsciiLower(std::u16string_view text);

// The first four-digit key name ("0000" to "9999") that no name of taken equals (ignoring case) and
// that alsoTaken, when given, does not claim; none when every number is in use.
std::optional<std::u16string> FreeNumberedName(
    const std::vector<std::u16string>& taken,
    const std::function<bool(const std::u16string&)>& alsoTaken = {});

}  // namespace qv::sim
