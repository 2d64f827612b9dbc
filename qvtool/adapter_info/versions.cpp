// -v: the versions of the tool, the firmware in the serial flash, the microcode in the EEPROM and
// in the chip, and the bus driver. Each item that cannot be read prints its own line and the report
// goes on with the next.
#include "qv/platform/wintypes.h"
#include "qv/qvtool/adapter_info/adapter_info_commands.h"
#include "qv/qvtool/adapter_info/info_records.h"
#include "qv/qvtool/eeprom/vpd_access.h"
#include "qv/qvtool/flash/flash_ops.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

uint32_t Field(uint32_t word, int shift, uint32_t mask) {
    return (word >> shift) & mask;
}

// Reads a firmware version word; a failed read reads as 0. Either way a word of 0 prints "N/A".
uint32_t ReadFirmwareWord(HDevice device, uint32_t address, bool* ok, std::FILE* out) {
    SetLastError(kErrorSuccess);
    uint32_t word = 0;
    *ok = ReadFlashWord(device, address, &word) == kStatusSuccess;
    if (!*ok) {
        std::fprintf(out, "Firmware version read error. status = 0x%x\n", GetLastError());
        word = 0;
    }
    if (word == 0) std::fputs("N/A\n", out);
    return word;
}

void ReportFirmware(HDevice device, std::FILE* out) {
    bool ok = false;
    uint32_t word = ReadFirmwareWord(device, kFlashVersionAddress, &ok, out);
    if (word == 0) return;
    if (Field(word, 16, 0xFFF) > kMaxFirmwareMajor) {
        word = ReadFirmwareWord(device, kFlashFallbackVersionAddress, &ok, out);
        if (!ok || word == 0) return;
    }
    std::fprintf(out, "Firmware version = %s %u.%u.%u\n", Field(word, 28, 0xF) == 0 ? "N" : "T",
                 Field(word, 16, 0xFFF), Field(word, 8, 0xFF), Field(word, 0, 0xFF));
}

void PrintMicrocode(const char* which, uint32_t word, std::FILE* out) {
    std::fprintf(out, "%s Microcode version = %u.%u.%u\n", which, Field(word, 16, 0xFF), Field(word, 8, 0xFF),
                 Field(word, 0, 0xFF));
}

void ReportFlashedMicrocode(HDevice device, std::FILE* out) {
    SetLastError(kErrorSuccess);
    uint32_t capability = 0;
    uint32_t word = 0;
    if (FindVpdCapability(device, &capability) != kStatusSuccess ||
        VpdReadWord({device, capability, out, nullptr}, kVpdMicrocodeVersionAddress, &word) !=
            kStatusSuccess) {
        std::fprintf(out, "Flashed Microcode version read error. status = 0x%x\n", GetLastError());
    } else if (word == 0) {
        std::fputs("N/A\n", out);
    } else {
        PrintMicrocode("Flashed", word, out);
    }
}

void ReportLoadedMicrocode(HDevice device, std::FILE* out) {
    bool ok = RegisterWrite(device, kMicrocodeControlRegister, kMicrocodeVersionRequest) == kStatusSuccess;
    // The version is read whether or not the chip signalled it ready within the polls.
    for (uint32_t poll = 0; ok && poll < kMicrocodeReadyPolls; ++poll) {
        uint32_t control = 0;
        ok = RegisterRead(device, kMicrocodeControlRegister, &control) == kStatusSuccess;
        if ((control & 1) != 0) break;
    }
    uint32_t word = 0;
    if (ok) ok = RegisterRead(device, kMicrocodeDataRegister, &word) == kStatusSuccess;
    if (ok) {
        PrintMicrocode("Loaded", word, out);
    } else {
        std::fprintf(out, "Loaded Microcode version read error. status = 0x%x\n", kStatusFailure);
    }
}

void ReportBusDriver(HDevice device, std::FILE* out) {
    VersionInfoRecord record{};
    if (SendRequest(device, IoFunction::kVersionInfo, &record, sizeof record, &record, sizeof record)) {
        std::fprintf(out, "VBD version = %u.%u.%u.%u\n", record.part[0], record.part[1], record.part[2],
                     record.part[3]);
    } else {
        std::fprintf(out, "VBD version read error. status = 0x%x\n", GetLastError());
    }
}

}  // namespace

void RunVersionsReport(HDevice device, std::FILE* out) {
    std::fprintf(out, "qvtool version = %u.%u.%u.%u\n", kToolVersion[0], kToolVersion[1], kToolVersion[2],
                 kToolVersion[3]);
    ReportFirmware(device, out);
    ReportFlashedMicrocode(device, out);
    ReportLoadedMicrocode(device, out);
    ReportBusDriver(device, out);
}

}  // namespace qv::qvtool
