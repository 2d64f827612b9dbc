// The objects behind the network-configuration port's interface pointers. Every interface pointer
// is a handle of the simulator's handle table (kind kNetCfgObject) with its own reference count;
// the pointers of one INetCfg object share its session (the initialised state, the write lock and
// the model). Objects got from a session (classes, components, paths, enumerators) are valid for
// the Initialize they came from only.
//
// Every port call holds the one netcfg mutex while it works on objects (CallLock), so that another
// thread's Release cannot free an object in use.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "model.h"
#include "qv/platform/netcfg.h"
#include "qv/sim/handle_table.h"

namespace qv::sim::netcfg {

enum class Iface : uint8_t {
    kNetCfg,
    kLock,
    kClass,
    kClassSetup,
    kEnumComponents,
    kComponent,
    kBindings,
    kEnumPaths,
    kPath,
    kEnumInterfaces,
    kInterface,
};

struct Session {
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();  // a lock still held is given back with the last reference

    bool initialized = false;
    uint64_t epoch = 0;  // counts Initialize and Uninitialize calls
    bool holdsLock = false;
    // Read from the machine at its first use after Initialize, so a session that is initialised
    // only to take the write lock (as a check whether the lock is free is) reads nothing.
    std::optional<Model> model;
    Model& Loaded();
};

struct Object : HandleObject {
    static constexpr HandleKind kKind = HandleKind::kNetCfgObject;

    Iface iface = Iface::kNetCfg;
    uint32_t refs = 1;
    std::shared_ptr<Session> session;
    uint64_t epoch = 0;
    Guid classGuid{};           // class, class setup
    size_t component = 0;       // component, bindings
    size_t path = 0;            // path, interface enumerator, interface
    size_t position = 0;        // interface: the index in the path of its upper component
    std::vector<size_t> items;  // enumerators: components, paths or interface positions
    size_t cursor = 0;
};

std::unique_lock<std::mutex> CallLock();

// The object behind a handle of the interface: E_POINTER for a null handle, E_INVALIDARG for one
// that is not a live handle of that interface.
HResult Lookup(const void* handle, Iface iface, Object** object);
// The same for objects got from a session, which also fail with NETCFG_E_NOT_INITIALIZED once
// their Initialize has been undone.
HResult LookupLive(const void* handle, Iface iface, Object** object);

// Runs body on the live object behind a handle of the interface, under the call lock.
template <class Body>
HResult WithLive(const void* handle, Iface iface, Body body) {
    const auto guard = CallLock();
    Object* object = nullptr;
    if (const HResult result = LookupLive(handle, iface, &object); !Succeeded(result)) return result;
    return body(*object);
}

// A new handle for an object of the interface on session, valid for the session's current epoch;
// E_OUTOFMEMORY when the table is full.
template <class H>
HResult NewObject(Iface iface, const std::shared_ptr<Session>& session, H* out,
                  std::unique_ptr<Object> object = {}) {
    if (!object) object = std::make_unique<Object>();
    object->iface = iface;
    object->session = session;
    object->epoch = session->epoch;
    *out = NewHandle<Object, H>(std::move(object));
    return *out == nullptr ? kEOutOfMemory : kSOk;
}

}  // namespace qv::sim::netcfg
