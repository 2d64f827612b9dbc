// The devices the simulated board can carry on its JTAG chain, by name: FPGAs and their
// configuration PROMs, each with the profile the chain simulates. Lookup takes the first row of a
// name or IDCODE.
#pragma once

#include <cstdint>
#include <span>

#include "qv/sim/n5/jtag_chain.h"

namespace qv::sim::n5 {

struct JtagDeviceModel {
    const char* name;
    JtagDeviceProfile profile;
};

std::span<const JtagDeviceModel> JtagDeviceModels();
// The first model with this IDCODE, or with this name (compared exactly); null for none.
const JtagDeviceModel* FindJtagDeviceModel(uint32_t idcode);
const JtagDeviceModel* FindJtagDeviceModelByName(const char* name);
// The profile of a device no model describes: an 8-bit instruction register and nothing to
// configure.
JtagDeviceProfile UnknownJtagDeviceProfile(uint32_t idcode);

}  // namespace qv::sim::n5
