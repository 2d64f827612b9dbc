#include "qv/qvtool/register_commands.h"

#include "qv/qvtool/cim_access.h"
#include "qv/qvtool/transport.h"
#include "qv/regmap/decode.h"

namespace qv::qvtool {
namespace {

// The decoders' register reader: one register-read request on the adapter.
bool ReadForDecoder(void* context, uint32_t offset, uint32_t* value) {
    return RegisterRead(static_cast<HDevice>(context), offset, value) == kStatusSuccess;
}

// Offsets are shown pointer-wide: sixteen upper-case digits.
unsigned long long PointerWide(uint32_t offset) {
    return offset;
}

}  // namespace

void RunRegisterRead(const RegisterRequest& reg, bool expandFields, HDevice device, std::FILE* out) {
    if (reg.target == RegisterTarget::kOffset && !expandFields) {
        uint32_t value = 0;
        RegisterRead(device, reg.offset, &value);
        std::fprintf(out, "0x%08X\n", value);
        return;
    }
    regmap::PrintMode mode;
    mode.wholeBlock = reg.target != RegisterTarget::kOffset;
    mode.expandFields = expandFields;
    const char* block = reg.target == RegisterTarget::kBlockName ? reg.blockName.c_str() : nullptr;
    regmap::DecodeRegisters(reg.offset, block, mode, ReadForDecoder, device, out);
}

void RunRegisterWrite(const RegisterRequest& reg, HDevice device) {
    RegisterWrite(device, reg.offset, reg.value);
}

void RunConfigAccess(const AccessRequest& config, HDevice device, std::FILE* out) {
    if (config.read) {
        uint32_t value = 0;
        ConfigRead(device, config.offset, &value);
        std::fprintf(out, "0x%08X\n", value);
    }
    if (config.write) ConfigWrite(device, config.offset, config.value);
}

void RunMdioAccess(const MdioRequest& mdio, HDevice device, std::FILE* out) {
    MdioRecord record{static_cast<uint8_t>(mdio.port), static_cast<uint8_t>(mdio.device),
                      static_cast<uint16_t>(mdio.reg), static_cast<uint16_t>(mdio.value)};
    if (mdio.read) {
        MdioRead(device, &record);
        std::fprintf(out, "%x.%04x=%04x\n", mdio.device, static_cast<unsigned>(mdio.reg & 0xFFFF),
                     static_cast<unsigned>(record.value));
    }
    if (mdio.write) {
        record.value = static_cast<uint16_t>(mdio.value);
        MdioWrite(device, record);
    }
}

void RunCimControlAccess(const AccessRequest& cim, HDevice device, std::FILE* out) {
    if (cim.read) {
        uint32_t value = 0;
        CimControlRead(device, cim.offset, &value, out);
        std::fprintf(out, "CIM Ctl Reg[0x%016llX]: 0x%08x\n", PointerWide(cim.offset), value);
    }
    if (cim.write) CimControlWrite(device, cim.offset, cim.value, out);
}

void RunCimQueueAccess(const AccessRequest& cim, HDevice device, std::FILE* out) {
    if (cim.write) CimWrite(device, cim.offset, cim.value, out);
    if (cim.read) {
        uint32_t value = 0;
        CimRead(device, cim.offset, &value, out);
        std::fprintf(out, "CIM Queue Reg[0x%016llX]: 0x%08x\n", PointerWide(cim.offset), value);
    }
}

}  // namespace qv::qvtool
