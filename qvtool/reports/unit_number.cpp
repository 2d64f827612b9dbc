#include <cstring>

#include "qv/qvtool/number_text.h"
#include "qv/qvtool/reports/statistics_reports.h"

namespace qv::qvtool {

int UnitNumber(const ReportRequest& request, const char* name) {
    // The name matched the request's first letters, so the number starts after them.
    const size_t length = std::strlen(name);
    if (std::strlen(request.name) < length) return 0;
    return ReadDecimalOrZero(request.name + length);
}

}  // namespace qv::qvtool
