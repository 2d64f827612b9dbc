#include <string>

#include "locked_netcfg.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

// What a binding path above the adapter gets.
enum class PathAction { kChange, kKeep, kUnreadable };

// The component id of the upper component of one binding interface; false when it cannot be read.
bool UpperComponentId(INetCfgBindingInterface bindingInterface, std::u16string* id) {
    ScopedCom<INetCfgComponent> upper;
    if (netcfg::GetUpperComponent(bindingInterface, upper.Receive()) != kSOk) return false;
    ScopedCoTaskString text;
    if (netcfg::GetId(upper.get(), text.Receive()) != kSOk || !text.valid()) return false;
    *id = text.get();
    return true;
}

// A path that runs through the teaming protocol at any step is the protocol's own and is kept,
// so that the teaming protocol never loses its adapter; every other path is changed. The whole
// path is read before anything is decided.
PathAction ActionFor(INetCfgBindingPath path) {
    ScopedCom<IEnumNetCfgBindingInterface> interfaces;
    if (netcfg::EnumBindingInterfaces(path, interfaces.Receive()) != kSOk) return PathAction::kUnreadable;
    ScopedCom<INetCfgBindingInterface> bindingInterface;
    for (;;) {
        const HResult next = netcfg::Next(interfaces.get(), bindingInterface.Receive());
        if (next == kSFalse) return PathAction::kChange;
        if (next != kSOk) return PathAction::kUnreadable;
        std::u16string id;
        if (!UpperComponentId(bindingInterface.get(), &id)) return PathAction::kUnreadable;
        if (id == kTeamProtocolBindingId) return PathAction::kKeep;
    }
}

void TracePathToken(INetCfgBindingPath path) {
    ScopedCoTaskString token;
    if (netcfg::GetPathToken(path, token.Receive()) == kSOk && token.valid())
        QvTrace(u" path token = %s\n", token.get());
}

// Enables or disables every path directly above the component except the teaming protocol's.
// False when a path could not be read or changed (the other paths are still changed).
bool ChangePathsAbove(INetCfgComponent component, bool enable) {
    ScopedCom<INetCfgComponentBindings> bindings;
    ScopedCom<IEnumNetCfgBindingPath> paths;
    if (netcfg::QueryBindings(component, bindings.Receive()) != kSOk ||
        netcfg::EnumBindingPaths(bindings.get(), kEbpAbove, paths.Receive()) != kSOk ||
        netcfg::Reset(paths.get()) != kSOk) {
        QvTrace(u"   EnableProtocolNicBindings: cannot list the binding paths");
        return false;
    }
    bool allChanged = true;
    ScopedCom<INetCfgBindingPath> path;
    for (HResult next; (next = netcfg::Next(paths.get(), path.Receive())) != kSFalse;) {
        if (next != kSOk) return false;
        TracePathToken(path.get());
        switch (ActionFor(path.get())) {
            case PathAction::kKeep:
                break;
            case PathAction::kUnreadable:
                QvTrace(u"   EnableProtocolNicBindings: binding path unreadable, left as it is");
                allChanged = false;
                break;
            case PathAction::kChange:
                if (const HResult result = netcfg::Enable(path.get(), enable); result != kSOk) {
                    QvTrace(u"  Unbinding failed with 0x%x\n", result);
                    allChanged = false;
                }
                break;
        }
    }
    return allChanged;
}

// Whether the component is an adapter of the selected kind with the adapter's GUID.
bool IsSelectedAdapter(INetCfgComponent component, const Guid& adapter, int physical) {
    uint32_t characteristics = 0;
    if (netcfg::GetCharacteristics(component, &characteristics) != kSOk) return false;
    const uint32_t wanted = physical == 1 ? kNcfPhysical : kNcfVirtual;
    if ((characteristics & wanted) == 0) return false;
    Guid guid{};
    return netcfg::GetInstanceGuid(component, &guid) == kSOk && GuidEqual(guid, adapter);
}

// Changes the paths above every matching adapter and applies. False when the adapters cannot be
// listed, a path could not be changed or Apply failed.
bool ChangeBindings(INetCfg netCfg, const Guid& adapter, bool enable, int physical) {
    ScopedCom<INetCfgClass> netClass;
    ScopedCom<IEnumNetCfgComponent> components;
    if (netcfg::QueryNetCfgClass(netCfg, kGuidDevClassNet, netClass.Receive()) != kSOk ||
        netcfg::EnumComponents(netClass.get(), components.Receive()) != kSOk ||
        netcfg::Reset(components.get()) != kSOk) {
        QvTrace(u"   EnableProtocolNicBindings: cannot list the adapters");
        return false;
    }
    bool allChanged = true;
    ScopedCom<INetCfgComponent> component;
    for (HResult next; (next = netcfg::Next(components.get(), component.Receive())) != kSFalse;) {
        if (next != kSOk) {
            allChanged = false;
            break;
        }
        if (IsSelectedAdapter(component.get(), adapter, physical) &&
            !ChangePathsAbove(component.get(), enable))
            allChanged = false;
    }
    const HResult applied = netcfg::Apply(netCfg);
    if (applied != kSOk && applied != kNetcfgSReboot) {
        QvTrace(u"   EnableProtocolNicBindings: Apply failed 0x%x", applied);
        return false;
    }
    return allChanged;
}

}  // namespace

int EnableProtocolNicBindings(const Guid& adapter, int enable, int physical) {
    std::u16string holder;
    return EnableProtocolNicBindings(adapter, enable, physical, &holder);
}

int EnableProtocolNicBindings(const Guid& adapter, int enable, int physical, std::u16string* lockHolder) {
    QvTrace(u"-->EnableProtocolNicBindings:");
    lockHolder->clear();
    INetCfg netCfg = nullptr;
    const HResult acquired = AcquireLockedNetCfg(&netCfg, lockHolder);
    if (acquired != kSOk) {
        if (!lockHolder->empty()) {
            QvTrace(u"   EnableProtocolNicBindings: %s holds the lock", lockHolder->c_str());
        }
        QvTrace(u"<--EnableProtocolNicBindings: AcquireNetCfg 0x%x", acquired);
        return 0;
    }
    const bool changed = ChangeBindings(netCfg, adapter, enable != 0, physical);
    ReleaseNetCfg(netCfg, true);
    if (!changed) {
        QvTrace(u"<--EnableProtocolNicBindings: not every binding changed");
        return 0;
    }
    QvTrace(u"<--EnableProtocolNicBindings:");
    return 1;
}

}  // namespace qv
