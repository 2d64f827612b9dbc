// Runs the built qvsim binary on a temporary machine and captures its output and exit status.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "qv/testing/golden.h"
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
        std::string command = "QV_MACHINE='" + machine() + "' '" QV_BIN_DIR "/qvsim'";
        for (const auto& arg : args) command += " '" + arg + "'";
        const auto out = dir_ / "stdout", err = dir_ / "stderr";
        command += " >'" + out.string() + "' 2>'" + err.string() + "'";
        Result result;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = ReadFile(out);
        result.err = ReadFile(err);
        return result;
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
