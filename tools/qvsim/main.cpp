// qvsim: the command line for simulated machines.
//   qvsim [--machine DIR] <command> [arguments]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>
#include <string_view>

#include "commands.h"
#include "qv/sim/machine.h"

namespace {

void PrintUsage(std::FILE* out) {
    std::fputs(
        "usage: qvsim [--machine DIR] <command> [arguments]\n"
        "The machine is DIR, else $QV_MACHINE, else $XDG_DATA_HOME/qvsim/default.\n"
        "\n"
        "commands:\n",
        out);
    for (const auto& command : qvsim::Commands()) {
        std::fprintf(out, "  %.*s%s%.*s\n", static_cast<int>(command.name.size()), command.name.data(),
                     command.synopsis.empty() ? "" : " ", static_cast<int>(command.synopsis.size()),
                     command.synopsis.data());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::span<char* const> args(argv + 1, static_cast<size_t>(argc > 0 ? argc - 1 : 0));
    if (!args.empty() && std::strcmp(args[0], "--machine") == 0) {
        if (args.size() < 2 || args[1][0] == '\0') {
            std::fputs("qvsim: --machine needs a directory\n", stderr);
            return 2;
        }
        qv::sim::SelectMachine(args[1]);
        args = args.subspan(2);
    }
    if (args.empty() || std::strcmp(args[0], "help") == 0 || std::strcmp(args[0], "--help") == 0) {
        PrintUsage(args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const auto commands = qvsim::Commands();
    const auto command = std::ranges::find(commands, std::string_view(args[0]), &qvsim::Command::name);
    if (command == commands.end()) {
        std::fprintf(stderr, "qvsim: unknown command '%s'\n", args[0]);
        PrintUsage(stderr);
        return 2;
    }
    // qvsim changes the machine as its hardware and setup would, whoever the machine's user is.
    const qv::sim::SystemAccessScope system;
    return command->run(args.subspan(1));
}
