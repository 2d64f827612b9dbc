// Runs the built qvsim binary on a temporary machine and captures its output and exit status.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

#include "qv/testing/golden.h"
#include "qv/testing/program_run.h"
#include "qv/testing/temp_dir.h"

namespace qvsim::testing {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

using qv::testing::ReadFile;

// A scratch directory whose "machine" subdirectory is the machine of every run.
class Sandbox {
  public:
    Sandbox() : dir_("qvsim-cli-test") {}

    std::filesystem::path dir() const { return dir_.path(); }
    std::string machine() const { return (dir_ / "machine").string(); }

    Result Run(std::initializer_list<std::string> args) const {
        const qv::testing::Exited run = qv::testing::RunProgram("qvsim", machine(), args);
        return {run.status, run.output, run.errors};
    }

    // The text with every occurrence of the machine directory replaced by "@MACHINE@".
    std::string Neutral(std::string text) const {
        const std::string dir = machine();
        for (size_t pos; (pos = text.find(dir)) != std::string::npos;)
            text.replace(pos, dir.size(), "@MACHINE@");
        return text;
    }

  private:
    qv::testing::TempDir dir_;
};

inline std::string Golden(const char* name) {
    return qv::testing::ReadGolden(std::string("tools/qvsim/tests/golden/") + name);
}

}  // namespace qvsim::testing
