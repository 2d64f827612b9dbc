// Configuring the FPGAs of a board: the board configuration's rows checked against the chain, then
// each row's bit-stream shifted into its device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/jtag/bit_streams.h"
#include "qv/qvtool/jtag/jtag_chain.h"
#include "qv/qvtool/progress_line.h"

namespace qv::qvtool {

// The instruction that starts a configured device up.
constexpr uint32_t kJtagStartupInstruction = 0x3FCC;
// Settling time after the stream and around the start-up instruction.
constexpr uint32_t kJtagSettleMs = 1000;

// The data-register word for four stream bytes: b0 << 24 | b1 << 16 | b2 << 8 | b3 with its 32 bits
// reversed, so that the most significant bit of b0 is shifted first.
uint32_t BitStreamWord(const uint8_t bytes[4]);

// Shifts the stream into the device with index d (a device of the chain), 32 bits per operation,
// the last group padded with zero bytes, and starts the device up. Progress shows under
// "Downloading".
int DownloadBitStream(HDevice device, const JtagChain& chain, uint32_t d, std::span<const uint8_t> stream,
                      std::FILE* out, ProgressLine* progress);

// Checks every configured row against the chain entry at its position, then downloads each row's
// bit-stream (read beforehand) into the device at that position. Nothing is downloaded unless
// every row matches; the first row that fails stops the rest.
int CheckAndDownload(HDevice device, const JtagChain& chain, std::span<const LoadedRow> rows, std::FILE* out,
                     ProgressLine* progress);

}  // namespace qv::qvtool
