// Creating, removing and recording VLAN adapters: a VLAN is a virtual adapter of the teaming
// miniport stacked over a physical adapter or a team adapter (its parent). The readers of the
// VLANs of a parent are in vlan_list.h.
#pragma once

#include <cstdint>

#include "qv/platform/guid.h"
#include "qv/platform/wintypes.h"

namespace qv {

// Installs a VLAN adapter over the parent (a team adapter when isTeam), records it in the
// parent's (or every member's) VlanBinding and writes VlanID and VlanName into its driver key.
// The adapter's friendly name is "<parentName> - <vlanName>". True with *vlanGuid set when the
// adapter was installed and recorded; an adapter that cannot be recorded is removed again.
bool CreateVlanForNic(const Guid& parent, const char16_t* parentName, const char16_t* vlanName,
                      uint32_t vlanId, Guid* vlanGuid, bool isTeam);

// Removes the VLAN's binding from the parent (or every member), then its adapter. 1 removed, 0
// failed (also when the adapter no longer exists; its binding is gone then all the same).
int RemoveVlanFromNic(const Guid& parent, const Guid& vlan, bool isTeam);

// Adds (remove false) or removes the VLAN's "\Device\{GUID}" in the VlanBinding of the adapter's
// Adapters subkey. Adding to an adapter without a subkey creates it with TeamNumber 0x10 and
// Order 0; removing the last VLAN of such an adapter deletes the subkey. A registry result code.
LStatus AddRemoveVlanInfoNic(const Guid& adapter, const Guid& vlan, bool remove);

// The same for every member whose TeamBinding names the team. 0 when every member was updated,
// else the error of the last member update that failed.
LStatus AddRemoveVlanInfoTeam(const Guid& team, const Guid& vlan, bool remove);

}  // namespace qv
