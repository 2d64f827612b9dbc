// Network-configuration port: COM initialisation and the INetCfg family of interfaces, one call
// per interface method. Each interface pointer is a handle of its own type; Release frees any of
// them. Results are HRESULTs; strings handed out (lock holder, path token, component id) are freed
// with CoTaskMemFree.
#pragma once

#include <cstdint>

#include "qv/platform/guid.h"
#include "qv/platform/wintypes.h"

namespace qv {

// The interfaces, by type.
struct NetCfgTag;
struct NetCfgLockTag;
struct NetCfgClassTag;
struct NetCfgClassSetupTag;
struct EnumNetCfgComponentTag;
struct NetCfgComponentTag;
struct NetCfgComponentBindingsTag;
struct EnumNetCfgBindingPathTag;
struct NetCfgBindingPathTag;
struct EnumNetCfgBindingInterfaceTag;
struct NetCfgBindingInterfaceTag;
using INetCfg = NetCfgTag*;
using INetCfgLock = NetCfgLockTag*;
using INetCfgClass = NetCfgClassTag*;
using INetCfgClassSetup = NetCfgClassSetupTag*;
using IEnumNetCfgComponent = EnumNetCfgComponentTag*;
using INetCfgComponent = NetCfgComponentTag*;
using INetCfgComponentBindings = NetCfgComponentBindingsTag*;
using IEnumNetCfgBindingPath = EnumNetCfgBindingPathTag*;
using INetCfgBindingPath = NetCfgBindingPathTag*;
using IEnumNetCfgBindingInterface = EnumNetCfgBindingInterfaceTag*;
using INetCfgBindingInterface = NetCfgBindingInterfaceTag*;

// The class and interface identifiers the programs use.
constexpr Guid kClsidCNetCfg = {0x5B035261, 0x40F9, 0x11D1, {0xAA, 0xEC, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr Guid kIidINetCfg = {0xC0E8AE93, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr Guid kIidINetCfgLock = {0xC0E8AE9F, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr Guid kIidINetCfgClass = {0xC0E8AE97, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr Guid kIidINetCfgComponentBindings = {
    0xC0E8AE9E, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr Guid kIidINetCfgClassSetup = {
    0xC0E8AE9D, 0x306E, 0x11D1, {0xAA, 0xCF, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};

// Component characteristics (NCF_*).
constexpr uint32_t kNcfVirtual = 0x1;
constexpr uint32_t kNcfPhysical = 0x4;
constexpr uint32_t kNcfHiddenComponent = 0x8;

// EnumBindingPaths flags.
constexpr uint32_t kEbpAbove = 0x1;
constexpr uint32_t kEbpBelow = 0x2;

// OBO_TOKEN: on whose behalf a component is installed.
constexpr uint32_t kOboUser = 1;
struct OboToken {
    uint32_t type = 0;
    INetCfgComponent component = nullptr;
    const char16_t* manufacturer = nullptr;
    const char16_t* product = nullptr;
    const char16_t* displayName = nullptr;
    int32_t registered = 0;
};

namespace netcfg {

// CoInitialize(NULL) / CoUninitialize / CoTaskMemFree.
HResult CoInitialize();
void CoUninitialize();
void CoTaskMemFree(void* memory);

// CoCreateInstance(CLSID_CNetCfg, no outer object, CLSCTX_INPROC_SERVER, IID_INetCfg).
HResult CreateNetCfg(INetCfg* netCfg);
// QueryInterface of an INetCfg for IID_INetCfgLock, of a component for
// IID_INetCfgComponentBindings.
HResult QueryLock(INetCfg netCfg, INetCfgLock* lock);
HResult QueryBindings(INetCfgComponent component, INetCfgComponentBindings* bindings);
// AddRef / Release of any of the interfaces.
uint32_t AddRef(void* object);
uint32_t Release(void* object);

// INetCfgLock.
HResult AcquireWriteLock(INetCfgLock lock, uint32_t timeoutMs, const char16_t* clientDescription,
                         char16_t** holder);
HResult ReleaseWriteLock(INetCfgLock lock);

// INetCfg.
HResult Initialize(INetCfg netCfg);
HResult Uninitialize(INetCfg netCfg);
HResult Apply(INetCfg netCfg);
HResult QueryNetCfgClass(INetCfg netCfg, const Guid& classGuid, INetCfgClass* netCfgClass);
HResult QueryNetCfgClassSetup(INetCfg netCfg, const Guid& classGuid, INetCfgClassSetup* classSetup);

// INetCfgClass, INetCfgClassSetup.
HResult EnumComponents(INetCfgClass netCfgClass, IEnumNetCfgComponent* components);
HResult Install(INetCfgClassSetup classSetup, const char16_t* componentId, const OboToken* obo,
                uint32_t setupFlags, uint32_t upgradeFromBuildNo, const char16_t* answerFile,
                const char16_t* answerSections, INetCfgComponent* component);

// The enumerators: Next (one element; S_FALSE at the end) and Reset.
HResult Next(IEnumNetCfgComponent components, INetCfgComponent* component);
HResult Next(IEnumNetCfgBindingPath paths, INetCfgBindingPath* path);
HResult Next(IEnumNetCfgBindingInterface interfaces, INetCfgBindingInterface* bindingInterface);
HResult Reset(IEnumNetCfgComponent components);
HResult Reset(IEnumNetCfgBindingPath paths);
HResult Reset(IEnumNetCfgBindingInterface interfaces);

// INetCfgComponent.
HResult GetCharacteristics(INetCfgComponent component, uint32_t* characteristics);
HResult GetInstanceGuid(INetCfgComponent component, Guid* instanceGuid);
HResult GetId(INetCfgComponent component, char16_t** id);

// INetCfgComponentBindings, INetCfgBindingPath, INetCfgBindingInterface.
HResult EnumBindingPaths(INetCfgComponentBindings bindings, uint32_t flags, IEnumNetCfgBindingPath* paths);
HResult GetPathToken(INetCfgBindingPath path, char16_t** token);
HResult EnumBindingInterfaces(INetCfgBindingPath path, IEnumNetCfgBindingInterface* interfaces);
HResult Enable(INetCfgBindingPath path, bool enable);
HResult GetUpperComponent(INetCfgBindingInterface bindingInterface, INetCfgComponent* component);
HResult GetLowerComponent(INetCfgBindingInterface bindingInterface, INetCfgComponent* component);
// INetCfgBindingPath::IsEnabled: S_OK when enabled, S_FALSE when disabled.
HResult IsEnabled(INetCfgBindingPath path);

}  // namespace netcfg
}  // namespace qv
