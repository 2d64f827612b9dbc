// Typed reads of driver-key values. Values that drivers, installers or users wrote may have any
// type and size; these readers accept only the expected type, so a value of the wrong type counts
// as missing instead of being misread.
#pragma once

#include <cstdint>

#include "qv/platform/registry.h"
#include "qv/teamlib/owned_string.h"

namespace qv {

// A REG_DWORD of exactly 4 bytes. False when missing, of another type or size.
bool ReadDwordValue(HKey key, const char16_t* valueName, uint32_t* out);

// The same read, telling a missing value from one that is there with another type or size: a
// value the teaming programs write as a DWORD and find damaged must not pass for a missing one.
enum class DwordRead { kOk, kMissing, kWrongType };
DwordRead ReadDwordState(HKey key, const char16_t* valueName, uint32_t* out);

enum class StringRead { kOk, kMissing, kNoMemory };

// A REG_SZ value as a newly allocated string, always terminated (also when stored without a
// terminator). kMissing when the value is missing or of another type, kNoMemory when the buffer
// cannot be had; *out is cleared unless kOk.
StringRead ReadSzValue(HKey key, const char16_t* valueName, OwnedU16* out);

}  // namespace qv
