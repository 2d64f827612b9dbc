#include "qv/teamlib/internal/member_name.h"

#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// The longest name read or written: 260 units.
constexpr uint32_t kMaxNameBytes = 520;
constexpr size_t kRestoredNameCapacity = 256;

}  // namespace

bool RestoreMemberName(HDevInfo set, DevInfoData* device, std::u16string_view teamName, uint32_t nameBytes,
                       const char16_t* caller) {
    if (nameBytes > kMaxNameBytes) nameBytes = kMaxNameBytes;
    char16_t name[kMaxNameBytes / 2 + 1];
    if (!ReadDisplayName(set, device, name, kMaxNameBytes / 2 + 1, nameBytes)) return false;
    const std::u16string_view current(name);
    // Names compare without regard to case, as Windows compares them.
    if (teamName.empty() || current.size() <= teamName.size() ||
        !U16EqualNoCase(current.substr(0, teamName.size()), teamName)) {
        return false;
    }
    char16_t restored[kRestoredNameCapacity] = {};
    U16FormatInto(restored, kRestoredNameCapacity, u"%s", name + teamName.size() + 1);
    if (!WriteFriendlyName(set, device, restored, nameBytes)) {
        QvTrace(u"   %s: cannot restore the name \"%s\"", caller, name);
        return false;
    }
    return true;
}

}  // namespace qv
