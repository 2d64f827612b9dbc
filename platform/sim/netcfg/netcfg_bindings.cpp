// Components, binding paths, binding interfaces and their enumerators on the simulated host.
#include "com.h"
#include "objects.h"

namespace qv::netcfg {
namespace {

using sim::netcfg::Iface;
using sim::netcfg::NewObject;
using sim::netcfg::Object;
using sim::netcfg::WithLive;

// A new enumerator over items of the session that object belongs to.
template <class H>
HResult NewEnumerator(const Object& object, Iface iface, std::vector<size_t> items, H* out) {
    auto created = std::make_unique<Object>();
    created->items = std::move(items);
    created->path = object.path;
    return NewObject(iface, object.session, out, std::move(created));
}

// The enumerator's next element as a new object of elementIface; S_FALSE at the end.
template <class H>
HResult NextOf(const void* enumerator, Iface iface, Iface elementIface, H* element) {
    if (element == nullptr) return kEPointer;
    *element = nullptr;
    return WithLive(enumerator, iface, [&](Object& object) {
        if (object.cursor >= object.items.size()) return kSFalse;
        const size_t item = object.items[object.cursor++];
        auto created = std::make_unique<Object>();
        switch (elementIface) {
            case Iface::kComponent:
                created->component = item;
                break;
            case Iface::kPath:
                created->path = item;
                break;
            default:
                created->path = object.path;
                created->position = item;
                break;
        }
        return NewObject(elementIface, object.session, element, std::move(created));
    });
}

HResult ResetOf(const void* enumerator, Iface iface) {
    return WithLive(enumerator, iface, [&](Object& object) {
        object.cursor = 0;
        return kSOk;
    });
}

const sim::netcfg::Component& ComponentOf(const Object& object) {
    return object.session->Loaded().components[object.component];
}

sim::netcfg::Path& PathOf(const Object& object) {
    return object.session->Loaded().paths[object.path];
}

// What a component getter hands out, looked up under the lock.
template <class T, class Get>
HResult ComponentValue(INetCfgComponent component, T* out, Get get) {
    if (out == nullptr) return kEPointer;
    return WithLive(component, Iface::kComponent,
                    [&](Object& object) { return get(ComponentOf(object), out); });
}

// The upper (offset 0) or lower (offset 1) component of a binding interface.
HResult InterfaceComponent(INetCfgBindingInterface bindingInterface, size_t offset,
                           INetCfgComponent* component) {
    if (component == nullptr) return kEPointer;
    *component = nullptr;
    return WithLive(bindingInterface, Iface::kInterface, [&](Object& object) {
        auto created = std::make_unique<Object>();
        created->component = PathOf(object).components[object.position + offset];
        return NewObject(Iface::kComponent, object.session, component, std::move(created));
    });
}

}  // namespace

HResult EnumComponents(INetCfgClass netCfgClass, IEnumNetCfgComponent* components) {
    if (components == nullptr) return kEPointer;
    *components = nullptr;
    return WithLive(netCfgClass, Iface::kClass, [&](Object& object) {
        std::vector<size_t> items;
        const auto& all = object.session->Loaded().components;
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].classGuid == object.classGuid) items.push_back(i);
        }
        return NewEnumerator(object, Iface::kEnumComponents, std::move(items), components);
    });
}

HResult Next(IEnumNetCfgComponent components, INetCfgComponent* component) {
    return NextOf(components, Iface::kEnumComponents, Iface::kComponent, component);
}
HResult Next(IEnumNetCfgBindingPath paths, INetCfgBindingPath* path) {
    return NextOf(paths, Iface::kEnumPaths, Iface::kPath, path);
}
HResult Next(IEnumNetCfgBindingInterface interfaces, INetCfgBindingInterface* bindingInterface) {
    return NextOf(interfaces, Iface::kEnumInterfaces, Iface::kInterface, bindingInterface);
}
HResult Reset(IEnumNetCfgComponent components) {
    return ResetOf(components, Iface::kEnumComponents);
}
HResult Reset(IEnumNetCfgBindingPath paths) {
    return ResetOf(paths, Iface::kEnumPaths);
}
HResult Reset(IEnumNetCfgBindingInterface interfaces) {
    return ResetOf(interfaces, Iface::kEnumInterfaces);
}

HResult GetCharacteristics(INetCfgComponent component, uint32_t* characteristics) {
    return ComponentValue(component, characteristics, [](const sim::netcfg::Component& c, uint32_t* out) {
        *out = c.characteristics;
        return kSOk;
    });
}

HResult GetInstanceGuid(INetCfgComponent component, Guid* instanceGuid) {
    return ComponentValue(component, instanceGuid, [](const sim::netcfg::Component& c, Guid* out) {
        *out = c.guid;
        return kSOk;
    });
}

HResult GetId(INetCfgComponent component, char16_t** id) {
    if (id != nullptr) *id = nullptr;
    return ComponentValue(component, id, [](const sim::netcfg::Component& c, char16_t** out) {
        *out = sim::netcfg::CoTaskString(c.id);
        return *out == nullptr ? kEOutOfMemory : kSOk;
    });
}

HResult QueryBindings(INetCfgComponent component, INetCfgComponentBindings* bindings) {
    if (bindings == nullptr) return kEPointer;
    *bindings = nullptr;
    return WithLive(component, Iface::kComponent, [&](Object& object) {
        auto created = std::make_unique<Object>();
        created->component = object.component;
        return NewObject(Iface::kBindings, object.session, bindings, std::move(created));
    });
}

HResult EnumBindingPaths(INetCfgComponentBindings bindings, uint32_t flags, IEnumNetCfgBindingPath* paths) {
    if (paths == nullptr) return kEPointer;
    *paths = nullptr;
    if (flags != kEbpAbove && flags != kEbpBelow) return kEInvalidArg;
    return WithLive(bindings, Iface::kBindings, [&](Object& object) {
        std::vector<size_t> items;
        const auto& all = object.session->Loaded().paths;
        for (size_t i = 0; i < all.size(); ++i) {
            const size_t end = flags == kEbpAbove ? all[i].components.back() : all[i].components.front();
            if (end == object.component) items.push_back(i);
        }
        return NewEnumerator(object, Iface::kEnumPaths, std::move(items), paths);
    });
}

HResult GetPathToken(INetCfgBindingPath path, char16_t** token) {
    if (token == nullptr) return kEPointer;
    *token = nullptr;
    return WithLive(path, Iface::kPath, [&](Object& object) {
        *token = sim::netcfg::CoTaskString(PathOf(object).token);
        return *token == nullptr ? kEOutOfMemory : kSOk;
    });
}

HResult EnumBindingInterfaces(INetCfgBindingPath path, IEnumNetCfgBindingInterface* interfaces) {
    if (interfaces == nullptr) return kEPointer;
    *interfaces = nullptr;
    return WithLive(path, Iface::kPath, [&](Object& object) {
        std::vector<size_t> positions;
        for (size_t i = 0; i + 1 < PathOf(object).components.size(); ++i) positions.push_back(i);
        return NewEnumerator(object, Iface::kEnumInterfaces, std::move(positions), interfaces);
    });
}

HResult Enable(INetCfgBindingPath path, bool enable) {
    return WithLive(path, Iface::kPath, [&](Object& object) {
        if (!object.session->holdsLock) return kNetcfgENoWriteLock;
        PathOf(object).enabled = enable;
        return kSOk;
    });
}

HResult IsEnabled(INetCfgBindingPath path) {
    return WithLive(path, Iface::kPath,
                    [&](Object& object) { return PathOf(object).enabled ? kSOk : kSFalse; });
}

HResult GetUpperComponent(INetCfgBindingInterface bindingInterface, INetCfgComponent* component) {
    return InterfaceComponent(bindingInterface, 0, component);
}

HResult GetLowerComponent(INetCfgBindingInterface bindingInterface, INetCfgComponent* component) {
    return InterfaceComponent(bindingInterface, 1, component);
}

}  // namespace qv::netcfg
