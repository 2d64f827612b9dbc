// The simulated host's one table of live handles: registry keys, device information sets
// (class device sets and interface sets alike), open devices, and the kinds the installation and
// network-configuration calls add. Every backend call that takes a handle resolves it here.
//
// A handle value encodes a slot of the table and the slot's generation; closing a handle bumps the
// generation, so a closed handle stays invalid even after its slot is reused. A handle can also be
// tied to a machine generation (registry keys are: a machine switch invalidates them). Made-up,
// closed and wrong-kind handles are all refused alike: the port answers ERROR_INVALID_HANDLE.
// Lookups are O(1): an index, a generation compare and a kind compare under one mutex.
//
// The table owns the objects behind the handles. Callers that use an object after the lookup
// must keep it alive themselves (the registry holds its database mutex across the whole call).
#pragma once

#include <cstdint>
#include <memory>

#include "qv/platform/wintypes.h"

namespace qv::sim {

enum class HandleKind : uint8_t {
    kFree = 0,
    kRegistryKey,
    kDeviceSet,
    kDevice,
    kInfFile,
    kNetCfgObject,
    kFindFile,  // a file search (FindFirstFile)
    kModule,    // a loaded library (LoadLibrary)
};

// What a handle refers to. Each kind derives its object from this and names its kind:
//   struct OpenKey : HandleObject { static constexpr HandleKind kKind = HandleKind::kRegistryKey; ... };
struct HandleObject {
    virtual ~HandleObject() = default;
};

// Handles not tied to a machine.
constexpr uint64_t kAnyMachine = 0;

// Stores object under a new handle value; never 0, never -1, always a multiple of 4.
uintptr_t InsertHandle(HandleKind kind, std::unique_ptr<HandleObject> object, uint64_t machine);
// The object behind handle, or nullptr when handle is not a live handle of kind (or belongs to
// another machine than `machine`, when both are tied to one).
HandleObject* FindHandle(uintptr_t handle, HandleKind kind, uint64_t machine);
// Frees the handle and its object; false when handle is not a live handle of kind. A handle of a
// machine no longer current can still be closed.
bool CloseHandleOf(uintptr_t handle, HandleKind kind);
// Number of live handles (for leak checks in tests).
size_t LiveHandleCount();

// Sets the thread's last error and returns false: the one way the BOOL-returning calls fail.
inline bool FailWith(Win32Error error) {
    SetLastError(error);
    return false;
}
// Sets the thread's last error and returns value: how the calls that hand out a handle, a count or
// an optional fail (FailWith(kErrorPathNotFound, kInvalidFind)).
template <class T>
T FailWith(Win32Error error, T value) {
    SetLastError(error);
    return value;
}
// Clears the thread's last error and returns value: how those calls succeed.
template <class T = bool>
T Succeed(T value = true) {
    SetLastError(kErrorSuccess);
    return value;
}

// Typed access for a handle type H (a pointer to an incomplete tag) and its object type T.
template <class T, class H>
H NewHandle(std::unique_ptr<T> object, uint64_t machine = kAnyMachine) {
    return reinterpret_cast<H>(InsertHandle(T::kKind, std::move(object), machine));
}
template <class T, class H>
T* Find(H handle, uint64_t machine = kAnyMachine) {
    return static_cast<T*>(FindHandle(reinterpret_cast<uintptr_t>(handle), T::kKind, machine));
}
// As Find, failing with ERROR_INVALID_HANDLE as the last error when the handle is not live.
template <class T, class H>
T* FindOrFail(H handle) {
    T* object = Find<T>(handle);
    if (object == nullptr) SetLastError(kErrorInvalidHandle);
    return object;
}
template <class T, class H>
bool Close(H handle) {
    return CloseHandleOf(reinterpret_cast<uintptr_t>(handle), T::kKind);
}

}  // namespace qv::sim
