// Creating, removing and recording VLAN adapters: a VLAN is a virtual adapter of the teaming
// miniport stacked over a physical adapter or a team adapter (its parent). The readers of the
// VLANs of a parent are in vlan_list.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "qv/platform/guid.h"
#include "qv/platform/wintypes.h"

namespace qv {

// Installs a VLAN adapter over the parent (a team adapter when isTeam), records it in the
// parent's (or every member's) VlanBinding and writes VlanID and VlanName into its driver key.
// The adapter's friendly name is "<parentName> - <vlanName>". True with *vlanGuid set when the
// adapter was installed and recorded; an adapter that cannot be recorded is removed again.
bool CreateVlanForNic(const Guid& parent, const char16_t* parentName, const char16_t* vlanName,
                      uint32_t vlanId, Guid* vlanGuid, bool isTeam);

// Removes the VLAN adapter, then its binding from the parent (or every member): the binding is the
// record that finds the adapter, so it goes last. 1 removed, 0 failed: the adapter could not be
// removed (its binding stays) or no longer exists (its binding is dropped all the same).
int RemoveVlanFromNic(const Guid& parent, const Guid& vlan, bool isTeam);

// Removes the present VLAN adapter with this GUID and nothing else. kVlanDeviceRemoved,
// kVlanDeviceMissing (no present adapter has it), or kVlanDeviceKept (its removal failed).
enum VlanDeviceRemoval { kVlanDeviceRemoved, kVlanDeviceMissing, kVlanDeviceKept };
VlanDeviceRemoval RemoveVlanDevice(const Guid& vlan);

// Taking a parent over for its first VLAN, and giving it back after its last.
//
// A parent that carries VLANs is hidden and its protocols are unbound. So that a run cut short
// anywhere leaves a parent that `QvTeamCmd -d all` finds and gives back, the record comes first and
// goes last: an adapter's record is its VLAN-only Adapters entry (TeamNumber 0x10), written before
// it is hidden and unbound and deleted after it is shown and bound again; a team (whose members'
// entries exist anyway) is hidden before it is unbound and shown last, so its hidden flag is the
// record.
//
// TakeOverVlanParent records, hides and unbinds the parent. False when the protocols could not be
// unbound: the parent is then given back, and *lockHolder names the program holding the
// network-configuration write lock when that was the reason (else it is empty).
bool TakeOverVlanParent(const Guid& parent, bool isTeam, std::u16string* lockHolder);

// Shows the parent, binds its protocols again and then drops its VLAN records: an adapter's
// VLAN-only entry, a team's VlanBinding lists. False when the protocols could not be bound: the
// records stay, so that a later run can finish, and *lockHolder is set as above.
bool GiveBackVlanParent(const Guid& parent, bool isTeam, std::u16string* lockHolder);

// Whether the parent is taken over for VLANs: an adapter with a VLAN-only Adapters entry, or any
// hidden adapter or team that is not a team member.
bool IsVlanParentTakenOver(const Guid& parent, bool isTeam);

// Removes every present VLAN adapter of the teaming miniport (a virtual adapter with a VlanID):
// after every recorded VLAN is deleted, those that are left are VLAN adapters that no parent lists,
// from a run cut short between installing an adapter and recording it whole. Calls removed with
// each one's connection name; the number removed.
int RemoveRemainingVlanAdapters(const std::function<void(const char16_t* connectionName)>& removed);

// Adds (remove false) or removes the VLAN's "\Device\{GUID}" in the VlanBinding of the adapter's
// Adapters subkey. Adding to an adapter without a subkey creates it with TeamNumber 0x10 and
// Order 0; removing the last VLAN of such an adapter deletes the subkey. A registry result code.
LStatus AddRemoveVlanInfoNic(const Guid& adapter, const Guid& vlan, bool remove);

// The same for every member whose TeamBinding names the team. 0 when every member was updated,
// else the error of the last member update that failed.
LStatus AddRemoveVlanInfoTeam(const Guid& team, const Guid& vlan, bool remove);

// Writes the adapter's VLAN-only Adapters entry (TeamNumber 0x10, Order 0) unless it has an entry
// already; deletes it again when it is a VLAN-only entry (no TeamBinding, no team mode in
// TeamNumber). Registry result codes; deleting an entry that is not there succeeds.
LStatus RecordVlanParent(const Guid& adapter);
LStatus DeleteVlanOnlyEntry(const Guid& adapter);
bool HasVlanOnlyEntry(const Guid& adapter);

// Deletes the VlanBinding list of every member whose TeamBinding names the team.
LStatus ClearTeamVlanBindings(const Guid& team);

}  // namespace qv
