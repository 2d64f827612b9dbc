// GetVlanListForNic and GetVlanListForTeam: gather the VlanBinding lists of an adapter's entry, or
// of every entry whose TeamBinding names the team, under the Adapters key and find the VLAN
// adapters they name.
#include <cstring>
#include <string>
#include <vector>

#include "bound_vlans.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/internal/team_binding.h"
#include "qv/teamlib/team_store.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan_list.h"

namespace qv {
namespace {

constexpr int kAdapterKeyPathCapacity = 260;
// A VlanBinding of 64 entries takes about 6 KiB; anything beyond this bound is not a list the
// teaming programs wrote and is not read.
constexpr uint32_t kMaxVlanBindingBytes = 1u << 20;

// Appends the GUIDs that the key's VlanBinding names, when it has a non-empty one, to bound. The
// value is read into a zeroed buffer with room for two extra terminators.
void ReadVlanBinding(HKey adapterKey, std::vector<Guid>* bound) {
    uint32_t type = 0;
    uint32_t size = 0;
    if (reg::QueryValueEx(adapterKey, u"VlanBinding", &type, nullptr, &size) != kErrorSuccess || size == 0) {
        return;
    }
    if (size > kMaxVlanBindingBytes) {
        QvTrace(u"   ReadVlanBinding: VlanBinding of %u bytes not read", size);
        return;
    }
    std::vector<uint8_t> bytes(size + 4, 0);
    uint32_t read = size;
    if (reg::QueryValueEx(adapterKey, u"VlanBinding", &type, bytes.data(), &read) != kErrorSuccess) {
        return;
    }
    std::u16string text(bytes.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(char16_t));
    AppendBoundVlans(text.data(), text.size(), bound);
}

// The VLAN adapters named by bound; no device walk when nothing is bound.
void FindVlans(const std::vector<Guid>& bound, VlanList* list) {
    list->count = 0;
    if (!bound.empty()) {
        FindBoundVlans(bound, list);
    }
}

}  // namespace

bool GetVlanListForNic(const Guid& adapter, VlanList* list) {
    QvTrace(u"-->GetVlanListForNic:");
    list->count = 0;
    char16_t path[kAdapterKeyPathCapacity];
    if (!U16FormatInto(path, kAdapterKeyPathCapacity, u"%s\\%s", kAdaptersKeyPath,
                       GuidToString(adapter).c_str())) {
        return false;
    }
    ScopedKey key;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path, kKeyRead, key.Receive()) != kErrorSuccess) {
        QvTrace(u"<--GetVlanListForNic: no Adapters entry");
        return false;
    }
    std::vector<Guid> bound;
    ReadVlanBinding(key.get(), &bound);
    key.Reset();
    FindVlans(bound, list);
    QvTrace(u"<--GetVlanListForNic: %d", static_cast<int>(list->count));
    return true;
}

// Every member's list counts, not only the first one's: the lists are copies of one another only
// as long as no VLAN change was cut short between two members and nobody edited one of them.
bool GetVlanListForTeam(const Guid& team, VlanList* list) {
    QvTrace(u"-->GetVlanListForTeam:");
    list->count = 0;
    std::vector<Guid> bound;
    const LStatus status = ForEachAdapterEntry(kKeyRead, [&](const char16_t* name, HKey member) {
        Guid named{};
        if (ReadTeamBinding(member, name, &named) && named == team) {
            ReadVlanBinding(member, &bound);
        }
        return true;
    });
    if (status != kErrorSuccess) {
        QvTrace(u"<--GetVlanListForTeam: no Adapters key");
        return false;
    }
    FindVlans(bound, list);
    QvTrace(u"<--GetVlanListForTeam: %d", static_cast<int>(list->count));
    return true;
}

}  // namespace qv
