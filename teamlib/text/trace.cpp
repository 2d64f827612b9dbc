// The trace sink: discards every line unless QV_TRACE names a regular file, which then receives each
// line as UTF-8, appended (created when missing). A FIFO or a device is refused at once rather than
// waited on, and tracing stays off. The environment is read once; with tracing off a call costs one
// branch.
#include "qv/teamlib/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "qv/platform/output_file.h"
#include "qv/teamlib/text.h"

namespace qv {
namespace {

struct TraceSink {
    std::FILE* file = nullptr;
    std::mutex lock;

    TraceSink() {
        const char* path = std::getenv("QV_TRACE");
        if (path != nullptr && path[0] != '\0') file = qv::file::OpenForAppend(path);
    }
    ~TraceSink() {
        if (file != nullptr) std::fclose(file);
    }
};

TraceSink& Sink() {
    static TraceSink sink;
    return sink;
}

}  // namespace

void QvTrace(const char16_t* format, ...) {
    TraceSink& sink = Sink();
    if (sink.file == nullptr) return;
    va_list args;
    va_start(args, format);
    std::string line = ToUtf8(U16VFormat(format, args));
    va_end(args);
    if (line.empty() || line.back() != '\n') line.push_back('\n');
    std::lock_guard<std::mutex> guard(sink.lock);
    std::fwrite(line.data(), 1, line.size(), sink.file);
    std::fflush(sink.file);
}

}  // namespace qv
