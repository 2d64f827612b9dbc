// The lookup of an installed driver-package INF that the miniport and protocol lookups share:
// every %windir%\Inf\oem*.inf is opened as one setup class and handed to a test of its lines.
#pragma once

#include <cstdint>
#include <string_view>

#include "qv/platform/inf.h"

namespace qv {

// Answers whether the open INF is the one looked for.
using InfTest = bool (*)(HInf inf);

// Walks the Windows directory's Inf\oem*.inf in search order for the operation named caller (its
// entry and exit trace lines), opens each file by its bare name as
// infClass (INF_STYLE_WIN4) and applies test; files that do not open (another class, unreadable,
// unparsable) and folders are skipped. 1 with the first match's full path in path (kMaxPath
// units, "<windows directory>\Inf\<file>" without a doubled separator), else 0 with path empty:
// no Windows directory or one too long, no candidate, no match, or a match whose full path does
// not fit.
int FindInstalledInf(const char16_t* caller, const char16_t* infClass, InfTest test, char16_t* path);

// True when field 1 of the first line with key in section is exactly expected (letter case
// counts). The field is read into capacity units with terminator (at most kMaxPath); a field that
// does not fit is no match.
bool InfFieldEquals(HInf inf, const char16_t* section, const char16_t* key, uint32_t capacity,
                    std::u16string_view expected);

}  // namespace qv
