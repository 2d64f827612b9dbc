#include "qv/qvtool/jtag/jtag_chain.h"

#include <cstring>

#include "qv/qvtool/jtag/jtag_master.h"

namespace qv::qvtool {
namespace {

// TMS 1, 1, 0, 0 from Run-Test/Idle: Select-DR-Scan, Select-IR-Scan, Capture-IR, Shift-IR.
constexpr uint32_t kToShiftIrMode = 0x3;
constexpr uint32_t kToShiftIrClocks = 4;
// TMS 1, 1, 0 in Shift-IR: the last bit (to Exit1-IR), Update-IR, Run-Test/Idle.
constexpr uint32_t kLastIrBitMode = 0x3;
constexpr uint32_t kLastIrBitClocks = 3;

// Reads IDCODEs in Shift-DR until a zero (the bits shifted in behind the chain) or a full table.
int ReadIdcodes(HDevice device, JtagChain* chain, std::FILE* out) {
    if (JtagIdleToShiftDr(device, out) != kStatusSuccess) return kStatusFailure;
    JtagWriteData(device, 0, out);
    while (chain->count < kJtagMaxChain) {
        uint32_t idcode = 0;
        if (JtagRun(device, kJtagMaxClocks, out) != kStatusSuccess) return kStatusFailure;
        if (JtagReadData(device, &idcode, out) != kStatusSuccess) return kStatusFailure;
        if (idcode == 0) break;
        chain->entries[chain->count++].idcode = idcode;
    }
    return kStatusSuccess;
}

}  // namespace

int QueryJtagChain(HDevice device, JtagChain* chain, std::FILE* out) {
    std::memset(chain, 0, sizeof *chain);
    if (JtagReset(device, out) != kStatusSuccess) return kStatusFailure;
    if (ReadIdcodes(device, chain, out) != kStatusSuccess) return kStatusFailure;
    if (chain->count == 0) return JtagReset(device, out);
    for (uint32_t entry = 0; entry < chain->count; ++entry) {
        const uint32_t idcode = chain->entries[entry].idcode;
        const JtagDevice* known = FindJtagDevice(idcode);
        if (known == nullptr) {
            std::fprintf(out, "device: %d id: 0x%x\n", static_cast<int>(entry), idcode);
            std::fprintf(out, "jtag_query_chain: don't know device with ID 0x%08X, bailing ...\n", idcode);
            return kStatusFailure;
        }
        chain->entries[entry] = *known;
    }
    for (uint32_t entry = 0; entry < chain->count; ++entry) {
        const JtagDevice& d = chain->entries[entry];
        std::fprintf(out, "%u. ID %08X, INSTR.REG SIZE %u, NAME %s\n", entry, d.idcode, d.irLength, d.name);
    }
    return JtagReset(device, out);
}

int ShiftJtagInstruction(HDevice device, const JtagChain& chain, uint32_t instruction, uint32_t d,
                         JtagOut out) {
    if (chain.count == 0 || d >= chain.count) return kStatusFailure;
    if (JtagStep(device, kToShiftIrMode, 0, kToShiftIrClocks, out) != kStatusSuccess) return kStatusFailure;
    // Entry 0 is nearest TDO, so its bits go first; the last bit of the last entry is shifted with
    // the exit below.
    for (uint32_t entry = 0; entry < chain.count; ++entry) {
        const uint32_t length = chain.entries[entry].irLength;
        const uint32_t clocks = entry + 1 == chain.count ? length - 1 : length;
        if (clocks == 0) continue;
        JtagWriteData(device, JtagDeviceIndex(chain, entry) == d ? instruction : 0xFFFFFFFFu, out);
        if (JtagRun(device, clocks, out) != kStatusSuccess) return kStatusFailure;
    }
    const uint32_t lastLength = chain.entries[chain.count - 1].irLength;
    const uint32_t lastBit = d == 0 ? (instruction >> (lastLength - 1)) & 1u : 1u;
    return JtagStep(device, kLastIrBitMode, lastBit, kLastIrBitClocks, out);
}

}  // namespace qv::qvtool
