// The network-configuration port on Windows: COM and the INetCfg interfaces, one pass-through per
// method. Interface pointers are the ports' handles unchanged; a null one is refused with
// E_POINTER instead of being called through.
#include "qv/platform/netcfg.h"

// clang-format off
#include <windows.h>
#include <ole2.h>
#include <prsht.h>
#include <rpc.h>
#include <rpcndr.h>
#include <setupapi.h>
#include <unknwn.h>
#include <wtypes.h>
// clang-format on

#include <cstddef>

// The SDK's class and interface identifiers become constants of this file, so that they can be
// compared with the port's at compile time: every header netcfgx.h includes is in already, and
// DEFINE_GUID is redefined only for netcfgx.h and devguid.h.
#undef DEFINE_GUID
#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
// clang-format off
#include <netcfgx.h>
#include <devguid.h>
// clang-format on

namespace qv::netcfg {
namespace {

constexpr bool Same(const Guid& ours, const GUID& sdk) {
    if (ours.data1 != sdk.Data1 || ours.data2 != sdk.Data2 || ours.data3 != sdk.Data3) return false;
    for (int i = 0; i < 8; ++i) {
        if (ours.data4[i] != sdk.Data4[i]) return false;
    }
    return true;
}

static_assert(Same(kClsidCNetCfg, CLSID_CNetCfg));
static_assert(Same(kIidINetCfg, IID_INetCfg));
static_assert(Same(kIidINetCfgLock, IID_INetCfgLock));
static_assert(Same(kIidINetCfgClass, IID_INetCfgClass));
static_assert(Same(kIidINetCfgComponentBindings, IID_INetCfgComponentBindings));
static_assert(Same(kIidINetCfgClassSetup, IID_INetCfgClassSetup));
static_assert(Same(kGuidDevClassNet, GUID_DEVCLASS_NET));
static_assert(Same(kGuidDevClassNetTrans, GUID_DEVCLASS_NETTRANS));
static_assert(sizeof(Guid) == sizeof(GUID));

static_assert(sizeof(OboToken) == sizeof(OBO_TOKEN));
static_assert(offsetof(OboToken, type) == offsetof(OBO_TOKEN, Type));
static_assert(offsetof(OboToken, component) == offsetof(OBO_TOKEN, pncc));
static_assert(offsetof(OboToken, manufacturer) == offsetof(OBO_TOKEN, pszwManufacturer));
static_assert(offsetof(OboToken, product) == offsetof(OBO_TOKEN, pszwProduct));
static_assert(offsetof(OboToken, displayName) == offsetof(OBO_TOKEN, pszwDisplayName));
static_assert(offsetof(OboToken, registered) == offsetof(OBO_TOKEN, fRegistered));
static_assert(kOboUser == OBO_USER);
static_assert(kEbpAbove == EBP_ABOVE && kEbpBelow == EBP_BELOW);
static_assert(kNcfVirtual == NCF_VIRTUAL && kNcfPhysical == NCF_PHYSICAL &&
              kNcfHiddenComponent == NCF_HIDDEN);

static_assert(kNetcfgEAlreadyInitialized == NETCFG_E_ALREADY_INITIALIZED);
static_assert(kNetcfgENotInitialized == NETCFG_E_NOT_INITIALIZED);
static_assert(kNetcfgEInUse == NETCFG_E_IN_USE);
static_assert(kNetcfgENoWriteLock == NETCFG_E_NO_WRITE_LOCK);
static_assert(kNetcfgENeedReboot == NETCFG_E_NEED_REBOOT);
static_assert(kNetcfgSReboot == NETCFG_S_REBOOT);
static_assert(kCoENotInitialized == CO_E_NOTINITIALIZED);
static_assert(kRegdbEClassNotReg == REGDB_E_CLASSNOTREG);
static_assert(kSpapiENoDriverSelected == SPAPI_E_NO_DRIVER_SELECTED);
static_assert(kSOk == S_OK && kSFalse == S_FALSE && kEPointer == E_POINTER && kEInvalidArg == E_INVALIDARG);
static_assert(sizeof(DWORD) == sizeof(uint32_t) && sizeof(WCHAR) == sizeof(char16_t));

// The SDK interface behind a port handle.
template <class Sdk, class Handle>
Sdk* Native(Handle handle) {
    return reinterpret_cast<Sdk*>(handle);
}

template <class Handle>
Handle Port(void* object) {
    return reinterpret_cast<Handle>(object);
}

LPWSTR* Wide(char16_t** text) {
    return reinterpret_cast<LPWSTR*>(text);
}

const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

// IEnumXxx::Next for one element.
template <class Sdk, class Element, class Handle, class Out>
HResult NextOne(Handle enumerator, Out* element) {
    if (enumerator == nullptr || element == nullptr) return E_POINTER;
    Element* next = nullptr;
    ULONG fetched = 0;
    const HRESULT result = Native<Sdk>(enumerator)->Next(1, &next, &fetched);
    *element = reinterpret_cast<Out>(next);
    return result;
}

}  // namespace

HResult CoInitialize() {
    return ::CoInitialize(nullptr);
}

void CoUninitialize() {
    ::CoUninitialize();
}

void CoTaskMemFree(void* memory) {
    ::CoTaskMemFree(memory);
}

HResult CreateNetCfg(INetCfg* netCfg) {
    if (netCfg == nullptr) return E_POINTER;
    void* object = nullptr;
    const HRESULT result =
        CoCreateInstance(CLSID_CNetCfg, nullptr, CLSCTX_INPROC_SERVER, IID_INetCfg, &object);
    *netCfg = Port<INetCfg>(object);
    return result;
}

HResult QueryLock(INetCfg netCfg, INetCfgLock* lock) {
    if (netCfg == nullptr || lock == nullptr) return E_POINTER;
    void* object = nullptr;
    const HRESULT result = Native<::INetCfg>(netCfg)->QueryInterface(IID_INetCfgLock, &object);
    *lock = Port<INetCfgLock>(object);
    return result;
}

HResult QueryBindings(INetCfgComponent component, INetCfgComponentBindings* bindings) {
    if (component == nullptr || bindings == nullptr) return E_POINTER;
    void* object = nullptr;
    const HRESULT result =
        Native<::INetCfgComponent>(component)->QueryInterface(IID_INetCfgComponentBindings, &object);
    *bindings = Port<INetCfgComponentBindings>(object);
    return result;
}

uint32_t AddRef(void* object) {
    return object == nullptr ? 0 : static_cast<IUnknown*>(object)->AddRef();
}

uint32_t Release(void* object) {
    return object == nullptr ? 0 : static_cast<IUnknown*>(object)->Release();
}

HResult AcquireWriteLock(INetCfgLock lock, uint32_t timeoutMs, const char16_t* clientDescription,
                         char16_t** holder) {
    if (holder != nullptr) *holder = nullptr;
    if (lock == nullptr) return E_POINTER;
    LPWSTR name = nullptr;
    const HRESULT result =
        Native<::INetCfgLock>(lock)->AcquireWriteLock(timeoutMs, Wide(clientDescription), &name);
    if (holder != nullptr) {
        *holder = reinterpret_cast<char16_t*>(name);
    } else {
        ::CoTaskMemFree(name);
    }
    return result;
}

HResult ReleaseWriteLock(INetCfgLock lock) {
    return lock == nullptr ? E_POINTER : Native<::INetCfgLock>(lock)->ReleaseWriteLock();
}

HResult Initialize(INetCfg netCfg) {
    return netCfg == nullptr ? E_POINTER : Native<::INetCfg>(netCfg)->Initialize(nullptr);
}

HResult Uninitialize(INetCfg netCfg) {
    return netCfg == nullptr ? E_POINTER : Native<::INetCfg>(netCfg)->Uninitialize();
}

HResult Apply(INetCfg netCfg) {
    return netCfg == nullptr ? E_POINTER : Native<::INetCfg>(netCfg)->Apply();
}

HResult QueryNetCfgClass(INetCfg netCfg, const Guid& classGuid, INetCfgClass* netCfgClass) {
    if (netCfg == nullptr || netCfgClass == nullptr) return E_POINTER;
    void* object = nullptr;
    const HRESULT result = Native<::INetCfg>(netCfg)->QueryNetCfgClass(
        reinterpret_cast<const GUID*>(&classGuid), IID_INetCfgClass, &object);
    *netCfgClass = Port<INetCfgClass>(object);
    return result;
}

HResult QueryNetCfgClassSetup(INetCfg netCfg, const Guid& classGuid, INetCfgClassSetup* classSetup) {
    if (netCfg == nullptr || classSetup == nullptr) return E_POINTER;
    void* object = nullptr;
    const HRESULT result = Native<::INetCfg>(netCfg)->QueryNetCfgClass(
        reinterpret_cast<const GUID*>(&classGuid), IID_INetCfgClassSetup, &object);
    *classSetup = Port<INetCfgClassSetup>(object);
    return result;
}

HResult EnumComponents(INetCfgClass netCfgClass, IEnumNetCfgComponent* components) {
    if (netCfgClass == nullptr || components == nullptr) return E_POINTER;
    ::IEnumNetCfgComponent* object = nullptr;
    const HRESULT result = Native<::INetCfgClass>(netCfgClass)->EnumComponents(&object);
    *components = Port<IEnumNetCfgComponent>(object);
    return result;
}

HResult Install(INetCfgClassSetup classSetup, const char16_t* componentId, const OboToken* obo,
                uint32_t setupFlags, uint32_t upgradeFromBuildNo, const char16_t* answerFile,
                const char16_t* answerSections, INetCfgComponent* component) {
    if (component != nullptr) *component = nullptr;
    if (classSetup == nullptr) return E_POINTER;
    ::INetCfgComponent* installed = nullptr;
    const HRESULT result =
        Native<::INetCfgClassSetup>(classSetup)
            ->Install(Wide(componentId), reinterpret_cast<OBO_TOKEN*>(const_cast<OboToken*>(obo)), setupFlags,
                      upgradeFromBuildNo, Wide(answerFile), Wide(answerSections),
                      component ? &installed : nullptr);
    if (component != nullptr) *component = Port<INetCfgComponent>(installed);
    return result;
}

HResult Next(IEnumNetCfgComponent components, INetCfgComponent* component) {
    return NextOne<::IEnumNetCfgComponent, ::INetCfgComponent>(components, component);
}

HResult Next(IEnumNetCfgBindingPath paths, INetCfgBindingPath* path) {
    return NextOne<::IEnumNetCfgBindingPath, ::INetCfgBindingPath>(paths, path);
}

HResult Next(IEnumNetCfgBindingInterface interfaces, INetCfgBindingInterface* bindingInterface) {
    return NextOne<::IEnumNetCfgBindingInterface, ::INetCfgBindingInterface>(interfaces, bindingInterface);
}

HResult Reset(IEnumNetCfgComponent components) {
    return components == nullptr ? E_POINTER : Native<::IEnumNetCfgComponent>(components)->Reset();
}

HResult Reset(IEnumNetCfgBindingPath paths) {
    return paths == nullptr ? E_POINTER : Native<::IEnumNetCfgBindingPath>(paths)->Reset();
}

HResult Reset(IEnumNetCfgBindingInterface interfaces) {
    return interfaces == nullptr ? E_POINTER : Native<::IEnumNetCfgBindingInterface>(interfaces)->Reset();
}

HResult GetCharacteristics(INetCfgComponent component, uint32_t* characteristics) {
    if (component == nullptr) return E_POINTER;
    return Native<::INetCfgComponent>(component)->GetCharacteristics(
        reinterpret_cast<DWORD*>(characteristics));
}

HResult GetInstanceGuid(INetCfgComponent component, Guid* instanceGuid) {
    if (component == nullptr) return E_POINTER;
    return Native<::INetCfgComponent>(component)->GetInstanceGuid(reinterpret_cast<GUID*>(instanceGuid));
}

HResult GetId(INetCfgComponent component, char16_t** id) {
    if (component == nullptr) return E_POINTER;
    return Native<::INetCfgComponent>(component)->GetId(Wide(id));
}

HResult EnumBindingPaths(INetCfgComponentBindings bindings, uint32_t flags, IEnumNetCfgBindingPath* paths) {
    if (bindings == nullptr || paths == nullptr) return E_POINTER;
    ::IEnumNetCfgBindingPath* object = nullptr;
    const HRESULT result = Native<::INetCfgComponentBindings>(bindings)->EnumBindingPaths(flags, &object);
    *paths = Port<IEnumNetCfgBindingPath>(object);
    return result;
}

HResult GetPathToken(INetCfgBindingPath path, char16_t** token) {
    if (path == nullptr) return E_POINTER;
    return Native<::INetCfgBindingPath>(path)->GetPathToken(Wide(token));
}

HResult EnumBindingInterfaces(INetCfgBindingPath path, IEnumNetCfgBindingInterface* interfaces) {
    if (path == nullptr || interfaces == nullptr) return E_POINTER;
    ::IEnumNetCfgBindingInterface* object = nullptr;
    const HRESULT result = Native<::INetCfgBindingPath>(path)->EnumBindingInterfaces(&object);
    *interfaces = Port<IEnumNetCfgBindingInterface>(object);
    return result;
}

HResult Enable(INetCfgBindingPath path, bool enable) {
    return path == nullptr ? E_POINTER : Native<::INetCfgBindingPath>(path)->Enable(enable ? TRUE : FALSE);
}

HResult IsEnabled(INetCfgBindingPath path) {
    return path == nullptr ? E_POINTER : Native<::INetCfgBindingPath>(path)->IsEnabled();
}

HResult GetUpperComponent(INetCfgBindingInterface bindingInterface, INetCfgComponent* component) {
    if (bindingInterface == nullptr || component == nullptr) return E_POINTER;
    ::INetCfgComponent* object = nullptr;
    const HRESULT result = Native<::INetCfgBindingInterface>(bindingInterface)->GetUpperComponent(&object);
    *component = Port<INetCfgComponent>(object);
    return result;
}

HResult GetLowerComponent(INetCfgBindingInterface bindingInterface, INetCfgComponent* component) {
    if (bindingInterface == nullptr || component == nullptr) return E_POINTER;
    ::INetCfgComponent* object = nullptr;
    const HRESULT result = Native<::INetCfgBindingInterface>(bindingInterface)->GetLowerComponent(&object);
    *component = Port<INetCfgComponent>(object);
    return result;
}

}  // namespace qv::netcfg
