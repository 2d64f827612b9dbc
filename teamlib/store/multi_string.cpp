// Reading and writing REG_MULTI_SZ values as lists of strings (rules in multi_string.h).
#include "multi_string.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

namespace qv {
namespace {

MultiString ParseUnits(std::u16string_view units) {
    constexpr std::u16string_view kEnd(u"\0\0", 2);
    if (units == kEnd.substr(1) || units.ends_with(kEnd)) units.remove_suffix(1);
    MultiString list;
    while (!units.empty()) {
        const size_t length = std::min(units.find(u'\0'), units.size());
        list.emplace_back(units.substr(0, length));
        units.remove_prefix(std::min(length + 1, units.size()));
    }
    return list;
}

}  // namespace

LStatus ReadMultiString(HKey key, const char16_t* name, MultiString* list) {
    list->clear();
    uint32_t type = 0;
    uint32_t size = 0;
    LStatus status = reg::QueryValueEx(key, name, &type, nullptr, &size);
    if (status != kErrorSuccess || size == 0) return status;
    try {
        std::vector<uint8_t> bytes(size);
        status = reg::QueryValueEx(key, name, &type, bytes.data(), &size);
        if (status != kErrorSuccess) return status;
        std::u16string units(size / 2, u'\0');
        std::memcpy(units.data(), bytes.data(), units.size() * 2);
        *list = ParseUnits(units);
    } catch (const std::bad_alloc&) {
        list->clear();
        return kErrorNotEnoughMemory;
    }
    return kErrorSuccess;
}

LStatus WriteMultiString(HKey key, const char16_t* name, const MultiString& list, size_t extraZeroUnits) {
    try {
        std::u16string units;
        for (const std::u16string& entry : list) {
            units += entry;
            units += u'\0';
        }
        units.append(1 + extraZeroUnits, u'\0');
        if (units.size() > UINT32_MAX / 2) return kErrorNotEnoughMemory;
        return reg::SetValueEx(key, name, kRegMultiSz, reinterpret_cast<const uint8_t*>(units.data()),
                               static_cast<uint32_t>(units.size() * 2));
    } catch (const std::bad_alloc&) {
        return kErrorNotEnoughMemory;
    }
}

}  // namespace qv
