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
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/machine.h"
#include "qv/platform/utf.h"

namespace qv::sim {
namespace {

constexpr int kMaxCards = 8;
constexpr int kPortsPerCard = 2;

// A protocol of the NetTrans class; provider and infPath are written only when not empty.
struct ProtocolEntry {
    std::u16string_view componentId, description, provider, guid, service, infPath;
    uint32_t characteristics;
};

constexpr uint32_t kAdapterCharacteristics = 0x84;  // NCF_PHYSICAL | NCF_HAS_UI

std::u16string Format(const char* format, int a, int b = 0, int c = 0) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return ToUtf16(buffer);
}

std::u16string ConnectionName(int index) {
    return index == 0 ? std::u16string(u"Local Area Connection")
                      : Format("Local Area Connection %d", index + 1);
}

// The parts every network adapter of the inventory shares; the driver values follow the
// identity given here.
DeviceRecord NetAdapter(std::u16string_view provider, std::u16string_view description,
                        std::u16string_view driverDate, std::u16string_view driverVersion,
                        std::u16string_view componentId) {
    DeviceRecord a;
    a.description = description;
    a.classGuid = kNetClassGuid;
    a.className = u"Net";
    a.manufacturer = provider;
    a.configFlags = 0;
    a.driverValues.values = {
        RegValue::String(u"ProviderName", provider),
        RegValue::String(u"DriverDesc", description),
        RegValue::String(u"DriverDate", driverDate),
        RegValue::String(u"DriverVersion", driverVersion),
        RegValue::String(u"ComponentId", componentId),
        RegValue::String(u"MatchingDeviceId", componentId),
        RegValue::Dword(u"Characteristics", kAdapterCharacteristics),
        RegValue::String(u"TCPOffload", u"0"),
        RegValue::String(u"BusType", u"5"),
    };
    a.mediaSubType = 1;
    a.state.present = 1;
    a.state.disabled = 0;
    return a;
}

std::vector<DeviceRecord> Adapters(const InventoryOptions& options) {
    std::vector<DeviceRecord> list;
    const std::u16string n5Device = u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01";
    const std::u16string n5Name = u"Quorvex n5 Gigabit Server Adapter";
    for (int card = 0; card < options.cards; ++card) {
        for (int port = 0; port < kPortsPerCard; ++port) {
            const int n = static_cast<int>(list.size());
            DeviceRecord a =
                NetAdapter(u"Quorvex", n5Name, u"3-14-2008", u"2.0.1.5", u"pci\\ven_5a5a&dev_0005");
            a.instanceId = n5Device + Format("\\4&3A5A5A%02X&0&00%d0", card, port);
            a.hardwareIds = {n5Device, u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A",
                             u"PCI\\VEN_5A5A&DEV_0005&REV_01", u"PCI\\VEN_5A5A&DEV_0005"};
            a.compatibleIds = {u"PCI\\VEN_5A5A&CC_020000", u"PCI\\VEN_5A5A&CC_0200", u"PCI\\VEN_5A5A",
                               u"PCI\\CC_020000", u"PCI\\CC_0200"};
            a.friendlyName = n == 0 ? n5Name : n5Name + Format(" #%d", n + 1);
            a.service = u"qvn5";
            a.location = Format("PCI bus %d, device 0, function %d", card + 3, port);
            a.netCfgInstanceId = Format("{5A5A0005-0000-4000-8000-0000000000%02X}", n + 1);
            a.state.permanentAddress = Format("025A5A%02X%02X%02X", 0, card, port);
            a.state.card = static_cast<uint32_t>(card);
            a.state.port = static_cast<uint32_t>(port);
            list.push_back(std::move(a));
        }
    }
    if (options.otherVendorAdapter) {
        const std::u16string device = u"PCI\\VEN_6E77&DEV_1000&SUBSYS_10006E77&REV_02";
        DeviceRecord a = NetAdapter(u"Northwind Networks", u"Northwind NW-1000 Gigabit Ethernet Controller",
                                    u"11-2-2007", u"5.1.20.0", u"pci\\ven_6e77&dev_1000");
        a.instanceId = device + u"\\4&1B6E7700&0&0028";
        a.hardwareIds = {device, u"PCI\\VEN_6E77&DEV_1000&SUBSYS_10006E77", u"PCI\\VEN_6E77&DEV_1000"};
        a.compatibleIds = {u"PCI\\VEN_6E77&CC_020000", u"PCI\\CC_020000"};
        a.friendlyName = a.description;
        a.service = u"nwgbe";
        a.location = u"PCI bus 2, device 5, function 0";
        a.netCfgInstanceId = u"{6E770001-0000-4000-8000-000000000001}";
        a.state.permanentAddress = u"026E77000001";
        list.push_back(std::move(a));
    }
    for (size_t i = 0; i < list.size(); ++i) list[i].connectionName = ConnectionName(static_cast<int>(i));
    return list;
}

DeviceRecord BusDriver(int card) {
    DeviceRecord d;
    d.instanceId = Format("ROOT\\QVVBD\\%04d", card);
    d.hardwareIds = {u"ROOT\\QVVBD"};
    d.description = u"Quorvex n5 Virtual Bus Driver";
    d.service = u"qvvbd";
    d.classGuid = kSystemClassGuid;
    d.className = u"System";
    d.manufacturer = u"Quorvex";
    d.configFlags = 0;
    d.driverValues.values = {
        RegValue::String(u"ProviderName", u"Quorvex"),         RegValue::String(u"DriverDesc", d.description),
        RegValue::String(u"DriverDate", u"3-14-2008"),         RegValue::String(u"DriverVersion", u"2.0.1.5"),
        RegValue::String(u"MatchingDeviceId", u"root\\qvvbd"),
    };
    d.interfaceClasses = {std::u16string(kBusDriverInterfaceGuid)};
    d.state.present = 1;
    d.state.card = static_cast<uint32_t>(card);
    return d;
}

constexpr ProtocolEntry kProtocols[] = {
    {u"ms_tcpip", u"Internet Protocol (TCP/IP)", u"", u"{7C9E2A51-0000-4000-8000-000000000001}", u"Tcpip",
     u"", 0xA0},
    {u"qv_qvteamp", u"Quorvex n5 Teaming Protocol", u"Quorvex", u"{5A5A7E40-0000-4000-8000-000000000001}",
     u"qvteamp", u"oem2.inf", 0x80},
};

std::u16string DriverKeyName(std::u16string_view classGuid, int index) {
    return std::u16string(classGuid) + Format("\\%04d", index);
}

// Collects the registry writes and remembers whether one failed.
class Writer {
  public:
    void Key(std::u16string_view path, const std::vector<RegValue>& values = {}) {
        Note(WriteKeyValues(path, RegValues{values}));
    }
    void Device(DeviceRecord* record) { Note(CreateDevice(record)); }
    bool ok() const { return ok_; }

  private:
    void Note(LStatus status) {
        if (status != kErrorSuccess) ok_ = false;
    }
    bool ok_ = true;
};

void WriteClassKeys(Writer& w) {
    const struct {
        std::u16string_view guid, name, description;
    } classes[] = {{kNetClassGuid, u"Net", u"Network adapters"},
                   {kNetTransClassGuid, u"NetTrans", u"Network Protocol"},
                   {kSystemClassGuid, u"System", u"System devices"}};
    for (const auto& c : classes) {
        w.Key(JoinPath(kClassPath, c.guid),
              {RegValue::String(u"", c.description), RegValue::String(u"Class", c.name)});
    }
}

void WriteProtocol(Writer& w, const ProtocolEntry& p, int index) {
    std::vector<RegValue> values = {RegValue::String(u"ComponentId", p.componentId),
                                    RegValue::String(u"NetCfgInstanceId", p.guid),
                                    RegValue::String(u"DriverDesc", p.description)};
    if (!p.provider.empty()) values.push_back(RegValue::String(u"ProviderName", p.provider));
    values.push_back(RegValue::Dword(u"Characteristics", p.characteristics));
    if (!p.infPath.empty()) values.push_back(RegValue::String(u"InfPath", p.infPath));
    w.Key(JoinPath(kClassPath, DriverKeyName(kNetTransClassGuid, index)), values);
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
        w.Key(JoinPath(kServicesPath, s.name),
              {RegValue::Dword(u"Type", 1), RegValue::Dword(u"Start", 3), RegValue::Dword(u"ErrorControl", 1),
               RegValue::String(u"ImagePath", s.image), RegValue::String(u"DisplayName", s.display)});
    }
    w.Key(JoinPath(kServicesPath, u"qvteamp\\Parameters"));
}

// Network configuration state: components by instance GUID, binding paths by number, lock holder.
void WriteNetCfg(Writer& w, const std::vector<DeviceRecord>& adapters) {
    w.Key(kSimNetCfgPath, {RegValue::String(u"LockHolder", u"")});
    const std::u16string components = JoinPath(kSimNetCfgPath, u"Components");
    for (const auto& a : adapters) {
        w.Key(
            JoinPath(components, a.netCfgInstanceId),
            {RegValue::String(u"ComponentId", a.driverValues.String(u"ComponentId").value_or(u"")),
             RegValue::String(u"Class", kNetClassGuid),
             RegValue::Dword(u"Characteristics", kAdapterCharacteristics),
             RegValue::String(u"BindName", a.netCfgInstanceId),
             RegValue::String(u"PnpInstanceId", a.instanceId), RegValue::String(u"DriverKey", a.driverKey)});
    }
    int protocolIndex = 0;
    for (const auto& p : kProtocols) {
        w.Key(
            JoinPath(components, p.guid),
            {RegValue::String(u"ComponentId", p.componentId), RegValue::String(u"Class", kNetTransClassGuid),
             RegValue::Dword(u"Characteristics", p.characteristics), RegValue::String(u"BindName", p.service),
             RegValue::String(u"DriverKey", DriverKeyName(kNetTransClassGuid, protocolIndex++))});
    }
    int path = 0;
    for (const auto& p : kProtocols) {
        for (const auto& a : adapters) {
            w.Key(JoinPath(JoinPath(kSimNetCfgPath, u"BindingPaths"), Format("%04d", path++)),
                  {RegValue::String(u"Token", std::u16string(p.componentId) + u"->" + a.netCfgInstanceId),
                   RegValue::MultiString(u"Components", {std::u16string(p.guid), a.netCfgInstanceId}),
                   RegValue::Dword(u"Enabled", 1)});
        }
    }
}

void WriteHost(Writer& w, const InventoryOptions& options) {
    w.Key(kSimHostPath,
          {RegValue::Dword(u"Administrator", options.administrator ? 1 : 0),
           RegValue::Dword(u"OsMajor", options.osMajor), RegValue::Dword(u"OsMinor", options.osMinor),
           RegValue::Dword(u"OsBuild", options.osBuild),
           RegValue::Dword(u"PlatformId", 2)});  // VER_PLATFORM_WIN32_NT
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
    auto adapters = Adapters(options);
    for (auto& adapter : adapters) w.Device(&adapter);
    for (size_t i = 0; i < std::size(kProtocols); ++i) WriteProtocol(w, kProtocols[i], static_cast<int>(i));
    WriteNetCfg(w, adapters);
    for (int card = 0; card < options.cards; ++card) {
        DeviceRecord busDriver = BusDriver(card);
        w.Device(&busDriver);
    }
    const bool infOk = WriteInfFiles();
    return w.ok() && infOk;
}

}  // namespace qv::sim
