// Link speed and offload texts of the General page.
#include "qv/teamcfg/page_texts.h"

#include <limits>

#include "qv/platform/wintypes.h"
#include "qv/teamcfg/device_queries.h"
#include "qv/teamlib/text.h"

namespace qv::cfg {
namespace {

constexpr uint64_t kSpeedCap = 0x280000000ull;  // bit/s shown at most outside Windows 5.x

void Append(std::u16string* text, const char16_t* part) {
    if (!text->empty()) *text += u", ";
    *text += part;
}

}  // namespace

std::u16string LinkSpeedText(uint64_t units, const OsVersionInfo* os) {
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t speed = units > kMax / 100 ? kMax : units * 100;
    if (os == nullptr) speed = 0;
    if (os != nullptr && os->majorVersion != 5 && speed > kSpeedCap) speed = kSpeedCap;
    if (speed < 200) return u"100 bps";
    if (speed < 1000) return U16Format(u"%I64u bps", speed);
    if (speed < 1000000) return U16Format(u"%I64u Kbps", speed / 1000);
    if (speed < 1000000000) return U16Format(u"%I64u Mbps", speed / 1000000);
    return U16Format(u"%I64u Gbps", speed / 1000000000);
}

OffloadAnswers QueryOffloadAnswers(HDevice device) {
    OffloadAnswers answers;
    answers.ndis5 = QvGetDeviceCaps(device, &answers.caps5);
    if (answers.ndis5) return answers;
    answers.ndis5Error = GetLastError();
    if (answers.ndis5Error != kErrorNotSupported) return answers;
    answers.ndis6 = QvGetDeviceCaps60(device, &answers.caps6);
    if (answers.ndis6) answers.connection = QvGetDeviceConnectionOffloadCaps(device, &answers.connectionCaps);
    return answers;
}

std::u16string OffloadText(const OffloadAnswers& answers) {
    std::u16string text;
    if (answers.ndis5) {
        const DeviceCaps5& caps = answers.caps5;
        if (caps.toePresent) Append(&text, u"TOE");
        if (caps.maxOffloadSize || caps.minSegmentCount || caps.tcpOptions || caps.ipOptions)
            Append(&text, u"LSO");
        if (caps.checksum[0] || caps.checksum[1] || caps.checksum[2] || caps.checksum[3])
            Append(&text, u"Checksum Offload");
        return text;
    }
    if (answers.ndis5Error != kErrorNotSupported || !answers.ndis6) return u"Unknown";
    const DeviceCaps6& caps = answers.caps6;
    if (caps.lsoV1.encapsulation || caps.lsoV2Ipv4Encapsulation || caps.lsoV2Ipv6.encapsulation)
        Append(&text, u"LSO");
    if (caps.checksum[0].encapsulation || caps.checksum[1].encapsulation || caps.checksum[2].encapsulation ||
        caps.checksum[3].encapsulation)
        Append(&text, u"Checksum Offload");
    const ConnectionOffloadCaps& toe = answers.connectionCaps;
    if (answers.connection && (toe.encapsulation || (toe.supportBits & 0xFF) || toe.capacity))
        Append(&text, u"TOE");
    return text.empty() ? u"Unknown" : text;
}

}  // namespace qv::cfg
