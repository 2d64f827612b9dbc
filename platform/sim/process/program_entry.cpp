// The program entry on Linux: main receives the arguments as UTF-8 and hands them on as UTF-16,
// what wmain receives on Windows (invalid sequences become U+FFFD). The program runs as a process
// of its simulated machine: it is in the machine's process table while it runs.
#include "qv/platform/program_entry.h"

#include <filesystem>
#include <string>
#include <vector>

#include "qv/platform/utf.h"
#include "qv/sim/process_table.h"

namespace {

// The base name of this program's executable; the name it was started by when that cannot be read.
std::string ExecutableBaseName(const char* argv0) {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && !exe.filename().empty()) return exe.filename().string();
    return std::filesystem::path(argv0 ? argv0 : "").filename().string();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) args.push_back(qv::ToUtf16(argv[i]));
    // A machine that cannot take the entry is reported by the first registry call, which needs
    // the machine as well; the program itself does not depend on being listed.
    std::string ignored;
    qv::sim::RegisterProcess(qv::sim::WindowsImageName(ExecutableBaseName(argc > 0 ? argv[0] : nullptr)),
                             &ignored);
    const int status = qv::ProgramMain(args);
    qv::sim::UnregisterProcess();
    return status;
}
