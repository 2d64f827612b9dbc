// -u sge: the data-path pipeline counters, read through the index/data register pair. Each counter
// clears when read, so each is read exactly once and the value read is the one shown; one that
// cannot be read is left out.
#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {

void RunPipelineCountersReport(const ReportRequest& request) {
    const auto labels = PipelineCounterLabels();
    for (uint32_t index = 0; index < labels.size(); ++index) {
        uint32_t value = 0;
        if (IndirectRead(request.device, index, &value) == kStatusSuccess)
            std::fprintf(request.out, "%s%X\n", labels[index], value);
    }
}

}  // namespace qv::qvtool
