#include "vlan_removal.h"

#include <algorithm>

#include "console.h"
#include "flow_bounds.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/vlan.h"

namespace qv::teamcmd {

int RemoveListedVlans(const Guid& parent, const char16_t* parentName, bool isTeam, const VlanList& list,
                      const char16_t* lineFormat, const VlanChoice& choice) {
    int attempted = 0;
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
        RemoveVlanFromNic(parent, list.guids[j], isTeam);
        ++attempted;
    }
    return attempted;
}

}  // namespace qv::teamcmd
