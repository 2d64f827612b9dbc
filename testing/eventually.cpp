#include "qv/testing/eventually.h"

#include <thread>

namespace qv::testing {

bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds guard) {
    for (const auto deadline = std::chrono::steady_clock::now() + guard; !done();) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace qv::testing
