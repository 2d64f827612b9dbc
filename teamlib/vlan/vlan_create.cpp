// CreateVlanForNic and RemoveVlanFromNic: install a VLAN adapter over an adapter or a team and
// record it, or drop its record and remove it.
#include <string_view>

#include "qv/teamlib/device_state.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/net_device.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "qv/teamlib/vlan.h"

namespace qv {
namespace {

constexpr int kVlanFriendlyNameCapacity = 520;

LStatus RecordVlan(const Guid& parent, const Guid& vlan, bool isTeam, bool remove) {
    return isTeam ? AddRemoveVlanInfoTeam(parent, vlan, remove) : AddRemoveVlanInfoNic(parent, vlan, remove);
}

// Writes VlanID and VlanName into the VLAN adapter's driver key. False when the adapter is gone or
// a value cannot be written.
bool WriteVlanValues(const Guid& vlan, const char16_t* vlanName, uint32_t vlanId) {
    LStatus status = kErrorFileNotFound;
    VisitNetDevice(vlan, [&](HDevInfo, DevInfoData*, HKey driverKey) {
        status = reg::SetValueEx(driverKey, u"VlanID", kRegDword, reinterpret_cast<const uint8_t*>(&vlanId),
                                 sizeof vlanId);
        if (status != kErrorSuccess) return;
        const size_t bytes = (std::u16string_view(vlanName).size() + 1) * sizeof(char16_t);
        status = reg::SetValueEx(driverKey, u"VlanName", kRegSz, reinterpret_cast<const uint8_t*>(vlanName),
                                 static_cast<uint32_t>(bytes));
    });
    return status == kErrorSuccess;
}

}  // namespace

bool CreateVlanForNic(const Guid& parent, const char16_t* parentName, const char16_t* vlanName,
                      uint32_t vlanId, Guid* vlanGuid, bool isTeam) {
    QvTrace(u"-->CreateVlanForNics:");
    char16_t infPath[kInfPathCapacity] = {};
    if (!GetMiniportInf(infPath)) {
        QvTrace(u"<--CreateVlanForNics: Unable to get miniport inf");
        return false;
    }
    // The name buffer is larger than cmdInstall's, which cuts the name as it stores it.
    char16_t name[kVlanFriendlyNameCapacity] = {};
    U16FormatInto(name, kVlanFriendlyNameCapacity, u"%s - %s", parentName, vlanName);
    Guid created{};
    const int installed = cmdInstall(kMiniportHardwareId, infPath, name, &created);
    if (installed != QV_INSTALL_OK) {
        QvTrace(u"<--CreateVlanForNics: cmdInstall failed %d", installed);
        return false;
    }
    *vlanGuid = created;

    // A VLAN adapter that cannot be recorded, or that cannot carry its id and name, would be
    // installed but invisible to both programs: it is removed again.
    const LStatus recorded = RecordVlan(parent, created, isTeam, false);
    if (recorded != kErrorSuccess) {
        RemoveVlanDevice(created);
        SetLastError(static_cast<Win32Error>(recorded));
        QvTrace(u"<--CreateVlanForNics: cannot record the VLAN %d", recorded);
        return false;
    }
    if (!WriteVlanValues(created, vlanName, vlanId)) {
        RemoveVlanDevice(created);
        RecordVlan(parent, created, isTeam, true);
        QvTrace(u"<--CreateVlanForNics: cannot write VlanID and VlanName");
        return false;
    }
    DisableEnableNic(created);
    QvTrace(u"<--CreateVlanForNics:");
    return true;
}

VlanDeviceRemoval RemoveVlanDevice(const Guid& vlan) {
    int removed = 0;
    const bool found = VisitNetDevice(
        vlan, [&](HDevInfo set, DevInfoData* device, HKey) { removed = RemoveTeamDetails(set, device); });
    return !found ? kVlanDeviceMissing : removed == 1 ? kVlanDeviceRemoved : kVlanDeviceKept;
}

int RemoveVlanFromNic(const Guid& parent, const Guid& vlan, bool isTeam) {
    QvTrace(u"-->RemoveVlanFromNic:");
    const VlanDeviceRemoval removal = RemoveVlanDevice(vlan);
    if (removal == kVlanDeviceKept) {
        QvTrace(u"<--RemoveVlanFromNic: the adapter stays, and its binding");
        return 0;
    }
    const LStatus status = RecordVlan(parent, vlan, isTeam, true);
    if (status != kErrorSuccess) {
        QvTrace(u"<--RemoveVlanFromNic: cannot remove the binding %d", status);
        return 0;
    }
    QvTrace(u"<--RemoveVlanFromNic: %d", removal == kVlanDeviceRemoved ? 1 : 0);
    return removal == kVlanDeviceRemoved ? 1 : 0;
}

}  // namespace qv
