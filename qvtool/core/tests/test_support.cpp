#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "qv/qvtool/runner.h"
#include "qv/sim/bus_driver.h"
#include "qv/sim/machine.h"
#include "qv/testing/golden.h"

namespace qv::qvtool::test {
namespace {

using qv::testing::ReadStream;

std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::unique_ptr<sim::n5::Adapter> TempMachine::OpenAdapter(int instance) const {
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
    const std::filesystem::path outFile = machineDir.parent_path() / "run.out";
    const std::filesystem::path errFile = machineDir.parent_path() / "run.err";
    std::string command = "QV_MACHINE=" + ShellQuote(machineDir.string()) + " " + QV_BIN_DIR "/qvtool";
    for (const auto& w : words) command += " " + ShellQuote(w);
    command += " >" + ShellQuote(outFile.string()) + " 2>" + ShellQuote(errFile.string());
    const int raw = std::system(command.c_str());
    RunOutput result;
    result.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(outFile);
    result.err = ReadFile(errFile);
    return result;
}

TempMachine* Nic0Test::machine_ = nullptr;

void Nic0Test::SetUpTestSuite() {
    machine_ = new TempMachine();
}

void Nic0Test::TearDownTestSuite() {
    delete machine_;
    machine_ = nullptr;
}

void Nic0Test::SetUp() {
    adapter_ = machine_->OpenAdapter(0);
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
