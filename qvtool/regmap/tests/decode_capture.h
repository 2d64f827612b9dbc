// Test support: runs a decoder against a scripted register file and returns what it printed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "qv/regmap/decode.h"

namespace qv::regmap::testing {

// A register file whose value at each offset comes from pattern unless set explicitly; offsets in
// failing make the read request fail. Every read is recorded.
struct FakeRegisters {
    // offset * 0x01010101: easy to read in expectations.
    static uint32_t ByteRepeat(uint32_t offset) { return offset * 0x01010101u; }
    // A multiplicative hash: no two bytes or nibbles of a value move together, so a field placed at
    // the wrong bits shows a different value.
    static uint32_t Scrambled(uint32_t offset) { return (offset + 0x01234567u) * 0x9E3779B1u; }

    uint32_t (*pattern)(uint32_t offset) = &ByteRepeat;
    std::vector<std::pair<uint32_t, uint32_t>> values;
    std::set<uint32_t> failing;
    std::vector<uint32_t> reads;

    static bool Read(void* context, uint32_t offset, uint32_t* value);
};

// Runs print with a temporary file and returns what it wrote.
std::string Capture(const std::function<void(std::FILE*)>& print);

// DecodeRegisters into a temporary file; returns the text.
std::string Decode(uint32_t offset, const char* blockName, PrintMode mode, FakeRegisters& regs);

}  // namespace qv::regmap::testing
