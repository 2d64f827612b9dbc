// What an INF file offers to install, read through the INF port: one DriverEntry per models line
// of its manufacturers (the x86 decoration's section when there is one), with the version data,
// the provider, the install section's Characteristics and the service its AddReg names.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "qv/sim/device_set.h"

namespace qv::sim {

// Every driver of the INF at infPath (a Windows path); empty when it cannot be opened or read.
std::vector<DriverEntry> ReadInfDrivers(std::u16string_view infPath);

// How well driver fits a device with these ids (lower is better: a match of the device's hardware
// ids before its compatible ids, earlier ids before later ones, the models line's own hardware id
// before its compatible ids), with driver->hardwareId set to the id that matched; nullopt when
// none matches.
std::optional<uint32_t> RankDriver(DriverEntry* driver, const std::vector<std::u16string>& hardwareIds,
                                   const std::vector<std::u16string>& compatibleIds);

}  // namespace qv::sim
