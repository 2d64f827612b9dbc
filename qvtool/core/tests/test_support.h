// Helpers of the qvtool suites: in-process runs with captured output, runs of the built program,
// direct access to a simulated adapter's state, and a suite on a fresh simulated machine.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "qv/sim/n5/adapter.h"
#include "qv/testing/temp_dir.h"
#include "qv/testing/temp_machine.h"

namespace qv::qvtool::test {

using qv::testing::MachineOptions;
using qv::testing::TempMachine;

// The simulated adapter behind bus-driver instance n of the selected machine.
std::unique_ptr<sim::n5::Adapter> OpenSimulatedAdapter(int instance = 0);

struct RunOutput {
    std::string out;
    std::string err;
    int status = -1;
};

// Runs the tool in this process with argv = {"qvtool", words...}.
RunOutput RunInProcess(const std::vector<std::string>& words);
// Runs the built program with QV_MACHINE set to machineDir; argv[0] is the program's path.
RunOutput RunProgram(const std::filesystem::path& machineDir, const std::vector<std::string>& words);

// A suite on one temporary machine made for it on first use, with the adapter behind nic0 open and
// its faults cleared around every test.
class Nic0Test : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;
    // Runs with "-d nic0" before the words; checks the status and that nothing went to stderr.
    std::string RunOnNic0(std::vector<std::string> words);

    static TempMachine* machine_;
    std::unique_ptr<sim::n5::Adapter> adapter_;
};

using qv::testing::ReadFile;
// The usage screen as kept in golden/usage.txt.
std::string GoldenUsage();

}  // namespace qv::qvtool::test
