// A built program of bin/ as a process on a simulated machine, for the suites that run programs
// (host build only): its standard output and the exit status a shell sees (the low byte of the
// 32-bit status).
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace qv::testing {

struct Exited {
    int status;  // the exit code, -1 when the program did not exit normally
    std::string output;
};

// Every run ends within this time or is killed (and the test fails): a run that waits on something
// must not hang the suite. Only a guard against a hang, far beyond what a loaded machine needs.
constexpr auto kRunLimit = std::chrono::seconds(60);

// Runs bin/<program> with QV_MACHINE set to machine, PATH, and the extra environment entries
// ("NAME=value") and returns its standard output and exit code.
Exited RunProgram(const std::string& program, const std::filesystem::path& machine,
                  const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {});

}  // namespace qv::testing
