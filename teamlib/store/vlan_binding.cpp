// Editing of the VlanBinding list (REG_MULTI_SZ) of an Adapters subkey.
//
// Stored values are read defensively: a list whose byte count is odd or that lacks its terminators
// is parsed only within the bytes read, and a list that is extended gets its missing terminators.
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr char16_t kVlanBinding[] = u"VlanBinding";

// A zeroed buffer of whole UTF-16 units; null when memory is short.
OwnedU16 ZeroedUnits(size_t units) {
    return OwnedU16(new (std::nothrow) char16_t[units]());
}

// Units to append to a stored list of `units` units so that it ends in an empty string: none for
// a well-formed list (or the 1-unit empty list), else one or two terminators.
size_t MissingTerminators(const char16_t* list, size_t units) {
    if (units == 0) return 1;
    if (units == 1) return list[0] == u'\0' ? 0 : 2;
    if (list[units - 1] != u'\0') return 2;
    return list[units - 2] == u'\0' ? 0 : 1;
}

}  // namespace

LStatus AddToVlanBinding(HKey adapterKey, const char16_t* entry) {
    QvTrace(u"-->AddToVlanBinding: %s", entry);
    if (entry == nullptr) return kErrorInvalidParameter;
    uint32_t oldSize = 0;
    uint32_t type = 0;
    reg::QueryValueEx(adapterKey, kVlanBinding, &type, nullptr, &oldSize);

    // The old list as whole units (a stray odd byte is dropped); a missing value is the empty
    // list of one zero unit.
    OwnedU16 old = ZeroedUnits(oldSize / 2 + 1);
    if (!old) return kErrorNotEnoughMemory;
    if (oldSize != 0) {
        uint32_t size = oldSize;
        const LStatus status =
            reg::QueryValueEx(adapterKey, kVlanBinding, &type, reinterpret_cast<uint8_t*>(old.get()), &size);
        if (status != kErrorSuccess) {
            QvTrace(u"<--AddToVlanBinding: cannot read VlanBinding %d", status);
            return status;
        }
    }
    size_t oldUnits = oldSize / 2;
    if (oldUnits == 0) {
        oldUnits = 1;
        old[0] = u'\0';
    }
    const size_t entryUnits = std::u16string_view(entry).size() + 1;
    const size_t newUnits = entryUnits + oldUnits + MissingTerminators(old.get(), oldUnits);
    if (newUnits > UINT32_MAX / 2) return kErrorNotEnoughMemory;
    OwnedU16 list = ZeroedUnits(newUnits);
    if (!list) return kErrorNotEnoughMemory;
    // The new entry first, then the old list unchanged: the first entry is the newest.
    std::memcpy(list.get(), entry, entryUnits * 2);
    std::memcpy(list.get() + entryUnits, old.get(), oldUnits * 2);
    const LStatus status =
        reg::SetValueEx(adapterKey, kVlanBinding, kRegMultiSz, reinterpret_cast<const uint8_t*>(list.get()),
                        static_cast<uint32_t>(newUnits * 2));
    QvTrace(u"<--AddToVlanBinding: %d", status);
    return status;
}

LStatus RemoveFromVlanBinding(HKey adapterKey, const char16_t* entry) {
    QvTrace(u"-->RemoveFromVlanBinding: %s", entry);
    if (entry == nullptr) return kErrorInvalidParameter;
    uint32_t size = 0;
    uint32_t type = 0;
    LStatus status = reg::QueryValueEx(adapterKey, kVlanBinding, &type, nullptr, &size);
    if (status != kErrorSuccess) {
        QvTrace(u"<--RemoveFromVlanBinding: cannot query VlanBinding %d", status);
        return status;
    }
    // Zero units beyond the value: room for a terminator after a cut-off last string and for the
    // two zero units stored after the kept strings.
    const size_t units = size / 2 + 4;
    OwnedU16 old = ZeroedUnits(units);
    OwnedU16 kept = ZeroedUnits(units);
    if (!old || !kept) return kErrorNotEnoughMemory;
    status = reg::QueryValueEx(adapterKey, kVlanBinding, &type, reinterpret_cast<uint8_t*>(old.get()), &size);
    if (status != kErrorSuccess) {
        QvTrace(u"<--RemoveFromVlanBinding: cannot read VlanBinding %d", status);
        return status;
    }
    // Strings are only taken from the whole units the value holds (a stray odd byte is dropped); a
    // cut-off last string ends there. Empty strings are dropped and the strings after them kept:
    // the readers skip an empty entry rather than end the list there, so the bindings after one
    // are still the VLANs' records.
    const size_t dataUnits = size / 2;
    size_t keptUnits = 0;
    size_t position = 0;
    while (position < dataUnits) {
        size_t length = 0;
        while (position + length < dataUnits && old[position + length] != u'\0') ++length;
        const std::u16string_view text(old.get() + position, length);
        if (length != 0 && !U16EqualNoCase(text, entry)) {
            std::memcpy(kept.get() + keptUnits, text.data(), length * 2);
            keptUnits += length + 1;  // the terminator is already zero
        }
        position += length + 1;
    }
    const size_t keptBytes = keptUnits * 2;
    if (keptBytes < 3) {
        status = reg::DeleteValue(adapterKey, kVlanBinding);
        QvTrace(u"<--RemoveFromVlanBinding: last entry removed %d", status);
        return status;
    }
    // The kept strings and two zero units after them.
    status =
        reg::SetValueEx(adapterKey, kVlanBinding, kRegMultiSz, reinterpret_cast<const uint8_t*>(kept.get()),
                        static_cast<uint32_t>(keptBytes + 4));
    QvTrace(u"<--RemoveFromVlanBinding: %d", status);
    return status;
}

}  // namespace qv
