// CIM queue-space and control-space access through the host-access window: host_acc_ctrl carries
// the CIM address, the write bit and the adapter's busy bit; host_acc_data the data word. Each
// operation returns 0 on success and 1 on failure, after printing its error line to out.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qv/platform/deviceio.h"

namespace qv::qvtool {

constexpr uint32_t kHostAccCtrl = 0x2B0;
constexpr uint32_t kHostAccData = 0x2B4;
constexpr uint32_t kHostAccAddressMask = 0xFFFF;  // hostaddr, bits 15:0
constexpr uint32_t kHostAccWrite = 1u << 16;      // hostwrite
constexpr uint32_t kHostAccBusy = 1u << 17;       // hostbusy
constexpr uint32_t kCimControlBase = 0x2000;
constexpr int kBusyPollLimit = 10000;

// Polls host_acc_ctrl until its busy bit reads clear: at most kBusyPollLimit reads, and success
// only when the bit cleared before the last of them. 0 on success, 1 on failure.
int CimBusyWait(HDevice device);

// Queue space. *value is left alone when the data register was not read.
int CimRead(HDevice device, uint32_t address, uint32_t* value, std::FILE* out);
int CimWrite(HDevice device, uint32_t address, uint32_t value, std::FILE* out);
// Control space: the offset plus kCimControlBase.
int CimControlRead(HDevice device, uint32_t offset, uint32_t* value, std::FILE* out);
int CimControlWrite(HDevice device, uint32_t offset, uint32_t value, std::FILE* out);

}  // namespace qv::qvtool
