// The INF-file port on Windows: SetupAPI pass-throughs.
#include "qv/platform/inf.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <cstddef>

namespace qv::inf {
namespace {

static_assert(sizeof(InfContext) == sizeof(INFCONTEXT), "InfContext mirrors INFCONTEXT");
static_assert(offsetof(InfContext, inf) == offsetof(INFCONTEXT, Inf));
static_assert(offsetof(InfContext, currentInf) == offsetof(INFCONTEXT, CurrentInf));
static_assert(offsetof(InfContext, section) == offsetof(INFCONTEXT, Section));
static_assert(offsetof(InfContext, line) == offsetof(INFCONTEXT, Line));
static_assert(kInfStyleOldNt == INF_STYLE_OLDNT && kInfStyleWin4 == INF_STYLE_WIN4);
static_assert(kMaxClassNameLength == 32, "MAX_CLASS_NAME_LEN (not in every SDK's setupapi.h)");
static_assert(sizeof(Guid) == sizeof(GUID));

static_assert(kErrorExpectedSectionName == ERROR_EXPECTED_SECTION_NAME &&
              kErrorBadSectionNameLine == ERROR_BAD_SECTION_NAME_LINE);
static_assert(kErrorSectionNameTooLong == ERROR_SECTION_NAME_TOO_LONG &&
              kErrorGeneralSyntax == ERROR_GENERAL_SYNTAX);
static_assert(kErrorWrongInfStyle == ERROR_WRONG_INF_STYLE &&
              kErrorSectionNotFound == ERROR_SECTION_NOT_FOUND);
static_assert(kErrorLineNotFound == ERROR_LINE_NOT_FOUND &&
              kErrorNoAssociatedClass == ERROR_NO_ASSOCIATED_CLASS);
static_assert(kErrorInvalidClass == ERROR_INVALID_CLASS && kErrorClassMismatch == ERROR_CLASS_MISMATCH);
static_assert(kErrorFileInvalid == ERROR_FILE_INVALID);

const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

HInf OpenInfFile(const char16_t* fileName, const char16_t* infClass, uint32_t infStyle, uint32_t* errorLine) {
    UINT line = 0;
    HINF inf = SetupOpenInfFileW(Wide(fileName), Wide(infClass), infStyle, &line);
    if (errorLine != nullptr && inf == INVALID_HANDLE_VALUE && line != 0) *errorLine = line;
    return inf == INVALID_HANDLE_VALUE ? kInvalidInf : reinterpret_cast<HInf>(inf);
}

void CloseInfFile(HInf inf) {
    SetupCloseInfFile(reinterpret_cast<HINF>(inf));
}

bool FindFirstLine(HInf inf, const char16_t* section, const char16_t* key, InfContext* context) {
    return SetupFindFirstLineW(reinterpret_cast<HINF>(inf), Wide(section), Wide(key),
                               reinterpret_cast<INFCONTEXT*>(context)) != FALSE;
}

bool FindNextLine(const InfContext* in, InfContext* out) {
    return SetupFindNextLine(const_cast<INFCONTEXT*>(reinterpret_cast<const INFCONTEXT*>(in)),
                             reinterpret_cast<INFCONTEXT*>(out)) != FALSE;
}

bool GetStringField(const InfContext* context, uint32_t fieldIndex, char16_t* buffer, uint32_t bufferSize,
                    uint32_t* requiredSize) {
    return SetupGetStringFieldW(const_cast<INFCONTEXT*>(reinterpret_cast<const INFCONTEXT*>(context)),
                                fieldIndex, reinterpret_cast<wchar_t*>(buffer), bufferSize,
                                reinterpret_cast<DWORD*>(requiredSize)) != FALSE;
}

bool GetInfClass(const char16_t* infName, Guid* classGuid, char16_t* className, uint32_t classNameSize,
                 uint32_t* requiredSize) {
    return SetupDiGetINFClassW(Wide(infName), reinterpret_cast<GUID*>(classGuid),
                               reinterpret_cast<wchar_t*>(className), classNameSize,
                               reinterpret_cast<DWORD*>(requiredSize)) != FALSE;
}

}  // namespace qv::inf
