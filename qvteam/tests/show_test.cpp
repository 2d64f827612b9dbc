// qvteam show and export in-process on simulated machines: the default machine, and one with a
// team and VLANs made by QvTeamCmd; the human text against goldens, the JSON documents by their
// facts and against their schemas, and the command line's outcomes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli.h"
#include "console.h"
#include "qv/platform/security.h"
#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/teamlib/testing/guids.h"
#include "qv/teamlib/testing/sim_adapters.h"
#include "qv/testing/golden.h"
#include "qv/testing/temp_dir.h"
#include "run.h"

namespace qv::qvteam {
namespace {

using Json = nlohmann::json;

struct Ran {
    int status;
    RunOutput output;
};

Ran Qvteam(const std::vector<std::string>& args) {
    Ran ran{};
    ran.status = RunQvteam(args, &ran.output);
    return ran;
}

// The text with the GUIDs of the team and VLAN adapters and the teams' addresses, which are new on
// every run, replaced by "{team 1}", "{vlan 2}", "{team 1 address}" and so on (numbered as show
// --json lists them).
std::string Masked(std::string text, const Json& show) {
    for (const char* kind : {"team", "vlan"}) {
        const Json& list = show[std::string(kind) + "s"];
        for (size_t i = 0; i < list.size(); ++i) {
            const std::string guid = list[i]["guid"];
            const std::string mask = "{" + std::string(kind) + " " + std::to_string(i + 1) + "}";
            for (size_t at; (at = text.find(guid)) != std::string::npos;) text.replace(at, guid.size(), mask);
            // A team's address is drawn when the team is made.
            if (list[i].contains("address") && list[i]["address"].is_string()) {
                const std::string address = list[i]["address"];
                for (size_t at; (at = text.find(address)) != std::string::npos;) {
                    text.replace(at, address.size(), "{team " + std::to_string(i + 1) + " address}");
                }
            }
        }
    }
    return text;
}

std::string Golden(const std::string& name) {
    return "qvteam/tests/golden/" + name;
}

// QvTeamCmd in-process: what it printed after its banner.
std::string TeamCmd(const std::vector<std::u16string>& args) {
    teamcmd::ConsoleCapture capture;
    teamcmd::RunQvTeamCmd(args);
    const std::string banner = "(QvTeamCmd v" + std::string(teamcmd::kVersionText) + ")\n";
    const size_t end = capture.Text().find(banner);
    return end == std::string::npos ? capture.Text() : capture.Text().substr(end + banner.size());
}

class QvteamTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }

    // Team0 (Active Backup) of the second and first port, in that order, with VLAN 10 over it and
    // VLAN 30 over the third port.
    void MakeTeamAndVlans() {
        ASSERT_EQ(
            TeamCmd({u"-n", u"Team0", u"-c", u"Local Area Connection 2", u"Local Area Connection", u"1"}),
            "Team Created Successfully \n");
        // A VLAN that is added prints nothing.
        ASSERT_EQ(TeamCmd({u"-a", u"Local Area Connection 6", u"Ten", u"10"}), "");
        ASSERT_EQ(TeamCmd({u"-a", u"Local Area Connection 3", u"Thirty", u"30"}), "");
    }

    Json ShowJson() {
        const Ran ran = Qvteam({"show", "--json"});
        EXPECT_EQ(ran.status, kExitOk) << ran.output.err;
        return Json::parse(ran.output.out);
    }

    qv::testing::TempMachine machine_;
};

// The default machine: four n5 ports and another vendor's adapter, present, enabled, shown, each
// with its own permanent address and the protocols bound; no team, no VLAN.
TEST_F(QvteamTest, ShowsTheDefaultMachine) {
    const Ran text = Qvteam({"show"});
    EXPECT_EQ(text.status, kExitOk);
    EXPECT_EQ(text.output.err, "");
    EXPECT_TRUE(qv::testing::MatchesGolden(text.output.out, Golden("show_default.txt")));

    const Json show = ShowJson();
    EXPECT_EQ(show["schema"], "qvteam-show");
    EXPECT_EQ(show["version"], 1);
    ASSERT_EQ(show["adapters"].size(), 5u);
    std::vector<std::string> macs;
    for (size_t i = 0; i < show["adapters"].size(); ++i) {
        const Json& adapter = show["adapters"][i];
        SCOPED_TRACE(adapter.dump());
        EXPECT_EQ(adapter["guid"], i < 4 ? ToUtf8(qv::testing::DefaultPortGuid(static_cast<int>(i)))
                                         : ToUtf8(qv::testing::kOtherVendorGuid));
        EXPECT_TRUE(adapter["present"]);
        EXPECT_TRUE(adapter["enabled"]);
        EXPECT_FALSE(adapter["hidden"]);
        EXPECT_TRUE(adapter["team"].is_null());
        EXPECT_FALSE(adapter["protocols"].empty());
        if (adapter["permanentMac"].is_string()) macs.push_back(adapter["permanentMac"]);
    }
    EXPECT_GE(macs.size(), 4u);
    std::sort(macs.begin(), macs.end());
    EXPECT_EQ(std::unique(macs.begin(), macs.end()), macs.end()) << "two adapters share a permanent address";
    EXPECT_EQ(show["teams"], Json::array());
    EXPECT_EQ(show["vlans"], Json::array());
    EXPECT_TRUE(qv::testing::MatchesGolden(Qvteam({"export"}).output.out, Golden("export_default.json")));
}

// A team and VLANs as QvTeamCmd made them: members by preference, hidden and unbound; the team's
// VLAN and the adapter's VLAN with their parents.
TEST_F(QvteamTest, ShowsTeamsAndVlansMadeByQvTeamCmd) {
    MakeTeamAndVlans();
    const Json show = ShowJson();
    EXPECT_TRUE(
        qv::testing::MatchesGolden(Masked(Qvteam({"show"}).output.out, show), Golden("show_team_vlans.txt")));

    ASSERT_EQ(show["teams"].size(), 1u);
    const Json& team = show["teams"][0];
    EXPECT_EQ(team["name"], "Team0");
    EXPECT_EQ(team["mode"], "active-backup");
    ASSERT_EQ(team["members"].size(), 2u);
    EXPECT_EQ(team["members"][0]["guid"], ToUtf8(qv::testing::DefaultPortGuid(1)));
    EXPECT_EQ(team["members"][1]["guid"], ToUtf8(qv::testing::DefaultPortGuid(0)));
    ASSERT_EQ(show["vlans"].size(), 2u);
    EXPECT_EQ(team["vlans"], Json::array({show["vlans"][0]["guid"]}));

    struct Expected {
        size_t adapter;
        bool hidden;
        bool inTeam;
    };
    for (const Expected& e :
         {Expected{0, true, true}, {1, true, true}, {2, true, false}, {3, false, false}}) {
        const Json& adapter = show["adapters"][e.adapter];
        SCOPED_TRACE(adapter.dump());
        EXPECT_EQ(adapter["hidden"], e.hidden);
        EXPECT_EQ(adapter["team"], e.inTeam ? team["guid"] : Json(nullptr));
        EXPECT_EQ(adapter["protocols"].size() > 1, !e.hidden)
            << "a team member or VLAN parent keeps only the teaming protocol";
    }
    struct VlanFacts {
        const char* name;
        int id;
        Json parent;
        const char* parentKind;
    };
    const VlanFacts vlans[] = {{"Ten", 10, team["guid"], "team"},
                               {"Thirty", 30, show["adapters"][2]["guid"], "adapter"}};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(show["vlans"][i]["name"], vlans[i].name);
        EXPECT_EQ(show["vlans"][i]["id"], vlans[i].id);
        EXPECT_EQ(show["vlans"][i]["parent"], vlans[i].parent);
        EXPECT_EQ(show["vlans"][i]["parentKind"], vlans[i].parentKind);
    }
}

// An adapter that is disabled, one that is not present (its facts from the registry alone), and a
// user without administrator rights, who is refused as by the other programs.
TEST_F(QvteamTest, ShowsAdapterStatesAndNeedsAdministratorRights) {
    const auto fourth = sim::FindDeviceByConnectionName(u"Local Area Connection 4");
    ASSERT_TRUE(fourth.has_value());
    ASSERT_TRUE(sim::WriteDeviceState(*fourth, sim::kStateDisabled, 1));
    qv::testing::SimAdapter gone;
    gone.instanceId = u"PCI\\VEN_1234&DEV_0001\\GONE";
    gone.guid = u"{60E00001-0000-4000-8000-000000000001}";
    gone.provider = u"Other";
    gone.description = u"Removed Adapter";
    gone.connectionName = u"Gone";
    gone.present = false;
    ASSERT_TRUE(qv::testing::AddSimAdapter(gone));

    const Json show = ShowJson();
    struct Expected {
        const char* connectionName;
        Json present;
        Json enabled;
        bool hasMac;
        bool hasProtocols;
    };
    const Expected cases[] = {{"Local Area Connection 3", true, true, true, true},
                              {"Local Area Connection 4", true, false, false, true},
                              {"Gone", false, nullptr, false, false}};
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.connectionName);
        const auto adapter =
            std::find_if(show["adapters"].begin(), show["adapters"].end(),
                         [&](const Json& a) { return a["connectionName"] == e.connectionName; });
        ASSERT_NE(adapter, show["adapters"].end());
        EXPECT_EQ((*adapter)["present"], e.present);
        EXPECT_EQ((*adapter)["enabled"], e.enabled);
        EXPECT_EQ((*adapter)["permanentMac"].is_string(), e.hasMac);
        EXPECT_EQ(!(*adapter)["protocols"].empty(), e.hasProtocols);
    }

    ASSERT_TRUE(sim::WriteHostValue(u"Administrator", 0));
    for (const char* command : {"show", "export"}) {
        const Ran ran = Qvteam({command});
        EXPECT_EQ(ran.status, kExitError);
        EXPECT_EQ(ran.output.out, "");
        EXPECT_EQ(ran.output.err, std::string(sec::kAdministratorRightsNeeded) + "\n");
    }
}

// A team adapter that no team record names: shown with mode unknown and no member, left out of
// the desired state with a word on standard error.
TEST_F(QvteamTest, ATeamWithoutRecordIsShownButNotExported) {
    ASSERT_TRUE(qv::testing::AddTeamAdapter(0, qv::testing::kTeamA, u"Bare"));
    const Json show = ShowJson();
    ASSERT_EQ(show["teams"].size(), 1u);
    EXPECT_EQ(show["teams"][0]["guid"], ToUtf8(qv::testing::kTeamA));
    EXPECT_EQ(show["teams"][0]["mode"], "unknown");
    EXPECT_EQ(show["teams"][0]["members"], Json::array());

    const Ran exported = Qvteam({"export"});
    EXPECT_EQ(exported.status, kExitOk);
    EXPECT_EQ(Json::parse(exported.output.out)["teams"], Json::array());
    EXPECT_EQ(exported.output.err, "qvteam: team \"Bare\" is left out: its mode is unknown\n");
}

// export names the adapters as asked; the document is the same whichever naming, but for the
// adapter selectors.
TEST_F(QvteamTest, ExportsTheDesiredStateByEachNaming) {
    MakeTeamAndVlans();
    struct Case {
        std::vector<std::string> args;
        const char* golden;
    };
    const Case cases[] = {
        {{"export"}, "export_team_vlans.json"},
        {{"export", "--members", "connection-name"}, "export_team_vlans.json"},
        {{"export", "--members", "mac"}, "export_team_vlans_mac.json"},
        {{"export", "--members", "description"}, "export_team_vlans_description.json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Ran ran = Qvteam(c.args);
        EXPECT_EQ(ran.status, kExitOk);
        EXPECT_EQ(ran.output.err, "");
        EXPECT_TRUE(qv::testing::MatchesGolden(ran.output.out, Golden(c.golden)));
    }
}

// What the command line refuses ends with status 1 and a reason on standard error; help is no error.
TEST_F(QvteamTest, CommandLineOutcomes) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* errContains;
        const char* outContains;
    };
    const Case cases[] = {
        {{},
         kExitError,
         "qvteam: a command is needed: show, export, plan or apply (qvteam --help tells more)\n",
         ""},
        {{"list"},
         kExitError,
         "qvteam: unknown command \"list\": the commands are show, export, plan and apply\n",
         ""},
        {{"show", "--xml"}, kExitError, "--xml", ""},
        {{"show", "extra"}, kExitError, "extra", ""},
        {{"export", "--members", "serial"}, kExitError, "serial", ""},
        {{"export", "--members"}, kExitError, "--members", ""},
        {{"show", "export"}, kExitError, "export", ""},
        {{"--help"}, kExitOk, "", "show"},
        {{"show", "--help"}, kExitOk, "", "--json"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& arg : c.args) joined += arg + " ";
        SCOPED_TRACE(joined);
        const Ran ran = Qvteam(c.args);
        EXPECT_EQ(ran.status, c.status);
        EXPECT_NE(ran.output.err.find(c.errContains), std::string::npos) << ran.output.err;
        EXPECT_NE(ran.output.out.find(c.outContains), std::string::npos) << ran.output.out;
        if (c.status != kExitOk) {
            EXPECT_EQ(ran.output.out, "");
        }
    }
}

// Every document qvteam prints passes its schema (python3-jsonschema, draft 2020-12).
TEST_F(QvteamTest, DocumentsFollowTheirSchemas) {
    qv::testing::TempDir dir;
    const auto validate = [&](const std::vector<std::string>& args, const char* schema) {
        SCOPED_TRACE(args.front());
        const Ran ran = Qvteam(args);
        ASSERT_EQ(ran.status, kExitOk);
        const auto document = dir.path() / "document.json";
        ASSERT_TRUE(qv::testing::WriteFile(document, ran.output.out));
        const std::string command = "python3 " +
                                    qv::testing::SourcePath("qvteam/tests/validate.py").string() + " " +
                                    qv::testing::SourcePath(std::string("docs/") + schema).string() + " " +
                                    document.string() + " 2>&1";
        std::FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        const std::string said = qv::testing::ReadStream(pipe);
        EXPECT_EQ(pclose(pipe), 0) << said;
    };
    for (const bool withTeam : {false, true}) {
        if (withTeam) MakeTeamAndVlans();
        validate({"show", "--json"}, "qvteam-show.schema.json");
        for (const char* naming : {"connection-name", "mac", "description"}) {
            validate({"export", "--members", naming}, "qvteam-state.schema.json");
        }
    }
}

}  // namespace
}  // namespace qv::qvteam
