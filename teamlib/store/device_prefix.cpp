#include <cstring>
#include <new>
#include <string_view>

#include "qv/teamlib/team_store.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// prefix followed by text, terminated, in a new buffer; null when memory is short.
OwnedU16 Prefixed(std::u16string_view prefix, const char16_t* text) {
    if (text == nullptr) return nullptr;
    const std::u16string_view body(text);
    OwnedU16 result(new (std::nothrow) char16_t[prefix.size() + body.size() + 1]);
    if (!result) return nullptr;
    std::memcpy(result.get(), prefix.data(), prefix.size() * sizeof(char16_t));
    std::memcpy(result.get() + prefix.size(), body.data(), body.size() * sizeof(char16_t));
    result[prefix.size() + body.size()] = u'\0';
    return result;
}

}  // namespace

OwnedU16 AddDevicePrefix(const char16_t* guidString) {
    OwnedU16 result = Prefixed(u"\\Device\\", guidString);
    if (!result) QvTrace(u"   AddDevicePrefix: no string");
    return result;
}

OwnedU16 AddWin32DevicePrefix(const char16_t* guidString) {
    OwnedU16 result = Prefixed(u"\\\\.\\", guidString);
    if (!result) QvTrace(u"   AddWin32DevicePrefix: no string");
    return result;
}

OwnedU16 RemoveDevicePrefix(const char16_t* binding) {
    if (binding == nullptr) return nullptr;
    const std::u16string_view text(binding);
    const size_t slash = text.rfind(u'\\');
    if (slash == std::u16string_view::npos) return nullptr;
    return Prefixed(u"", binding + slash + 1);
}

}  // namespace qv
