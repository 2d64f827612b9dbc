// A forked copy of the test process running a function, for the suites that need several processes
// on one machine (host build only). The child exits with the function's result: 0 for a function
// without one, 0 for true and 1 for false, an int as it is. It may report lines to the parent
// through the descriptor the function is given. Every wait is bounded by the hang guard, and a
// child still running when the object goes is killed and reaped.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "qv/testing/eventually.h"

namespace qv::testing {

// How a child ended.
struct ChildStatus {
    int exitCode = -1;  // its exit code; -1 when it did not exit by itself
    int signal = 0;     // the signal that ended it; 0 when none did
};

class Child {
  public:
    // Forks a child that runs body(report) or body().
    template <typename Body>
    explicit Child(Body body) : Child(Forked{}, ExitCodeOf(std::move(body))) {}
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The child's process id, also after it ended; -1 when it could not be started (the test failed).
    pid_t pid() const { return pid_; }
    // The next line the child reports, without its line feed; empty when none comes before the hang
    // guard or the child ends first.
    std::string Line();
    // Waits until the child ends by itself. A child still running after guard is killed, and the
    // test fails.
    ChildStatus Wait(std::chrono::milliseconds guard = kHangGuard);
    // Kills the child as a crash would (SIGKILL) and reaps it; a child that had already ended tells
    // its own end.
    ChildStatus Kill();

  private:
    struct Forked {};
    Child(Forked, const std::function<int(int report)>& body);

    template <typename Body, typename... Report>
    static int ExitCode(Body& body, Report... report) {
        using Result = std::invoke_result_t<Body&, Report...>;
        if constexpr (std::is_void_v<Result>) {
            body(report...);
            return 0;
        } else if constexpr (std::is_same_v<Result, bool>) {
            return body(report...) ? 0 : 1;
        } else {
            return static_cast<int>(body(report...));
        }
    }

    template <typename Body>
    static std::function<int(int report)> ExitCodeOf(Body body) {
        return [body](int report) mutable {
            if constexpr (std::is_invocable_v<Body&, int>) {
                return ExitCode(body, report);
            } else {
                return ExitCode(body);
            }
        };
    }

    pid_t pid_ = -1;
    bool running_ = false;
    int from_ = -1;
};

// Writes line and a line feed to the parent, from a child's body.
void ReportLine(int report, std::string_view line);

}  // namespace qv::testing
