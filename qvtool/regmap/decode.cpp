// Register block decoders over the register map tables.
#include "qv/regmap/decode.h"

#include <cstring>

namespace qv::regmap {
namespace {

constexpr char kRule[] = "==================================================\n";  // fifty '='
constexpr uint32_t kRegisterSize = 4;

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when every character of name matches the start of argument without regard to case. The
// argument may be shorter than name; its terminator then mismatches.
bool NamePrefixes(const char* name, const char* argument) {
    for (; *name != '\0'; ++name, ++argument) {
        if (AsciiLower(*name) != AsciiLower(*argument)) return false;
    }
    return true;
}

bool InRange(const Block& block, uint32_t offset) {
    return offset >= block.firstOffset && offset <= block.lastOffset;
}

// The queue context command prints its context id without the " =" of every other field.
bool PrintsWithoutEquals(const Register& reg, const Field& field) {
    return std::strcmp(reg.name, "cxt_cmd") == 0 && std::strcmp(field.name, "cxt_id") == 0;
}

void PrintFields(const Register& reg, uint32_t value, std::FILE* out) {
    for (const Field& field : reg.fields) {
        const unsigned fieldValue = FieldValue(value, field);
        if (PrintsWithoutEquals(reg, field)) {
            std::fprintf(out, "%s 0x%X\n", field.name, fieldValue);
        } else {
            std::fprintf(out, "%s = 0x%X\n", field.name, fieldValue);
        }
    }
}

}  // namespace

void DecodeRegister(const Register& reg, uint32_t offset, PrintMode mode, ReadRegisterFn read, void* context,
                    std::FILE* out) {
    if (read == nullptr || out == nullptr) return;
    if (!mode.wholeBlock && offset != reg.offset) return;
    uint32_t value = 0;
    if (!read(context, reg.offset, &value)) return;
    // The offset is printed pointer-wide: sixteen upper-case hexadecimal digits.
    std::fprintf(out, "\n%s:\noffset = 0x%016llX size = %u value = 0x%08x\n", reg.name,
                 static_cast<unsigned long long>(reg.offset), static_cast<unsigned>(kRegisterSize),
                 static_cast<unsigned>(value));
    if (mode.expandFields) PrintFields(reg, value, out);
}

void DecodeBlock(const Block& block, uint32_t offset, PrintMode mode, ReadRegisterFn read, void* context,
                 std::FILE* out) {
    if (out == nullptr) return;
    if (!mode.wholeBlock && !InRange(block, offset)) return;
    std::fprintf(out, "\n%s:\n%s", block.name, kRule);
    for (const Register& reg : block.registers) DecodeRegister(reg, offset, mode, read, context, out);
    std::fputs(kRule, out);
}

void DecodeRegisters(uint32_t offset, const char* blockName, PrintMode mode, ReadRegisterFn read,
                     void* context, std::FILE* out) {
    for (const Block* block : RegisterBlocks()) {
        if (blockName != nullptr && !NamePrefixes(block->name, blockName)) continue;
        DecodeBlock(*block, offset, mode, read, context, out);
    }
}

bool BeginsWithBlockName(const char* argument) {
    if (argument == nullptr) return false;
    for (const Block* block : RegisterBlocks()) {
        if (NamePrefixes(block->name, argument)) return true;
    }
    return false;
}

}  // namespace qv::regmap
