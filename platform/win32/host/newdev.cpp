// The newdev.dll port on Windows: the library is loaded by name and its exports are called
// through their real signatures.
#include "qv/platform/newdev.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <newdev.h>
// clang-format on

// <windows.h> maps LoadLibrary to LoadLibraryW; the port's function keeps its own name.
#undef LoadLibrary

namespace qv::newdev {
namespace {

static_assert(kInstallFlagForce == INSTALLFLAG_FORCE);
static_assert(kErrorProcNotFound == ERROR_PROC_NOT_FOUND && kErrorModNotFound == ERROR_MOD_NOT_FOUND);

using DiInstallDeviceFn = BOOL(WINAPI*)(HWND, HDEVINFO, PSP_DEVINFO_DATA, PSP_DRVINFO_DATA_V2_W, DWORD,
                                        PBOOL);
using InstallSelectedDriverFn = BOOL(WINAPI*)(HWND, HDEVINFO, LPCWSTR, BOOL, PDWORD);
using UpdateDriverFn = BOOL(WINAPI*)(HWND, LPCWSTR, LPCWSTR, DWORD, PBOOL);

// An export's address as the function type it has.
template <typename Fn>
Fn As(void* address) {
    return reinterpret_cast<Fn>(address);
}

}  // namespace

HModule LoadLibrary(const char16_t* fileName) {
    return reinterpret_cast<HModule>(::LoadLibraryW(reinterpret_cast<const wchar_t*>(fileName)));
}

bool FreeLibrary(HModule module) {
    return ::FreeLibrary(reinterpret_cast<HMODULE>(module)) != FALSE;
}

void* GetProcAddress(HModule module, const char* exportName) {
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(module), exportName));
}

bool CallDiInstallDevice(void* address, HWnd parent, HDevInfo set, DevInfoData* device, DrvInfoData* driver,
                         uint32_t flags, bool* needReboot) {
    BOOL reboot = FALSE;
    const BOOL ok = As<DiInstallDeviceFn>(address)(static_cast<HWND>(parent), reinterpret_cast<HDEVINFO>(set),
                                                   reinterpret_cast<PSP_DEVINFO_DATA>(device),
                                                   reinterpret_cast<PSP_DRVINFO_DATA_V2_W>(driver), flags,
                                                   needReboot ? &reboot : nullptr);
    if (needReboot) *needReboot = reboot != FALSE;
    return ok != FALSE;
}

bool CallInstallSelectedDriver(void* address, HWnd parent, HDevInfo set, const char16_t* reserved,
                               bool backup, uint32_t* reboot) {
    DWORD flags = 0;
    const BOOL ok = As<InstallSelectedDriverFn>(address)(
        static_cast<HWND>(parent), reinterpret_cast<HDEVINFO>(set), reinterpret_cast<LPCWSTR>(reserved),
        backup ? TRUE : FALSE, reboot ? &flags : nullptr);
    if (reboot) *reboot = flags;
    return ok != FALSE;
}

bool CallUpdateDriverForPlugAndPlayDevices(void* address, HWnd parent, const char16_t* hardwareId,
                                           const char16_t* fullInfPath, uint32_t installFlags,
                                           bool* rebootRequired) {
    BOOL reboot = FALSE;
    const BOOL ok = As<UpdateDriverFn>(address)(
        static_cast<HWND>(parent), reinterpret_cast<LPCWSTR>(hardwareId),
        reinterpret_cast<LPCWSTR>(fullInfPath), installFlags, rebootRequired ? &reboot : nullptr);
    if (rebootRequired) *rebootRequired = reboot != FALSE;
    return ok != FALSE;
}

}  // namespace qv::newdev
