// Editing of the VlanBinding list (REG_MULTI_SZ) of an Adapters subkey, as a list of strings
// (multi_string.h): a stored list whose byte count is odd or that lacks its terminators is read only
// within its bytes, and is written back with its terminators.
#include <string>

#include "multi_string.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr char16_t kVlanBinding[] = u"VlanBinding";

}  // namespace

LStatus AddToVlanBinding(HKey adapterKey, const char16_t* entry) {
    QvTrace(u"-->AddToVlanBinding: %s", entry);
    if (entry == nullptr) return kErrorInvalidParameter;
    // A missing value is the empty list.
    MultiString list;
    LStatus status = ReadMultiString(adapterKey, kVlanBinding, &list);
    if (status != kErrorSuccess && status != kErrorFileNotFound) {
        QvTrace(u"<--AddToVlanBinding: cannot read VlanBinding %d", status);
        return status;
    }
    // The new entry first, then the old list unchanged: the first entry is the newest.
    list.insert(list.begin(), entry);
    status = WriteMultiString(adapterKey, kVlanBinding, list);
    QvTrace(u"<--AddToVlanBinding: %d", status);
    return status;
}

LStatus RemoveFromVlanBinding(HKey adapterKey, const char16_t* entry) {
    QvTrace(u"-->RemoveFromVlanBinding: %s", entry);
    if (entry == nullptr) return kErrorInvalidParameter;
    MultiString list;
    LStatus status = ReadMultiString(adapterKey, kVlanBinding, &list);
    if (status != kErrorSuccess) {
        QvTrace(u"<--RemoveFromVlanBinding: cannot read VlanBinding %d", status);
        return status;
    }
    // Empty strings are dropped and the strings after them kept: the readers skip an empty entry
    // rather than end the list there, so the bindings after one are still the VLANs' records.
    std::erase_if(list, [&](const std::u16string& binding) {
        return binding.empty() || U16EqualNoCase(binding, entry);
    });
    if (list.empty()) {
        status = reg::DeleteValue(adapterKey, kVlanBinding);
        QvTrace(u"<--RemoveFromVlanBinding: last entry removed %d", status);
        return status;
    }
    // A shortened list is stored with two zero units after its strings: the form the teaming driver
    // is given after a removal.
    status = WriteMultiString(adapterKey, kVlanBinding, list, 1);
    QvTrace(u"<--RemoveFromVlanBinding: %d", status);
    return status;
}

}  // namespace qv
