#include "scenarios.h"

#include "qv/platform/registry.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"

namespace qv::teamcmd::testing {

using qv::testing::DefaultPortGuid;

std::u16string ExtraPortGuid(int n) {
    return U16Format(u"{5A5A00A0-0000-4000-8000-0000000000%02X}", n + 1);
}
std::u16string TeamGuid(int n) {
    return U16Format(u"{5A5A7EA0-0000-4000-8000-0000000000%02X}", n + 1);
}
std::u16string VlanGuid(int n) {
    return U16Format(u"{5A5A71A0-0000-4000-8000-0000000000%02X}", n + 1);
}

bool AddExtraPort(int n, const std::u16string& connectionName) {
    qv::testing::SimAdapter port;
    port.instanceId = U16Format(u"PCI\\VEN_5151&DEV_0005\\5&A%d&0&00", n);
    port.guid = ExtraPortGuid(n);
    port.description = u"Quorvex n5 Gigabit Server Adapter";
    port.friendlyName = U16Format(u"Quorvex n5 Gigabit Server Adapter #%d", n + 5);
    port.connectionName = connectionName;
    return qv::testing::AddSimAdapter(port);
}

bool AddVlanAdapter(int number, const std::u16string& guid, uint32_t vlanId, const std::u16string& vlanName,
                    const std::u16string& connectionName) {
    qv::testing::SimAdapter vlan;
    vlan.instanceId = U16Format(u"ROOT\\NET\\%04d", number);
    vlan.guid = guid;
    vlan.friendlyName = u"Quorvex n5 Virtual Adapter - " + vlanName;
    vlan.connectionName = connectionName;
    vlan.vlanId = vlanId;
    if (!qv::testing::AddSimAdapter(vlan)) {
        return false;
    }
    return vlanName.empty() ||
           qv::testing::WriteValueBytes(qv::testing::DriverKeyPathOf(guid), u"VlanName", kRegSz,
                                        qv::testing::Utf16Bytes(vlanName + u'\0'));
}

bool WriteVlanBinding(const std::u16string& member, const std::vector<std::u16string>& vlanGuids) {
    std::u16string list;
    for (const std::u16string& guid : vlanGuids) {
        list += u"\\Device\\" + guid + u'\0';
    }
    list += u'\0';
    return qv::testing::WriteValueBytes(qv::testing::StoreEntryPath(member), u"VlanBinding", kRegMultiSz,
                                        qv::testing::Utf16Bytes(list));
}

bool AddTeam(int number, const std::u16string& teamGuid, const std::u16string& name, uint32_t teamNumber,
             const std::vector<TeamMember>& members) {
    bool ok = qv::testing::AddTeamAdapter(number, teamGuid, name);
    for (const TeamMember& member : members) {
        ok = qv::testing::WriteStoreEntry(member.guid, teamGuid, teamNumber, member.order) && ok;
    }
    return ok;
}

bool BuildFreeAdaptersWithVlans() {
    const std::u16string port = DefaultPortGuid(0);
    return AddVlanAdapter(0, VlanGuid(0), 10, u"Sales", u"Local Area Connection 6") &&
           AddVlanAdapter(1, VlanGuid(1), 20, u"Lab", u"Local Area Connection 7") &&
           qv::testing::WriteStoreEntry(port, std::nullopt, 0x10, 0) &&
           WriteVlanBinding(port, {VlanGuid(1), VlanGuid(0)});
}

bool BuildTeamsInAllModes() {
    bool ok = true;
    for (int n = 0; n < 5; ++n) {
        ok = AddExtraPort(n, U16Format(u"Local Area Connection %d", 10 + n)) && ok;
    }
    // Active Backup: the first member in enumeration order has Order 1.
    ok = AddTeam(0, TeamGuid(0), u"Team0", 0x120, {{DefaultPortGuid(0), 1}, {DefaultPortGuid(1), 0}}) && ok;
    ok = AddTeam(1, TeamGuid(1), u"Team1", 0x231,
                 {{DefaultPortGuid(2), 0}, {DefaultPortGuid(3), 1}, {ExtraPortGuid(0), 2}}) &&
         ok;
    ok = AddTeam(2, TeamGuid(2), u"Team2", 0x422, {{ExtraPortGuid(1), 0}, {ExtraPortGuid(2), 1}}) && ok;
    ok = AddTeam(3, TeamGuid(3), u"Team3", 0x923, {{ExtraPortGuid(3), 0}, {ExtraPortGuid(4), 8}}) && ok;
    ok = qv::testing::AddTeamAdapter(4, TeamGuid(4), u"Team4") && ok;
    ok = AddVlanAdapter(5, VlanGuid(0), 100, u"Voice", u"Local Area Connection 9") && ok;
    ok = qv::testing::AddTeamAdapter(6, TeamGuid(5), u"Team5") && ok;
    for (const std::u16string& member : {DefaultPortGuid(2), DefaultPortGuid(3), ExtraPortGuid(0)}) {
        ok = WriteVlanBinding(member, {VlanGuid(0)}) && ok;
    }
    return ok;
}

}  // namespace qv::teamcmd::testing
