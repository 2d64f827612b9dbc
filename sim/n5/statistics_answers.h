// The bus driver's answers to the statistics functions 10 to 17, from the adapter's Statistics.
#pragma once

#include "request_record.h"

namespace qv::sim::n5 {

int32_t AnswerPortLink(Adapter& a, const Request& r);         // 10: port u32 in
int32_t AnswerMacStats(Adapter& a, const Request& r);         // 11: port u32 in
int32_t AnswerQsetStats(Adapter& a, const Request& r);        // 12: queue set u32 in
int32_t AnswerInterruptStats(Adapter& a, const Request& r);   // 13
int32_t AnswerIpStats(Adapter& a, const Request& r);          // 14
int32_t AnswerTcpStats(Adapter& a, const Request& r);         // 15
int32_t AnswerOffloadStats(Adapter& a, const Request& r);     // 16
int32_t AnswerConnectionStats(Adapter& a, const Request& r);  // 17: connection u32, index u32 in

}  // namespace qv::sim::n5
