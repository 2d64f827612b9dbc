// The simulated host's device-installation calls share these: a device of a set as they see it
// (its install data kept in the set, its instance id), and the steps that the SetupAPI calls,
// the class installer and newdev.dll have in common. Each step that changes the registry is one
// registry transaction, so a process killed at any point leaves a device whole or not at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qv/platform/devinst.h"
#include "qv/sim/device_set.h"

namespace qv::sim {

// A device of a set: the set, the device's install data in it, its number and instance id.
struct SetMember {
    DeviceSet* set = nullptr;
    DeviceInstallData* data = nullptr;
    uint32_t devInst = 0;
    std::u16string instanceId;
};

// Resolves a (set, device) pair of a call. On failure nullopt with the last error set:
// kErrorInvalidHandle (no such set), kErrorInvalidUserBuffer (bad record size),
// kErrorInvalidParameter (the device is not in the set), kErrorNoSuchDevinst (unknown number).
std::optional<SetMember> FindMember(HDevInfo handle, const DevInfoData* device);
// As FindMember with a null device meaning the set's selected device (kErrorNoDeviceSelected when
// there is none).
std::optional<SetMember> FindMemberOrSelected(HDevInfo handle, const DevInfoData* device);

// A REG_MULTI_SZ property set on a created device, as its list (empty when it has none).
std::vector<std::u16string> PendingList(const DeviceInstallData& data, uint32_t property);

// DIF_REGISTERDEVICE: makes a created device a device node (true at once when it is one).
bool RegisterMember(SetMember& member);
// DIF_REMOVE / SetupDiRemoveDevice with the DIF_REMOVE parameters set on the device (global
// scope when none): the device node and everything of it, or with a config-specific scope only
// its presence in the current hardware profile.
bool RemoveMember(SetMember& member);

// Driver lists (SetupDiBuildDriverInfoList, DIF_SELECTBESTCOMPATDRV).
bool BuildDriverList(SetMember& member, uint32_t driverType);
bool SelectBestCompatDriver(SetMember& member);

// Installs driver on a member that is a device node: driver key, node values, connection name, in
// one registry transaction; then the device starts and the reboot request is noted. The flag
// NoteRebootRequest returns, or nullopt with the last error set (kErrorNoSuchDevinst for a created
// or removed device).
std::optional<uint32_t> InstallMemberDriver(SetMember& member, const DriverEntry& driver);

// UpdateDriverForPlugAndPlayDevicesW: installs the best driver for hardwareId of the INF at infPath
// on every present device that has the id among its hardware or compatible ids; without force
// only on those that have no driver yet. False with the last error when none was installed.
bool UpdateDevicesWithHardwareId(std::u16string_view hardwareId, std::u16string_view infPath, bool force,
                                 bool* rebootRequired);

// The machine's reboot request (host state), added to the device's install parameters after an
// installation, state change or removal; returns the DI_NEEDRESTART / DI_NEEDREBOOT flag or 0.
uint32_t NoteRebootRequest(DeviceInstallData* data);

}  // namespace qv::sim
