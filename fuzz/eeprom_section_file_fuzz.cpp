// qvtool's EEPROM section file reader, fed arbitrary bytes as the file of each section: it gives
// exactly the section's byte count or nothing (with a reason naming a line, or none for too few
// values), and what it gives dumps back into text that reads the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qv/qvtool/eeprom/section_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const qv::qvtool::EepromSection& section : qv::qvtool::EepromSections()) {
        const auto read = qv::qvtool::ReadSectionFile(section, data, size);
        if (!read.values) {
            if (!read.reason.empty() && read.reason.compare(0, 5, "Line ") != 0) std::abort();
            continue;
        }
        const auto& values = *read.values;
        if (values.size() != section.length || !read.reason.empty()) std::abort();
        const std::string text = qv::qvtool::FormatSectionValues(values);
        const auto again =
            qv::qvtool::ReadSectionFile(section, reinterpret_cast<const uint8_t*>(text.data()), text.size());
        if (!again.values || *again.values != values) std::abort();
    }
    return 0;
}
