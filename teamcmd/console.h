// Console output of QvTeamCmd. Narrow texts go through PrintNarrow, UTF-16 texts through PrintWide
// (converted to UTF-8); both write to standard output through the console port (UTF-16 to a console
// window on Windows, the UTF-8 bytes otherwise) and flush, so the two kinds stay in order.
#pragma once

#include <string>

namespace qv::teamcmd {

// printf-style with a narrow format.
void PrintNarrow(const char* format, ...);
// printf-style with a UTF-16 format, conventions of U16Format.
void PrintWide(const char16_t* format, ...);
// printf-style with a UTF-16 format, to standard error (captured with standard output).
void PrintError(const char16_t* format, ...);

// Writes text as it is.
void PrintText(const std::string& text);

// While one exists, console output is appended to a string instead of standard output, so that a
// whole run can be checked in-process. Not nestable.
class ConsoleCapture {
  public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

}  // namespace qv::teamcmd
