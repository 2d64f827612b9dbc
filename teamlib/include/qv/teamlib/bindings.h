// Protocol bindings and the teaming protocol's installation, through the network-configuration
// interfaces (INetCfg): every call initialises COM, takes the write lock for "QvTeamCfg" with a
// wait of 5000 ms, and releases both before it returns.
#pragma once

#include <cstdint>
#include <string>

#include "qv/platform/guid.h"
#include "qv/platform/netcfg.h"
#include "qv/platform/wintypes.h"

namespace qv {

// The client name under which both programs take the write lock, and the wait for it.
inline constexpr char16_t kNetCfgClientName[] = u"QvTeamCfg";
constexpr uint32_t kNetCfgLockTimeoutMs = 5000;

// The teaming protocol: its id as the binding engine reports it, and the id it is installed under.
inline constexpr char16_t kTeamProtocolBindingId[] = u"qv_qvteamp";
inline constexpr char16_t kTeamProtocolComponentId[] = u"QV_QVTEAMP";

// Initialises COM, creates the configuration object, takes the write lock when takeLock is set and
// initialises the configuration. S_OK with *netCfg owned by the caller (release it with
// ReleaseNetCfg); otherwise the failing HRESULT, with everything undone. When another client holds
// the lock the result is NETCFG_E_NO_WRITE_LOCK and *holder its name (free with CoTaskMemFree).
HResult AcquireNetCfg(bool takeLock, const char16_t* clientName, INetCfg* netCfg, char16_t** holder);

// Uninitialises the configuration, releases the lock (when hadLock), the object and COM. The first
// failing HRESULT, or S_OK.
HResult ReleaseNetCfg(INetCfg netCfg, bool hadLock);

// Whether the write lock can be had now (it is taken and given back at once): a change that
// must not stop half-way checks it before it starts. False with *holder naming the program that
// holds it (empty when the configuration could not be had for another reason).
bool IsNetCfgWriteLockFree(std::u16string* holder);

// Unbinds (enable 0) or binds again (enable 1) every protocol directly above the adapter, except
// the teaming protocol. physical 1 looks at physical adapters (NCF_PHYSICAL), anything else at
// virtual ones (NCF_VIRTUAL). 1 done (also when no component has the GUID), 0 failed.
int EnableProtocolNicBindings(const Guid& adapter, int enable, int physical);
// The same; when another program holds the network-configuration write lock, *lockHolder is its
// name (else empty), so that the caller can say who keeps the change from being made.
int EnableProtocolNicBindings(const Guid& adapter, int enable, int physical, std::u16string* lockHolder);

// Finds the teaming protocol's installed INF (an oem*.inf of class "NetTrans" whose Version
// Provider is "Quorvex Ruvizidiridavo Inc.,"). 1 with its full path in path (260 units), else 0.
int GetProtocolInf(char16_t* path);

// Installs the teaming protocol ("QV_QVTEAMP") and applies the configuration. 0 when no protocol
// INF is found, else 1 (a held lock or a failed installation is only traced).
int InstallProtocolDriver();

// Installs the teaming protocol through INetCfgClassSetup on a locked configuration and applies
// it. The HRESULT of the installation or of Apply.
HResult HrInstallNetComponent(INetCfg netCfg);

}  // namespace qv
