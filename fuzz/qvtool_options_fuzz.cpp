// qvtool's command line, fed arbitrary argument vectors: the input is split into words at NUL
// bytes (the first word is the invocation name). The parser must never crash, overrun or hang,
// and whatever it accepts must respect its own limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "qv/qvtool/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back() += static_cast<char>(data[i]);
        }
    }
    std::vector<const char*> argv;
    for (const auto& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);  // as the C runtime hands it over
    const auto result = qv::qvtool::ParseCommandLine(static_cast<int>(words.size()), argv.data());
    if (!result.endRun && !result.options.convert.requested) {
        if (result.options.device.empty() ||
            result.options.device.size() > qv::qvtool::kMaxDeviceStringLength) {
            std::abort();  // the run would go on without a usable device string
        }
    }
    if (result.endRun && result.exitStatus != 1) std::abort();
    if (result.options.qsetParam.requested && result.options.qsetParam.qset > 7) std::abort();
    return 0;
}
