// The adapter inventory: enumeration of the present network adapters, their classification
// (physical, the teaming driver's virtual adapters), the registry string reader, the two inventory
// builders of the front ends, the single-instance checks and the administrator test.
#pragma once

#include <cstdint>
#include <functional>

#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/platform/registry.h"
#include "qv/platform/wintypes.h"
#include "qv/teamlib/owned_string.h"

namespace qv {

// Modes of PopulateGuids and QueryAdapters.
constexpr int QV_POPULATE = 0;     // list adapters
constexpr int QV_REMOVE_TEAM = 1;  // remove the team adapter with the given GUID
constexpr int QV_HIDE_NIC = 2;     // hide and restart the physical adapter with the given GUID
constexpr int QV_SHOW_NIC = 3;     // show and restart the physical adapter with the given GUID

// Kinds of QueryAdapters in QV_POPULATE.
constexpr int QV_KIND_TEAM_ADAPTERS = 1;
constexpr int QV_KIND_FREE_ADAPTERS = 2;

// Text slots of the inventory tables, in units with terminator.
constexpr int kAdapterNameCapacity = 261;

// The command-line program's inventory: up to 16 adapters with their connection names (the
// names the user types) and display names (friendly name, else description).
constexpr int kAdapterTableCapacity = 16;
struct AdapterTable {
    int32_t count;
    Guid guids[kAdapterTableCapacity];
    char16_t connectionNames[kAdapterTableCapacity][kAdapterNameCapacity];
    char16_t displayNames[kAdapterTableCapacity][kAdapterNameCapacity];
};

// One adapter of the GUI's lists.
struct AdapterEntry {
    Guid guid;
    char16_t displayName[kAdapterNameCapacity];
    char16_t service[kAdapterNameCapacity];
    uint32_t installState;
    char16_t driverDate[kAdapterNameCapacity];
    char16_t driverVersion[kAdapterNameCapacity];
};

// A GUI adapter list. It holds 32 entries, far more than the adapters a server carries; when it is
// full, further adapters are left out and the builder traces it.
constexpr int kAdapterListCapacity = 32;
struct AdapterList {
    int32_t count;
    int32_t longestNameLength;  // units of the longest display name added, for the list's column width
    AdapterEntry entries[kAdapterListCapacity];
};

// The two lists that PopulateGuids fills: team adapters and unassigned physical adapters.
struct AdapterLists {
    AdapterList teamAdapters;
    AdapterList unassignedAdapters;
};

// Reads a registry value as a string: 1 with a newly allocated, always terminated copy (the value's
// type is not checked), or 0 with *out cleared.
int ReadStringFromRegistry(HKey key, const char16_t* valueName, OwnedU16* out);

// The network connection name of an adapter (the name the user sees and types), read from
// Control\Network\{class}\<guidString>\Connection, value Name, into buffer (at most capacity
// units with the terminator). Returns false, with an empty buffer, when it cannot be read.
bool ReadConnectionName(const char16_t* guidString, char16_t* buffer, size_t capacity);

// Classification by device instance id: physical adapters are not root-enumerated; virtual
// adapters of the teaming driver live under ROOT\NET. A device whose id cannot be read is neither.
int IsPhysicalNIC(const DevInfoData& device);
int IsVirtualNIC(const DevInfoData& device);

// True when the adapter whose NetCfgInstanceId is the string form of guid has the provider
// "Quorvex" (exact case, whole string).
bool IsQuorvexNic(const Guid& guid);

// Calls visit with the GUID and the display name (friendly name, else description, at most 260
// units) of every present physical network adapter. False when the device list cannot be opened.
bool ForEachPhysicalAdapter(const std::function<void(const Guid& guid, const char16_t* displayName)>& visit);

// The GUI's inventory builder. In QV_POPULATE it appends the teaming driver's virtual adapters to
// lists->teamAdapters and the unteamed physical adapters to lists->unassignedAdapters (the caller
// clears the lists first). QV_REMOVE_TEAM and QV_SHOW_NIC act on the adapter with the given GUID.
// Returns 1, or 0 when the device list cannot be opened or lists is null in QV_POPULATE.
int PopulateGuids(HWnd window, AdapterLists* lists, int mode, const Guid& guid);

// The command-line program's inventory builder. In QV_POPULATE it fills table (cleared by the
// caller) with the adapters of kind; modes 1 to 3 act on the adapter with the given GUID.
// Returns 1, or 0 when the device list cannot be opened.
int QueryAdapters(int mode, Guid guid, int kind, AdapterTable* table);

// The number of running processes whose image base name is imageName (without regard to case),
// counting up to stopAt; 0 also when the process list cannot be read.
int CountProcessesNamed(const char16_t* imageName, int stopAt);

// Single-instance checks: 1 when at least two processes of the program's image name run.
int IsQvTeamCfgRunning();
int IsQvTeamCmdRunning();

// Nonzero when the caller belongs to the local Administrators group.
int IsUserAdmin();

// True when the network adapters' class key refuses full access with ERROR_ACCESS_DENIED, as it
// does for a user who is no administrator: the adapters' driver keys, which listing, creating and
// removing teams open with full access, are then out of reach and those flows would find nothing.
bool AdministratorRightsMissing();

}  // namespace qv
