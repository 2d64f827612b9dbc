// The transport primitives: one I/O-control request each. They return 0 on success and 1 when the
// request fails; the read primitives hand back the value word of the answer in either case, from a
// record zeroed before the request, so that a failed read yields 0.
#pragma once

#include <cstdint>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/ioctl_records.h"

namespace qv::qvtool {

constexpr int kStatusSuccess = 0;
constexpr int kStatusFailure = 1;

// Sends one buffered request; true when the I/O-control call succeeded. *returned, when given,
// receives the byte count of the answer as the call reports it (0 when it failed).
bool SendRequest(HDevice device, IoFunction function, void* in, uint32_t inSize, void* out, uint32_t outSize,
                 uint32_t* returned = nullptr);

int RegisterRead(HDevice device, uint32_t offset, uint32_t* value);
int RegisterWrite(HDevice device, uint32_t offset, uint32_t value);
int ConfigRead(HDevice device, uint32_t offset, uint32_t* value);
int ConfigWrite(HDevice device, uint32_t offset, uint32_t value);
// Writes the address to the index register 0x78, then reads the data register 0x7C; stops at the
// first failure.
int IndirectRead(HDevice device, uint32_t address, uint32_t* value);
// MDIO read: the record's value is the answer (0 when the request failed).
int MdioRead(HDevice device, MdioRecord* record);
int MdioWrite(HDevice device, const MdioRecord& record);

// The register index/data pair of the indirect reads.
constexpr uint32_t kIndirectIndexRegister = 0x78;
constexpr uint32_t kIndirectDataRegister = 0x7C;

}  // namespace qv::qvtool
