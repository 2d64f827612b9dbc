// The registry port on Windows: each call passes straight through to the Win32 function of the
// same name. char16_t and wchar_t are both UTF-16 units here, and HKey is an HKEY.
#include "qv/platform/registry.h"

#include <windows.h>

namespace qv::reg {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the port's strings are UTF-16 as Windows' are");

HKEY Native(HKey key) {
    return reinterpret_cast<HKEY>(key);
}
const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
wchar_t* Wide(char16_t* text) {
    return reinterpret_cast<wchar_t*>(text);
}
DWORD* Dword(uint32_t* value) {
    return reinterpret_cast<DWORD*>(value);
}

static_assert(sizeof(DWORD) == sizeof(uint32_t));

}  // namespace

LStatus CreateKeyEx(HKey key, const char16_t* subKey, uint32_t options, uint32_t sam, HKey* result,
                    uint32_t* disposition) {
    HKEY created = nullptr;
    const LSTATUS status = RegCreateKeyExW(Native(key), Wide(subKey), 0, nullptr, options, sam, nullptr,
                                           &created, Dword(disposition));
    if (status == ERROR_SUCCESS && result) *result = reinterpret_cast<HKey>(created);
    return status;
}

LStatus OpenKeyEx(HKey key, const char16_t* subKey, uint32_t sam, HKey* result) {
    if (!result) return kErrorInvalidParameter;
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExW(Native(key), Wide(subKey), 0, sam, &opened);
    if (status == ERROR_SUCCESS) *result = reinterpret_cast<HKey>(opened);
    return status;
}

LStatus CloseKey(HKey key) {
    return RegCloseKey(Native(key));
}

LStatus QueryValueEx(HKey key, const char16_t* valueName, uint32_t* type, uint8_t* data, uint32_t* dataSize) {
    return RegQueryValueExW(Native(key), Wide(valueName), nullptr, Dword(type), data, Dword(dataSize));
}

LStatus SetValueEx(HKey key, const char16_t* valueName, uint32_t type, const uint8_t* data,
                   uint32_t dataSize) {
    return RegSetValueExW(Native(key), Wide(valueName), 0, type, data, dataSize);
}

LStatus DeleteValue(HKey key, const char16_t* valueName) {
    return RegDeleteValueW(Native(key), Wide(valueName));
}

LStatus DeleteKey(HKey key, const char16_t* subKey) {
    return RegDeleteKeyW(Native(key), Wide(subKey));
}

LStatus EnumKeyEx(HKey key, uint32_t index, char16_t* name, uint32_t* nameLength) {
    return RegEnumKeyExW(Native(key), index, Wide(name), Dword(nameLength), nullptr, nullptr, nullptr,
                         nullptr);
}

LStatus EnumValue(HKey key, uint32_t index, char16_t* name, uint32_t* nameLength, uint32_t* type,
                  uint8_t* data, uint32_t* dataSize) {
    return RegEnumValueW(Native(key), index, Wide(name), Dword(nameLength), nullptr, Dword(type), data,
                         Dword(dataSize));
}

}  // namespace qv::reg
