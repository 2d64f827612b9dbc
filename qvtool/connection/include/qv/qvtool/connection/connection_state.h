// -s: the on-chip state of offloaded connections. The TCB and the work-request context (WRC) of a
// connection id and one STag entry are read from adapter memory (function 25); the transport
// processor's logic analyser is read through its registers. The Print functions take the bytes as
// answered and print them; the reports read them first.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

#include "qv/qvtool/report_request.h"

namespace qv::qvtool {

constexpr uint32_t kTcbBytes = 128;
constexpr uint32_t kWrcBytes = 2848;
constexpr uint32_t kStagBytes = 32;

// Adapter memory addresses of the objects.
constexpr uint32_t kSdramBaseRegister = 0x28C;      // sdram_base_addr
constexpr uint32_t kWrcRegion = 0x300000;           // the WRCs' offset from the SDRAM base
constexpr uint32_t kTptLowerLimitRegister = 0x58C;  // tpt_llimit
// The WRC dump's address column always counts from this base, whatever sdram_base_addr holds.
constexpr uint32_t kWrcShownBase = 0x20300000;

uint32_t TcbAddress(uint32_t tid);
uint32_t WrcAddress(uint32_t sdramBase, uint32_t tid);
uint32_t StagAddress(uint32_t tptLowerLimit, uint32_t stag);

// Logical 32-bit word k of a TCB: the words come in pairs of 64-bit words stored swapped.
uint32_t TcbWord(std::span<const uint8_t, kTcbBytes> tcb, uint32_t k);
// TCB bits hi:lo (at most 32 of them) as a number.
uint32_t TcbBits(std::span<const uint8_t, kTcbBytes> tcb, uint32_t hi, uint32_t lo);

// Each printer takes the buffer as the driver answered it and the length it returned: bytes past
// that length (or past the object's size) count as zero.
void PrintTcb(uint32_t tid, bool expandFields, std::span<const uint8_t> answer, uint32_t returned,
              std::FILE* out);
void PrintWrc(uint32_t tid, std::span<const uint8_t> answer, uint32_t returned, std::FILE* out);
void PrintStag(uint32_t stag, std::span<const uint8_t> answer, uint32_t returned, std::FILE* out);

// The logic analyser's samples: 128 of them; a count of 0 or above asks for all.
constexpr uint32_t kTpLaDepth = 128;
constexpr uint32_t kTpLaConfigRegister = 0x4D4;  // TP_DBG_LA_CONFIG
constexpr uint32_t kTpLaDataHighRegister = 0x4D8;
constexpr uint32_t kTpLaDataLowRegister = 0x4DC;
uint32_t TpLaSampleCount(uint32_t requested);
// One sample decoded with the first line format, or the second when secondFormat.
void PrintTpLaSample(uint64_t value, bool secondFormat, std::FILE* out);

// The reports of the -s state table.
void TcbReport(const ReportRequest& request);
void WrcReport(const ReportRequest& request);
void TpReport(const ReportRequest& request);
void StagReport(const ReportRequest& request);

}  // namespace qv::qvtool
