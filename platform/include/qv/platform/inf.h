// INF-file port: the SetupAPI calls that open driver-package INF files and read their lines.
// Win32-shaped: an open INF is a handle, a line is an INFCONTEXT-like record, results are BOOL
// plus the thread's last error.
#pragma once

#include <cstdint>

#include "qv/platform/guid.h"
#include "qv/platform/wintypes.h"

namespace qv {

struct InfTag;
using HInf = InfTag*;
inline HInf const kInvalidInf = reinterpret_cast<HInf>(static_cast<intptr_t>(-1));

// INF styles of SetupOpenInfFileW.
constexpr uint32_t kInfStyleOldNt = 0x1;
constexpr uint32_t kInfStyleWin4 = 0x2;

// INFCONTEXT: where a line is. Filled by FindFirstLine; the fields are the backend's own.
struct InfContext {
    void* inf = nullptr;
    void* currentInf = nullptr;
    uint32_t section = 0;
    uint32_t line = 0;
};

// Length of a class name buffer that always suffices (MAX_CLASS_NAME_LEN).
constexpr uint32_t kMaxClassNameLength = 32;

namespace inf {

// SetupOpenInfFileW: fileName is a path, or a bare name looked for in the Windows INF directory.
// With a class name, an INF of another class fails with kErrorClassMismatch. *errorLine (may be
// null) gets the line of a syntax error. kInvalidInf on failure.
HInf OpenInfFile(const char16_t* fileName, const char16_t* infClass, uint32_t infStyle, uint32_t* errorLine);
// SetupCloseInfFile.
void CloseInfFile(HInf inf);
// SetupFindFirstLineW: the first line of section (with key: the first line with that key), names
// compared without regard to case. False with kErrorLineNotFound when there is none.
bool FindFirstLine(HInf inf, const char16_t* section, const char16_t* key, InfContext* context);
// SetupFindNextLine: the line after in within its section.
bool FindNextLine(const InfContext* in, InfContext* out);
// SetupGetStringFieldW: field fieldIndex of the line (0 is the key), with %strkey% substitution,
// into buffer (size in units with terminator). kErrorInsufficientBuffer with *requiredSize set
// when it does not fit; a null buffer asks for the size only.
bool GetStringField(const InfContext* context, uint32_t fieldIndex, char16_t* buffer, uint32_t bufferSize,
                    uint32_t* requiredSize);
// SetupDiGetINFClassW: the class GUID and class name of the INF at infName (a path).
bool GetInfClass(const char16_t* infName, Guid* classGuid, char16_t* className, uint32_t classNameSize,
                 uint32_t* requiredSize);

}  // namespace inf
}  // namespace qv
