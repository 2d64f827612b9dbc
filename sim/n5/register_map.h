// Offsets of the registers whose behaviour the simulated adapter models.
#pragma once

#include <cstdint>

namespace qv::sim::n5 {

constexpr uint32_t kRegIndirectIndex = 0x78;
constexpr uint32_t kRegIndirectData = 0x7C;
constexpr uint32_t kRegHostAccCtrl = 0x2B0;
constexpr uint32_t kRegHostAccData = 0x2B4;
constexpr uint32_t kRegPl3Rev = 0x6F4;

// host_acc_ctrl fields.
constexpr uint32_t kHostAddressMask = 0xFFFF;
constexpr uint32_t kHostWrite = 1u << 16;
constexpr uint32_t kHostBusy = 1u << 17;
// Polls for which an access reads busy before it completes.
constexpr uint32_t kCimBusyPolls = 3;

}  // namespace qv::sim::n5
