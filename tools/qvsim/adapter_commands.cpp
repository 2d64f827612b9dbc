// qvsim's adapter commands: inspect and change the state of a simulated n5 adapter and switch its
// faults.
//   qvsim adapter <n> show | reset
//   qvsim adapter <n> reg <offset> [<value>] | cim <address> [<value>] | config <offset> [<value>]
//   qvsim adapter <n> fault function <f> on|off | fault reg-read <offset> on|off
//                       | fault reg-write <offset> on|off | fault cim-busy on|off
//                       | fault flash-never-ready on|off | fault flash-wren-ignored on|off
//                       | fault vpd-absent on|off | fault vpd-never-completes on|off
//                       | fault jtag-never-completes on|off | fault jtag-unknown-idcode on|off
//                       | fault microcode-stuck on|off | fault cim-la-busy on|off
//                       | fault queue-debug-busy on|off | fault clear
//                       | fault detail|detail-size|open <number>|off
//   qvsim adapter <n> flash dump <file> | flash load <file> | eeprom dump <file> | eeprom load <file>
//   qvsim adapter <n> jtag chain [<name>|<idcode>]... | jtag show | jtag dump <position> <file>
//   qvsim adapter <n> info | versions vbd|microcode|firmware ... | trace load <count>|clear
//   qvsim adapter <n> mem tcb|wrc|stag <index> <offset> <bytes> | la sample <slot> <value> | la wptr <slot>
//                       | la step <n> | la show
//   qvsim adapter <n> context <type> <id> [<f0> <f1>] | descriptor <queue> <index> [<length> [<word>...]]
//                     | table <name> <index> [<value>]
//   qvsim adapter <n> stats link|functions|qsets|connection|set|reset ... (adapter_stats.cpp)
// Numbers are hexadecimal except the instance and the function number.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "adapter_chip.h"
#include "adapter_connection.h"
#include "adapter_info.h"
#include "adapter_jtag.h"
#include "adapter_stats.h"
#include "commands.h"
#include "machine_support.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/host_state.h"
#include "qv/sim/n5/adapter.h"

namespace qvsim {
namespace {

using qv::sim::n5::Adapter;
using Args = std::span<char* const>;

bool ParseNumber(const char* text, int base, uint32_t* value) {
    uint64_t v = 0;
    if (!ParseUnsigned(text, base, 0xFFFFFFFF, &v)) return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

bool ParseSwitch(const char* text, bool* on) {
    if (text == nullptr) return false;
    if (std::strcmp(text, "on") == 0) return *on = true, true;
    if (std::strcmp(text, "off") == 0) return *on = false, true;
    return false;
}

int Show(Adapter& a, const std::filesystem::path& file) {
    const auto& s = a.state();
    std::printf("state file: %s\n", file.c_str());
    std::printf("pl3 rev: 0x%08X\n", a.PeekRegister(0x6F4));
    std::printf("requests: %llu\n", static_cast<unsigned long long>(s.counters.requests));
    std::printf("host_acc_ctrl reads: %llu\n", static_cast<unsigned long long>(s.counters.hostAccCtrlReads));
    std::printf("cim accesses: %llu (last: %s 0x%04X)\n",
                static_cast<unsigned long long>(s.counters.cimAccesses),
                s.counters.lastCimWrite ? "write" : "read", s.counters.lastCimAddress);
    std::string faults;
    const auto add = [&faults](const std::string& fault) { faults += (faults.empty() ? " " : ", ") + fault; };
    for (uint32_t f = 0; f <= qv::sim::n5::kMaxFunction; ++f) {
        if ((s.faults.failingFunctions >> f) & 1u) add("function " + std::to_string(f));
    }
    char offset[16];
    for (uint32_t r = 0; r < qv::sim::n5::kRegisterCount; ++r) {
        std::snprintf(offset, sizeof offset, "0x%X", r * 4);
        if ((s.faults.registerReadFails[r / 8] >> (r % 8)) & 1u) add(std::string("reg-read ") + offset);
        if ((s.faults.registerWriteFails[r / 8] >> (r % 8)) & 1u) add(std::string("reg-write ") + offset);
    }
    if (s.faults.cimBusyStuck) add("cim-busy");
    if (s.flash.faults.neverReady) add("flash-never-ready");
    if (s.flash.faults.writeEnableIgnored) add("flash-wren-ignored");
    if (s.vpd.faults.absent) add("vpd-absent");
    if (s.vpd.faults.neverCompletes) add("vpd-never-completes");
    if (s.jtag.faults.neverCompletes) add("jtag-never-completes");
    if (s.jtag.faults.unknownIdcode) add("jtag-unknown-idcode");
    if (s.info.microcodeNeverReady) add("microcode-stuck");
    if (s.chip.faults.cimLaBusyStuck) add("cim-la-busy");
    if (s.chip.faults.queueDebugBusyStuck) add("queue-debug-busy");
    std::printf("faults:%s\n", faults.empty() ? " none" : faults.c_str());
    return 0;
}

// reg / cim / config: prints the word, or stores the value when one is given.
int Word(Adapter& a, const char* what, Args args) {
    uint32_t at = 0;
    uint32_t value = 0;
    if (args.empty() || args.size() > 2 || !ParseNumber(args[0], 16, &at))
        return AdapterUsage("expected <offset> [<value>]");
    const bool write = args.size() == 2;
    if (write && !ParseNumber(args[1], 16, &value))
        return AdapterUsage("the value must be a hexadecimal number");
    const bool reg = std::strcmp(what, "reg") == 0;
    const bool cim = std::strcmp(what, "cim") == 0;
    if ((reg && at >= qv::sim::n5::kRegisterSpaceBytes) || (cim && at >= qv::sim::n5::kCimSpaceWords) ||
        (!reg && !cim && at > qv::sim::n5::kConfigSpaceBytes - 4)) {
        std::fprintf(stderr, "qvsim: adapter: %s 0x%X is outside the adapter\n", what, at);
        return kExitFailure;
    }
    if (reg) {
        if (write) a.PokeRegister(at, value);
        value = a.PeekRegister(at);
    } else if (cim) {
        if (write) a.PokeCim(at, value);
        value = a.PeekCim(at);
    } else {
        if (write) std::memcpy(a.state().config + at, &value, 4);
        std::memcpy(&value, a.state().config + at, 4);
    }
    if (!write) std::printf("0x%08X\n", value);
    return 0;
}

// Faults of the interface lookup and open, kept in the device's simulator state in the registry:
// the interface detail fails with an error, reports a size, or opening fails with an error.
int LookupFault(const qv::sim::BusDriverInterface& bus, Args args) {
    const std::pair<const char*, std::u16string_view> kinds[] = {
        {"detail", qv::sim::kStateInterfaceDetailFails},
        {"detail-size", qv::sim::kStateInterfaceDetailSize},
        {"open", qv::sim::kStateOpenFails},
    };
    uint32_t value = 0;
    if (args.size() != 2 || (std::strcmp(args[1], "off") != 0 && !ParseNumber(args[1], 10, &value))) {
        return AdapterUsage("expected fault detail|detail-size|open <decimal number>|off");
    }
    const std::u16string instance(bus.deviceInstance.begin(), bus.deviceInstance.end());
    for (const auto& [name, valueName] : kinds) {
        if (std::strcmp(args[0], name) != 0) continue;
        if (qv::sim::WriteDeviceState(instance, valueName, value)) return 0;
        std::fputs("qvsim: adapter: the machine registry cannot be written\n", stderr);
        return kExitFailure;
    }
    return AdapterUsage("unknown fault");
}

bool IsLookupFault(Args args) {
    return !args.empty() && (std::strcmp(args[0], "detail") == 0 ||
                             std::strcmp(args[0], "detail-size") == 0 || std::strcmp(args[0], "open") == 0);
}

// Faults that are one switch each.
constexpr std::pair<const char*, void (Adapter::*)(bool)> kSwitchFaults[] = {
    {"cim-busy", &Adapter::SetCimBusyStuck},
    {"flash-never-ready", &Adapter::SetFlashNeverReady},
    {"flash-wren-ignored", &Adapter::SetFlashWriteEnableIgnored},
    {"vpd-absent", &Adapter::SetVpdAbsent},
    {"vpd-never-completes", &Adapter::SetVpdNeverCompletes},
    {"jtag-never-completes", &Adapter::SetJtagNeverCompletes},
    {"jtag-unknown-idcode", &Adapter::SetJtagUnknownIdcode},
    {"microcode-stuck", &Adapter::SetMicrocodeNeverReady},
    {"cim-la-busy", &Adapter::SetCimLaBusyStuck},
    {"queue-debug-busy", &Adapter::SetQueueDebugBusyStuck},
};

int Fault(Adapter& a, Args args) {
    if (args.size() == 1 && std::strcmp(args[0], "clear") == 0) {
        a.ClearFaults();
        return 0;
    }
    bool on = false;
    if (args.size() == 2 && ParseSwitch(args[1], &on)) {
        for (const auto& [name, set] : kSwitchFaults) {
            if (std::strcmp(args[0], name) != 0) continue;
            (a.*set)(on);
            return 0;
        }
    }
    uint32_t n = 0;
    if (args.size() != 3 || !ParseSwitch(args[2], &on)) {
        return AdapterUsage(
            "expected fault function|reg-read|reg-write <n> on|off, fault "
            "cim-busy|flash-never-ready|flash-wren-ignored|vpd-absent|vpd-never-completes|"
            "jtag-never-completes|jtag-unknown-idcode|microcode-stuck|cim-la-busy|queue-debug-busy on|off or "
            "fault clear");
    }
    if (std::strcmp(args[0], "function") == 0) {
        if (!ParseNumber(args[1], 10, &n) || n > qv::sim::n5::kMaxFunction)
            return AdapterUsage("functions are 0 to 31");
        a.SetFunctionFails(n, on);
    } else if (std::strcmp(args[0], "reg-read") == 0 || std::strcmp(args[0], "reg-write") == 0) {
        if (!ParseNumber(args[1], 16, &n) || n >= qv::sim::n5::kRegisterSpaceBytes) {
            return AdapterUsage("register offsets are 0 to FFFC");
        }
        if (args[0][4] == 'r') {
            a.SetRegisterReadFails(n, on);
        } else {
            a.SetRegisterWriteFails(n, on);
        }
    } else {
        return AdapterUsage("unknown fault");
    }
    return 0;
}

// A part's memory as raw bytes.
struct Part {
    const char* name;  // the command's name
    uint8_t* memory;
    size_t size;
    bool whole;  // load takes exactly the part's size, else at most that with the rest erased (0xFF)
};

// <part> dump: the whole part into the file. <part> load: the file into the part from address 0.
int DumpOrLoad(const Part& part, Args args) {
    const bool dump = args.size() == 2 && std::strcmp(args[0], "dump") == 0;
    const bool load = args.size() == 2 && std::strcmp(args[0], "load") == 0;
    if (!dump && !load) {
        return AdapterUsage(
            (std::string("expected ") + part.name + " dump <file> or " + part.name + " load <file>").c_str());
    }
    uint8_t* const memory = part.memory;
    const size_t size = part.size;
    std::FILE* f = std::fopen(args[1], dump ? "wb" : "rb");
    if (f == nullptr) {
        std::fprintf(stderr, "qvsim: adapter: cannot open %s: %s\n", args[1], std::strerror(errno));
        return kExitFailure;
    }
    bool ok = false;
    if (dump) {
        ok = std::fwrite(memory, 1, size, f) == size;
        ok = std::fclose(f) == 0 && ok;
    } else {
        // Read into a copy first, so that a file of the wrong size or unreadable leaves the part
        // unchanged.
        auto image = std::make_unique<uint8_t[]>(size + 1);
        const size_t n = std::fread(image.get(), 1, size + 1, f);
        ok = !std::ferror(f) && (part.whole ? n == size : n <= size);
        std::fclose(f);
        if (!ok) {
            std::fprintf(stderr, "qvsim: adapter: %s is unreadable or %s the %s (%zu bytes)\n", args[1],
                         part.whole ? "not the size of" : "larger than", part.name, size);
            return kExitFailure;
        }
        std::memset(memory, 0xFF, size);
        std::memcpy(memory, image.get(), n);
    }
    if (!ok) {
        std::fprintf(stderr, "qvsim: adapter: cannot write %s\n", args[1]);
        return kExitFailure;
    }
    return 0;
}

int RunAdapter(Args args) {
    uint32_t instance = 0;
    if (args.size() < 2 || !ParseNumber(args[0], 10, &instance) || instance > 0xFFFF) {
        return AdapterUsage("expected <n> <command>; see qvsim help");
    }
    qv::sim::BusDriverInterface bus;
    if (!qv::sim::FindBusDriverInstance(static_cast<int>(instance), &bus)) {
        std::fprintf(stderr, "qvsim: adapter: no bus-driver instance %u on this machine\n", instance);
        return kExitFailure;
    }
    const std::filesystem::path file = qv::sim::AdapterStateFile(bus.deviceInstance);
    int32_t error = 0;
    const char* command = args[1];
    if (std::strcmp(command, "fault") == 0 && IsLookupFault(args.subspan(2)))
        return LookupFault(bus, args.subspan(2));
    if (std::strcmp(command, "reset") == 0) {
        if (args.size() != 2) return AdapterUsage("reset takes no arguments");
        if (Adapter::Reset(file, &error)) return 0;
        std::fprintf(stderr, "qvsim: adapter: cannot write %s (error %d)\n", file.c_str(), error);
        return kExitFailure;
    }
    std::unique_ptr<Adapter> adapter = Adapter::Open(file, &error);
    if (adapter == nullptr) {
        std::fprintf(stderr, "qvsim: adapter: cannot open %s (error %d)%s\n", file.c_str(), error,
                     error == 11 ? "; it is not an adapter state file ('reset' replaces it)" : "");
        return kExitFailure;
    }
    const Args rest = args.subspan(2);
    if (std::strcmp(command, "show") == 0 && rest.empty()) return Show(*adapter, file);
    if (std::strcmp(command, "reg") == 0 || std::strcmp(command, "cim") == 0 ||
        std::strcmp(command, "config") == 0) {
        return Word(*adapter, command, rest);
    }
    if (std::strcmp(command, "fault") == 0) return Fault(*adapter, rest);
    if (std::strcmp(command, "flash") == 0) {
        return DumpOrLoad({"flash", adapter->state().flash.memory, qv::sim::n5::kFlashBytes, false}, rest);
    }
    if (std::strcmp(command, "eeprom") == 0) {
        return DumpOrLoad({"eeprom", adapter->state().vpd.memory, qv::sim::n5::kVpdEepromBytes, true}, rest);
    }
    if (std::strcmp(command, "jtag") == 0) return RunJtagCommand(*adapter, rest);
    if (IsInfoCommand(command)) return RunInfoCommand(*adapter, command, rest);
    if (std::strcmp(command, "mem") == 0) return RunMemCommand(*adapter, rest);
    if (std::strcmp(command, "la") == 0) return RunLaCommand(*adapter, rest);
    if (std::strcmp(command, "context") == 0) return RunContextCommand(*adapter, rest);
    if (std::strcmp(command, "descriptor") == 0) return RunDescriptorCommand(*adapter, rest);
    if (std::strcmp(command, "table") == 0) return RunTableCommand(*adapter, rest);
    if (std::strcmp(command, "stats") == 0) return RunStatsCommand(*adapter, rest);
    return AdapterUsage("unknown adapter command; see qvsim help");
}

const Command kCommands[] = {
    {"adapter",
     "<n> show | reset | reg <offset> [<value>] | cim <address> [<value>] | config <offset> [<value>] | "
     "fault function <f> on|off | fault reg-read|reg-write <offset> on|off | fault "
     "cim-busy|flash-never-ready|flash-wren-ignored|vpd-absent|vpd-never-completes|jtag-never-completes|"
     "jtag-unknown-idcode|microcode-stuck|cim-la-busy|queue-debug-busy on|off | fault clear | "
     "flash dump|load <file> | eeprom dump|load <file> | jtag chain [<name>|<idcode>]... | jtag show | "
     "jtag dump <position> <file> | info | versions vbd <a.b.c.d> | versions microcode <a.b.c> | "
     "versions firmware <word> [<word>] | trace load <count> | trace clear | "
     "mem tcb|wrc|stag <index> <offset> <bytes> | la sample <slot> <value> | la wptr <slot> | la step <n> | "
     "la show | context <type> <id> [<f0> <f1>] | descriptor <queue> <index> [<length> [<word>...]] | "
     "table <name> <index> [<value>] | stats link <port> up|down [<speed> [<duplex>]] | "
     "stats functions <port> <count> | stats qsets <count> | "
     "stats connection <c> <tid>|none [<mac>] | stats set <record> <counter>|u32@<offset>|u64@<offset> "
     "<value> | stats reset",
     RunAdapter},
};

}  // namespace

std::span<const Command> AdapterCommands() {
    return kCommands;
}

}  // namespace qvsim
