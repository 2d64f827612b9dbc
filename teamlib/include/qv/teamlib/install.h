// Installation and removal of the teaming driver's virtual adapters (team and VLAN adapters): the
// miniport's installed INF, creating and installing a root-enumerated adapter, wiring a new team
// adapter to its members, and removing an adapter again.
#pragma once

#include <cstdint>
#include <string>

#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "qv/platform/wintypes.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/team_store.h"

namespace qv {

// The hardware id of the teaming virtual miniport.
inline constexpr char16_t kMiniportHardwareId[] = u"QV_QVTEAMMP";

// Path buffers of the INF lookups and of cmdInstall's name buffer, in units with terminator.
constexpr int kInfPathCapacity = 260;
constexpr int kInstallNameCapacity = 260;

// Result codes of cmdInstall and cmdUpdate.
constexpr int QV_INSTALL_OK = 0;
constexpr int QV_INSTALL_FAILED = 2;
constexpr int QV_INSTALL_NO_MEMORY = 3;

// Finds the installed INF of the virtual miniport (an oem*.inf of the Windows INF directory, of
// class "Net", whose ControlFlags ExcludeFromSelect names kMiniportHardwareId exactly). 1 with
// its full path in path (kInfPathCapacity units), 0 when none is found.
int GetMiniportInf(char16_t* path);

// Creates a root-enumerated adapter of hardwareId, installs the driver of infPath on it and gives
// it the friendly name in name (kInstallNameCapacity units; at most 127 characters survive). On
// QV_INSTALL_OK, name holds the friendly name as the system reports it and *guid the adapter's
// NetCfgInstanceId. A failure after registration removes the half-made device again.
int cmdInstall(const char16_t* hardwareId, const char16_t* infPath, char16_t* name, Guid* guid);

// Installs the driver of infPath on a created device, trying InstallSelectedDriver (major version
// 5 only), DiInstallDevice, then UpdateDriverForPlugAndPlayDevicesW. QV_INSTALL_OK or
// QV_INSTALL_FAILED.
int cmdUpdate(const char16_t* hardwareId, const char16_t* infPath, HDevInfo set, DevInfoData* device);

// The InstallSelectedDriver path of cmdUpdate; installSelectedDriver is the export's address.
// 1 installed, 0 failed.
int InstallSelectedDriverForWinXPS03(const char16_t* hardwareId, const char16_t* fullInfPath, HDevInfo set,
                                     DevInfoData* device, void* installSelectedDriver);

// How UpdateTeam names the team adapter and its members.
enum class TeamNaming {
    // The GUI: members are always renamed "<teamName>:<previous name>".
    kAlways,
    // The command line: teamName is the virtual-adapter name the user gave, or null/empty when none
    // was given. Given, the team adapter's friendly name is set to it before the restart and the
    // members are renamed with it; not given, no friendly name is changed.
    kOnlyWhenGiven,
};

// Wires a newly installed team adapter to its members: restarts it, waits (up to 10 s on the clock
// port) for its NetworkAddress, copies the address to each member, renames, hides and restarts
// the members and enables the team adapter. 1 done, 0 failed.
int UpdateTeam(HWnd window, const TeamInfo& team, const char16_t* teamName,
               TeamNaming naming = TeamNaming::kAlways);

// Team removal in the GUI: gives the member back the friendly name it had before it joined the
// team. The team's display name is taken from teamAdapters (the GUI's team adapter list). 1 when
// the team is in that list, 0 otherwise.
int SetNicFriendlyName(const AdapterList& teamAdapters, const Guid& team, const Guid& member);

// Gives a member of a removed team back to the system: it is shown and restarted, its protocols are
// bound again, and then its Adapters entry goes (DeleteAdapterEntry). 0 when all went, else the
// QV_RELEASE_* flags of what failed. The entry stays when a step failed or the member is not
// present (QV_RELEASE_ABSENT, nothing done), so that a later removal finds and finishes it. With
// lockHolder: the name of the program that held the write lock when the binding failed for it.
constexpr int QV_RELEASE_SHOW_FAILED = 1;
constexpr int QV_RELEASE_BIND_FAILED = 2;
constexpr int QV_RELEASE_ABSENT = 4;
int ReleaseTeamMember(const Guid& member);
int ReleaseTeamMember(const Guid& member, std::u16string* lockHolder);

// Removes a virtual adapter from the system (DIF_REMOVE, global scope). 1 removed, 0 failed.
int RemoveTeamDetails(HDevInfo set, DevInfoData* device);

// Removes every present device of the miniport (root-enumerated, hardware id kMiniportHardwareId)
// that has no driver key or no NetCfgInstanceId: an installation that was cut short. The number
// removed.
int RemoveIncompleteVirtualAdapters();

}  // namespace qv
