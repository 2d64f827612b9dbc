#include "vlan_removal.h"

#include <algorithm>

#include "console.h"
#include "flow_bounds.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan.h"

namespace qv::teamcmd {

int ForEachChosenVlan(const VlanList& list, const char16_t* parentName, const char16_t* lineFormat,
                      const VlanChoice& choice, const std::function<void(int index)>& remove) {
    int chosen = 0;
    for (int j = 0; j < VlanCount(list); ++j) {
        const std::u16string_view connection = SlotText(list.connectionNames[j], kAdapterNameCapacity);
        const bool named =
            choice.all ||
            std::any_of(choice.names.begin(), choice.names.end(), [&](std::u16string_view name) {
                return !name.empty() && U16EqualNoCase(name, connection);
            });
        if (!named) {
            continue;
        }
        const std::u16string vlanName(SlotText(list.names[j], kVlanNameCapacity));
        PrintWide(lineFormat, parentName, vlanName.c_str());
        remove(j);
        ++chosen;
    }
    return chosen;
}

int RemoveListedVlans(const Guid& parent, const char16_t* parentName, bool isTeam, const VlanList& list,
                      const char16_t* lineFormat, const VlanChoice& choice) {
    return ForEachChosenVlan(list, parentName, lineFormat, choice,
                             [&](int j) { RemoveVlanFromNic(parent, list.guids[j], isTeam); });
}

}  // namespace qv::teamcmd
