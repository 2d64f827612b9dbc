// The texts of the General page that are computed from device answers: link speed and offload
// capabilities.
#pragma once

#include <cstdint>
#include <string>

#include "qv/platform/os_version.h"
#include "qv/platform/result_codes.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamcfg/ndis_records.h"

namespace qv::cfg {

// units: OID_GEN_LINK_SPEED (100 bit/s). os: the system's version, null when it cannot be read
// (the speed then counts as 0). Outside Windows major version 5 a speed above 0x280000000 bit/s is
// shown as that.
std::u16string LinkSpeedText(uint64_t units, const OsVersionInfo* os);

// What the three offload queries gave.
struct OffloadAnswers {
    bool ndis5 = false;
    Win32Error ndis5Error = kErrorSuccess;  // the last error when ndis5 failed
    DeviceCaps5 caps5{};
    bool ndis6 = false;
    DeviceCaps6 caps6{};
    bool connection = false;
    ConnectionOffloadCaps connectionCaps{};
};

// The NDIS 5 answer first; only when it is not supported the NDIS 6 ones.
OffloadAnswers QueryOffloadAnswers(HDevice device);

// "TOE", "LSO" and "Checksum Offload" joined by ", "; "Unknown" when nothing could be had.
std::u16string OffloadText(const OffloadAnswers& answers);

}  // namespace qv::cfg
