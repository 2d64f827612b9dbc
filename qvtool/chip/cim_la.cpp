// "cim_pipeline": the CIM logic analyser's capture. The analyser is stopped, its 512 words read
// one by one from the entry after its write pointer on, and started again.
#include <cstdint>

#include "qv/qvtool/chip/cim_reports.h"
#include "qv/qvtool/cim_access.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kLaControl = 0x80;
constexpr uint32_t kLaData = 0x84;
constexpr uint32_t kLaRun = 1u << 0;
constexpr uint32_t kLaReadRequest = 1u << 1;  // busy while set
constexpr uint32_t kLaAddressMask = 0x7FC;    // bits 10:2
constexpr int kLaWords = 512;
constexpr int kLaBusyPollLimit = 1000;

// Waits for the read request to complete; the control word last read is left in *control.
bool WaitForLaRead(HDevice device, uint32_t* control, std::FILE* out) {
    for (int poll = 0; poll < kLaBusyPollLimit; ++poll) {
        if (CimRead(device, kLaControl, control, out) != kStatusSuccess) return false;
        if ((*control & kLaReadRequest) == 0) return true;
    }
    return false;
}

// Reads the capture and prints it, four words an entry; false when a request failed or a read
// did not complete. *last is the control word last read.
bool DumpCapture(HDevice device, uint32_t control, uint32_t* last, std::FILE* out) {
    uint32_t pointer = (((control >> 16) & 0x1FF) + 4) * 4;
    uint32_t kept = 0;
    for (int i = 0; i < kLaWords; ++i, pointer += 4) {
        const uint32_t request = (control & ~kLaAddressMask) | (pointer & kLaAddressMask) | kLaReadRequest;
        uint32_t data = 0;
        if (CimWrite(device, kLaControl, request, out) != kStatusSuccess) return false;
        if (!WaitForLaRead(device, last, out)) return false;
        if (CimRead(device, kLaData, &data, out) != kStatusSuccess) return false;
        switch (i % 4) {
            case 0:
                std::fprintf(out, "0x%04x", data);
                break;
            case 1:
                kept = data;
                break;
            case 2:
                std::fprintf(out, " 0x%08x 0x%08x", data, kept);
                break;
            default:
                std::fputs("\n", out);
                break;
        }
    }
    return true;
}

}  // namespace

void ReportCimPipeline(const ReportRequest& request) {
    std::FILE* const out = request.out;
    uint32_t control = 0;
    // Without the control word nothing is touched: restarting would overwrite the analyser's
    // configuration with a guess.
    if (CimRead(request.device, kLaControl, &control, out) != kStatusSuccess) {
        std::fputs("Error reading the cim la, registers.\n", out);
        return;
    }
    bool ok = true;
    if ((control & kLaRun) != 0) {
        control &= ~kLaRun;
        ok = CimWrite(request.device, kLaControl, control, out) == kStatusSuccess;
    }
    // The read requests carry the stopped control word, so none of them restarts the analyser.
    uint32_t last = control;
    if (ok) ok = DumpCapture(request.device, control, &last, out);
    if (CimWrite(request.device, kLaControl, (last & ~kLaReadRequest) | kLaRun, out) != kStatusSuccess)
        ok = false;
    if (!ok) std::fputs("Error reading the cim la, registers.\n", out);
}

}  // namespace qv::qvtool
