// Owning handles for the ports' objects: one template, one traits record per kind of handle. A
// ScopedHandle closes what it holds when it goes out of scope, so each handle is released in the
// call that acquired it, on every path.
//
// Traits name the handle type, the value that means "no handle", which values count as valid (a
// kind may have two invalid values, as registry keys have null and INVALID_HANDLE_VALUE) and how
// to close one. INF handles and COM objects get their traits here when their ports arrive.
#pragma once

#include <utility>

#include "qv/platform/deviceio.h"
#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"

namespace qv {

template <class Traits>
class ScopedHandle {
  public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.release());
        return *this;
    }
    ~ScopedHandle() { Reset(); }

    bool valid() const { return Traits::IsValid(handle_); }
    explicit operator bool() const { return valid(); }
    Handle get() const { return handle_; }
    // Gives up ownership without closing.
    Handle release() { return std::exchange(handle_, Traits::kNone); }
    // Closes the handle held (if valid) and holds handle instead.
    void Reset(Handle handle = Traits::kNone) {
        const Handle old = std::exchange(handle_, handle);
        if (Traits::IsValid(old)) Traits::Close(old);
    }
    // The address for calls that return a handle through a pointer; closes the one held.
    Handle* Receive() {
        Reset();
        return &handle_;
    }

  private:
    Handle handle_ = Traits::kNone;
};

// Registry keys (RegCloseKey). Openers return null or kInvalidHKey on failure; the predefined root
// key may be held too: closing it does nothing.
struct RegKeyTraits {
    using Handle = HKey;
    static constexpr HKey kNone = nullptr;
    static bool IsValid(HKey key) { return key != nullptr && key != kInvalidHKey; }
    static void Close(HKey key) { reg::CloseKey(key); }
};

// Device information sets, class device sets and interface sets alike (SetupDiDestroyDeviceInfoList).
struct DevInfoTraits {
    using Handle = HDevInfo;
    static constexpr HDevInfo kNone = nullptr;
    static bool IsValid(HDevInfo set) { return set != nullptr && set != kInvalidDevInfo; }
    static void Close(HDevInfo set) { dev::DestroyDeviceInfoList(set); }
};

// Open devices (CloseHandle).
struct DeviceTraits {
    using Handle = HDevice;
    static constexpr HDevice kNone = nullptr;
    static bool IsValid(HDevice device) { return device != nullptr && device != kInvalidDevice; }
    static void Close(HDevice device) { io::CloseHandle(device); }
};

using ScopedKey = ScopedHandle<RegKeyTraits>;
using ScopedDevInfo = ScopedHandle<DevInfoTraits>;
using ScopedDevice = ScopedHandle<DeviceTraits>;

}  // namespace qv
