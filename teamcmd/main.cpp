// Entry point of QvTeamCmd: the platform's program entry hands over the arguments as UTF-16; the
// run's 32-bit status is the exit status (a Linux shell sees its low byte).
#include "qv/platform/program_entry.h"
#include "run.h"

int qv::ProgramMain(std::span<const std::u16string> args) {
    return static_cast<int>(qv::teamcmd::RunQvTeamCmd(args));
}
