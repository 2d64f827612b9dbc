// Register block decoders: print adapter registers by name and split into their bit fields.
#pragma once

#include <cstdint>
#include <cstdio>

namespace qv::regmap {

// The two print-mode flags of the command line.
struct PrintMode {
    bool wholeBlock = false;    // "all" or a block name was given
    bool expandFields = false;  // -f
};

// Reads one 32-bit register at a byte offset; returns true when the request succeeded.
using ReadRegisterFn = bool (*)(void* context, uint32_t offset, uint32_t* value);

// Decodes registers: with blockName null, every block in map order (skipping blocks whose range
// does not hold offset unless mode.wholeBlock); otherwise every block whose name is a
// case-insensitive prefix of blockName. Registers whose read fails are left out. Prints to out.
// (The plain read without flags and without a block is the caller's, not this function's.)
void DecodeRegisters(uint32_t offset, const char* blockName, PrintMode mode, ReadRegisterFn read, void* context,
                     std::FILE* out);

}  // namespace qv::regmap
