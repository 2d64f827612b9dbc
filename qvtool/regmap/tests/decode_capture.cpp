#include "decode_capture.h"

#include <cstdio>

#include "qv/testing/temp_dir.h"

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
    std::string text = qv::testing::ReadStream(file);
    std::fclose(file);
    return text;
}

std::string Decode(uint32_t offset, const char* blockName, PrintMode mode, FakeRegisters& regs) {
    return Capture([&](std::FILE* file) {
        DecodeRegisters(offset, blockName, mode, &FakeRegisters::Read, &regs, file);
    });
}

}  // namespace qv::regmap::testing
