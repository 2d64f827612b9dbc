// Feeds arbitrary bytes to the simulated host's INF reader. Whatever it accepts must answer every
// lookup within its limits: each section is found again by its name, every line's fields read
// (substituted) within kMaxFieldUnits, a line has field 0 exactly when it has a key, and the first
// line found by a line's substituted key is that line or one before it. A refusal always says why.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "qv/sim/inf/inf_document.h"

namespace {

void Check(bool condition) {
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using qv::sim::inf::InfDocument;
    qv::sim::inf::InfError error;
    const auto document =
        InfDocument::Parse(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    if (!document) {
        Check(error.code != 0 && !error.message.empty());
        return 0;
    }
    for (uint32_t s = 0; s < document->SectionCount(); ++s) {
        Check(document->FindSection(document->SectionName(s)) == s);
        for (uint32_t line = 0; line < document->LineCount(s); ++line) {
            Check(document->RawField(s, line, 0).has_value() == document->HasKey(s, line));
            if (const auto key = document->Field(s, line, 0))
                Check(document->FindLine(s, *key).value_or(line + 1) <= line);
            const uint32_t count = document->FieldCount(s, line);
            Check(!document->RawField(s, line, count + 1));
            for (uint32_t field = 0; field <= count; ++field) {
                const auto text = document->Field(s, line, field);
                if (text) Check(text->size() <= qv::sim::inf::kMaxFieldUnits);
            }
        }
    }
    return 0;
}
