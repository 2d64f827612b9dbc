// qvsim processes and qvsim broadcast: the programs running on the machine, and a registered
// message sent to them as another program would send it (qvsim broadcast TermQvTray ends QvTray).
#include <cstdio>
#include <span>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/platform/process.h"
#include "qv/platform/utf.h"
#include "qv/sim/process_table.h"

namespace qvsim {

int RunProcesses(std::span<char* const> args) {
    if (!args.empty()) return Fail(kExitUsage, "processes: expected no arguments");
    for (const auto& process : qv::sim::ListMachineProcesses())
        std::printf("%u %s\n", process.pid, process.imageName.c_str());
    return kExitOk;
}

int RunBroadcast(std::span<char* const> args) {
    if (args.empty() || args.size() > 3 || args[0][0] == '\0')
        return Fail(kExitUsage, "broadcast: expected NAME [WPARAM [LPARAM]]");
    uint64_t parameters[2] = {0, 0};
    for (size_t i = 1; i < args.size(); ++i) {
        const auto parameter = ParseNumber(args[i], Radix::kC, UINT32_MAX);
        if (!parameter) return Fail(kExitUsage, "broadcast: WPARAM and LPARAM are numbers of 32 bits");
        parameters[i - 1] = *parameter;
    }
    const std::u16string name = qv::ToUtf16(args[0]);
    const uint32_t message = qv::proc::RegisterWindowMessage(name.c_str());
    if (message == 0) return Fail(kExitFailure, std::string("broadcast: cannot register '") + args[0] + "'");
    if (qv::proc::BroadcastToApplications(message, parameters[0], static_cast<intptr_t>(parameters[1])) < 0)
        return Fail(kExitFailure, "broadcast: the machine's message spool cannot be read");
    std::printf("0x%04X\n", message);
    return kExitOk;
}

}  // namespace qvsim
