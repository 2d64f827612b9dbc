#include "qv/qvtool/jtag/fpga_configuration.h"

#include <vector>

#include "qv/qvtool/jtag/bit_streams.h"
#include "qv/qvtool/jtag/board_config.h"
#include "qv/qvtool/jtag/fpga_download.h"
#include "qv/qvtool/jtag/jtag_chain.h"
#include "qv/qvtool/jtag/jtag_master.h"

namespace qv::qvtool {

void RunFpgaConfiguration(const std::string& boardFile, HDevice device, std::FILE* out,
                          ProgressLine* progress) {
    BoardConfig config;
    if (!LoadBoardConfig(boardFile, &config, out)) return;
    // Every bit-stream is read and checked before the first request to the master.
    std::vector<LoadedRow> rows;
    if (!LoadBitStreams(config, &rows, out)) return;
    JtagEnable(device, out);
    JtagChain chain{};
    // A failed query leaves a chain that no row matches, so the check below stops the run. An
    // unknown device leaves entries without rows: the chain is then taken as empty.
    if (QueryJtagChain(device, &chain, out) != kStatusSuccess) chain.count = 0;
    CheckAndDownload(device, chain, rows, out, progress);
    JtagWriteConfig(device, kJtagConfigDone, out);
}

}  // namespace qv::qvtool
