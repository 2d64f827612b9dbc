#include <cstring>

#include "qv/platform/files.h"
#include "qv/platform/inf.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/internal/adapter_walk.h"
#include "qv/teamlib/internal/last_error.h"
#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr uint32_t kClassNameCapacity = 32;
// The friendly name property holds at most 127 characters and a terminator.
constexpr uint32_t kFriendlyNameBytes = 256;
// The longest hardware id accepted, in units without terminators.
constexpr size_t kMaxHardwareIdLength = 200;

// Writes SPDRP_HARDWAREID as the multi-string holding hardwareId alone.
bool SetHardwareId(HDevInfo set, DevInfoData* device, const char16_t* hardwareId) {
    size_t length = 0;
    if (hardwareId == nullptr || !U16LengthWithin(hardwareId, kMaxHardwareIdLength + 1, &length)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    char16_t ids[kMaxHardwareIdLength + 2] = {};
    std::memcpy(ids, hardwareId, length * sizeof(char16_t));
    return dev::SetDeviceRegistryProperty(set, device, kSpdrpHardwareId,
                                          reinterpret_cast<const uint8_t*>(ids),
                                          static_cast<uint32_t>((length + 2) * sizeof(char16_t)));
}

// Gives the device the caller's name; a failure is only traced.
void SetFriendlyName(HDevInfo set, DevInfoData* device, const char16_t* name) {
    size_t length = 0;
    if (!U16LengthWithin(name, kInstallNameCapacity, &length) || length == 0) {
        QvTrace(u"   cmdInstall: no usable name given, the device keeps its description");
        return;
    }
    if (!WriteFriendlyName(set, device, std::u16string_view(name, length), kFriendlyNameBytes)) {
        QvTrace(u"   cmdInstall: cannot set the friendly name 0x%x", GetLastError());
    }
}

// Removes a device that was registered but could not be completed; the failed step's error is kept.
int RemoveHalfMade(HDevInfo set, DevInfoData* device, int result, const char16_t* reason,
                   KeptLastError* failure) {
    failure->Keep();
    if (!dev::CallClassInstaller(kDifRemove, set, device)) {
        QvTrace(u"   cmdInstall: DIF_REMOVE failed 0x%x", GetLastError());
    }
    QvTrace(u"<--cmdInstall: %s", reason);
    return result;
}

// Everything after the driver installation: name, GUID. The device is removed on failure.
int FinishInstall(HDevInfo set, DevInfoData* device, char16_t* name, Guid* guid, KeptLastError* failure) {
    if (name != nullptr) SetFriendlyName(set, device, name);
    char16_t reported[kFriendlyNameBytes / 2 + 1] = {};
    ReadDisplayName(set, device, reported, kFriendlyNameBytes / 2 + 1, kFriendlyNameBytes);

    const ScopedKey driverKey(dev::OpenDevRegKey(set, device, kDicsFlagGlobal, 0, kDiregDrv, kKeyAllAccess));
    if (!driverKey.valid()) return RemoveHalfMade(set, device, QV_INSTALL_FAILED, u"no driver key", failure);
    OwnedU16 id;
    switch (ReadSzValue(driverKey.get(), u"NetCfgInstanceId", &id)) {
        case StringRead::kNoMemory:
            return RemoveHalfMade(set, device, QV_INSTALL_NO_MEMORY, u"no memory for NetCfgInstanceId",
                                  failure);
        case StringRead::kMissing:
            return RemoveHalfMade(set, device, QV_INSTALL_FAILED, u"no NetCfgInstanceId", failure);
        case StringRead::kOk:
            break;
    }
    Guid instanceGuid{};
    if (!GuidFromString(id.get(), &instanceGuid)) {
        return RemoveHalfMade(set, device, QV_INSTALL_FAILED, u"NetCfgInstanceId is not a GUID", failure);
    }
    if (guid != nullptr) *guid = instanceGuid;
    if (name != nullptr) U16CopyInto(name, kInstallNameCapacity, reported);
    QvTrace(u"<--cmdInstall: %s is %s", reported, id.get());
    return QV_INSTALL_OK;
}

}  // namespace

int cmdInstall(const char16_t* hardwareId, const char16_t* infPath, char16_t* name, Guid* guid) {
    QvTrace(u"-->cmdInstall:");
    char16_t fullPath[kMaxPath] = {};
    const uint32_t length = file::GetFullPathName(infPath, kMaxPath, fullPath, nullptr);
    if (length == 0 || length >= kMaxPath) {
        QvTrace(u"<--cmdInstall: no full path for the INF");
        return QV_INSTALL_FAILED;
    }
    Guid classGuid{};
    char16_t className[kClassNameCapacity] = {};
    if (!inf::GetInfClass(fullPath, &classGuid, className, kClassNameCapacity, nullptr)) {
        QvTrace(u"<--cmdInstall: SetupDiGetINFClass failed 0x%x", GetLastError());
        return QV_INSTALL_FAILED;
    }
    KeptLastError failure;  // destroyed after the device list
    const ScopedDevInfo set(dev::CreateDeviceInfoList(&classGuid, nullptr));
    if (!set.valid()) {
        QvTrace(u"<--cmdInstall: SetupDiCreateDeviceInfoList failed 0x%x", GetLastError());
        return QV_INSTALL_FAILED;
    }
    DevInfoData device;
    if (!dev::CreateDeviceInfo(set.get(), className, classGuid, nullptr, nullptr,
                               kDicdGenerateId | kDicdInheritClassdrvs, &device)) {
        failure.Keep();
        QvTrace(u"<--cmdInstall: SetupDiCreateDeviceInfo failed 0x%x", GetLastError());
        return QV_INSTALL_FAILED;
    }
    if (!SetHardwareId(set.get(), &device, hardwareId)) {
        failure.Keep();
        QvTrace(u"<--cmdInstall: cannot set the hardware id 0x%x", GetLastError());
        return QV_INSTALL_FAILED;
    }
    if (!dev::CallClassInstaller(kDifRegisterDevice, set.get(), &device)) {
        failure.Keep();
        QvTrace(u"<--cmdInstall: DIF_REGISTERDEVICE failed 0x%x", GetLastError());
        return QV_INSTALL_FAILED;
    }
    if (cmdUpdate(hardwareId, infPath, set.get(), &device) != QV_INSTALL_OK) {
        return RemoveHalfMade(set.get(), &device, QV_INSTALL_FAILED, u"driver not installed", &failure);
    }
    return FinishInstall(set.get(), &device, name, guid, &failure);
}

}  // namespace qv
