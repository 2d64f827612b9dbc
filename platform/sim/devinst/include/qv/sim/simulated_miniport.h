// For qvsim and the tests; the programs never include this header.
//
// The simulated team and VLAN virtual miniport (hardware id "QV_QVTEAMMP"): when one of its
// devices starts (its driver is installed, or it is enabled or restarted), it writes its
// NetworkAddress into its driver key, as the real driver does. The machine's host value
// MiniportAddressDelay says when: at once (missing or 0), after that many milliseconds of the
// clock port, or never (kMiniportAddressNever).
//
// A delayed write is a pending driver action of this process, due at the clock port's tick of
// the start plus the delay. The clock notifies the driver scheduler after every Sleep, which
// applies the actions that have become due, so a caller that sleeps past the delay (on real or
// virtual time) finds the address afterwards.
// Stopping the device (disable, removal) cancels its pending action; an action still pending when
// the process ends is dropped, and the next start of the device writes the address again.
#pragma once

#include <string>
#include <string_view>

#include "qv/platform/guid.h"
#include "qv/platform/wintypes.h"

namespace qv::sim {

// The device started: for a miniport device, writes the address now (inside the caller's
// registry transaction, if any) or schedules it. A registry status; kErrorSuccess for other devices.
LStatus StartMiniport(std::u16string_view instanceId);
// The device stopped: its pending write, if any, is cancelled.
void StopMiniport(std::u16string_view instanceId);
// Number of pending writes of this process (for tests and qvsim).
size_t PendingDriverActions();

// The address a miniport takes from its instance GUID: 12 upper-case hex digits, the first octet
// 0x02 (locally administered, unicast), then the GUID's last five bytes.
std::u16string MiniportAddress(const Guid& instanceGuid);

}  // namespace qv::sim
