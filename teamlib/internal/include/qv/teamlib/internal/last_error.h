// The error of a step that failed, kept across the clean-up after it: removing a half-made device,
// releasing a device list or a library may set the thread's last error again, and the caller must
// see why the step failed, not that the clean-up worked.
#pragma once

#include "qv/platform/wintypes.h"

namespace qv {

// Keep() records the thread's last error; the destructor sets it back. Declare it before what is
// cleaned up, so that it is destroyed after it.
class KeptLastError {
  public:
    KeptLastError() = default;
    KeptLastError(const KeptLastError&) = delete;
    KeptLastError& operator=(const KeptLastError&) = delete;
    ~KeptLastError() {
        if (kept_) SetLastError(error_);
    }
    void Keep() {
        error_ = GetLastError();
        kept_ = true;
    }

  private:
    Win32Error error_ = 0;
    bool kept_ = false;
};

}  // namespace qv
