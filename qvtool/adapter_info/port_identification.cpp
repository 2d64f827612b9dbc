// -b: the port lights blink for a number of seconds; the driver answers once it accepted the
// request.
#include "qv/platform/wintypes.h"
#include "qv/qvtool/adapter_info/adapter_info_commands.h"
#include "qv/qvtool/adapter_info/info_records.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {

void RunPortIdentification(const BlinkRequest& request, HDevice device, std::FILE* out) {
    std::fprintf(out, " Blinking for %d seconds...", request.seconds);
    PortIdentifyRecord record{request.seconds};
    if (SendRequest(device, IoFunction::kPortIdentify, &record, sizeof record, nullptr, 0)) {
        std::fputs("\n", out);
    } else {
        std::fprintf(out, " FAILED. Error code = 0x%08X\n", GetLastError());
    }
}

}  // namespace qv::qvtool
