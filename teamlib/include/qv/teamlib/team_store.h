// The team store: teams and VLAN bindings kept under the teaming protocol driver's Adapters key,
// the in-memory team table the front ends build from it, and the helpers that read and write it.
//
// Registry layout (HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\qvteamp\Parameters\Adapters),
// one subkey per physical adapter named by its GUID string:
//   TeamBinding  REG_SZ        "\Device\{team adapter GUID}", present on team members only
//   TeamNumber   REG_DWORD     TeamMode << 8 | members << 4 | slot; 0x10 on a VLAN-only adapter
//   Order        REG_DWORD     the member's preference position within its team
//   VlanBinding  REG_MULTI_SZ  "\Device\{VLAN adapter GUID}" per VLAN bound over the adapter
// The teaming driver reads the same values, so names, types and byte sizes are a fixed contract.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "qv/platform/guid.h"
#include "qv/platform/registry.h"
#include "qv/platform/wintypes.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/owned_string.h"

namespace qv {

inline constexpr char16_t kAdaptersKeyPath[] =
    u"System\\CurrentControlSet\\Services\\qvteamp\\Parameters\\Adapters";

// Registry path buffers are 261 units, GUID strings included.
constexpr int kRegistryPathCapacity = 261;

constexpr int kMaxTeamMembers = 8;
constexpr int kMaxPopulatedTeams = 4;  // PopulateTeamList fills at most this many records
constexpr int kGuiTeamCapacity = 4;
constexpr int kCmdTeamCapacity = 5;  // the command-line program keeps room for one more team

// TeamNumber of an adapter that only carries VLANs: mode 0, one member, slot 0.
constexpr int32_t kVlanOnlyTeamNumber = 0x10;

// One team in memory.
struct TeamInfo {
    int32_t inUse;  // 1 once the record holds a team
    int32_t numNics;
    Guid teamGuid;  // NetCfgInstanceId of the team's virtual adapter
    Guid memberGuids[kMaxTeamMembers];
    char16_t memberNames[kMaxTeamMembers][kAdapterNameCapacity];
    int32_t Order[kMaxTeamMembers];
    int32_t TeamMode;
    int32_t TeamNumber;
};

// The team table. Record i belongs to team adapter i of the inventory. capacity is the number of
// records the front end uses: kGuiTeamCapacity in the GUI, kCmdTeamCapacity in the command-line
// program; the array always has room for kCmdTeamCapacity.
struct TeamTable {
    int32_t capacity = kGuiTeamCapacity;
    TeamInfo teams[kCmdTeamCapacity];
};

// Number of teams in the front end's table; PopulateTeamList counts the teams it finds here.
extern int g_numTeams;

// Clears every record of table and sets g_numTeams to 0 (capacity is kept).
void ClearTeamTable(TeamTable* table);

// Team modes: exactly these values occur. 8 is the failback flag and only comes with Active Backup.
constexpr int32_t QV_MODE_ACTIVE_BACKUP = 1;
constexpr int32_t QV_MODE_TLB = 2;
constexpr int32_t QV_MODE_LACP = 4;
constexpr int32_t QV_MODE_FAILBACK_FLAG = 8;
constexpr int32_t QV_MODE_FAILBACK = QV_MODE_ACTIVE_BACKUP | QV_MODE_FAILBACK_FLAG;

struct TeamModeInfo {
    int32_t teamMode;
    const char16_t* guiName;      // shown in the GUI's lists
    const char16_t* listingName;  // shown by the command-line listing
    int commandLineNumber;        // the mode digit of the command line
};
extern const TeamModeInfo kTeamModes[4];

// The table row of a TeamMode resp. of a command-line mode number; null when there is none.
const TeamModeInfo* FindTeamMode(int32_t teamMode);
const TeamModeInfo* FindTeamModeByNumber(int commandLineNumber);

// Team number packing: TeamMode * 256 + members * 16 + slot.
constexpr int32_t MakeTeamNumber(int32_t teamMode, int32_t members, int32_t slot) {
    return teamMode * 256 + members * 16 + slot;
}
constexpr int32_t TeamModeOf(int32_t teamNumber) {
    return (teamNumber >> 8) & 0xF;
}
constexpr int32_t TeamSlotOf(int32_t teamNumber) {
    return teamNumber & 0xF;
}

// The slot of a new team when numTeams teams exist: the lowest slot in 0..numTeams-1 that no team
// of the table uses, else numTeams (0 for the first team).
int32_t AllocateTeamSlot(const TeamTable& table, int numTeams);
// The packed number of a new team of members adapters in teamMode.
int32_t AllocateTeamNumber(const TeamTable& table, int numTeams, int32_t teamMode, int32_t members);

// Device names of a GUID string: "\Device\{...}" for registry bindings, "\\.\{...}" for opening
// an adapter. Null when guidString is null or memory is short.
OwnedU16 AddDevicePrefix(const char16_t* guidString);
OwnedU16 AddWin32DevicePrefix(const char16_t* guidString);
// The text after the last backslash of a binding string; null when there is no backslash.
OwnedU16 RemoveDevicePrefix(const char16_t* binding);

// Flags of WriteIntoTeamRegistry: the values written on every member key.
constexpr uint32_t QV_SET_TEAM_NUMBER = 1;   // TeamNumber = teamNumber
constexpr uint32_t QV_SET_TEAM_BINDING = 2;  // TeamBinding = AddDevicePrefix of the team GUID
constexpr uint32_t QV_SET_ORDER = 4;         // Order = team.Order[i]

// Writes the values chosen by flags on each member's Adapters subkey, creating it where missing.
// 1 done (a member key that cannot be created is skipped), 0 when the binding cannot be built.
int WriteIntoTeamRegistry(const TeamInfo& team, uint32_t flags, int32_t teamNumber);

// Rebuilds the team records from the Adapters key. teamAdapters is the inventory's ordered list of
// team virtual adapters; a team goes into the record whose index is its adapter's position (only
// the first kMaxPopulatedTeams adapters are considered). The caller clears the table first
// (ClearTeamTable). Returns 1, also when no team is configured.
int PopulateTeamList(TeamTable* table, std::span<const Guid> teamAdapters);
int PopulateTeamList(TeamTable* table, const AdapterTable& teamAdapters);
int PopulateTeamList(TeamTable* table, const AdapterList& teamAdapters);

// True when the adapter of the open driver key is a team member (TeamNumber & 0xF00 non-zero).
bool IsNICTeamed(HKey driverKey);

// Deletes NetworkAddress from the driver key of each physical adapter that is a member of team.
// The second form (command-line program) also gives each member back its own friendly name when it
// carries the "<teamName>:" prefix. 1 once the device list is open, 0 if it cannot be opened.
int RemoveNICRegistrySettings(HWnd window, const TeamInfo& team);
int RemoveNICRegistrySettings(HWnd window, const TeamInfo& team, const char16_t* teamName);

// Calls visit with the name and the open key of each entry of the Adapters key (opened with access),
// in enumeration order, until it answers false. Names too long for a GUID and entries that cannot be
// opened are passed over. The status of opening the Adapters key.
LStatus ForEachAdapterEntry(uint32_t access,
                            const std::function<bool(const char16_t* name, HKey entry)>& visit);

// Deletes the adapter's Adapters subkey (it must have no subkeys), then the Adapters key itself
// once it holds nothing else, as on a machine that never had a team. The status of the first delete.
LStatus DeleteAdapterEntry(const Guid& adapter);

// Deletes the Adapters key when it holds nothing: the store's root goes with its last entry, also
// when a run was cut short between deleting that entry and the key. True when it was deleted.
bool DeleteAdaptersKeyIfEmpty();

// Edit the VlanBinding list of an open Adapters subkey: add puts entry first, remove drops every
// entry equal to it ignoring case and deletes the value when none is left. Registry result codes
// (0 success, kErrorNotEnoughMemory when a buffer cannot be had).
LStatus AddToVlanBinding(HKey adapterKey, const char16_t* entry);
LStatus RemoveFromVlanBinding(HKey adapterKey, const char16_t* entry);

// The GUI's team-name check against the names of its teams: 0 usable, 1 already in use, 2 not
// valid (empty, or not starting with a letter or digit).
constexpr int QV_TEAM_NAME_OK = 0;
constexpr int QV_TEAM_NAME_IN_USE = 1;
constexpr int QV_TEAM_NAME_INVALID = 2;
int CheckTeamName(const char16_t* name, std::span<const std::u16string_view> teamNames);
// The same against the first g_numTeams entries of the GUI's team adapter list.
int CheckTeamName(const char16_t* name, const AdapterList& teamAdapters);

}  // namespace qv
