// GetVlanListForNic and GetVlanListForTeam: find the VlanBinding list of an adapter or of a team's
// first member under the Adapters key and resolve it with GetVlanIdForDevices.
#include <cstring>
#include <string>
#include <vector>

#include "qv/platform/scoped_handle.h"
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

// Reads the key's VlanBinding, when it has a non-empty one, into a zeroed buffer with room for
// two extra terminators, and resolves it.
void ReadVlanBinding(HKey adapterKey, VlanList* list) {
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
    GetVlanIdForDevices(text.data(), text.size(), list);
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
    ReadVlanBinding(key.get(), list);
    QvTrace(u"<--GetVlanListForNic:");
    return true;
}

bool GetVlanListForTeam(const Guid& team, VlanList* list) {
    QvTrace(u"-->GetVlanListForTeam:");
    list->count = 0;
    const std::u16string teamText = GuidToString(team);
    const LStatus status = ForEachAdapterEntry(kKeyRead, [&](const char16_t*, HKey member) {
        OwnedU16 binding;
        if (!ReadStringFromRegistry(member, u"TeamBinding", &binding)) return true;
        const OwnedU16 bound = RemoveDevicePrefix(binding.get());
        if (!bound || teamText != bound.get()) return true;
        ReadVlanBinding(member, list);
        return false;
    });
    if (status != kErrorSuccess) {
        QvTrace(u"<--GetVlanListForTeam: no Adapters key");
        return false;
    }
    QvTrace(u"<--GetVlanListForTeam: %d", static_cast<int>(list->count));
    return true;
}

}  // namespace qv
