#include <cstdio>

#include "commands.h"

namespace qvsim {
std::span<const Command> MachineCommands() { return {}; }
}  // namespace qvsim

int main() {
    std::fputs("qvsim: no commands yet\n", stderr);
    return 2;
}
