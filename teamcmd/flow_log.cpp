#include "flow_log.h"

#include <cstdarg>
#include <cstdio>

#include "log_file.h"

namespace qv::teamcmd {

bool LogFlowHeader(const CommandRecord& record) {
    if (!(record.flags & OPT_LOG)) {
        return true;
    }
    std::FILE* log = OpenLogFile(record);
    if (log == nullptr) {
        return false;
    }
    WriteLogHeader(log);
    CloseLogFile(log);
    return true;
}

bool LogFlowText(const CommandRecord& record, const char16_t* format, ...) {
    if (!(record.flags & OPT_LOG)) {
        return true;
    }
    std::FILE* log = OpenLogFile(record);
    if (log == nullptr) {
        return false;
    }
    va_list args;
    va_start(args, format);
    LogVPrintWide(log, format, args);
    va_end(args);
    CloseLogFile(log);
    return true;
}

}  // namespace qv::teamcmd
