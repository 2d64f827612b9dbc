#include "test_support.h"

#include <cstdio>
#include <cstdlib>

#include "qv/qvtool/runner.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/machine.h"
#include "qv/testing/golden.h"
#include "qv/testing/program_run.h"

namespace qv::qvtool::test {

using qv::testing::ReadStream;

std::unique_ptr<sim::n5::Adapter> OpenSimulatedAdapter(int instance) {
    std::filesystem::path stateFile;
    if (!sim::AdapterStateFileOfInstance(instance, &stateFile)) return nullptr;
    int32_t error = 0;
    return sim::n5::Adapter::Open(stateFile, &error);
}

RunOutput RunInProcess(const std::vector<std::string>& words) {
    std::vector<const char*> argv{"qvtool"};
    for (const auto& w : words) argv.push_back(w.c_str());
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    RunOutput result;
    result.status = RunQvtool(static_cast<int>(argv.size()), argv.data(), out, err);
    result.out = ReadStream(out);
    result.err = ReadStream(err);
    std::fclose(out);
    std::fclose(err);
    return result;
}

RunOutput RunProgram(const std::filesystem::path& machineDir, const std::vector<std::string>& words) {
    const qv::testing::Exited run = qv::testing::RunProgram("qvtool", machineDir, words);
    return {run.output, run.errors, run.status};
}

TempMachine* Nic0Test::machine_ = nullptr;

void Nic0Test::SetUpTestSuite() {
    machine_ = new TempMachine(MachineOptions::OnFirstUse());
}

void Nic0Test::TearDownTestSuite() {
    delete machine_;
    machine_ = nullptr;
}

void Nic0Test::SetUp() {
    adapter_ = OpenSimulatedAdapter(0);
    ASSERT_NE(adapter_, nullptr);
    adapter_->ClearFaults();
}

void Nic0Test::TearDown() {
    if (adapter_ != nullptr) adapter_->ClearFaults();
}

std::string Nic0Test::RunOnNic0(std::vector<std::string> words) {
    words.insert(words.begin(), {"-d", "nic0"});
    const RunOutput r = RunInProcess(words);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    return r.out;
}

std::string GoldenUsage() {
    return qv::testing::ReadGolden("qvtool/core/tests/golden/usage.txt");
}

}  // namespace qv::qvtool::test
