// The bit-streams of a board configuration, read and checked whole before the adapter is touched,
// so that a bad file never leaves the board half configured: every configured row's file must be
// a regular file (a FIFO is never opened: it would block), not empty, and no larger than the
// configuration of the device that the row's IDCODE names; that IDCODE must be a known device.
// The contents are kept and the download sends them, whatever happens to the files meanwhile.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "qv/qvtool/jtag/board_config.h"

namespace qv::qvtool {

// A configured row with the bit-stream it downloads.
struct LoadedRow {
    BoardRow row;
    std::vector<uint8_t> stream;  // empty exactly when the row names no bit-stream file
};

// One entry per configured row (ConfiguredRows), in file order. At the first row whose bit-stream
// does not do, prints what is wrong and which line of the board configuration holds the row, and
// returns false (*rows is then empty).
bool LoadBitStreams(const BoardConfig& config, std::vector<LoadedRow>* rows, std::FILE* out);

}  // namespace qv::qvtool
