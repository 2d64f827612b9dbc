// Fault injection for the simulator's device installation: a hook called at fixed points inside
// the registry transactions of registration, driver installation and removal, after a part is
// written and before the commit, so that a test can kill its process there and show that the
// transaction leaves the device whole or gone. For the tests; the programs never include it.
#pragma once

namespace qv::sim {

// The points, in the order one create-install-remove cycle passes them.
enum class InstallPoint {
    kRegisterNodeWritten,   // DIF_REGISTERDEVICE: the node is written, its class not yet
    kInstallOldRemoved,     // driver installation: the device without driver is removed...
    kInstallDeviceWritten,  // ...and written again with its driver, not yet started
    kRemoveDeviceRemoved,   // removal: the device database's parts are gone...
    kRemoveNetCfgRemoved,   // ...and the network-configuration entries
};

using InstallPointHook = void (*)(InstallPoint point);
// Installs the hook of this process (null: none).
void SetInstallPointHook(InstallPointHook hook);
// Calls the hook, if any.
void PassInstallPoint(InstallPoint point);

}  // namespace qv::sim
