// Removing the VLAN adapters of one parent (a free adapter or a team), shared by team removal and
// VLAN deletion.
#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "qv/platform/guid.h"
#include "qv/teamlib/vlan_list.h"

namespace qv::teamcmd {

// Which VLANs of a list to remove: every one, or those whose connection name equals one of names,
// ignoring case.
struct VlanChoice {
    bool all = true;
    std::span<const std::u16string_view> names;
};

// Calls remove with the index of each chosen VLAN of list, once each, after printing lineFormat (a
// UTF-16 format with two %s) with parentName and the VLAN's name. Returns how many were chosen.
int ForEachChosenVlan(const VlanList& list, const char16_t* parentName, const char16_t* lineFormat,
                      const VlanChoice& choice, const std::function<void(int index)>& remove);

// Removes the chosen VLANs of list, the VLAN list of parent, each once. Before each removal
// prints lineFormat (a UTF-16 format with two %s) with parentName and the VLAN name. Returns how
// many removals were attempted.
int RemoveListedVlans(const Guid& parent, const char16_t* parentName, bool isTeam, const VlanList& list,
                      const char16_t* lineFormat, const VlanChoice& choice = {});

}  // namespace qv::teamcmd
