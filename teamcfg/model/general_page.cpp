// The General page: identity, link, driver and offload facts of the selected adapter or team,
// read anew each time the page becomes active so that a cable pull shows.
#include <cstdio>
#include <string>

#include "qv/platform/registry.h"
#include "qv/platform/scoped_handle.h"
#include "qv/teamcfg/device_queries.h"
#include "qv/teamcfg/page_texts.h"
#include "qv/teamcfg/property_pages.h"
#include "qv/teamcfg/resources.h"
#include "qv/teamlib/inventory.h"
#include "qv/teamlib/text.h"
#include "report_list.h"

namespace qv::cfg {
namespace {

constexpr size_t kValueCapacity = 49;  // characters of one value
constexpr char16_t kUnknown[] = u"Unknown";
constexpr char16_t kServicesPath[] = u"System\\CurrentControlSet\\Services";
constexpr char16_t kInterfacesPath[] = u"System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

std::u16string MacText(const uint8_t (&mac)[6]) {
    return U16Format(u"%.2x-%.2x-%.2x-%.2x-%.2x-%.2x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
}

// The first string of a value of HKLM\<parent>\<child>. The page only reads: a missing key is an
// unknown value, not one to create.
std::u16string RegistryText(const char16_t* parent, const char16_t* child, const char16_t* valueName) {
    if (child[0] == u'\0') return kUnknown;
    const std::u16string path = U16Format(u"%s\\%s", parent, child);
    ScopedKey key;
    if (reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyRead, key.Receive()) != kErrorSuccess)
        return kUnknown;
    OwnedU16 text;
    if (!ReadStringFromRegistry(key.get(), valueName, &text)) return kUnknown;
    return text.get();
}

std::u16string InstallStateText(uint32_t state) {
    static constexpr const char16_t* kStates[] = {u"Installed", u"Needs Reinstall", u"Failed Install",
                                                  u"Install Not Complete"};
    return state < std::size(kStates) ? kStates[state] : kUnknown;
}

std::u16string LinkSpeed(uint64_t units) {
    OsVersionInfo os;
    return LinkSpeedText(units, os::GetVersionEx(&os) ? &os : nullptr);
}

std::u16string Mtu(HDevice device) {
    uint32_t mtu = 0;
    return GetDeviceMTU(device, &mtu) ? U16Format(u"%d", mtu) : std::u16string(kUnknown);
}

}  // namespace

int OnInitPropertiesDialog(AppState& state, Shell& shell, DialogView& view) {
    view.DestroyControl(kIdGeneralList);
    CreateReportList(view, shell, kIdGeneralList, {14, 15, 350, 295}, u"General", {u"Information", 100},
                     {u"Value", 250});
    bool isTeam = false;
    const AdapterEntry* entry = SelectedEntry(state, &isTeam);
    if (entry == nullptr) return 0;
    const ScopedDevice device = OpenAdapterDevice(entry->guid);
    if (!device) return 0;
    DeviceProperties properties;
    if (!GetDeviceProperties(device.get(), &properties)) return 0;

    const std::u16string guid = GuidToString(entry->guid);
    const std::pair<const char16_t*, std::u16string> rows[] = {
        {u"Adapter Name", entry->displayName},
        {u"Current MAC Address", MacText(properties.currentAddress)},
        {u"Permanent MAC Address", MacText(properties.permanentAddress)},
        {u"Link Speed", LinkSpeed(properties.linkSpeed)},
        {u"Link Status", properties.mediaConnectStatus == 0 ? u"Connected" : u"Network Cable Unplugged"},
        {u"Driver Name", RegistryText(kServicesPath, entry->service, u"ImagePath")},
        {u"Driver State", InstallStateText(entry->installState)},
        {u"Driver Date", entry->driverDate},
        {u"Driver Version", entry->driverVersion},
        {u"IP Address", RegistryText(kInterfacesPath, guid.c_str(), u"IPAddress")},
        {u"Offload Capabilities", OffloadText(QueryOffloadAnswers(device.get()))},
        {u"MTU", Mtu(device.get())},
    };
    for (const auto& [name, value] : rows)
        AddReportRow(view, kIdGeneralList, name, std::u16string_view(value).substr(0, kValueCapacity));
    return 1;
}

}  // namespace qv::cfg
