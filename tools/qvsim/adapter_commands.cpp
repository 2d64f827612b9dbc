// qvsim's adapter commands: inspect and change the state of a simulated n5 adapter and switch its
// faults. One table (kForms) names every form of "qvsim adapter <n> ..." with its handler; the
// usage text is made from it. Numbers are hexadecimal except the instance and the function number.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "adapter_parts.h"
#include "machine_commands.h"
#include "machine_support.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/host_state.h"
#include "qv/sim/n5/adapter.h"

namespace qvsim {
namespace {

using qv::sim::n5::Adapter;

bool ParseSwitch(const char* text, bool* on) {
    if (std::strcmp(text, "on") == 0) return *on = true, true;
    if (std::strcmp(text, "off") == 0) return *on = false, true;
    return false;
}

// Faults that are one switch each: the name, the switch and whether it is on.
using StateFile = qv::sim::n5::StateFile;
constexpr struct {
    const char* name;
    void (Adapter::*set)(bool);
    bool (*on)(const StateFile& s);
} kSwitchFaults[] = {
    {"cim-busy", &Adapter::SetCimBusyStuck, [](const StateFile& s) { return s.faults.cimBusyStuck != 0; }},
    {"flash-never-ready", &Adapter::SetFlashNeverReady,
     [](const StateFile& s) { return s.flash.faults.neverReady != 0; }},
    {"flash-wren-ignored", &Adapter::SetFlashWriteEnableIgnored,
     [](const StateFile& s) { return s.flash.faults.writeEnableIgnored != 0; }},
    {"vpd-absent", &Adapter::SetVpdAbsent, [](const StateFile& s) { return s.vpd.faults.absent != 0; }},
    {"vpd-never-completes", &Adapter::SetVpdNeverCompletes,
     [](const StateFile& s) { return s.vpd.faults.neverCompletes != 0; }},
    {"jtag-never-completes", &Adapter::SetJtagNeverCompletes,
     [](const StateFile& s) { return s.jtag.faults.neverCompletes != 0; }},
    {"jtag-unknown-idcode", &Adapter::SetJtagUnknownIdcode,
     [](const StateFile& s) { return s.jtag.faults.unknownIdcode != 0; }},
    {"microcode-stuck", &Adapter::SetMicrocodeNeverReady,
     [](const StateFile& s) { return s.info.microcodeNeverReady != 0; }},
    {"cim-la-busy", &Adapter::SetCimLaBusyStuck,
     [](const StateFile& s) { return s.chip.faults.cimLaBusyStuck != 0; }},
    {"queue-debug-busy", &Adapter::SetQueueDebugBusyStuck,
     [](const StateFile& s) { return s.chip.faults.queueDebugBusyStuck != 0; }},
};

// "cim-busy|flash-never-ready|...|queue-debug-busy on|off": the switch faults' form.
std::string SwitchForm() {
    std::string form;
    for (const auto& fault : kSwitchFaults) (form += form.empty() ? "" : "|") += fault.name;
    return form + " on|off";
}
const std::string kSwitchForm = SwitchForm();

// reg / cim / config: prints the word, or stores the value when one is given.
constexpr char kReg[] = "reg";
constexpr char kCim[] = "cim";
constexpr char kConfig[] = "config";

template <const char* what>
int Word(Adapter& a, Args args) {
    uint32_t at = 0;
    uint32_t value = 0;
    if (args.empty() || args.size() > 2 || !ParseNumber(args[0], Radix::kHex, 0xFFFFFFFF, &at))
        return AdapterUsage("expected <offset> [<value>]");
    const bool write = args.size() == 2;
    if (write && !ParseNumber(args[1], Radix::kHex, 0xFFFFFFFF, &value))
        return AdapterUsage("the value must be a hexadecimal number");
    constexpr bool reg = what == kReg;
    constexpr bool cim = what == kCim;
    if ((reg && at >= qv::sim::n5::kRegisterSpaceBytes) || (cim && at >= qv::sim::n5::kCimSpaceWords) ||
        (!reg && !cim && at > qv::sim::n5::kConfigSpaceBytes - 4))
        return AdapterFailure("%s 0x%X is outside the adapter", what, at);
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
constexpr std::pair<const char*, std::u16string_view> kLookupFaults[] = {
    {"detail", qv::sim::kStateInterfaceDetailFails},
    {"detail-size", qv::sim::kStateInterfaceDetailSize},
    {"open", qv::sim::kStateOpenFails},
};

int LookupFault(const qv::sim::BusDriverInterface& bus, std::u16string_view valueName, Args args) {
    uint32_t value = 0;
    if (args.size() != 2 ||
        (std::strcmp(args[1], "off") != 0 && !ParseNumber(args[1], Radix::kDecimal, 0xFFFFFFFF, &value))) {
        return AdapterUsage("expected fault detail|detail-size|open <decimal number>|off");
    }
    const std::u16string instance(bus.deviceInstance.begin(), bus.deviceInstance.end());
    return qv::sim::WriteDeviceState(instance, valueName, value) ? kExitOk : RegistryUnwritable("adapter");
}

int FaultOnAdapter(Adapter& a, Args args) {
    if (args.size() == 1 && std::strcmp(args[0], "clear") == 0) {
        a.ClearFaults();
        return 0;
    }
    bool on = false;
    if (args.size() == 2 && ParseSwitch(args[1], &on)) {
        for (const auto& fault : kSwitchFaults) {
            if (std::strcmp(args[0], fault.name) != 0) continue;
            (a.*fault.set)(on);
            return 0;
        }
    }
    uint32_t n = 0;
    if (args.size() != 3 || !ParseSwitch(args[2], &on)) {
        const std::string why =
            "expected fault function|reg-read|reg-write <n> on|off, fault " + kSwitchForm + " or fault clear";
        return AdapterUsage(why.c_str());
    }
    if (std::strcmp(args[0], "function") == 0) {
        if (!ParseNumber(args[1], Radix::kDecimal, qv::sim::n5::kMaxFunction, &n))
            return AdapterUsage("functions are 0 to 31");
        a.SetFunctionFails(n, on);
    } else if (std::strcmp(args[0], "reg-read") == 0 || std::strcmp(args[0], "reg-write") == 0) {
        if (!ParseNumber(args[1], Radix::kHex, qv::sim::n5::kRegisterSpaceBytes - 1, &n)) {
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
    std::FILE* f = std::fopen(args[1], dump ? "wb" : "rb");
    if (f == nullptr) return AdapterFailure("cannot open %s: %s", args[1], std::strerror(errno));
    if (dump) {
        const bool ok = std::fwrite(part.memory, 1, part.size, f) == part.size;
        if (std::fclose(f) == 0 && ok) return 0;
        return AdapterFailure("cannot write %s", args[1]);
    }
    // Read into a copy first, so that a file of the wrong size or unreadable leaves the part unchanged.
    auto image = std::make_unique<uint8_t[]>(part.size + 1);
    const size_t n = std::fread(image.get(), 1, part.size + 1, f);
    const bool ok = !std::ferror(f) && (part.whole ? n == part.size : n <= part.size);
    std::fclose(f);
    if (!ok) {
        return AdapterFailure("%s is unreadable or %s the %s (%zu bytes)", args[1],
                              part.whole ? "not the size of" : "larger than", part.name, part.size);
    }
    std::memset(part.memory, 0xFF, part.size);
    std::memcpy(part.memory, image.get(), n);
    return 0;
}

// The adapter a command works on: its bus-driver instance and state file, and the state once
// opened.
struct Target {
    qv::sim::BusDriverInterface bus;
    std::filesystem::path file;
    std::unique_ptr<Adapter> adapter;

    // Opens the state file; false, with the reason on standard error, when it cannot be.
    bool Open() {
        int32_t error = 0;
        adapter = Adapter::Open(file, &error);
        if (adapter != nullptr) return true;
        std::fprintf(stderr, "qvsim: adapter: cannot open %s (error %d)%s\n", file.c_str(), error,
                     error == 11 ? "; it is not an adapter state file ('reset' replaces it)" : "");
        return false;
    }
};

int Unknown() {
    return AdapterUsage("unknown adapter command; see qvsim help");
}

// A handler of the opened adapter.
template <int (*run)(Adapter&, Args)>
int Opened(Target& t, Args args) {
    return t.Open() ? run(*t.adapter, args) : kExitFailure;
}

int ShowCommand(Target& t, Args args) {
    if (!t.Open()) return kExitFailure;
    if (!args.empty()) return Unknown();
    Adapter& a = *t.adapter;
    const auto& s = a.state();
    std::printf("state file: %s\n", t.file.c_str());
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
    for (const auto& fault : kSwitchFaults) {
        if (fault.on(s)) add(fault.name);
    }
    std::printf("faults:%s\n", faults.empty() ? " none" : faults.c_str());
    return 0;
}

int ResetCommand(Target& t, Args args) {
    if (!args.empty()) return AdapterUsage("reset takes no arguments");
    int32_t error = 0;
    if (Adapter::Reset(t.file, &error)) return kExitOk;
    return AdapterFailure("cannot write %s (error %d)", t.file.c_str(), error);
}

// The interface lookup faults live in the machine's registry, the others in the state file.
int FaultCommand(Target& t, Args args) {
    for (const auto& [name, valueName] : kLookupFaults) {
        if (!args.empty() && std::strcmp(args[0], name) == 0) return LookupFault(t.bus, valueName, args);
    }
    return Opened<FaultOnAdapter>(t, args);
}

int Flash(Adapter& a, Args args) {
    return DumpOrLoad({"flash", a.state().flash.memory, qv::sim::n5::kFlashBytes, false}, args);
}
int Eeprom(Adapter& a, Args args) {
    return DumpOrLoad({"eeprom", a.state().vpd.memory, qv::sim::n5::kVpdEepromBytes, true}, args);
}

// One form of "qvsim adapter <n> <name> <synopsis>". A command of several forms has a row for each,
// all with the same handler, so that the usage shows each form.
struct Form {
    std::string_view name;
    std::string_view synopsis;
    int (*run)(Target& target, Args args);
};

const Form kForms[] = {
    {"show", "", ShowCommand},
    {"reset", "", ResetCommand},
    {"reg", "<offset> [<value>]", Opened<Word<kReg>>},
    {"cim", "<address> [<value>]", Opened<Word<kCim>>},
    {"config", "<offset> [<value>]", Opened<Word<kConfig>>},
    {"fault", "function <f> on|off", FaultCommand},
    {"fault", "reg-read|reg-write <offset> on|off", FaultCommand},
    {"fault", kSwitchForm, FaultCommand},
    {"fault", "clear", FaultCommand},
    {"flash", "dump|load <file>", Opened<Flash>},
    {"eeprom", "dump|load <file>", Opened<Eeprom>},
    {"jtag", "chain [<name>|<idcode>]...", Opened<RunJtagCommand>},
    {"jtag", "show", Opened<RunJtagCommand>},
    {"jtag", "dump <position> <file>", Opened<RunJtagCommand>},
    {"info", "", Opened<RunInfoCommand>},
    {"versions", "vbd <a.b.c.d>", Opened<RunVersionsCommand>},
    {"versions", "microcode <a.b.c>", Opened<RunVersionsCommand>},
    {"versions", "firmware <word> [<word>]", Opened<RunVersionsCommand>},
    {"trace", "load <count>", Opened<RunTraceCommand>},
    {"trace", "clear", Opened<RunTraceCommand>},
    {"mem", "tcb|wrc|stag <index> <offset> <bytes>", Opened<RunMemCommand>},
    {"la", "sample <slot> <value>", Opened<RunLaCommand>},
    {"la", "wptr <slot>", Opened<RunLaCommand>},
    {"la", "step <n>", Opened<RunLaCommand>},
    {"la", "show", Opened<RunLaCommand>},
    {"context", "<type> <id> [<f0> <f1>]", Opened<RunContextCommand>},
    {"descriptor", "<queue> <index> [<length> [<word>...]]", Opened<RunDescriptorCommand>},
    {"table", "<name> <index> [<value>]", Opened<RunTableCommand>},
    {"stats", "link <port> up|down [<speed> [<duplex>]]", Opened<RunStatsCommand>},
    {"stats", "functions <port> <count>", Opened<RunStatsCommand>},
    {"stats", "qsets <count>", Opened<RunStatsCommand>},
    {"stats", "connection <c> <tid>|none [<mac>]", Opened<RunStatsCommand>},
    {"stats", "set <record> <counter>|u32@<offset>|u64@<offset> <value>", Opened<RunStatsCommand>},
    {"stats", "reset", Opened<RunStatsCommand>},
};

}  // namespace

std::string AdapterSynopsis() {
    std::string text = "<n>";
    for (const Form& form : kForms) {
        text += text.size() == 3 ? " " : " | ";
        text += form.name;
        if (!form.synopsis.empty()) (text += ' ') += form.synopsis;
    }
    return text;
}

int RunAdapter(Args args) {
    uint32_t instance = 0;
    if (args.size() < 2 || !ParseNumber(args[0], Radix::kDecimal, 0xFFFF, &instance)) {
        return AdapterUsage("expected <n> <command>; see qvsim help");
    }
    Target target;
    if (!qv::sim::FindBusDriverInstance(static_cast<int>(instance), &target.bus))
        return AdapterFailure("no bus-driver instance %u on this machine", instance);
    target.file = qv::sim::AdapterStateFile(target.bus.deviceInstance);
    for (const Form& form : kForms) {
        if (form.name == args[1]) return form.run(target, args.subspan(2));
    }
    return target.Open() ? Unknown() : kExitFailure;
}

}  // namespace qvsim
