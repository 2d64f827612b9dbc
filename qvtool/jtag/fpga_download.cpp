#include "qv/qvtool/jtag/fpga_download.h"

#include <algorithm>

#include "qv/platform/clock.h"
#include "qv/qvtool/jtag/jtag_master.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kStartupClocks = 12;

uint32_t Reverse32(uint32_t v) {
    uint32_t r = 0;
    for (int i = 0; i < 32; ++i) {
        r = (r << 1) | (v & 1u);
        v >>= 1;
    }
    return r;
}

bool RowMatches(const JtagChain& chain, const BoardRow& row) {
    return row.position < chain.count && chain.entries[row.position].idcode == row.idcode;
}

// Shifts the stream's words in Shift-DR, then the d bits still held in the bypass stages between
// TDI and the device, leaving Shift-DR on the last clock.
int ShiftStream(HDevice device, uint32_t d, std::span<const uint8_t> stream, JtagOut out) {
    if (JtagIdleToShiftDr(device, out) != kStatusSuccess) return kStatusFailure;
    for (size_t at = 0; at < stream.size(); at += 4) {
        uint8_t group[4] = {0, 0, 0, 0};  // the last group's missing bytes are zero
        std::copy_n(stream.begin() + at, std::min<size_t>(4, stream.size() - at), group);
        // A word that did not reach the data register would configure the device with other bits.
        if (JtagWriteData(device, BitStreamWord(group), out) != kStatusSuccess) return kStatusFailure;
        if (JtagRun(device, kJtagMaxClocks, out) != kStatusSuccess) return kStatusFailure;
        ShowProgress(out.progress, "Downloading", at + 4 < stream.size() ? at + 4 : stream.size(),
                     stream.size());
    }
    clk::Sleep(kJtagSettleMs);
    return JtagShiftZerosAndExit(device, d, out);
}

// From Exit1-DR (or Exit1 after the bypass bits): Update-DR, then through Test-Logic-Reset to
// Run-Test/Idle, and the start-up instruction with its clocks.
int StartUp(HDevice device, const JtagChain& chain, uint32_t d, JtagOut out) {
    if (JtagStep(device, 0x1, 0, 1, out) != kStatusSuccess) return kStatusFailure;
    if (JtagStep(device, 0x1F, 0, 5, out) != kStatusSuccess) return kStatusFailure;
    if (JtagStep(device, 0, 0, 1, out) != kStatusSuccess) return kStatusFailure;
    clk::Sleep(kJtagSettleMs);
    if (ShiftJtagInstruction(device, chain, kJtagStartupInstruction, d, out) != kStatusSuccess)
        return kStatusFailure;
    clk::Sleep(kJtagSettleMs);
    return JtagStep(device, 0, 0, kStartupClocks, out);
}

// One row's stream: reported, downloaded into the device at the row's chain position.
int DownloadRow(HDevice device, const JtagChain& chain, const LoadedRow& loaded, size_t r, std::FILE* out,
                ProgressLine* progress) {
    const BoardRow& row = loaded.row;
    const JtagDevice& target = chain.entries[row.position];
    std::fprintf(out, "%d file_size = %d dev = %s module = %s\n", static_cast<int>(r),
                 static_cast<int>(loaded.stream.size()), target.name, row.module.c_str());
    if (DownloadBitStream(device, chain, JtagDeviceIndex(chain, row.position), loaded.stream, out,
                          progress) != kStatusSuccess) {
        if (progress != nullptr) progress->Clear();
        std::fputs("Download failed.\n", out);
        return kStatusFailure;
    }
    return kStatusSuccess;
}

}  // namespace

uint32_t BitStreamWord(const uint8_t bytes[4]) {
    const uint32_t word = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
                          static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
    return Reverse32(word);
}

int DownloadBitStream(HDevice device, const JtagChain& chain, uint32_t d, std::span<const uint8_t> stream,
                      std::FILE* out, ProgressLine* progress) {
    if (d >= chain.count) return kStatusFailure;
    const uint32_t configure = chain.entries[chain.count - 1 - d].configureInstruction;
    if (ShiftJtagInstruction(device, chain, configure, d, out) != kStatusSuccess) return kStatusFailure;
    const int shifted = ShiftStream(device, d, stream, JtagOut(out, progress));
    if (progress != nullptr) progress->Clear();
    if (shifted != kStatusSuccess) return kStatusFailure;
    return StartUp(device, chain, d, out);
}

int CheckAndDownload(HDevice device, const JtagChain& chain, std::span<const LoadedRow> rows, std::FILE* out,
                     ProgressLine* progress) {
    for (const LoadedRow& loaded : rows) {
        if (!RowMatches(chain, loaded.row)) {
            std::fputs("FPGA adapter and its configuration file are not matched.\n", out);
            return kStatusFailure;
        }
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].stream.empty()) continue;
        if (DownloadRow(device, chain, rows[r], r, out, progress) != kStatusSuccess) return kStatusFailure;
    }
    return kStatusSuccess;
}

}  // namespace qv::qvtool
