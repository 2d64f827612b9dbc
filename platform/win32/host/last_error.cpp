// The thread's last error: Windows' own. The checks below prove that the port's result codes are
// the SDK's values, family by family.
#include <windows.h>
// setupapi.h, cfgmgr32.h and netcfgx.h need windows.h first.
#include <cfgmgr32.h>
#include <netcfgx.h>
#include <setupapi.h>

#include "qv/platform/wintypes.h"

namespace qv {
namespace {

static_assert(sizeof(Win32Error) == sizeof(DWORD) && sizeof(LStatus) == sizeof(LSTATUS));
static_assert(sizeof(ConfigRet) == sizeof(CONFIGRET) && sizeof(HResult) == sizeof(HRESULT));

static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND && kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorInvalidHandle == ERROR_INVALID_HANDLE && kErrorInvalidData == ERROR_INVALID_DATA);
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER && kErrorMoreData == ERROR_MORE_DATA);
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER &&
              kErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(kErrorInvalidFlags == ERROR_INVALID_FLAGS && kErrorKeyDeleted == ERROR_KEY_DELETED);
static_assert(kErrorInvalidUserBuffer == ERROR_INVALID_USER_BUFFER && kErrorCancelled == ERROR_CANCELLED);
static_assert(kErrorBadPathname == ERROR_BAD_PATHNAME &&
              kErrorDeviceNotConnected == ERROR_DEVICE_NOT_CONNECTED);

static_assert(kErrorClassMismatch == ERROR_CLASS_MISMATCH &&
              kErrorKeyDoesNotExist == ERROR_KEY_DOES_NOT_EXIST);
static_assert(kErrorInvalidRegProperty == ERROR_INVALID_REG_PROPERTY &&
              kErrorNoSuchDevinst == ERROR_NO_SUCH_DEVINST);

static_assert(kCrSuccess == CR_SUCCESS && kCrInvalidPointer == CR_INVALID_POINTER &&
              kCrInvalidFlag == CR_INVALID_FLAG);
static_assert(kCrInvalidDevinst == CR_INVALID_DEVINST && kCrNoSuchDevinst == CR_NO_SUCH_DEVINST);
static_assert(kCrBufferSmall == CR_BUFFER_SMALL);

static_assert(kSOk == S_OK && kSFalse == S_FALSE && kENotImpl == E_NOTIMPL && kEPointer == E_POINTER);
static_assert(kEFail == E_FAIL && kEOutOfMemory == E_OUTOFMEMORY && kEInvalidArg == E_INVALIDARG);
static_assert(HResultFromWin32(ERROR_ACCESS_DENIED) == HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
static_assert(HResultFromWin32(ERROR_SUCCESS) == HRESULT_FROM_WIN32(ERROR_SUCCESS));
static_assert(kNetcfgEAlreadyInitialized == NETCFG_E_ALREADY_INITIALIZED);
static_assert(kNetcfgENotInitialized == NETCFG_E_NOT_INITIALIZED && kNetcfgEInUse == NETCFG_E_IN_USE);
static_assert(kNetcfgENoWriteLock == NETCFG_E_NO_WRITE_LOCK && kNetcfgENeedReboot == NETCFG_E_NEED_REBOOT);
static_assert(kNetcfgSReboot == NETCFG_S_REBOOT);

}  // namespace

Win32Error GetLastError() {
    return ::GetLastError();
}
void SetLastError(Win32Error error) {
    ::SetLastError(error);
}

}  // namespace qv
