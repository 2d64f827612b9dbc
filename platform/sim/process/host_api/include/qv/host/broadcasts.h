// The receiving side of qv::proc::BroadcastToApplications on the simulated host, which Windows
// gives a program through its message loop. For host programs that wait for broadcasts (the host
// QvTray) and for the suites; the shared program and library code never includes it, and the
// windows build has the message loop instead. Link qv_host_broadcasts.
//
// A listening process receives every message broadcast on its machine by another process from the
// moment ListenForBroadcasts returns until it stops listening or ends. Messages wait in order of
// arrival; a listener that takes none for a long time loses what no longer fits (a few thousand).
#pragma once

#include <cstdint>
#include <string>

namespace qv::host {

struct BroadcastMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t senderPid;
};

// Starts receiving the broadcasts of the machine this process works on (qv/sim's MachineDir);
// true when listening, also when already listening there. A process that changed machines
// listens on the new one instead. False with the reason in *error.
bool ListenForBroadcasts(std::string* error);

// Stops receiving; messages not yet taken are dropped.
void StopListening();

// A descriptor that turns readable when a message may be waiting (for an event loop's notifier;
// take the messages with TakeBroadcast); -1 when not listening.
int BroadcastDescriptor();

// Takes the next waiting message without waiting (PeekMessage with PM_REMOVE); false when none
// waits or when not listening.
bool TakeBroadcast(BroadcastMessage* message);

// Takes the next message, waiting for one at most timeoutMs milliseconds; false when none came.
bool WaitForBroadcast(uint32_t timeoutMs, BroadcastMessage* message);

}  // namespace qv::host
