#include <string_view>

#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr size_t kTeamNameLimit = 256;

// Letters and digits as a team name may start: ASCII and Latin-1 letters and digits; text beyond
// Latin-1 (other scripts) is taken as letters.
bool IsLetterOrDigit(char16_t c) {
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) return true;
    if (c == 0xAA || c == 0xB5 || c == 0xBA) return true;
    if (c >= 0xC0 && c <= 0xFF) return c != 0xD7 && c != 0xF7;
    return c > 0xFF && !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFEFF;
}

std::u16string_view Bounded(const char16_t* name) {
    if (name == nullptr) return {};
    size_t length = 0;
    while (length < kTeamNameLimit && name[length] != u'\0') ++length;
    return std::u16string_view(name, length);
}

}  // namespace

int CheckTeamName(const char16_t* name, std::span<const std::u16string_view> teamNames) {
    const std::u16string_view proposed = Bounded(name);
    for (const std::u16string_view existing : teamNames) {
        if (U16EqualNoCase(proposed, existing)) {
            QvTrace(u"   CheckTeamName: name in use");
            return QV_TEAM_NAME_IN_USE;
        }
    }
    if (proposed.empty() || !IsLetterOrDigit(proposed[0])) {
        QvTrace(u"   CheckTeamName: name not valid");
        return QV_TEAM_NAME_INVALID;
    }
    return QV_TEAM_NAME_OK;
}

int CheckTeamName(const char16_t* name, const AdapterList& teamAdapters) {
    int count = g_numTeams < teamAdapters.count ? g_numTeams : teamAdapters.count;
    if (count < 0) count = 0;
    if (count > kAdapterListCapacity) count = kAdapterListCapacity;
    std::u16string_view names[kAdapterListCapacity];
    for (int i = 0; i < count; ++i) names[i] = Bounded(teamAdapters.entries[i].displayName);
    return CheckTeamName(name, std::span<const std::u16string_view>(names, static_cast<size_t>(count)));
}

}  // namespace qv
