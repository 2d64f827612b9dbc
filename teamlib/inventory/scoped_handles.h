// Handles of the library's registry keys and device lists that release themselves, so that each is
// acquired and released within the one call that uses it.
#pragma once

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"

namespace qv {

class ScopedKey {
  public:
    ScopedKey() = default;
    explicit ScopedKey(HKey key) : key_(key) {}
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ~ScopedKey() { Reset(); }

    bool valid() const { return key_ != nullptr && key_ != kInvalidHKey; }
    HKey get() const { return key_; }
    // The address for calls that return a key; releases the one held.
    HKey* Receive() {
        Reset();
        return &key_;
    }
    void Reset() {
        if (valid()) reg::CloseKey(key_);
        key_ = nullptr;
    }

  private:
    HKey key_ = nullptr;
};

class ScopedDevInfo {
  public:
    explicit ScopedDevInfo(HDevInfo set) : set_(set) {}
    ScopedDevInfo(const ScopedDevInfo&) = delete;
    ScopedDevInfo& operator=(const ScopedDevInfo&) = delete;
    ~ScopedDevInfo() {
        if (valid()) dev::DestroyDeviceInfoList(set_);
    }

    bool valid() const { return set_ != nullptr && set_ != kInvalidDevInfo; }
    HDevInfo get() const { return set_; }

  private:
    HDevInfo set_;
};

}  // namespace qv
