// Install parameters, class-install parameters, state changes and the class installer's
// functions on the simulated host (SetupDiGet/SetDeviceInstallParamsW,
// SetupDiSetClassInstallParamsW, SetupDiChangeState, SetupDiCallClassInstaller).
//
// A device is disabled globally (CONFIGFLAG_DISABLED in its node's ConfigFlags) or in the current
// hardware profile (the simulator value ProfileDisabled); it is disabled while either holds, and
// the simulator value Disabled says so. Enabling clears only the scope it names, as on Windows.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "device_install.h"
#include "device_node.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/registry_store.h"
#include "qv/sim/simulated_miniport.h"

namespace qv::sim {
namespace {

// The install data of the device, or of the set itself for a null device (kept under number 0).
DeviceInstallData* InstallDataOf(HDevInfo handle, const DevInfoData* device) {
    if (device == nullptr) {
        DeviceSet* set = FindOrFail<DeviceSet>(handle);
        return set ? &set->install[0] : nullptr;
    }
    auto member = FindMember(handle, device);
    return member ? member->data : nullptr;
}

// Applies stateChange with scope to the device's disabled flags; *wasDisabled and *isDisabled
// tell what it was and became. A registry status.
LStatus ApplyStateChange(const std::u16string& instanceId, uint32_t stateChange, uint32_t scope,
                         bool* wasDisabled, bool* isDisabled) {
    RegKey node;
    LStatus status = RegKey::Open(DeviceNodePath(instanceId), kKeyQueryValue | kKeySetValue, &node);
    if (status != kErrorSuccess) return status;
    uint32_t configFlags = node.ReadDword(u"ConfigFlags").value_or(0);
    uint32_t profileDisabled = ReadDeviceState(instanceId, kStateProfileDisabled).value_or(0);
    *wasDisabled = IsDeviceDisabled(instanceId);
    if (stateChange == kDicsEnable || stateChange == kDicsDisable) {
        const bool disable = stateChange == kDicsDisable;
        if (scope == kDicsFlagGlobal) {
            configFlags =
                disable ? (configFlags | kConfigFlagDisabled) : (configFlags & ~kConfigFlagDisabled);
            status = node.WriteDword(u"ConfigFlags", configFlags);
        } else {
            profileDisabled = disable ? 1 : 0;
            if (!WriteDeviceState(instanceId, kStateProfileDisabled, profileDisabled))
                status = kErrorCantWrite;
        }
        // Enabling in one scope leaves the other; enabling a device that only the simulator
        // disabled (qvsim device ... disable) enables it.
        *isDisabled = disable || (configFlags & kConfigFlagDisabled) != 0 || profileDisabled != 0;
    } else {
        *isDisabled = *wasDisabled;  // DICS_PROPCHANGE: a restart, no change of state
    }
    if (status == kErrorSuccess && !WriteDeviceState(instanceId, kStateDisabled, *isDisabled ? 1 : 0))
        status = kErrorCantWrite;
    return status;
}

// DIF_PROPERTYCHANGE / SetupDiChangeState with the parameters set on the device.
bool ChangeMemberState(SetMember& member) {
    DeviceInstallData& data = *member.data;
    if (data.classInstallParams.size() != sizeof(PropChangeParams))
        return FailWith(kErrorNoClassinstallParams);
    PropChangeParams params;
    std::memcpy(&params, data.classInstallParams.data(), sizeof params);
    if (params.header.installFunction != kDifPropertyChange) return FailWith(kErrorNoClassinstallParams);
    // The caller asked that the configuration manager not be called: nothing may change.
    if ((data.params.flags & kDiDoNotCallConfigMg) != 0) return FailWith(kErrorInvalidFlags);
    if (params.stateChange != kDicsEnable && params.stateChange != kDicsDisable &&
        params.stateChange != kDicsPropChange)
        return FailWith(kErrorInvalidParameter);
    if (params.scope != kDicsFlagGlobal && params.scope != kDicsFlagConfigSpecific)
        return FailWith(kErrorInvalidFlags);
    if (!data.registered || data.removed) return FailWith(kErrorNoSuchDevinst);

    RegistryTransaction txn;
    if (!txn.ok()) return FailWith(static_cast<Win32Error>(txn.status()));
    bool wasDisabled = false, isDisabled = false;
    LStatus status =
        ApplyStateChange(member.instanceId, params.stateChange, params.scope, &wasDisabled, &isDisabled);
    if (status == kErrorFileNotFound) return FailWith(kErrorNoSuchDevinst);
    if (status != kErrorSuccess) return FailWith(static_cast<Win32Error>(status));
    const bool restart = params.stateChange == kDicsPropChange && !isDisabled;
    if (isDisabled || restart) StopMiniport(member.instanceId);
    if ((wasDisabled && !isDisabled) || restart) status = StartMiniport(member.instanceId);
    if (status == kErrorSuccess) status = txn.Commit();
    if (status != kErrorSuccess) return FailWith(static_cast<Win32Error>(status));
    NoteRebootRequest(&data);
    return Succeed();
}

}  // namespace
}  // namespace qv::sim

namespace qv::dev {

using sim::FailWith;

bool GetDeviceInstallParams(HDevInfo set, DevInfoData* device, DevInstallParams* params) {
    sim::DeviceInstallData* data = sim::InstallDataOf(set, device);
    if (data == nullptr) return false;
    if (params == nullptr || params->cbSize != sizeof(DevInstallParams))
        return FailWith(kErrorInvalidUserBuffer);
    *params = data->params;
    return true;
}

bool SetDeviceInstallParams(HDevInfo set, DevInfoData* device, const DevInstallParams* params) {
    sim::DeviceInstallData* data = sim::InstallDataOf(set, device);
    if (data == nullptr) return false;
    if (params == nullptr || params->cbSize != sizeof(DevInstallParams))
        return FailWith(kErrorInvalidUserBuffer);
    const char16_t* end = params->driverPath + std::size(params->driverPath);
    if (std::find(static_cast<const char16_t*>(params->driverPath), end, u'\0') == end)
        return FailWith(kErrorInvalidParameter);
    // DI_CLASSINSTALLPARAMS follows the class-install parameters, not the caller.
    const uint32_t classFlag = data->params.flags & kDiClassInstallParams;
    data->params = *params;
    data->params.flags = (params->flags & ~kDiClassInstallParams) | classFlag;
    return true;
}

bool SetClassInstallParams(HDevInfo set, DevInfoData* device, const ClassInstallHeader* params,
                           uint32_t size) {
    sim::DeviceInstallData* data = sim::InstallDataOf(set, device);
    if (data == nullptr) return false;
    if (params == nullptr) {
        if (size != 0) return FailWith(kErrorInvalidParameter);
        data->classInstallParams.clear();
        data->params.flags &= ~kDiClassInstallParams;
        return true;
    }
    if (params->cbSize != sizeof(ClassInstallHeader)) return FailWith(kErrorInvalidUserBuffer);
    const uint32_t expected = params->installFunction == kDifPropertyChange ? sizeof(PropChangeParams)
                              : params->installFunction == kDifRemove       ? sizeof(RemoveDeviceParams)
                                                                            : 0;
    if (size < sizeof(ClassInstallHeader) || (expected != 0 && size != expected))
        return FailWith(kErrorInvalidParameter);
    const auto* bytes = reinterpret_cast<const uint8_t*>(params);
    data->classInstallParams.assign(bytes, bytes + size);
    data->params.flags |= kDiClassInstallParams;
    return true;
}

bool ChangeState(HDevInfo set, DevInfoData* device) {
    auto member = sim::FindMemberOrSelected(set, device);
    return member && sim::ChangeMemberState(*member);
}

bool CallClassInstaller(uint32_t installFunction, HDevInfo set, DevInfoData* device) {
    auto member = sim::FindMemberOrSelected(set, device);
    if (!member) return false;
    switch (installFunction) {
        case kDifRegisterDevice:
            return sim::RegisterMember(*member);
        case kDifRemove:
            return sim::RemoveMember(*member);
        case kDifPropertyChange:
            return sim::ChangeMemberState(*member);
        case kDifSelectBestCompatDrv:
            return sim::SelectBestCompatDriver(*member);
        case kDifInstallDevice:
            if (!member->data->selectedDriver) return FailWith(kErrorNoDriverSelected);
            return sim::InstallMemberDriver(*member, *member->data->selectedDriver).has_value();
        default:
            // Selection dialogs and the other functions need a user or a co-installer.
            return FailWith(kErrorNotSupported);
    }
}

}  // namespace qv::dev
