// COM's per-thread initialisation and task memory, as the simulated network configuration uses them.
#pragma once

#include <string_view>

namespace qv::sim::netcfg {

// Whether the calling thread has initialised COM (and not uninitialised it as often).
bool ComInitializedOnThisThread();

// A copy of text in task memory with its terminator, for CoTaskMemFree; nullptr when out of memory.
char16_t* CoTaskString(std::u16string_view text);

}  // namespace qv::sim::netcfg
