// -u sge: the data-path pipeline counters, read through the index/data register pair. Each counter
// clears when read; one that cannot be read is left out.
#include "qv/qvtool/reports/report_tables.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {
namespace {

// cim_data_f0 is read twice in a row and the second value shown, as the chip's own tools do.
constexpr uint32_t kReadTwiceCounter = 28;

}  // namespace

void RunPipelineCountersReport(const ReportRequest& request) {
    const auto labels = PipelineCounterLabels();
    for (uint32_t index = 0; index < labels.size(); ++index) {
        uint32_t value = 0;
        int status = IndirectRead(request.device, index, &value);
        if (index == kReadTwiceCounter) status = IndirectRead(request.device, index, &value);
        if (status == kStatusSuccess) std::fprintf(request.out, "%s%X\n", labels[index], value);
    }
}

}  // namespace qv::qvtool
