// qvtool's printing of what the driver returns for -Q and -q, fed arbitrary records: the
// descriptor's length word may be anything, yet the words printed stay within the record's 128 data
// bytes (the header line and at most sixteen words of seventeen characters), and the context
// field printers take any two words.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qv/qvtool/chip/descriptors.h"
#include "qv/qvtool/chip/queue_context.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::qvtool::DescriptorRecord record{};
    std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
    char* text = nullptr;
    size_t length = 0;
    std::FILE* out = open_memstream(&text, &length);
    if (out == nullptr) return 0;
    qv::qvtool::PrintDescriptor(record.index, record, out);
    std::fflush(out);
    const char* words = static_cast<const char*>(std::memchr(text, '\n', length));
    if (words == nullptr) std::abort();
    const size_t wordBytes = length - static_cast<size_t>(words + 1 - text);
    const size_t expected = (record.length < 128 ? record.length : 128) / 8 * 17;
    if (wordBytes != expected) std::abort();

    qv::qvtool::ContextRecord context{};
    std::memcpy(&context, &record, sizeof context);
    qv::qvtool::PrintEgressFields(context, out);
    qv::qvtool::PrintFreeListFields(context, out);
    qv::qvtool::PrintResponseFields(context, out);
    std::fclose(out);
    std::free(text);
    return 0;
}
