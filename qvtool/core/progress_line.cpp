#include "qv/qvtool/progress_line.h"

#include "qv/platform/console.h"

namespace qv::qvtool {

ProgressLine::ProgressLine(std::FILE* err, std::FILE* out)
    : ProgressLine(err, out, console::IsTerminal(err)) {}

ProgressLine ProgressLine::Always(std::FILE* err, std::FILE* out) {
    return ProgressLine(err, out, err != nullptr);
}

ProgressLine::ProgressLine(ProgressLine&& other) noexcept
    : err_(other.err_),
      out_(other.out_),
      shown_(other.shown_),
      phase_(other.phase_),
      percent_(other.percent_),
      width_(other.width_) {
    other.shown_ = false;
    other.width_ = 0;
}

void ProgressLine::Show(const char* phase, uint64_t done, uint64_t total) {
    if (!shown_) return;
    const int percent = total == 0 ? 100 : static_cast<int>((done >= total ? total : done) * 100 / total);
    if (phase == phase_ && percent == percent_) return;
    if (width_ == 0 && out_ != nullptr) std::fflush(out_);
    phase_ = phase;
    percent_ = percent;
    const int drawn = std::fprintf(err_, "\r%s %3d%%", phase, percent);
    // A shorter phase name leaves the tail of the longer one: blank it.
    if (drawn > 0 && drawn - 1 < width_) std::fprintf(err_, "%*s", width_ - (drawn - 1), "");
    if (drawn > 0 && drawn - 1 > width_) width_ = drawn - 1;
    std::fflush(err_);
}

void ProgressLine::Clear() {
    if (!shown_ || width_ == 0) return;
    std::fprintf(err_, "\r%*s\r", width_, "");
    std::fflush(err_);
    width_ = 0;
    phase_ = nullptr;
    percent_ = -1;
}

}  // namespace qv::qvtool
