// The JTAG device models of the simulated board.
#include "qv/sim/n5/jtag_devices.h"

#include <cstring>

namespace qv::sim::n5 {
namespace {

// Profiles: IDCODE, instruction register length, IDCODE and configure instructions, configuration
// bits. XCF08P comes in two variants; its second row (8-bit instruction register) is found only
// through its position, never by name or IDCODE.
constexpr JtagDeviceModel kModels[] = {
    {"XCF01S", {0x05044093, 8, 0xFE, 0, 0x00100000}},
    {"XCF08P", {0xF5057093, 16, 0xFE, 0, 0x00800000}},
    {"XCF08P", {0xF5057093, 8, 0xFE, 0, 0x00800000}},
    {"XC2VP20", {0x31266093, 14, 0x3FC9, 0x3FC5, 0x007D5860}},
    {"XC2VP30", {0x1127E093, 14, 0x3FC9, 0x3FC5, 0x00B51860}},
    {"XC2VP50", {0x1129E093, 14, 0x3FC9, 0x3FC5, 0x01223E60}},
    {"XC2VP70", {0x112BE093, 14, 0x3FC9, 0x3FC5, 0x018E3D60}},
    {"XC2VP70", {0x112BA093, 14, 0x3FC9, 0x3FC5, 0x018E3D60}},
    {"XC2VP100", {0x012D6093, 14, 0x3FC9, 0x3FC5, 0x020B4460}},
};

}  // namespace

std::span<const JtagDeviceModel> JtagDeviceModels() {
    return kModels;
}

const JtagDeviceModel* FindJtagDeviceModel(uint32_t idcode) {
    for (const JtagDeviceModel& model : kModels) {
        if (model.profile.idcode == idcode) return &model;
    }
    return nullptr;
}

const JtagDeviceModel* FindJtagDeviceModelByName(const char* name) {
    for (const JtagDeviceModel& model : kModels) {
        if (std::strcmp(model.name, name) == 0) return &model;
    }
    return nullptr;
}

JtagDeviceProfile UnknownJtagDeviceProfile(uint32_t idcode) {
    return {.idcode = idcode,
            .irLength = 8,
            .idcodeInstruction = 0xFE,
            .configureInstruction = 0xFF00,
            .configBits = 0};
}

}  // namespace qv::sim::n5
