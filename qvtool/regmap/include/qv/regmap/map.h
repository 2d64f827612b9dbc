// The n5 register map: nineteen named blocks of 32-bit registers, each register split into named fields.
#pragma once

#include <cstdint>
#include <span>

namespace qv::regmap {

// A named bit field: `width` bits starting at bit `lowBit` of its register.
struct Field {
    const char* name;
    uint8_t lowBit;
    uint8_t width;
};

// A named register at a byte offset, with its fields in print order (not always high to low bit).
struct Register {
    const char* name;
    uint32_t offset;
    std::span<const Field> fields;
};

// A named block: the offsets of its first and last register and its registers in ascending offset order.
struct Block {
    const char* name;
    uint32_t firstOffset;
    uint32_t lastOffset;
    std::span<const Register> registers;
};

// Every block, in decode order.
std::span<const Block* const> RegisterBlocks();

namespace detail {
void BitRangeOutsideRegister();  // never defined: reached only when a table entry is wrong
}  // namespace detail

// Field from an inclusive bit range high:low, the way the register map writes it. The check runs at
// compile time, so a mistyped range cannot reach the tables.
consteval Field Bits(const char* name, unsigned high, unsigned low) {
    if (high > 31 || low > high) detail::BitRangeOutsideRegister();
    return Field{name, static_cast<uint8_t>(low), static_cast<uint8_t>(high - low + 1)};
}

// Field of one bit.
consteval Field Bit(const char* name, unsigned bit) {
    return Bits(name, bit, bit);
}

// The field's value within a register value: shifted down to bit 0 and masked to the field's width.
constexpr uint32_t FieldValue(uint32_t registerValue, const Field& field) {
    if (field.lowBit >= 32) return 0;
    const uint32_t shifted = registerValue >> field.lowBit;
    if (field.width >= 32) return shifted;
    return shifted & ((uint32_t{1} << field.width) - 1u);
}

}  // namespace qv::regmap
