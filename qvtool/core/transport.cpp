#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

int Status(bool ok) {
    return ok ? kStatusSuccess : kStatusFailure;
}

int ReadWord(HDevice device, IoFunction function, uint32_t offset, uint32_t* value) {
    RegisterRecord record{offset, 0};
    const bool ok = SendRequest(device, function, &record, sizeof record, &record, sizeof record);
    *value = record.value;
    return Status(ok);
}

int WriteWord(HDevice device, IoFunction function, uint32_t offset, uint32_t value) {
    RegisterRecord record{offset, value};
    return Status(SendRequest(device, function, &record, sizeof record, nullptr, 0));
}

}  // namespace

bool SendRequest(HDevice device, IoFunction function, void* in, uint32_t inSize, void* out, uint32_t outSize,
                 uint32_t* returned) {
    uint32_t count = 0;
    const bool ok = io::DeviceIoControl(device, IoControlCode(function), in, inSize, out, outSize, &count);
    if (returned != nullptr) *returned = ok ? count : 0;
    return ok;
}

int RegisterRead(HDevice device, uint32_t offset, uint32_t* value) {
    return ReadWord(device, IoFunction::kRegisterRead, offset, value);
}
int RegisterWrite(HDevice device, uint32_t offset, uint32_t value) {
    return WriteWord(device, IoFunction::kRegisterWrite, offset, value);
}
int ConfigRead(HDevice device, uint32_t offset, uint32_t* value) {
    return ReadWord(device, IoFunction::kConfigRead, offset, value);
}
int ConfigWrite(HDevice device, uint32_t offset, uint32_t value) {
    return WriteWord(device, IoFunction::kConfigWrite, offset, value);
}

int IndirectRead(HDevice device, uint32_t address, uint32_t* value) {
    *value = 0;
    if (RegisterWrite(device, kIndirectIndexRegister, address) != kStatusSuccess) return kStatusFailure;
    return RegisterRead(device, kIndirectDataRegister, value);
}

int MdioRead(HDevice device, MdioRecord* record) {
    record->value = 0;
    return Status(SendRequest(device, IoFunction::kMdioRead, record, sizeof *record, record, sizeof *record));
}

int MdioWrite(HDevice device, const MdioRecord& record) {
    MdioRecord copy = record;
    return Status(SendRequest(device, IoFunction::kMdioWrite, &copy, sizeof copy, &copy, sizeof copy));
}

}  // namespace qv::qvtool
