// Runs the built qvsim binary on a temporary machine and captures its output and exit status.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

namespace qvsim::testing {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A scratch directory whose "machine" subdirectory is the machine of every run.
class Sandbox {
  public:
    Sandbox() {
        char pattern[] = "/tmp/qvsim-cli-test-XXXXXX";
        dir_ = mkdtemp(pattern);
    }
    ~Sandbox() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    std::filesystem::path dir() const { return dir_; }
    std::string machine() const { return (dir_ / "machine").string(); }

    Result Run(std::initializer_list<std::string> args) const {
        std::string command = "QV_MACHINE='" + machine() + "' '" QV_BIN_DIR "/qvsim'";
        for (const auto& arg : args) command += " '" + arg + "'";
        const auto out = dir_ / "stdout", err = dir_ / "stderr";
        command += " >'" + out.string() + "' 2>'" + err.string() + "'";
        Result result;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = ReadAll(out);
        result.err = ReadAll(err);
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
    std::filesystem::path dir_;
};

inline std::string Golden(const char* name) {
    return ReadAll(std::filesystem::path(QV_SOURCE_DIR) / "tools/qvsim/tests/golden" / name);
}

}  // namespace qvsim::testing
