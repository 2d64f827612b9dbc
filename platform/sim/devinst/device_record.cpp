// Typed registry values of the device records, and reading all values of one key.
#include "qv/sim/device_database.h"
#include "qv/sim/reg_key.h"

namespace qv::sim {

RegValue RegValue::String(std::u16string_view name, std::u16string_view text) {
    return {std::u16string(name), kRegSz, StringBytes(text)};
}

RegValue RegValue::Dword(std::u16string_view name, uint32_t value) {
    return {std::u16string(name), kRegDword, DwordBytes(value)};
}

RegValue RegValue::MultiString(std::u16string_view name, const std::vector<std::u16string>& list) {
    return {std::u16string(name), kRegMultiSz, MultiStringBytes(list)};
}

std::u16string RegValue::AsString() const {
    return StringFromBytes(data);
}

std::vector<std::u16string> RegValue::AsMultiString() const {
    return ParseMultiString(data);
}

const RegValue* RegValues::Find(std::u16string_view name) const {
    for (const auto& value : values) {
        if (EqualsIgnoreCase(value.name, name)) return &value;
    }
    return nullptr;
}

std::optional<std::u16string> RegValues::String(std::u16string_view name) const {
    const RegValue* value = Find(name);
    return value ? std::optional(value->AsString()) : std::nullopt;
}

std::optional<uint32_t> RegValues::Dword(std::u16string_view name) const {
    const RegValue* value = Find(name);
    return value ? DwordFromBytes(value->data) : std::nullopt;
}

void RegValues::Set(RegValue value) {
    for (auto& existing : values) {
        if (EqualsIgnoreCase(existing.name, value.name)) {
            existing = std::move(value);
            return;
        }
    }
    values.push_back(std::move(value));
}

std::optional<RegValues> ReadKeyValues(std::u16string_view path, LStatus* status) {
    RegKey key;
    const LStatus opened = RegKey::Open(path, kKeyQueryValue, &key);
    if (status) *status = opened;
    if (opened != kErrorSuccess) return std::nullopt;
    RegValues list;
    std::u16string name(kMaxValueNameLength + 1, u'\0');
    for (uint32_t index = 0;; ++index) {
        uint32_t length = kMaxValueNameLength + 1;
        if (reg::EnumValue(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr) !=
            kErrorSuccess)
            break;
        RegValue value;
        value.name.assign(name.data(), length);
        auto bytes = key.ReadBytes(value.name, &value.type);
        if (!bytes) continue;  // deleted by another process meanwhile
        value.data = std::move(*bytes);
        list.values.push_back(std::move(value));
    }
    return list;
}

}  // namespace qv::sim
