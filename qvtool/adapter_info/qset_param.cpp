// -m: one parameter of a queue set, read or set through function 29.
#include "qv/qvtool/adapter_info/adapter_info_commands.h"
#include "qv/qvtool/adapter_info/info_records.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {

void RunQsetParamRequest(const QsetParamRequest& request, HDevice device, std::FILE* out) {
    QsetParamRecord record{request.qset, request.set ? 1u : 0u, request.index, request.value};
    if (!SendRequest(device, IoFunction::kQsetParam, &record, sizeof record, &record, sizeof record)) {
        // The status printed is the failed call's result, always 0.
        std::fprintf(out, " modify qset param ioctl error. status = 0x%08x\n", 0u);
        return;
    }
    if (!request.set) std::fprintf(out, " 0x%08X\n", record.value);
}

}  // namespace qv::qvtool
