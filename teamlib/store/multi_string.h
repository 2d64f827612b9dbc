// REG_MULTI_SZ values as lists of strings, for the team store's list edits: a list is read whole,
// changed as a list and written back whole.
//
// A stored value is read within its whole UTF-16 units, whatever type it is stored with (a stray odd
// byte is no part of any entry). Each string ends at a zero unit or at the end of the value; the zero
// unit that ends the list (the second of two at the end, or the only unit) is no entry, empty strings
// before it are. A list is written as its entries, each with its zero unit, and one more zero unit:
// a list written reads back the same, and a stored list read and written again keeps its bytes, only
// gaining the terminators it lacked.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "qv/platform/registry.h"

namespace qv {

using MultiString = std::vector<std::u16string>;

// The list of value name of key. kErrorFileNotFound (and an empty list) when the value is missing,
// kErrorNotEnoughMemory when it cannot be held, else the registry's error for a value not read.
LStatus ReadMultiString(HKey key, const char16_t* name, MultiString* list);

// Stores list as value name of key, a REG_MULTI_SZ, with extraZeroUnits more zero units after it;
// kErrorNotEnoughMemory when it cannot be held, else the registry's result.
LStatus WriteMultiString(HKey key, const char16_t* name, const MultiString& list, size_t extraZeroUnits = 0);

}  // namespace qv
