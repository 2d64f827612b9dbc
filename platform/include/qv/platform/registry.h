// Registry port: the subset of the Win32 registry API that the programs use, one call per
// operation, with Win32 result codes. Windows' semantics hold on every backend: key and value
// names are case-insensitive and case-preserving, values keep their type and exact byte size,
// subkeys enumerate in a stable order, and a key with subkeys cannot be deleted with DeleteKey.
#pragma once

#include <cstdint>

#include "qv/platform/wintypes.h"

namespace qv {

struct RegKeyTag;
using HKey = RegKeyTag*;

// The predefined root key; the programs only use HKEY_LOCAL_MACHINE.
inline HKey const kHkeyLocalMachine = reinterpret_cast<HKey>(static_cast<uintptr_t>(0x80000002u));
// What device-key openers return on failure (INVALID_HANDLE_VALUE).
inline HKey const kInvalidHKey = reinterpret_cast<HKey>(static_cast<intptr_t>(-1));

// Value types.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kRegQword = 11;

// Access rights and options.
constexpr uint32_t kKeyQueryValue = 0x0001;
constexpr uint32_t kKeySetValue = 0x0002;
constexpr uint32_t kKeyCreateSubKey = 0x0004;
constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyWrite = 0x20006;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kRegOptionNonVolatile = 0;
constexpr uint32_t kRegCreatedNewKey = 1;
constexpr uint32_t kRegOpenedExistingKey = 2;

// Longest key name component and value name, in UTF-16 units without terminator.
constexpr uint32_t kMaxKeyNameLength = 255;
constexpr uint32_t kMaxValueNameLength = 16383;

namespace reg {

// RegCreateKeyExW: opens or creates subKey (may contain backslashes; every missing level is created).
LStatus CreateKeyEx(HKey key, const char16_t* subKey, uint32_t options, uint32_t sam, HKey* result,
                    uint32_t* disposition);
// RegOpenKeyExW.
LStatus OpenKeyEx(HKey key, const char16_t* subKey, uint32_t sam, HKey* result);
// RegCloseKey.
LStatus CloseKey(HKey key);
// RegQueryValueExW: data may be null to learn the size; a too-small buffer gives kErrorMoreData
// with *dataSize set to the size needed. A null or empty name is the key's default value.
LStatus QueryValueEx(HKey key, const char16_t* valueName, uint32_t* type, uint8_t* data, uint32_t* dataSize);
// RegSetValueExW: stores exactly dataSize bytes.
LStatus SetValueEx(HKey key, const char16_t* valueName, uint32_t type, const uint8_t* data,
                   uint32_t dataSize);
// RegDeleteValueW.
LStatus DeleteValue(HKey key, const char16_t* valueName);
// RegDeleteKeyW: fails with kErrorAccessDenied when the key has subkeys.
LStatus DeleteKey(HKey key, const char16_t* subKey);
// RegEnumKeyExW: *nameLength is the capacity in units (with terminator) on input and the length
// without terminator on output; kErrorNoMoreItems past the last subkey, kErrorMoreData when the
// name does not fit.
LStatus EnumKeyEx(HKey key, uint32_t index, char16_t* name, uint32_t* nameLength);
// RegEnumValueW, same conventions for the name; data and dataSize as for QueryValueEx.
LStatus EnumValue(HKey key, uint32_t index, char16_t* name, uint32_t* nameLength, uint32_t* type,
                  uint8_t* data, uint32_t* dataSize);

}  // namespace reg
}  // namespace qv
