// -u phy<n>: a port's link speed, duplex and state (function 10).
#include "qv/qvtool/reports/statistics_reports.h"
#include "table_report.h"

namespace qv::qvtool {
namespace {

constexpr const char* kSpeedTexts[] = {"10Mb/s", "100Mb/s", "1Gb/s", "10Gb/s"};
constexpr const char* kDuplexTexts[] = {"half", "full"};

template <size_t N>
const char* CodeText(const char* const (&texts)[N], uint32_t code) {
    return code < N ? texts[code] : "unknown";
}

}  // namespace

void PrintPortLink(std::FILE* out, const PortLinkRecord& record) {
    std::fprintf(out, "link_speed : %s\n", CodeText(kSpeedTexts, record.speed));
    std::fprintf(out, "link_duplex : %s\n", CodeText(kDuplexTexts, record.duplex));
    std::fprintf(out, "link_status : %s\n", record.linkStatus != 0 ? "up" : "down");
}

void RunPortLinkReport(const ReportRequest& request) {
    RunNumberedReport(request, "phy", &PortLinkRecord::port, IoFunction::kPortLink,
                      "Phy %d stats read error. status = 0x%08x\n",
                      [&](int, const PortLinkRecord& record) { PrintPortLink(request.out, record); });
}

}  // namespace qv::qvtool
