// The progress of a long operation (erase, program, compare, EEPROM and FPGA transfers) as a single
// updating line, "\r<phase> <percent>%", on standard error. It is shown only when that stream is a
// terminal, so that redirected and piped output carries exactly the operation's own messages.
#pragma once

#include <cstdint>
#include <cstdio>

namespace qv::qvtool {

class ProgressLine {
  public:
    // A line on err that shows only when err is a terminal. out is flushed before the line is
    // drawn so that the operation's own messages come first on a shared terminal.
    ProgressLine(std::FILE* err, std::FILE* out);
    // A line that shows on err whatever it is (for tests), or never (err null).
    static ProgressLine Always(std::FILE* err, std::FILE* out);
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ProgressLine(ProgressLine&& other) noexcept;
    ProgressLine& operator=(ProgressLine&&) = delete;

    // Shows done of total under the phase's name; redraws only when the phase or the whole percent
    // changed, so that a loop may call it for every unit of work.
    void Show(const char* phase, uint64_t done, uint64_t total);
    // Erases the line, so that the next message starts on a clean line.
    void Clear();

  private:
    ProgressLine(std::FILE* err, std::FILE* out, bool shown) : err_(err), out_(out), shown_(shown) {}

    std::FILE* err_;
    std::FILE* out_;
    bool shown_;
    const char* phase_ = nullptr;
    int percent_ = -1;
    int width_ = 0;  // characters drawn on the line
};

// Calls progress->Show when progress is set: operations take an optional line.
inline void ShowProgress(ProgressLine* progress, const char* phase, uint64_t done, uint64_t total) {
    if (progress != nullptr) progress->Show(phase, done, total);
}

// Calls progress->Clear() when progress is set: before a message while the line may be shown.
inline void ClearProgress(ProgressLine* progress) {
    if (progress != nullptr) progress->Clear();
}

}  // namespace qv::qvtool
