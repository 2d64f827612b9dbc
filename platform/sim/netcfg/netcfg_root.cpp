// INetCfg, INetCfgLock, the class objects and class setup's Install on the simulated host.
#include "com.h"
#include "objects.h"
#include "qv/platform/clock.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "write_lock.h"

namespace qv::netcfg {
namespace {

using sim::netcfg::CallLock;
using sim::netcfg::Iface;
using sim::netcfg::Lookup;
using sim::netcfg::NewObject;
using sim::netcfg::Object;
using sim::netcfg::Session;
using sim::netcfg::WithLive;

// How often a waiting AcquireWriteLock looks at the lock again.
constexpr uint32_t kLockPollMs = 100;

// The one component this engine can install: the teaming protocol, with the values its INF gives.
constexpr std::u16string_view kTeamingProtocolId = u"qv_qvteamp";

sim::netcfg::Component TeamingProtocol() {
    sim::netcfg::Component c;
    c.guid = sim::NewRandomGuid();
    c.guidText = GuidToString(c.guid);
    c.id = kTeamingProtocolId;
    c.classGuid = kGuidDevClassNetTrans;
    c.characteristics = 0x80;
    c.bindName = u"qvteamp";
    c.pendingInstall = true;
    c.description = u"Quorvex n5 Teaming Protocol";
    c.provider = u"Quorvex";
    c.infPath = u"oem2.inf";
    return c;
}

// Runs body on the session of an INetCfg or INetCfgLock handle, under the call lock.
template <class Body>
HResult WithSession(const void* handle, Iface iface, Body body) {
    const auto guard = CallLock();
    Object* object = nullptr;
    if (const HResult result = Lookup(handle, iface, &object); !Succeeded(result)) return result;
    return body(*object->session);
}

// One look at the lock for the session; kSFalse with the holder's name when another has it.
HResult TryLock(INetCfgLock lock, const char16_t* clientDescription, std::u16string* holder) {
    return WithSession(lock, Iface::kLock, [&](Session& session) {
        if (session.initialized) return kNetcfgEAlreadyInitialized;
        if (session.holdsLock) return kSOk;
        switch (sim::netcfg::TryTakeWriteLock(clientDescription, holder)) {
            case sim::netcfg::LockAttempt::kTaken:
                session.holdsLock = true;
                return kSOk;
            case sim::netcfg::LockAttempt::kBusy:
                return kSFalse;
            case sim::netcfg::LockAttempt::kFailed:
                break;
        }
        return kEFail;
    });
}

HResult QueryClassObject(INetCfg netCfg, const Guid& classGuid, Iface iface, void** out) {
    if (out == nullptr) return kEPointer;
    *out = nullptr;
    const auto guard = CallLock();
    Object* object = nullptr;
    if (const HResult result = Lookup(netCfg, Iface::kNetCfg, &object); !Succeeded(result)) return result;
    if (!object->session->initialized) return kNetcfgENotInitialized;
    auto created = std::make_unique<Object>();
    created->classGuid = classGuid;
    return NewObject(iface, object->session, out, std::move(created));
}

}  // namespace

HResult CreateNetCfg(INetCfg* netCfg) {
    if (netCfg == nullptr) return kEPointer;
    *netCfg = nullptr;
    if (!sim::netcfg::ComInitializedOnThisThread()) return kCoENotInitialized;
    const auto guard = CallLock();
    return NewObject(Iface::kNetCfg, std::make_shared<Session>(), netCfg);
}

HResult QueryLock(INetCfg netCfg, INetCfgLock* lock) {
    if (lock == nullptr) return kEPointer;
    *lock = nullptr;
    const auto guard = CallLock();
    Object* object = nullptr;
    if (const HResult result = Lookup(netCfg, Iface::kNetCfg, &object); !Succeeded(result)) return result;
    return NewObject(Iface::kLock, object->session, lock);
}

HResult AcquireWriteLock(INetCfgLock lock, uint32_t timeoutMs, const char16_t* clientDescription,
                         char16_t** holder) {
    if (holder != nullptr) *holder = nullptr;
    if (clientDescription == nullptr) return kEPointer;
    if (clientDescription[0] == u'\0') return kEInvalidArg;
    const uint64_t start = clk::TickCount();
    for (;;) {
        std::u16string name;
        const HResult result = TryLock(lock, clientDescription, &name);
        const uint64_t waited = clk::TickCount() - start;
        if (result != kSFalse) return result;
        if (waited >= timeoutMs) {
            if (holder != nullptr) *holder = sim::netcfg::CoTaskString(name);
            return kSFalse;
        }
        clk::Sleep(static_cast<uint32_t>(std::min<uint64_t>(kLockPollMs, timeoutMs - waited)));
    }
}

HResult ReleaseWriteLock(INetCfgLock lock) {
    return WithSession(lock, Iface::kLock, [](Session& session) {
        if (session.initialized) return kNetcfgEAlreadyInitialized;
        if (!session.holdsLock) return kSFalse;
        sim::netcfg::GiveBackWriteLock();
        session.holdsLock = false;
        return kSOk;
    });
}

HResult Initialize(INetCfg netCfg) {
    return WithSession(netCfg, Iface::kNetCfg, [](Session& session) {
        if (session.initialized) return kNetcfgEAlreadyInitialized;
        session.model.reset();
        session.initialized = true;
        ++session.epoch;
        return kSOk;
    });
}

HResult Uninitialize(INetCfg netCfg) {
    return WithSession(netCfg, Iface::kNetCfg, [](Session& session) {
        if (!session.initialized) return kNetcfgENotInitialized;
        session.model.reset();  // changes not applied are dropped
        session.initialized = false;
        ++session.epoch;
        return kSOk;
    });
}

HResult Apply(INetCfg netCfg) {
    return WithSession(netCfg, Iface::kNetCfg, [](Session& session) {
        if (!session.initialized) return kNetcfgENotInitialized;
        if (!session.holdsLock) return kNetcfgENoWriteLock;
        return sim::netcfg::ApplyModel(&session.Loaded());
    });
}

HResult QueryNetCfgClass(INetCfg netCfg, const Guid& classGuid, INetCfgClass* netCfgClass) {
    return QueryClassObject(netCfg, classGuid, Iface::kClass, reinterpret_cast<void**>(netCfgClass));
}

HResult QueryNetCfgClassSetup(INetCfg netCfg, const Guid& classGuid, INetCfgClassSetup* classSetup) {
    return QueryClassObject(netCfg, classGuid, Iface::kClassSetup, reinterpret_cast<void**>(classSetup));
}

HResult Install(INetCfgClassSetup classSetup, const char16_t* componentId, const OboToken* obo,
                uint32_t /*setupFlags*/, uint32_t /*upgradeFromBuildNo*/, const char16_t* /*answerFile*/,
                const char16_t* /*answerSections*/, INetCfgComponent* component) {
    if (component != nullptr) *component = nullptr;
    if (componentId == nullptr || obo == nullptr) return kEPointer;
    if (obo->type < kOboUser || obo->type > 3) return kEInvalidArg;
    return WithLive(classSetup, Iface::kClassSetup, [&](Object& object) {
        Session& session = *object.session;
        if (!session.holdsLock) return kNetcfgENoWriteLock;
        auto index = session.Loaded().FindById(componentId, object.classGuid);
        if (!index) {
            if (!(object.classGuid == kGuidDevClassNetTrans) ||
                !sim::EqualsIgnoreCase(componentId, kTeamingProtocolId))
                return kSpapiENoDriverSelected;
            index = session.Loaded().AddProtocol(TeamingProtocol());
        }
        if (component == nullptr) return kSOk;
        auto created = std::make_unique<Object>();
        created->component = *index;
        return NewObject(Iface::kComponent, object.session, component, std::move(created));
    });
}

}  // namespace qv::netcfg
