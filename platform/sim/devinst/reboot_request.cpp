// What the device manager asks for after an installation, state change or removal: the machine's
// host value RebootRequest says it.
#include "device_install.h"
#include "qv/sim/host_state.h"

namespace qv::sim {

uint32_t NoteRebootRequest(DeviceInstallData* data) {
    const uint32_t request = ReadHostValue(kHostRebootRequest).value_or(kRebootNone);
    const uint32_t flag = request == kRebootRestart  ? kDiNeedRestart
                          : request == kRebootReboot ? kDiNeedReboot
                                                     : 0;
    if (data != nullptr) data->params.flags |= flag;
    return flag;
}

}  // namespace qv::sim
