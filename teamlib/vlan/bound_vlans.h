// The VLAN adapters that VlanBinding lists name: the GUIDs read from the lists, and the present
// VLAN adapters found for them. A list may hold entries that name no present adapter (stale or
// hand-made ones, garbage, empty strings): they are skipped, and the entries after them still count.
#pragma once

#include <cstddef>
#include <vector>

#include "qv/platform/guid.h"
#include "qv/teamlib/vlan_list.h"

namespace qv {

// Appends the GUID of every "\Device\{GUID}" entry of a VlanBinding multi-string (units UTF-16
// units, which need not be terminated) to bound; entries that name no GUID are skipped.
void AppendBoundVlans(const char16_t* vlanBinding, size_t units, std::vector<Guid>* bound);

// Fills list with the present virtual adapters whose GUID is in bound and that carry a VlanName,
// each once, in the order of the devices in the system, at most kMaxVlans. True when the device
// list could be opened.
bool FindBoundVlans(const std::vector<Guid>& bound, VlanList* list);

}  // namespace qv
