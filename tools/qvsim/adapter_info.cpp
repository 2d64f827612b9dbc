// qvsim adapter <n> info
//   the bus driver's and the loaded microcode's versions, the firmware version words in the flash,
//   the trace entries left, every queue set's parameters and the last port identification.
// qvsim adapter <n> versions vbd <a.b.c.d> | versions microcode <a.b.c>
//                          | versions firmware <word> [<word at 0x77FFC>]
//   vbd and microcode take decimal parts; firmware words are hexadecimal and written into the flash.
// qvsim adapter <n> trace load <count> | trace clear
//   load: the driver holds <count> generated entries from the first one on (about 30 to a buffer).
#include <cstdio>
#include <cstring>

#include "adapter_parts.h"
#include "machine_support.h"
#include "qv/sim/little_endian.h"
#include "qv/sim/n5/adapter_info_state.h"

namespace qvsim {
namespace {

using qv::sim::n5::AdapterInfoState;

constexpr uint32_t kFirmwareVersionAddress = 0x7FFFC;
constexpr uint32_t kFirmwareFallbackAddress = 0x77FFC;

}  // namespace

int RunInfoCommand(qv::sim::n5::Adapter& a, Args args) {
    if (!args.empty()) return AdapterUsage("info takes no arguments");
    const AdapterInfoState& s = a.state().info;
    const uint8_t* flash = a.state().flash.memory;
    std::printf("bus driver version: %u.%u.%u.%u\n", s.busDriverVersion[0], s.busDriverVersion[1],
                s.busDriverVersion[2], s.busDriverVersion[3]);
    std::printf("loaded microcode: %u.%u.%u%s\n", (s.loadedMicrocode >> 16) & 0xFF,
                (s.loadedMicrocode >> 8) & 0xFF, s.loadedMicrocode & 0xFF,
                s.microcodeNeverReady ? " (handshake stuck)" : "");
    std::printf("firmware words: 0x%08X at 0x%X, 0x%08X at 0x%X\n",
                qv::sim::Get32(flash + kFirmwareVersionAddress), kFirmwareVersionAddress,
                qv::sim::Get32(flash + kFirmwareFallbackAddress), kFirmwareFallbackAddress);
    std::printf("trace: %u entries left, next entry %u, %u buffers handed out\n", s.traceEntriesLeft,
                s.traceNextEntry, s.traceBuffersHandedOut);
    for (uint32_t q = 0; q < qv::sim::n5::kQsetCount; ++q) {
        std::printf("qs%u:", q);
        for (uint32_t i = 0; i < qv::sim::n5::kQsetParamCount; ++i) {
            std::printf(" %s=0x%X", qv::sim::n5::kQsetParamNames[i], s.qsetParams[q][i]);
        }
        std::printf("\n");
    }
    if (s.blinkRequests == 0) {
        std::printf("blink: never asked\n");
    } else {
        std::printf("blink: %u requests, last for %d seconds\n", s.blinkRequests, s.lastBlinkSeconds);
    }
    return kExitOk;
}

int RunVersionsCommand(qv::sim::n5::Adapter& a, Args args) {
    AdapterInfoState& s = a.state().info;
    if (args.size() == 2 && std::strcmp(args[0], "vbd") == 0) {
        uint32_t parts[4];
        if (!ParseDotted(args[1], parts, 0xFFFFFFFF)) return AdapterUsage("expected versions vbd <a.b.c.d>");
        std::memcpy(s.busDriverVersion, parts, sizeof parts);
        return kExitOk;
    }
    if (args.size() == 2 && std::strcmp(args[0], "microcode") == 0) {
        uint32_t parts[3];
        if (!ParseDotted(args[1], parts, 0xFF)) {
            return AdapterUsage("expected versions microcode <a.b.c>, each part 0 to 255");
        }
        s.loadedMicrocode = parts[0] << 16 | parts[1] << 8 | parts[2];
        return kExitOk;
    }
    if ((args.size() == 2 || args.size() == 3) && std::strcmp(args[0], "firmware") == 0) {
        uint32_t words[2] = {0, 0};
        for (size_t i = 1; i < args.size(); ++i) {
            const auto word = ParseNumber(args[i], Radix::kHex, 0xFFFFFFFF);
            if (!word) return AdapterUsage("firmware words are hexadecimal");
            words[i - 1] = static_cast<uint32_t>(*word);
        }
        uint8_t* const flash = a.state().flash.memory;
        qv::sim::Put32(flash + kFirmwareVersionAddress, words[0]);
        if (args.size() == 3) qv::sim::Put32(flash + kFirmwareFallbackAddress, words[1]);
        return kExitOk;
    }
    return AdapterUsage("expected versions vbd <a.b.c.d> | microcode <a.b.c> | firmware <word> [<word>]");
}

int RunTraceCommand(qv::sim::n5::Adapter& a, Args args) {
    AdapterInfoState& s = a.state().info;
    if (args.size() == 1 && std::strcmp(args[0], "clear") == 0) {
        s.traceEntriesLeft = 0;
        return kExitOk;
    }
    const auto count = args.size() == 2 ? ParseNumber(args[1], Radix::kDecimal, 0xFFFFFFFF) : std::nullopt;
    if (!count || std::strcmp(args[0], "load") != 0)
        return AdapterUsage("expected trace load <count> or trace clear");
    s.traceEntriesLeft = static_cast<uint32_t>(*count);
    s.traceNextEntry = 0;
    s.traceBuffersHandedOut = 0;
    return kExitOk;
}

}  // namespace qvsim
