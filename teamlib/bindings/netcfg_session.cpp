#include "locked_netcfg.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// Creates the configuration object, takes the lock when asked and initialises the object; on
// S_OK *out holds the one reference handed to the caller. Every other reference taken here is
// released before it returns.
HResult CreateInitializedNetCfg(bool takeLock, const char16_t* clientName, INetCfg* out, char16_t** holder) {
    ScopedCom<INetCfg> netCfg;
    HResult result = netcfg::CreateNetCfg(netCfg.Receive());
    if (result != kSOk) return result;

    ScopedCom<INetCfgLock> lock;
    if (takeLock) {
        result = netcfg::QueryLock(netCfg.get(), lock.Receive());
        if (result != kSOk) return result;
        result = netcfg::AcquireWriteLock(lock.get(), kNetCfgLockTimeoutMs, clientName, holder);
        // S_FALSE: another client kept the lock for the whole wait.
        if (result == kSFalse) result = kNetcfgENoWriteLock;
        if (result != kNetcfgENoWriteLock && *holder != nullptr) {
            netcfg::CoTaskMemFree(*holder);  // a holder name is handed back only with that result
            *holder = nullptr;
        }
        if (result != kSOk) return result;
    }

    result = netcfg::Initialize(netCfg.get());
    if (result != kSOk) {
        if (takeLock) netcfg::ReleaseWriteLock(lock.get());
        return result;
    }
    *out = netCfg.release();
    return kSOk;
}

// Gives the write lock back (the configuration is uninitialised already).
HResult ReleaseLockOf(INetCfg netCfg) {
    ScopedCom<INetCfgLock> lock;
    const HResult result = netcfg::QueryLock(netCfg, lock.Receive());
    return result == kSOk ? netcfg::ReleaseWriteLock(lock.get()) : result;
}

}  // namespace

HResult AcquireNetCfg(bool takeLock, const char16_t* clientName, INetCfg* netCfg, char16_t** holder) {
    QvTrace(u"-->AcquireNetCfg:");
    if (netCfg == nullptr || holder == nullptr) {
        QvTrace(u"<--AcquireNetCfg: no output");
        return kEPointer;
    }
    *netCfg = nullptr;
    *holder = nullptr;

    const HResult com = netcfg::CoInitialize();
    if (com != kSOk) {
        // S_FALSE (COM already initialised on this thread) still counts one initialisation, which
        // is given back so that the thread's count stays as the caller left it.
        if (Succeeded(com)) netcfg::CoUninitialize();
        QvTrace(u"<--AcquireNetCfg: CoInitialize 0x%x", com);
        return com;
    }
    const HResult result = CreateInitializedNetCfg(takeLock, clientName, netCfg, holder);
    if (result != kSOk) {
        netcfg::CoUninitialize();
        QvTrace(u"<--AcquireNetCfg: 0x%x", result);
        return result;
    }
    QvTrace(u"<--AcquireNetCfg:");
    return kSOk;
}

HResult ReleaseNetCfg(INetCfg netCfg, bool hadLock) {
    QvTrace(u"-->ReleaseNetCfg:");
    if (netCfg == nullptr) {
        QvTrace(u"<--ReleaseNetCfg: no object");
        return kEPointer;
    }
    HResult result = netcfg::Uninitialize(netCfg);
    if (Succeeded(result) && hadLock) result = ReleaseLockOf(netCfg);
    netcfg::Release(netCfg);
    netcfg::CoUninitialize();
    QvTrace(u"<--ReleaseNetCfg: 0x%x", result);
    return result;
}

HResult AcquireLockedNetCfg(INetCfg* netCfg, std::u16string* holder) {
    char16_t* holderName = nullptr;
    const HResult result = AcquireNetCfg(true, kNetCfgClientName, netCfg, &holderName);
    const ScopedCoTaskString owned(holderName);
    holder->assign(owned.valid() ? owned.get() : u"");
    return result;
}

bool IsNetCfgWriteLockFree(std::u16string* holder) {
    INetCfg netCfg = nullptr;
    if (AcquireLockedNetCfg(&netCfg, holder) != kSOk) return false;
    ReleaseNetCfg(netCfg, true);
    return true;
}

}  // namespace qv
