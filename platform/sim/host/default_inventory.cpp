// The default simulated machine: n5 cards with two ports each, optionally one adapter of another
// vendor, the TCP/IP and teaming protocols bound to every adapter, the teaming INFs, and one
// bus-driver instance per card. Every id here is invented for the simulation.
#include "qv/sim/default_inventory.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "inf_files.h"
#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"
#include "reg_access.h"

namespace qv::sim {
namespace {

constexpr int kMaxCards = 8;
constexpr int kPortsPerCard = 2;

// One network adapter of the inventory.
struct AdapterSpec {
    std::u16string instanceId;
    std::vector<std::u16string> hardwareIds;
    std::vector<std::u16string> compatibleIds;
    std::u16string description;
    std::u16string friendlyName;
    std::u16string service;
    std::u16string provider;
    std::u16string driverDate;
    std::u16string driverVersion;
    std::u16string componentId;
    std::u16string location;
    std::u16string guid;
    std::u16string connectionName;
    std::u16string mac;
    int card = -1;  // n5 card index, -1 for another vendor's adapter
    int port = 0;
};

// A protocol of the NetTrans class.
struct ProtocolSpec {
    std::u16string componentId;
    std::u16string description;
    std::u16string provider;
    std::u16string guid;
    std::u16string service;
    uint32_t characteristics;
};

std::u16string Format(const char* format, int a, int b = 0, int c = 0) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return ToUtf16(buffer);
}

std::u16string ConnectionName(int index) {
    return index == 0 ? std::u16string(u"Local Area Connection")
                      : Format("Local Area Connection %d", index + 1);
}

std::vector<AdapterSpec> Adapters(const InventoryOptions& options) {
    std::vector<AdapterSpec> list;
    const std::u16string n5Device = u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01";
    for (int card = 0; card < options.cards; ++card) {
        for (int port = 0; port < kPortsPerCard; ++port) {
            const int n = static_cast<int>(list.size());
            AdapterSpec a;
            a.instanceId = n5Device + Format("\\4&3A5A5A%02X&0&00%d0", card, port);
            a.hardwareIds = {n5Device, u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A",
                             u"PCI\\VEN_5A5A&DEV_0005&REV_01", u"PCI\\VEN_5A5A&DEV_0005"};
            a.compatibleIds = {u"PCI\\VEN_5A5A&CC_020000", u"PCI\\VEN_5A5A&CC_0200", u"PCI\\VEN_5A5A",
                               u"PCI\\CC_020000", u"PCI\\CC_0200"};
            a.description = u"Quorvex n5 Gigabit Server Adapter";
            a.friendlyName = n == 0 ? a.description : a.description + Format(" #%d", n + 1);
            a.service = u"qvn5";
            a.provider = u"Quorvex";
            a.driverDate = u"3-14-2008";
            a.driverVersion = u"2.0.1.5";
            a.componentId = u"pci\\ven_5a5a&dev_0005";
            a.location = Format("PCI bus %d, device 0, function %d", card + 3, port);
            a.guid = Format("{5A5A0005-0000-4000-8000-0000000000%02X}", n + 1);
            a.mac = Format("025A5A%02X%02X%02X", 0, card, port);
            a.card = card;
            a.port = port;
            list.push_back(std::move(a));
        }
    }
    if (options.otherVendorAdapter) {
        AdapterSpec a;
        const std::u16string device = u"PCI\\VEN_6E77&DEV_1000&SUBSYS_10006E77&REV_02";
        a.instanceId = device + u"\\4&1B6E7700&0&0028";
        a.hardwareIds = {device, u"PCI\\VEN_6E77&DEV_1000&SUBSYS_10006E77", u"PCI\\VEN_6E77&DEV_1000"};
        a.compatibleIds = {u"PCI\\VEN_6E77&CC_020000", u"PCI\\CC_020000"};
        a.description = u"Northwind NW-1000 Gigabit Ethernet Controller";
        a.friendlyName = a.description;
        a.service = u"nwgbe";
        a.provider = u"Northwind Networks";
        a.driverDate = u"11-2-2007";
        a.driverVersion = u"5.1.20.0";
        a.componentId = u"pci\\ven_6e77&dev_1000";
        a.location = u"PCI bus 2, device 5, function 0";
        a.guid = u"{6E770001-0000-4000-8000-000000000001}";
        a.mac = u"026E77000001";
        list.push_back(std::move(a));
    }
    for (size_t i = 0; i < list.size(); ++i) list[i].connectionName = ConnectionName(static_cast<int>(i));
    return list;
}

const std::vector<ProtocolSpec>& Protocols() {
    static const std::vector<ProtocolSpec> protocols = {
        {u"ms_tcpip", u"Internet Protocol (TCP/IP)", u"", u"{7C9E2A51-0000-4000-8000-000000000001}", u"Tcpip",
         0xA0},
        {u"qv_qvteamp", u"Quorvex n5 Teaming Protocol", u"Quorvex", u"{5A5A7E40-0000-4000-8000-000000000001}",
         u"qvteamp", 0x80},
    };
    return protocols;
}

// Collects every registry write and remembers whether one failed.
class Writer {
  public:
    RegKey Key(const std::u16string& path) {
        RegKey key;
        if (RegKey::Create(path, &key) != kErrorSuccess) ok_ = false;
        return key;
    }
    void Str(const RegKey& key, std::u16string_view name, std::u16string_view value) {
        if (!key.valid() || key.WriteString(name, value) != kErrorSuccess) ok_ = false;
    }
    void Multi(const RegKey& key, std::u16string_view name, const std::vector<std::u16string>& value) {
        if (!key.valid() || key.WriteMultiString(name, value) != kErrorSuccess) ok_ = false;
    }
    void Dword(const RegKey& key, std::u16string_view name, uint32_t value) {
        if (!key.valid() || key.WriteDword(name, value) != kErrorSuccess) ok_ = false;
    }
    bool ok() const { return ok_; }

  private:
    bool ok_ = true;
};

std::u16string Path(std::u16string_view base, std::u16string_view child) {
    return std::u16string(base) + u'\\' + std::u16string(child);
}

std::u16string DriverKeyName(std::u16string_view classGuid, int index) {
    return std::u16string(classGuid) + Format("\\%04d", index);
}

void WriteClassKeys(Writer& w) {
    const struct {
        std::u16string_view guid, name, description;
    } classes[] = {{kNetClassGuid, u"Net", u"Network adapters"},
                   {kNetTransClassGuid, u"NetTrans", u"Network Protocol"},
                   {kSystemClassGuid, u"System", u"System devices"}};
    for (const auto& c : classes) {
        RegKey key = w.Key(Path(kClassPath, c.guid));
        w.Str(key, u"", c.description);
        w.Str(key, u"Class", c.name);
    }
}

void WriteAdapter(Writer& w, const AdapterSpec& a, int index) {
    const std::u16string driver = DriverKeyName(kNetClassGuid, index);
    RegKey node = w.Key(Path(kEnumPath, a.instanceId));
    w.Multi(node, u"HardwareID", a.hardwareIds);
    w.Multi(node, u"CompatibleIDs", a.compatibleIds);
    w.Str(node, u"DeviceDesc", a.description);
    w.Str(node, u"FriendlyName", a.friendlyName);
    w.Str(node, u"Service", a.service);
    w.Str(node, u"Driver", driver);
    w.Str(node, u"ClassGUID", kNetClassGuid);
    w.Str(node, u"Class", u"Net");
    w.Str(node, u"Mfg", a.provider);
    w.Str(node, u"LocationInformation", a.location);
    w.Dword(node, u"ConfigFlags", 0);

    RegKey drv = w.Key(Path(kClassPath, driver));
    w.Str(drv, u"NetCfgInstanceId", a.guid);
    w.Str(drv, u"ProviderName", a.provider);
    w.Str(drv, u"DriverDesc", a.description);
    w.Str(drv, u"DriverDate", a.driverDate);
    w.Str(drv, u"DriverVersion", a.driverVersion);
    w.Str(drv, u"ComponentId", a.componentId);
    w.Str(drv, u"MatchingDeviceId", a.componentId);
    w.Dword(drv, u"Characteristics", 0x84);  // NCF_PHYSICAL | NCF_HAS_UI
    w.Str(drv, u"TCPOffload", u"0");
    w.Str(drv, u"BusType", u"5");

    RegKey connection = w.Key(Path(Path(Path(kNetworkPath, kNetClassGuid), a.guid), u"Connection"));
    w.Str(connection, u"Name", a.connectionName);
    w.Str(connection, u"PnpInstanceID", a.instanceId);
    w.Dword(connection, u"MediaSubType", 1);

    RegKey state = w.Key(Path(kSimDevicesPath, DeviceStateKeyName(a.instanceId)));
    w.Dword(state, kStatePresent, 1);
    w.Dword(state, kStateDisabled, 0);
    w.Str(state, kStatePermanentAddress, a.mac);
    if (a.card >= 0) {
        w.Dword(state, u"Card", static_cast<uint32_t>(a.card));
        w.Dword(state, u"Port", static_cast<uint32_t>(a.port));
    }
}

void WriteBusDriver(Writer& w, int card) {
    const std::u16string instanceId = Format("ROOT\\QVVBD\\%04d", card);
    const std::u16string driver = DriverKeyName(kSystemClassGuid, card);
    RegKey node = w.Key(Path(kEnumPath, instanceId));
    w.Multi(node, u"HardwareID", {u"ROOT\\QVVBD"});
    w.Str(node, u"DeviceDesc", u"Quorvex n5 Virtual Bus Driver");
    w.Str(node, u"Service", u"qvvbd");
    w.Str(node, u"Driver", driver);
    w.Str(node, u"ClassGUID", kSystemClassGuid);
    w.Str(node, u"Class", u"System");
    w.Str(node, u"Mfg", u"Quorvex");
    w.Dword(node, u"ConfigFlags", 0);

    RegKey drv = w.Key(Path(kClassPath, driver));
    w.Str(drv, u"ProviderName", u"Quorvex");
    w.Str(drv, u"DriverDesc", u"Quorvex n5 Virtual Bus Driver");
    w.Str(drv, u"DriverDate", u"3-14-2008");
    w.Str(drv, u"DriverVersion", u"2.0.1.5");
    w.Str(drv, u"MatchingDeviceId", u"root\\qvvbd");

    const std::u16string link = std::u16string(u"##?#ROOT#QVVBD#") + Format("%04d", card) + u'#' +
                                std::u16string(kBusDriverInterfaceGuid);
    RegKey iface = w.Key(Path(Path(kDeviceClassesPath, kBusDriverInterfaceGuid), link));
    w.Str(iface, u"DeviceInstance", instanceId);
    w.Str(iface, u"SymbolicLink",
          std::u16string(u"\\\\?\\ROOT#QVVBD#") + Format("%04d", card) + u'#' +
              std::u16string(kBusDriverInterfaceGuid));

    RegKey state = w.Key(Path(kSimDevicesPath, DeviceStateKeyName(instanceId)));
    w.Dword(state, kStatePresent, 1);
    w.Dword(state, u"Card", static_cast<uint32_t>(card));
}

void WriteProtocol(Writer& w, const ProtocolSpec& p, int index) {
    RegKey drv = w.Key(Path(kClassPath, DriverKeyName(kNetTransClassGuid, index)));
    w.Str(drv, u"ComponentId", p.componentId);
    w.Str(drv, u"NetCfgInstanceId", p.guid);
    w.Str(drv, u"DriverDesc", p.description);
    if (!p.provider.empty()) w.Str(drv, u"ProviderName", p.provider);
    w.Dword(drv, u"Characteristics", p.characteristics);
    if (p.componentId == u"qv_qvteamp") w.Str(drv, u"InfPath", u"oem2.inf");
}

void WriteServices(Writer& w) {
    const struct {
        std::u16string_view name, image, display;
    } services[] = {
        {u"qvn5", u"system32\\DRIVERS\\qvn5.sys", u"Quorvex n5 Gigabit Server Adapter Driver"},
        {u"qvteamp", u"system32\\DRIVERS\\qvteamp.sys", u"Quorvex n5 Teaming Protocol"},
        {u"qvteamm", u"system32\\DRIVERS\\qvteamm.sys", u"Quorvex n5 Teaming Virtual Miniport"},
        {u"qvvbd", u"system32\\DRIVERS\\qvvbd.sys", u"Quorvex n5 Virtual Bus Driver"},
        {u"nwgbe", u"system32\\DRIVERS\\nwgbe.sys", u"Northwind Gigabit Ethernet Driver"},
        {u"Tcpip", u"system32\\DRIVERS\\tcpip.sys", u"TCP/IP Protocol Driver"},
    };
    for (const auto& s : services) {
        RegKey key = w.Key(Path(kServicesPath, s.name));
        w.Dword(key, u"Type", 1);
        w.Dword(key, u"Start", 3);
        w.Dword(key, u"ErrorControl", 1);
        w.Str(key, u"ImagePath", s.image);
        w.Str(key, u"DisplayName", s.display);
    }
    w.Key(Path(kServicesPath, u"qvteamp\\Parameters"));
}

// Network configuration state: components by instance GUID, binding paths by number, lock holder.
void WriteNetCfg(Writer& w, const std::vector<AdapterSpec>& adapters) {
    RegKey root = w.Key(std::u16string(kSimNetCfgPath));
    w.Str(root, u"LockHolder", u"");
    int adapterIndex = 0;
    for (const auto& a : adapters) {
        RegKey c = w.Key(Path(Path(kSimNetCfgPath, u"Components"), a.guid));
        w.Str(c, u"ComponentId", a.componentId);
        w.Str(c, u"Class", kNetClassGuid);
        w.Dword(c, u"Characteristics", 0x84);
        w.Str(c, u"BindName", a.guid);
        w.Str(c, u"PnpInstanceId", a.instanceId);
        w.Str(c, u"DriverKey", DriverKeyName(kNetClassGuid, adapterIndex++));
    }
    int protocolIndex = 0;
    for (const auto& p : Protocols()) {
        RegKey c = w.Key(Path(Path(kSimNetCfgPath, u"Components"), p.guid));
        w.Str(c, u"ComponentId", p.componentId);
        w.Str(c, u"Class", kNetTransClassGuid);
        w.Dword(c, u"Characteristics", p.characteristics);
        w.Str(c, u"BindName", p.service);
        w.Str(c, u"DriverKey", DriverKeyName(kNetTransClassGuid, protocolIndex++));
    }
    int path = 0;
    for (const auto& p : Protocols()) {
        for (const auto& a : adapters) {
            RegKey b = w.Key(Path(Path(kSimNetCfgPath, u"BindingPaths"), Format("%04d", path++)));
            w.Str(b, u"Token", p.componentId + u"->" + a.guid);
            w.Multi(b, u"Components", {p.guid, a.guid});
            w.Dword(b, u"Enabled", 1);
        }
    }
}

void WriteHost(Writer& w, const InventoryOptions& options) {
    RegKey host = w.Key(std::u16string(kSimHostPath));
    w.Dword(host, u"Administrator", options.administrator ? 1 : 0);
    w.Dword(host, u"OsMajor", options.osMajor);
    w.Dword(host, u"OsMinor", options.osMinor);
    w.Dword(host, u"OsBuild", options.osBuild);
    w.Dword(host, u"PlatformId", 2);  // VER_PLATFORM_WIN32_NT
}

bool WriteInfFiles() {
    std::error_code ec;
    const auto infDir = MachineDir() / "Windows" / "Inf";
    std::filesystem::create_directories(infDir, ec);
    if (ec) return false;
    for (const auto& inf : kDefaultInfFiles) {
        std::ofstream out(infDir / std::string(inf.name), std::ios::binary | std::ios::trunc);
        // INF files use CR LF line ends.
        for (const char c : inf.text) {
            if (c == '\n') out.put('\r');
            out.put(c);
        }
        if (!out) return false;
    }
    return true;
}

}  // namespace

bool WriteDefaultInventory(const InventoryOptions& options) {
    if (options.cards < 0 || options.cards > kMaxCards) return false;
    Writer w;
    WriteHost(w, options);
    WriteClassKeys(w);
    WriteServices(w);
    const auto adapters = Adapters(options);
    for (size_t i = 0; i < adapters.size(); ++i) WriteAdapter(w, adapters[i], static_cast<int>(i));
    for (size_t i = 0; i < Protocols().size(); ++i) WriteProtocol(w, Protocols()[i], static_cast<int>(i));
    WriteNetCfg(w, adapters);
    for (int card = 0; card < options.cards; ++card) WriteBusDriver(w, card);
    const bool infOk = WriteInfFiles();
    return w.ok() && infOk;
}

}  // namespace qv::sim
