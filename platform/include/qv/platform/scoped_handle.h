// Owning handles for the ports' objects: one template, one traits record per kind of handle. A
// ScopedHandle closes what it holds when it goes out of scope, so each handle is released in the
// call that acquired it, on every path.
//
// Traits name the handle type, the value that means "no handle", which values count as valid (a
// kind may have two invalid values, as registry keys have null and INVALID_HANDLE_VALUE) and how
// to close one.
#pragma once

#include <utility>

#include "qv/platform/deviceio.h"
#include "qv/platform/devinst.h"
#include "qv/platform/files.h"
#include "qv/platform/inf.h"
#include "qv/platform/netcfg.h"
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

// Open INF files (SetupCloseInfFile). OpenInfFile returns kInvalidInf on failure.
struct InfTraits {
    using Handle = HInf;
    static constexpr HInf kNone = nullptr;
    static bool IsValid(HInf inf) { return inf != nullptr && inf != kInvalidInf; }
    static void Close(HInf inf) { inf::CloseInfFile(inf); }
};

// File searches (FindClose). FindFirstFile returns kInvalidFind on failure.
struct FindTraits {
    using Handle = HFind;
    static constexpr HFind kNone = nullptr;
    static bool IsValid(HFind find) { return find != nullptr && find != kInvalidFind; }
    static void Close(HFind find) { file::FindClose(find); }
};

// One reference to a network-configuration interface of any type (Release).
template <class Interface>
struct ComTraits {
    using Handle = Interface;
    static constexpr Interface kNone = nullptr;
    static bool IsValid(Interface object) { return object != nullptr; }
    static void Close(Interface object) { netcfg::Release(object); }
};

// A string the network-configuration calls hand out (CoTaskMemFree).
struct CoTaskStringTraits {
    using Handle = char16_t*;
    static constexpr char16_t* kNone = nullptr;
    static bool IsValid(char16_t* text) { return text != nullptr; }
    static void Close(char16_t* text) { netcfg::CoTaskMemFree(text); }
};

using ScopedKey = ScopedHandle<RegKeyTraits>;
using ScopedDevInfo = ScopedHandle<DevInfoTraits>;
using ScopedDevice = ScopedHandle<DeviceTraits>;
using ScopedInf = ScopedHandle<InfTraits>;
using ScopedFind = ScopedHandle<FindTraits>;
template <class Interface>
using ScopedCom = ScopedHandle<ComTraits<Interface>>;
using ScopedCoTaskString = ScopedHandle<CoTaskStringTraits>;

}  // namespace qv
