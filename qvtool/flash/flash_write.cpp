// Image write: page program commands of at most one page each, a bounded wait after each.
#include "flash_commands.h"
#include "qv/qvtool/flash/flash_ops.h"
#include "qv/qvtool/flash/spi_master.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

// The words from start, one program command per page; the caller has enabled writes.
int ProgramWords(HDevice device, const FlashPart& part, std::span<const uint32_t> words, uint32_t start,
                 std::FILE* out, ProgressLine* progress) {
    const uint32_t lastWordOfPage = part.pageBytes - 4;
    bool open = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const uint32_t at = start + static_cast<uint32_t>(4 * i);
        // Each command starts at its first word, so a write that does not start on a page
        // boundary continues on the next page's first byte.
        if (!open && flash::StartAddressedCommand(device, flash::kOpPageProgram, at) != kStatusSuccess) {
            flash::AbandonCommand(device);
            return kStatusFailure;
        }
        open = true;
        const bool last = i + 1 == words.size();
        const bool endsCommand = last || (at % part.pageBytes) == lastWordOfPage;
        if (SpiWrite(device, 4, !endsCommand, words[i]) != kStatusSuccess) {
            // Nothing more goes into this page: the command is ended without further data, and the
            // flash is given the time to program what it got, so that later commands are heard.
            flash::AbandonCommand(device);
            WaitFlashReady(device, kProgramReadyPolls);
            return kStatusFailure;
        }
        if (!endsCommand) continue;
        open = false;
        ShowProgress(progress, "Programming", i + 1, words.size());
        // A page the flash ignored (busy, or its latch lost) leaves the latch set.
        uint8_t status = 0;
        if (WaitFlashReady(device, kProgramReadyPolls, &status) != kStatusSuccess ||
            !flash::CycleRan(status)) {
            ClearProgress(progress);
            std::fputs("Write Page failed...\n", out);
            return kStatusFailure;
        }
        if (!last && flash::EnableWrite(device) != kStatusSuccess) {
            ClearProgress(progress);
            std::fputs("Write enable failed...\n", out);
            return kStatusFailure;
        }
    }
    return kStatusSuccess;
}

}  // namespace

int WriteFlashImage(HDevice device, const FlashPart& part, std::span<const uint32_t> words, uint32_t address,
                    std::FILE* out, ProgressLine* progress) {
    std::fprintf(out, "\nWriting image at location 0x%08X of serial flash...\n", address);
    int status = kStatusFailure;
    if (FlashPartHolds(part, address & ~3u, 4 * static_cast<uint64_t>(words.size())) &&
        flash::EnableWrite(device) == kStatusSuccess) {
        status = ProgramWords(device, part, words, address & ~3u, out, progress);
    }
    flash::DisableWrite(device);
    ClearProgress(progress);
    std::fputs(status == kStatusSuccess ? "Writing the Serial flash was successful\n"
                                        : "Writing the Serial flash Failed !!!\n",
               out);
    return status;
}

}  // namespace qv::qvtool
