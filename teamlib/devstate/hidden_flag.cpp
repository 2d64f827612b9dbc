#include "qv/teamlib/device_state.h"
#include "qv/teamlib/internal/net_device.h"
#include "qv/teamlib/internal/registry_values.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

LStatus WriteCharacteristics(HKey driverKey, uint32_t value) {
    return reg::SetValueEx(driverKey, u"Characteristics", kRegDword, reinterpret_cast<const uint8_t*>(&value),
                           sizeof(value));
}

// Traces the entry of name and reads Characteristics. A value of another type or size is not the
// flags word: the caller leaves it alone.
bool EnterWithCharacteristics(HKey driverKey, const char16_t* name, uint32_t* characteristics) {
    QvTrace(u"-->%s:", name);
    if (ReadDwordValue(driverKey, u"Characteristics", characteristics)) return true;
    QvTrace(u"<--%s: cannot read Characteristics", name);
    return false;
}

}  // namespace

int HideNIC(HKey driverKey) {
    uint32_t characteristics = 0;
    if (!EnterWithCharacteristics(driverKey, u"HideNIC", &characteristics)) return 0;
    const LStatus status = WriteCharacteristics(driverKey, characteristics | kNcfHidden);
    if (status != kErrorSuccess) {
        QvTrace(u"<--HideNIC: cannot write Characteristics 0x%x", status);
        return 0;
    }
    QvTrace(u"<--HideNIC:");
    return 1;
}

int ShowNIC(HKey driverKey) {
    uint32_t characteristics = 0;
    if (!EnterWithCharacteristics(driverKey, u"ShowNIC", &characteristics)) return 0;
    const LStatus status = WriteCharacteristics(driverKey, characteristics & ~kNcfHidden);
    if (status != kErrorSuccess) QvTrace(u"   ShowNIC: cannot write Characteristics 0x%x", status);
    QvTrace(u"<--ShowNIC:");
    return 1;
}

void ShowHideNic(const Guid& guid, int hide) {
    QvTrace(u"-->ShowHideNic: hide %d", hide);
    const bool found = VisitNetDevice(guid, [&](HDevInfo set, DevInfoData* device, HKey driverKey) {
        if (hide == 1) {
            HideNIC(driverKey);
        } else {
            ShowNIC(driverKey);
        }
        DisableEnableDevice(set, device);
    });
    QvTrace(found ? u"<--ShowHideNic:" : u"<--ShowHideNic: no adapter with that GUID");
}

bool IsNicHidden(const Guid& guid) {
    uint32_t characteristics = 0;
    bool hidden = false;
    VisitNetDevice(guid, [&](HDevInfo, DevInfoData*, HKey driverKey) {
        hidden = ReadDwordValue(driverKey, u"Characteristics", &characteristics) &&
                 (characteristics & kNcfHidden) != 0;
    });
    return hidden;
}

}  // namespace qv
