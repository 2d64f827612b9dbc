// -Q: a run of descriptors of one SGE queue, read with function 30, each printed as its header line
// and its data words.
#pragma once

#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/chip/chip_records.h"
#include "qv/qvtool/options.h"

namespace qv::qvtool {

// Reads and prints request.count descriptors from request.start on; stops at the first failed
// read. An unknown queue name or a count below 1 prints nothing.
void RunDescriptorDump(const DescriptorRequest& request, HDevice device, std::FILE* out);

// One descriptor as read, at index: the header line, then its data as big-endian 64-bit words. The length
// the driver returned is cut to the whole words that lie within the record's data.
void PrintDescriptor(uint32_t index, const DescriptorRecord& record, std::FILE* out);

}  // namespace qv::qvtool
