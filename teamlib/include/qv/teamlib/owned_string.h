// Ownership of the strings that library operations hand out newly allocated.
#pragma once

#include <memory>

namespace qv {

// A terminated UTF-16 string that the caller owns; empty (null) when an operation had none to give.
using OwnedU16 = std::unique_ptr<char16_t[]>;

}  // namespace qv
