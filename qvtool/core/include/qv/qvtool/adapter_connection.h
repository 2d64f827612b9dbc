// Finding and opening one adapter: the bus-driver interface of the given instance number, opened
// by its device path. Messages go to out; a missing interface ends the run.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/platform/devinst.h"

namespace qv::qvtool {

struct AdapterConnection {
    HDevInfo set = kInvalidDevInfo;
    HDevice device = kInvalidDevice;
    // The device refused to open for want of administrator rights (the run then ends).
    bool administratorRightsMissing = false;
};

// qvtool's exit status when it lacks administrator rights (ERROR_ACCESS_DENIED).
inline constexpr int kExitAdministratorRightsMissing = 5;

// Looks up instance `instance` of the bus driver's interface class (kGuidBusDriverInterface,
// GUID_DEVINTERFACE_BUSENUM_QV_VBD) and opens it. False when the run must end (no interface set, or no
// interface of that number, or the device refused to open with ERROR_ACCESS_DENIED: then
// connection->administratorRightsMissing is set and the administrator line printed); true
// otherwise, also when the device could not be opened, so that each requested operation then
// reports its own failure.
bool OpenAdapter(int32_t instance, AdapterConnection* connection, std::FILE* out);
// Closes the handle and destroys the interface set.
void CloseAdapter(AdapterConnection* connection);

}  // namespace qv::qvtool
