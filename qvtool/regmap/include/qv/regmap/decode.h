// Register block decoders: print adapter registers by name and split into their bit fields.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/regmap/map.h"

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
void DecodeRegisters(uint32_t offset, const char* blockName, PrintMode mode, ReadRegisterFn read,
                     void* context, std::FILE* out);

// Decodes one block: nothing when the offset lies outside its range and mode.wholeBlock is clear;
// otherwise the header, the registers that apply (all of them with mode.wholeBlock, else the one at
// offset) and the footer.
void DecodeBlock(const Block& block, uint32_t offset, PrintMode mode, ReadRegisterFn read, void* context,
                 std::FILE* out);

// Decodes one register: read at its own offset when mode.wholeBlock is set or offset is its own, then
// its value line and, with mode.expandFields, one line per field. Prints nothing when the read fails.
void DecodeRegister(const Register& reg, uint32_t offset, PrintMode mode, ReadRegisterFn read, void* context,
                    std::FILE* out);

// True when some block's name is a case-insensitive prefix of argument ("SGE3x" begins with sge3;
// "mc7" begins with no block name). The command line uses this to tell a block name from an offset.
bool BeginsWithBlockName(const char* argument);

}  // namespace qv::regmap
