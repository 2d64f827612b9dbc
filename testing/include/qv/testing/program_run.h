// A built program of bin/ as a process on a simulated machine, for the suites that run programs
// (host build only): run to its end, with its standard output and standard error and the exit
// status a shell sees (the low byte of the 32-bit status), or running in the background.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "qv/testing/eventually.h"

namespace qv::testing {

struct Exited {
    int status;  // the exit code, -1 when the program did not exit normally
    std::string output;
    std::string errors;  // what it wrote to standard error
};

// Every run ends within this time or is killed (and the test fails): a run that waits on something
// must not hang the suite.
constexpr auto kRunLimit = kHangGuard;

// Runs bin/<program> (argv[0] is its path) with args. Its environment holds QV_MACHINE=machine
// (unless machine is empty), PATH and the extra entries ("NAME=value"), nothing of the suite's own.
Exited RunProgram(const std::string& program, const std::filesystem::path& machine,
                  const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {});

// bin/<program>, started the same way, running until the object goes (it is then killed and reaped);
// its output is discarded.
class RunningProgram {
  public:
    RunningProgram(const std::string& program, const std::filesystem::path& machine,
                   const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
};

}  // namespace qv::testing
