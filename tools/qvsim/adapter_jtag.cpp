// qvsim adapter <n> jtag chain [NAME|IDCODE]... | jtag show | jtag dump <position> <file>
//   chain: the devices from the one nearest TDO (chain position 0) on, each a known device's name
//          (the first row of that name) or a hexadecimal IDCODE (a known device's row, else a device
//          with an 8-bit instruction register and nothing to configure); no device empties the chain.
//   show:  the master and every device: position, IDCODE, name, TAP state, instruction, and the
//          bits its configuration sink received with a checksum (FNV-1a over the bytes kept).
//   dump:  the bytes a device kept, in the order they were shifted in (the first bit received is
//          the first byte's most significant bit).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "adapter_parts.h"
#include "machine_support.h"
#include "qv/sim/n5/jtag_chain.h"
#include "qv/sim/n5/jtag_devices.h"

namespace qvsim {
namespace {

using qv::sim::n5::JtagDeviceModel;
using qv::sim::n5::JtagDeviceProfile;
using qv::sim::n5::JtagState;

bool ParseDevice(const char* word, JtagDeviceProfile* profile) {
    if (const JtagDeviceModel* known = qv::sim::n5::FindJtagDeviceModelByName(word)) {
        *profile = known->profile;
        return true;
    }
    const auto number = ParseNumber(word, Radix::kHex, 0xFFFFFFFF);
    if (!number) return false;
    const auto idcode = static_cast<uint32_t>(*number);
    const JtagDeviceModel* known = qv::sim::n5::FindJtagDeviceModel(idcode);
    *profile = known != nullptr ? known->profile : qv::sim::n5::UnknownJtagDeviceProfile(idcode);
    return true;
}

int Chain(qv::sim::n5::Adapter& a, Args names) {
    std::vector<JtagDeviceProfile> devices;
    for (char* const name : names) {
        JtagDeviceProfile profile{};
        if (!ParseDevice(name, &profile))
            return AdapterFailure("%s is neither a known JTAG device nor an IDCODE", name);
        devices.push_back(profile);
    }
    if (!qv::sim::n5::SetJtagChain(&a.state().jtag, devices))
        return AdapterFailure("a chain holds at most %u devices", qv::sim::n5::kJtagMaxDevices);
    return kExitOk;
}

uint32_t Checksum(const std::vector<uint8_t>& bytes) {
    uint32_t h = 2166136261u;
    for (const uint8_t b : bytes) h = (h ^ b) * 16777619u;
    return h;
}

int Show(const JtagState& j) {
    std::printf("jtag master: %s, %llu clocks\n", (j.config & 1u) ? "enabled" : "disabled",
                static_cast<unsigned long long>(j.clocks));
    const uint32_t count = std::min(j.deviceCount, qv::sim::n5::kJtagMaxDevices);
    std::printf("chain: %u device%s\n", count, count == 1 ? "" : "s");
    for (uint32_t k = 0; k < count; ++k) {
        const auto& d = j.devices[k];
        const JtagDeviceModel* known = qv::sim::n5::FindJtagDeviceModel(d.profile.idcode);
        uint64_t bits = 0;
        const std::vector<uint8_t> kept = qv::sim::n5::JtagReceivedBytes(j, k, &bits);
        std::printf("  %u. 0x%08X %-9s %-16s instruction 0x%X, received %llu bits (checksum %08X)\n", k,
                    d.profile.idcode, known != nullptr ? known->name : "unknown",
                    qv::sim::n5::TapStateName(d.tap), d.instruction, static_cast<unsigned long long>(bits),
                    Checksum(kept));
    }
    return kExitOk;
}

int Dump(const JtagState& j, const char* positionText, const char* path) {
    const auto position = ParseNumber(positionText, Radix::kDecimal, UINT32_MAX);
    if (!position || *position >= j.deviceCount)
        return AdapterFailure("no JTAG device at position %s", positionText);
    uint64_t bits = 0;
    const std::vector<uint8_t> kept =
        qv::sim::n5::JtagReceivedBytes(j, static_cast<uint32_t>(*position), &bits);
    std::FILE* f = std::fopen(path, "wb");
    bool ok = f != nullptr && std::fwrite(kept.data(), 1, kept.size(), f) == kept.size();
    if (f != nullptr) ok = std::fclose(f) == 0 && ok;
    return ok ? kExitOk : AdapterFailure("cannot write %s", path);
}

}  // namespace

int RunJtagCommand(qv::sim::n5::Adapter& adapter, Args args) {
    if (!args.empty() && std::strcmp(args[0], "chain") == 0) return Chain(adapter, args.subspan(1));
    if (args.size() == 1 && std::strcmp(args[0], "show") == 0) return Show(adapter.state().jtag);
    if (args.size() == 3 && std::strcmp(args[0], "dump") == 0)
        return Dump(adapter.state().jtag, args[1], args[2]);
    return AdapterUsage("expected jtag chain [<name>|<idcode>]..., jtag show or jtag dump <position> <file>");
}

}  // namespace qvsim
