// -s chim<n> <index>: an offloaded connection's MAC address and socket TID (function 17).
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {

void PrintConnection(std::FILE* out, int connection, const ConnectionStatsRecord& record) {
    const uint8_t* a = record.address;
    std::fprintf(out, "chim%d : %02x:%02x:%02x:%02x:%02x:%02x\n", connection, a[0], a[1], a[2], a[3], a[4],
                 a[5]);
    if (record.tid != kNoSocketTid) std::fprintf(out, "socket tid:%d\n", static_cast<int32_t>(record.tid));
}

void RunConnectionReport(const ReportRequest& request) {
    const int connection = UnitNumber(request, "chim");
    ConnectionStatsRecord record{};
    record.connection = static_cast<uint32_t>(connection);
    record.tid = request.index;
    if (!RequestRecord(request.device, IoFunction::kConnectionStats, &record)) {
        std::fprintf(request.out, "Chimney statistics read error. status = 0x%08x\n", 0);
        return;
    }
    PrintConnection(request.out, connection, record);
}

}  // namespace qv::qvtool
