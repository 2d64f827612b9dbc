// Handle lookup and reference counting of the network-configuration objects.
#include "objects.h"

#include "write_lock.h"

namespace qv {
namespace sim::netcfg {

Session::~Session() {
    if (holdsLock) GiveBackWriteLock();
}

Model& Session::Loaded() {
    if (!model) model = LoadModel();
    return *model;
}

std::unique_lock<std::mutex> CallLock() {
    static std::mutex mutex;
    return std::unique_lock(mutex);
}

HResult Lookup(const void* handle, Iface iface, Object** object) {
    *object = nullptr;
    if (handle == nullptr) return kEPointer;
    auto* found = Find<Object>(handle);
    if (found == nullptr || found->iface != iface) return kEInvalidArg;
    *object = found;
    return kSOk;
}

HResult LookupLive(const void* handle, Iface iface, Object** object) {
    const HResult result = Lookup(handle, iface, object);
    if (!Succeeded(result)) return result;
    const Session& session = *(*object)->session;
    if (!session.initialized || session.epoch != (*object)->epoch) {
        *object = nullptr;
        return kNetcfgENotInitialized;
    }
    return kSOk;
}

}  // namespace sim::netcfg

namespace netcfg {

uint32_t AddRef(void* object) {
    const auto lock = sim::netcfg::CallLock();
    auto* found = sim::Find<sim::netcfg::Object>(object);
    return found == nullptr ? 0 : ++found->refs;
}

uint32_t Release(void* object) {
    const auto lock = sim::netcfg::CallLock();
    auto* found = sim::Find<sim::netcfg::Object>(object);
    if (found == nullptr) return 0;
    const uint32_t left = --found->refs;
    if (left == 0) sim::Close<sim::netcfg::Object>(object);
    return left;
}

}  // namespace netcfg
}  // namespace qv
