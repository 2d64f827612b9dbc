#include "decode_capture.h"

#include <cstdio>

namespace qv::regmap::testing {

bool FakeRegisters::Read(void* context, uint32_t offset, uint32_t* value) {
    auto* self = static_cast<FakeRegisters*>(context);
    self->reads.push_back(offset);
    if (self->failing.count(offset) != 0) return false;
    *value = self->pattern(offset);
    for (const auto& [at, v] : self->values) {
        if (at == offset) *value = v;
    }
    return true;
}

std::string Capture(const std::function<void(std::FILE*)>& print) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return "<tmpfile failed>";
    print(file);
    std::string text;
    std::rewind(file);
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    return text;
}

std::string Decode(uint32_t offset, const char* blockName, PrintMode mode, FakeRegisters& regs) {
    return Capture([&](std::FILE* file) {
        DecodeRegisters(offset, blockName, mode, &FakeRegisters::Read, &regs, file);
    });
}

}  // namespace qv::regmap::testing
