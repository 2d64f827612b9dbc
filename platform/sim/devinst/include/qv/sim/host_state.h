// The simulated host's own state: where the device database sits in the machine's registry, and
// the simulator-only values kept beside it (presence, disabled flag, MAC addresses, host answers).
// For qvsim and the tests; the programs never include this header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "qv/platform/guid.h"

namespace qv::sim {

// Registry paths below HKEY_LOCAL_MACHINE.
inline constexpr std::u16string_view kEnumPath = u"SYSTEM\\CurrentControlSet\\Enum";
inline constexpr std::u16string_view kClassPath = u"SYSTEM\\CurrentControlSet\\Control\\Class";
inline constexpr std::u16string_view kNetworkPath = u"SYSTEM\\CurrentControlSet\\Control\\Network";
inline constexpr std::u16string_view kDeviceClassesPath =
    u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";
inline constexpr std::u16string_view kServicesPath = u"SYSTEM\\CurrentControlSet\\Services";
inline constexpr std::u16string_view kSimDevicesPath = u"SOFTWARE\\QvSim\\Devices";
inline constexpr std::u16string_view kSimHostPath = u"SOFTWARE\\QvSim\\Host";
inline constexpr std::u16string_view kSimNetCfgPath = u"SOFTWARE\\QvSim\\NetCfg";

// base + "\" + child: a registry path one level below base.
inline std::u16string JoinPath(std::u16string_view base, std::u16string_view child) {
    std::u16string path(base);
    path += u'\\';
    path += child;
    return path;
}

// Class GUID strings used by the device database.
inline constexpr std::u16string_view kNetClassGuid = kGuidDevClassNetText;
inline constexpr std::u16string_view kNetTransClassGuid = kGuidDevClassNetTransText;
inline constexpr std::u16string_view kSystemClassGuid = kGuidDevClassSystemText;
// Interface class of the adapters' virtual bus driver.
inline constexpr std::u16string_view kBusDriverInterfaceGuid = kGuidBusDriverInterfaceText;

// Names of the per-device simulator values (DWORD unless noted).
inline constexpr std::u16string_view kStatePresent = u"Present";    // 0 = not present; missing = present
inline constexpr std::u16string_view kStateDisabled = u"Disabled";  // 1 = disabled
inline constexpr std::u16string_view kStatePermanentAddress = u"PermanentAddress";  // REG_SZ, 12 hex digits
inline constexpr std::u16string_view kStateCard = u"Card";                          // n5 card index
inline constexpr std::u16string_view kStatePort = u"Port";                          // port of the card
inline constexpr std::u16string_view kStateInstallState = u"InstallState";          // SPDRP_INSTALL_STATE

// Device installation and the simulated drivers. A device disabled in the current hardware
// profile (DICS_FLAG_CONFIGSPECIFIC) carries ProfileDisabled 1; one disabled globally carries
// CONFIGFLAG_DISABLED in its node's ConfigFlags; Disabled is 1 while either holds.
inline constexpr std::u16string_view kStateProfileDisabled = u"ProfileDisabled";
inline constexpr uint32_t kConfigFlagDisabled = 0x1;
// Host values (DWORD) that say how newdev.dll answers: NewdevLibrary 0 = it cannot be loaded;
// each export's value is one of kExport* (missing value: it exists and works).
inline constexpr std::u16string_view kHostNewdevLibrary = u"NewdevLibrary";
inline constexpr std::u16string_view kHostNewdevDiInstallDevice = u"NewdevDiInstallDevice";
inline constexpr std::u16string_view kHostNewdevInstallSelectedDriver = u"NewdevInstallSelectedDriver";
inline constexpr std::u16string_view kHostNewdevUpdateDriver = u"NewdevUpdateDriverForPlugAndPlayDevicesW";
inline constexpr uint32_t kExportMissing = 0;
inline constexpr uint32_t kExportWorks = 1;
inline constexpr uint32_t kExportFails = 2;  // the call returns FALSE, last error ERROR_GEN_FAILURE
// What the device manager asks for after an installation, state change or removal: kReboot*.
inline constexpr std::u16string_view kHostRebootRequest = u"RebootRequest";
inline constexpr uint32_t kRebootNone = 0;
inline constexpr uint32_t kRebootRestart = 1;  // DI_NEEDRESTART
inline constexpr uint32_t kRebootReboot = 2;   // DI_NEEDREBOOT
// Milliseconds of the clock port after a start of a team or VLAN miniport until it writes its
// NetworkAddress (missing or 0: at once); kMiniportAddressNever: it never writes it.
inline constexpr std::u16string_view kHostMiniportAddressDelay = u"MiniportAddressDelay";
inline constexpr uint32_t kMiniportAddressNever = 0xFFFFFFFFu;

// A random version-4 GUID: the instance GUID of a newly installed adapter or network component.
Guid NewRandomGuid();

// "PCI\VEN_..\4&.." -> "PCI#VEN_..#4&..": the name of the device's key under kSimDevicesPath.
std::u16string DeviceStateKeyName(std::u16string_view instanceId);

// A DWORD of the device's simulator state; nullopt when absent.
std::optional<uint32_t> ReadDeviceState(std::u16string_view instanceId, std::u16string_view valueName);
// Writes a DWORD of the device's simulator state, creating its key. False when the registry fails.
bool WriteDeviceState(std::u16string_view instanceId, std::u16string_view valueName, uint32_t value);
// A device counts as present unless its Present value is 0.
bool IsDevicePresent(std::u16string_view instanceId);
// A device counts as disabled while its Disabled value is not 0.
bool IsDeviceDisabled(std::u16string_view instanceId);

// Host answers under kSimHostPath: Administrator, OsMajor, OsMinor, OsBuild, PlatformId.
std::optional<uint32_t> ReadHostValue(std::u16string_view valueName);
bool WriteHostValue(std::u16string_view valueName, uint32_t value);

// The machine's Windows directory as the programs see it: a drive-absolute Windows path (REG_SZ
// kHostWindowsDirectory under kSimHostPath, kDefaultWindowsDirectory when missing; it may end in a
// backslash). It stands for the folder Windows/ of the machine directory. nullopt when the stored
// value is not a drive-absolute path of at most 240 units; SetWindowsDirectory refuses such a path.
inline constexpr std::u16string_view kHostWindowsDirectory = u"WindowsDirectory";
inline constexpr std::u16string_view kDefaultWindowsDirectory = u"C:\\WINDOWS";
std::optional<std::u16string> WindowsDirectory();
bool SetWindowsDirectory(std::u16string_view path);

}  // namespace qv::sim
