// QvTeamCmd -c as a process on temporary machines: the team it leaves in the registry and the
// device database, its console text, log and exit status, and what a failed run leaves behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "golden.h"
#include "program_run.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/netcfg.h"
#include "qv/sim/regfile.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/teamlib/text.h"
#include "qv/testing/temp_dir.h"
#include "qv/testing/temp_machine.h"
#include "scenarios.h"

namespace qv::teamcmd {
namespace {

using qv::testing::DefaultPortGuid;
using qv::testing::DwordBytes;
using qv::testing::ReadValueBytes;
using qv::testing::StoreEntryPath;
using testing::Golden;

const std::string kLan[] = {"Local Area Connection", "Local Area Connection 2", "Local Area Connection 3",
                            "Local Area Connection 4", "Local Area Connection 5"};
const std::u16string kOtherGuid = qv::testing::kOtherVendorGuid;

// GUID of the free adapter with connection name kLan[i].
std::u16string GuidOf(int i) {
    return i < 4 ? DefaultPortGuid(i) : kOtherGuid;
}

std::optional<sim::DeviceRecord> DeviceOf(const std::u16string& guid) {
    const auto id = sim::FindDeviceByNetCfgInstanceId(guid);
    return id ? sim::ReadDevice(*id) : std::nullopt;
}

// Friendly names are written with a fixed size: the text up to the first terminator.
std::u16string FriendlyName(const sim::DeviceRecord& device) {
    return device.friendlyName.substr(0, device.friendlyName.find(u'\0'));
}

// "ms_tcpip 0 qv_qvteamp 1": each protocol bound to the adapter and whether it is enabled.
std::string Bindings(const std::u16string& guid) {
    std::string text;
    for (const sim::AdapterBinding& binding : sim::ReadAdapterBindings(guid)) {
        text += (text.empty() ? "" : " ") + ToUtf8(binding.protocolId) + (binding.enabled ? " 1" : " 0");
    }
    return text;
}
constexpr char kAllBound[] = "ms_tcpip 1 qv_qvteamp 1";
constexpr char kTeamingOnly[] = "ms_tcpip 0 qv_qvteamp 1";

std::vector<std::u16string> TeamAdapters() {
    LStatus status = kErrorSuccess;
    return sim::ListDevices(u"ROOT", sim::kNetClassGuid, &status);
}

// The log with the time line of each header replaced by "<time>".
std::string LogWithoutTime(const std::filesystem::path& path) {
    static const std::regex time("\r\n={28}\r\n[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9:]{8} [0-9]{4}\r\n");
    return std::regex_replace(qv::testing::ReadFile(path), time,
                              "\r\n============================\r\n<time>\r\n");
}

std::vector<std::string> CreateArgs(const std::vector<int>& members, int mode, const std::string& teamName) {
    std::vector<std::string> args;
    if (!teamName.empty()) args = {"-n", teamName};
    args.push_back("-c");
    for (int i : members) args.push_back(kLan[i]);
    args.push_back(std::to_string(mode));
    return args;
}

class CreateTest : public ::testing::Test {
  public:
    void SetUp() override { Fresh(); }

    // A new default machine for the next case (table-driven tests run each case on its own).
    void Fresh() {
        machine_.reset();
        machine_ = std::make_unique<qv::testing::TempMachine>();
        ASSERT_TRUE(machine_->ok());
    }

    // Runs QvTeamCmd on virtual time, so that its waits take no real time.
    Exited Run(const std::vector<std::string>& args) {
        return RunProgram(machine_->dir(), args, {"QV_VIRTUAL_TIME=1"});
    }
    // Without a team name the create needs an option after it: -f.
    Exited Create(const std::vector<int>& members, int mode, const std::string& teamName) {
        std::vector<std::string> args = CreateArgs(members, mode, teamName);
        if (teamName.empty()) args.insert(args.end(), {"-f", LogPath()});
        return Run(args);
    }
    std::string LogPath() const { return (machine_->scratch().path() / "create.log").string(); }

    // The team of the named members: every store value byte for byte, the team adapter, and each
    // member's driver values, name, state and bindings. names: the members' names before the run.
    void ExpectTeam(const std::vector<int>& members, uint32_t teamNumber, const std::string& teamName,
                    const std::vector<std::u16string>& names) {
        const auto binding = ReadValueBytes(StoreEntryPath(GuidOf(members[0])), u"TeamBinding");
        ASSERT_TRUE(binding.has_value());
        const std::u16string bindingText(reinterpret_cast<const char16_t*>(binding->data()),
                                         binding->size() / 2 - 1);
        ASSERT_EQ(bindingText.rfind(u"\\Device\\{", 0), 0u);
        const auto team = DeviceOf(bindingText.substr(8));
        ASSERT_TRUE(team.has_value());
        EXPECT_EQ(ToUtf8(FriendlyName(*team)), teamName);
        const auto address = team->driverValues.String(u"NetworkAddress");
        ASSERT_TRUE(address.has_value());

        for (size_t i = 0; i < members.size(); ++i) {
            SCOPED_TRACE(kLan[members[i]]);
            const std::u16string guid = GuidOf(members[i]);
            const std::u16string entry = StoreEntryPath(guid);
            uint32_t type = 0;
            EXPECT_EQ(ReadValueBytes(entry, u"TeamNumber", &type), DwordBytes(teamNumber));
            EXPECT_EQ(type, kRegDword);
            EXPECT_EQ(ReadValueBytes(entry, u"Order", &type), DwordBytes(static_cast<uint32_t>(i)));
            EXPECT_EQ(ReadValueBytes(entry, u"TeamBinding", &type), binding);
            EXPECT_EQ(type, kRegSz);

            const auto device = DeviceOf(guid);
            ASSERT_TRUE(device.has_value());
            const sim::RegValue* memberAddress = device->driverValues.Find(u"NetworkAddress");
            ASSERT_NE(memberAddress, nullptr);
            EXPECT_EQ(memberAddress->data, qv::testing::Utf16Bytes(*address));
            EXPECT_EQ(device->driverValues.Dword(u"Characteristics").value_or(0) & 0x8, 0x8u);
            EXPECT_NE(device->state.disabled.value_or(0), 1u);
            const std::u16string expectedName =
                teamName.empty() ? names[i] : FromUtf8(teamName) + u":" + names[i];
            EXPECT_EQ(FriendlyName(*device), expectedName);
            EXPECT_EQ(Bindings(guid), kTeamingOnly);
        }
    }

    std::vector<std::u16string> NamesOf(const std::vector<int>& members) {
        std::vector<std::u16string> names;
        for (int i : members) names.push_back(FriendlyName(*DeviceOf(GuidOf(i))));
        return names;
    }

    std::unique_ptr<qv::testing::TempMachine> machine_;
};

// Teams in each mode, a second team beside a first, a team made of every free adapter: the members
// in command-line order (Order 0 is the first named), named only when -n is given.
TEST_F(CreateTest, TeamsInEveryMode) {
    struct Case {
        std::vector<int> first;  // a team created before, mode 1, when not empty
        std::vector<int> members;
        int mode;
        std::string teamName;
        uint32_t teamNumber;
    };
    const Case cases[] = {
        {{}, {1, 0}, 1, "Team0", 0x120},     {{}, {0, 1}, 4, "", 0x920},
        {{}, {2, 3}, 2, "Lab", 0x220},       {{0, 1}, {2, 3, 4}, 3, "Second", 0x431},
        {{}, {4, 3, 2, 1, 0}, 1, "", 0x150},  // five members pass in Active Backup
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.teamNumber);
        Fresh();
        if (!c.first.empty()) {
            ASSERT_EQ(Run(CreateArgs(c.first, 1, "First")).status, 0);
        }
        const std::vector<std::u16string> names = NamesOf(c.members);
        const Exited exited = Create(c.members, c.mode, c.teamName);
        EXPECT_EQ(exited.status, 0);
        EXPECT_EQ(exited.output, kBanner + "Team Created Successfully \n");
        ExpectTeam(c.members, c.teamNumber, c.teamName, names);
        EXPECT_EQ(TeamAdapters().size(), c.first.empty() ? 1u : 2u);
    }
}

// Every refused or failed create: its console text and status, and what stays behind. Runs that
// fail before the members are changed, and those whose failure gives the changes back, leave the
// registry as it was.
TEST_F(CreateTest, FailuresLeaveTheMachineAsItWas) {
    const std::vector<std::string> pair = {"-n", "Team0", "-c", kLan[0], kLan[1], "1"};
    const auto setHost = [](std::u16string_view name, uint32_t value) {
        return [=](CreateTest&) { ASSERT_TRUE(sim::WriteHostValue(name, value)); };
    };
    struct Case {
        const char* what;
        std::function<void(CreateTest&)> prepare;
        std::vector<std::string> args;
        int status;  // low byte of the exit status
        std::string console;
    };
    const Case cases[] = {
        {"no miniport INF",
         [](CreateTest& t) { std::filesystem::remove(t.machine_->dir() / "Windows" / "Inf" / "oem1.inf"); },
         pair, 0x01,
         "Could not find driver files. Install Quorvex Teaming driver and try \nto configure the Team "
         "again.\r\nTeam Creation Failed \n"},
        {"unknown name",
         nullptr,
         {"-n", "T", "-c", kLan[0], "Nope", "2"},
         0x02,
         "System Unknown Name Nope \nTeam Creation Failed \n"},
        {"one adapter twice",
         nullptr,
         {"-n", "T", "-c", kLan[1], "LOCAL AREA connection 2", "2"},
         0x02,
         "Team Creation Failed \n"},
        {"active backup of three",
         nullptr,
         {"-n", "T", "-c", kLan[0], kLan[1], kLan[2], "1"},
         0x02,
         "Invalid Number Of Arguments \nTeam Creation Failed \n"},
        {"failback of four",
         nullptr,
         {"-n", "T", "-c", kLan[0], kLan[1], kLan[2], kLan[3], "4"},
         0x02,
         "Invalid Number Of Arguments \nTeam Creation Failed \n"},
        {"one name",
         nullptr,
         {"-n", "T", "-c", kLan[0], "3"},
         0x02,
         "Selected nic items are less than 2\nTeam Creation Failed \n"},
        {"member of a team",
         [](CreateTest& t) {
             ASSERT_EQ(t.Run(CreateArgs({0, 1}, 2, "First")).status, 0);
         },
         {"-n", "T", "-c", kLan[0], kLan[2], "2"},
         0x02,
         "System Unknown Name Local Area Connection \nTeam Creation Failed \n"},
        {"nine adapters",
         [](CreateTest&) {
             for (int n = 1; n <= 4; ++n) {
                 qv::testing::SimAdapter extra;
                 extra.instanceId =
                     U16Format(u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01\\4&EE&0&00%d0", n);
                 extra.guid = U16Format(u"{5A5A0E00-0000-4000-8000-0000000000%02X}", n);
                 extra.description = u"Extra adapter";
                 extra.connectionName = U16Format(u"Extra %d", n);
                 ASSERT_TRUE(qv::testing::AddSimAdapter(extra));
             }
         },
         {"-n", "T", "-c", kLan[0], kLan[1], kLan[2], kLan[3], kLan[4], "Extra 1", "Extra 2", "Extra 3",
          "Extra 4", "2"},
         0x02,
         "Selected nic items are more than 8\nTeam Creation Failed \n"},
        {"XP with offload",
         [](CreateTest&) {
             ASSERT_TRUE(sim::WriteHostValue(u"OsMajor", 5) && sim::WriteHostValue(u"OsMinor", 1));
             ASSERT_TRUE(qv::testing::WriteValueBytes(qv::testing::DriverKeyPathOf(DefaultPortGuid(3)),
                                                      u"TCPOffload", kRegSz, qv::testing::StringBytes(u"1")));
         },
         pair, 0x04, "WinXP Offload check Failed\nTeam Creation Failed \n"},
        {"write lock held",
         [](CreateTest&) { ASSERT_TRUE(sim::HoldWriteLock(u"Network Connections", nullptr)); }, pair, 0x08,
         "Disabling NIC Protocol Bindings failed \nTeam Creation Failed \n"},
        {"newdev exports failing",
         [](CreateTest&) {
             for (auto name : {sim::kHostNewdevDiInstallDevice, sim::kHostNewdevInstallSelectedDriver,
                               sim::kHostNewdevUpdateDriver}) {
                 ASSERT_TRUE(sim::WriteHostValue(name, sim::kExportFails));
             }
         },
         pair, 0x07, "cmdInstall failed \nTeam Creation Failed \n"},
        {"newdev missing", setHost(sim::kHostNewdevLibrary, 0), pair, 0x07,
         "cmdInstall failed \nTeam Creation Failed \n"},
        {"log cannot be opened",
         nullptr,
         {"-c", kLan[0], kLan[1], "1", "-f", "/nonexistent/dir/x.log"},
         0x06,  // 0xCE000006, before any change
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        if (c.prepare) c.prepare(*this);
        const std::string before = qv::testing::ExportRegistry();
        const Exited exited = Run(c.args);
        EXPECT_EQ(exited.status, c.status);
        EXPECT_EQ(exited.output, kBanner + c.console);
        EXPECT_EQ(qv::testing::ExportRegistry(), before);
    }
}

// With -f: the header, "Creating team", a failed step's line and the summary, as the goldens hold
// them (only the header's time line differs from run to run).
TEST_F(CreateTest, LogOfEachOutcome) {
    struct Case {
        bool removeInf;
        std::vector<std::string> args;
        const char* golden;
    };
    const Case cases[] = {
        {false, {"-n", "Team0", "-c", kLan[0], kLan[1], "1"}, "create_log_created.txt"},
        {true, {"-n", "Team0", "-c", kLan[0], kLan[1], "3"}, "create_log_no_driver_files.txt"},
        {false, {"-n", "Team0", "-c", kLan[0], kLan[1], kLan[2], "1"}, "create_log_bad_selection.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        Fresh();
        if (c.removeInf) std::filesystem::remove(machine_->dir() / "Windows" / "Inf" / "oem1.inf");
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-f", LogPath()});
        Run(args);
        EXPECT_EQ(LogWithoutTime(LogPath()), Golden(c.golden));
    }
}

// An adapter's VLAN adapters go when it joins a team; they stay gone when the create fails later,
// while its bindings come back and no team number is left on it.
TEST_F(CreateTest, VlansOfMembersAreRemoved) {
    for (const bool installFails : {false, true}) {
        SCOPED_TRACE(installFails);
        Fresh();
        ASSERT_TRUE(testing::ImportFixture("free_adapters_with_vlans.reg"));
        ASSERT_EQ(TeamAdapters().size(), 2u);
        if (installFails) {
            ASSERT_TRUE(sim::WriteHostValue(sim::kHostNewdevLibrary, 0));
        }
        const Exited exited = Run(CreateArgs({0, 1}, 2, "T"));
        EXPECT_EQ(exited.status, installFails ? 0x07 : 0);
        const auto vlans = qv::testing::ReadValueBytes(StoreEntryPath(DefaultPortGuid(0)), u"VlanBinding");
        EXPECT_FALSE(vlans.has_value());
        EXPECT_EQ(TeamAdapters().size(), installFails ? 0u : 1u);  // the team adapter only
        for (int i : {0, 1}) {
            EXPECT_EQ(Bindings(GuidOf(i)), installFails ? kAllBound : kTeamingOnly);
            EXPECT_EQ(ReadValueBytes(StoreEntryPath(GuidOf(i)), u"TeamNumber").has_value(), !installFails);
        }
    }
}

// A team adapter that never reports its address: the team is kept and the run succeeds with a
// message; the members carry the team's entries but are neither joined to its address nor hidden.
TEST_F(CreateTest, TeamAdapterWithoutAddress) {
    ASSERT_TRUE(sim::WriteHostValue(sim::kHostMiniportAddressDelay, sim::kMiniportAddressNever));
    const Exited exited = Run(CreateArgs({0, 1}, 1, "Team0"));
    EXPECT_EQ(exited.status, 0);
    EXPECT_EQ(exited.output, kBanner + " UpdateTeam failed \nTeam Created Successfully \n");
    EXPECT_EQ(TeamAdapters().size(), 1u);
    for (int i : {0, 1}) {
        const std::u16string entry = StoreEntryPath(GuidOf(i));
        EXPECT_EQ(ReadValueBytes(entry, u"TeamNumber"), DwordBytes(0x120));
        EXPECT_TRUE(ReadValueBytes(entry, u"TeamBinding").has_value());
        const auto device = DeviceOf(GuidOf(i));
        ASSERT_TRUE(device.has_value());
        EXPECT_EQ(device->driverValues.Find(u"NetworkAddress"), nullptr);
        EXPECT_EQ(device->driverValues.Dword(u"Characteristics").value_or(0) & 0x8, 0u);
        EXPECT_EQ(Bindings(GuidOf(i)), kTeamingOnly);
    }
}

// The team table tells apart as many teams as PopulateTeamList reads: with up to four teams the
// new one gets the lowest free slot (slot 4 when 0 to 3 are taken); with five the slots of the
// fifth are unknown and the create is refused before anything changes.
TEST_F(CreateTest, SlotsUpToTheFifthTeam) {
    struct Case {
        std::vector<int> slots;  // of the team adapters present; -1: an adapter without members
        int status;
        std::string console;
        uint32_t teamNumber;
    };
    const Case cases[] = {
        {{0, 2}, 0, "Team Created Successfully \n", 0x121},
        // The new team must not take over the record of the team behind the empty adapter.
        {{-1, 0}, 0, "Team Created Successfully \n", 0x121},
        {{3, 1, 0, 2}, 0, "Team Created Successfully \n", 0x124},
        {{0, 1, 2, 3, 4},
         0x09,
         "Too many teams (5): a team can only be created while at most 4 exist. Remove a team first \n"
         "Team Creation Failed \n",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.teamNumber);
        Fresh();
        for (size_t n = 0; n < c.slots.size(); ++n) {
            const int number = static_cast<int>(n);
            const std::u16string member = U16Format(u"{5A5A0E00-0000-4000-8000-0000000001%02X}", number);
            std::vector<testing::TeamMember> members;
            if (c.slots[n] >= 0) members.push_back({member, 0});
            ASSERT_TRUE(testing::AddTeam(number, testing::TeamGuid(number), U16Format(u"Team%d", number),
                                         0x210 + static_cast<uint32_t>(c.slots[n]), members));
        }
        const std::string before = qv::testing::ExportRegistry();
        const Exited exited = Run(CreateArgs({0, 1}, 1, "New"));
        EXPECT_EQ(exited.status, c.status);
        EXPECT_EQ(exited.output, kBanner + c.console);
        if (c.status != 0) {
            EXPECT_EQ(qv::testing::ExportRegistry(), before);
        } else {
            EXPECT_EQ(ReadValueBytes(StoreEntryPath(GuidOf(0)), u"TeamNumber"), DwordBytes(c.teamNumber));
            EXPECT_EQ(ReadValueBytes(StoreEntryPath(GuidOf(1)), u"Order"), DwordBytes(1));
        }
    }
}

}  // namespace
}  // namespace qv::teamcmd
