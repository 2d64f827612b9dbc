// Option -g: the board configuration and every bit-stream it names read and checked, the JTAG
// master enabled, the chain queried, the FPGAs checked and configured, the master released. Every
// failure is printed to out.
#pragma once

#include <cstdio>
#include <string>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/progress_line.h"

namespace qv::qvtool {

// A board file that does not read, or a bit-stream that does not do, ends the operation before any
// request to the adapter.
void RunFpgaConfiguration(const std::string& boardFile, HDevice device, std::FILE* out,
                          ProgressLine* progress);

}  // namespace qv::qvtool
