// The process-wide table of device instance numbers (DEVINST). A device keeps its number for the
// life of the process, as the configuration manager's device nodes do; 0 is never a valid number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv::sim {

// The number of the device with this instance id, assigned on first sight (case-insensitive).
uint32_t DevInstFor(std::u16string_view instanceId);
// The instance id of a number handed out by DevInstFor; nullopt for any other number.
std::optional<std::u16string> InstanceIdOf(uint32_t devInst);

}  // namespace qv::sim
