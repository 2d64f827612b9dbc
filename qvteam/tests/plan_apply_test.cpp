// qvteam plan and apply in-process on simulated machines: refused documents (the pointer of the
// fault, nothing changed), the order of a plan and its exit status, apply against QvTeamCmd's own
// runs, a second apply that does nothing, and the undo of a run whose third step fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "apply.h"
#include "cli.h"
#include "console.h"
#include "qv/platform/utf.h"
#include "qv/sim/default_inventory.h"
#include "qv/sim/regfile.h"
#include "qv/testing/temp_machine.h"
#include "run.h"

namespace qv::qvteam {
namespace {

using Json = nlohmann::json;

const std::string kLan1 = R"({"connectionName":"Local Area Connection"})";
const std::string kLan2 = R"({"connectionName":"Local Area Connection 2"})";
const std::string kLan3 = R"({"connectionName":"Local Area Connection 3"})";
const std::string kLan4 = R"({"connectionName":"Local Area Connection 4"})";

std::string Doc(const std::string& teams, const std::string& adapterVlans = "") {
    return R"({"schema":"qvteam-state","version":1,"teams":[)" + teams + R"(],"adapterVlans":[)" +
           adapterVlans + "]}";
}

std::string Team(const std::string& name, const std::string& mode, const std::string& members,
                 const std::string& vlans = "") {
    return R"({"name":")" + name + R"(","mode":")" + mode + R"(","members":[)" + members + R"(],"vlans":[)" +
           vlans + "]}";
}

std::string Vlan(const std::string& name, int id) {
    return R"({"name":")" + name + R"(","id":)" + std::to_string(id) + "}";
}

std::string Carrier(const std::string& adapter, const std::string& vlans) {
    return R"({"adapter":)" + adapter + R"(,"vlans":[)" + vlans + "]}";
}

struct Ran {
    int status;
    RunOutput output;
};

// QvTeamCmd in-process; its exit status.
uint32_t TeamCmd(const std::vector<std::u16string>& args) {
    teamcmd::ConsoleCapture capture;
    return teamcmd::RunQvTeamCmd(args);
}

// Team0 (active backup) of the second and first port with VLAN Ten, and VLAN Thirty over the third
// port, made by QvTeamCmd.
void MakeTeamAndVlans() {
    ASSERT_EQ(TeamCmd({u"-n", u"Team0", u"-c", u"Local Area Connection 2", u"Local Area Connection", u"1"}),
              0u);
    TeamCmd({u"-a", u"Local Area Connection 6", u"Ten", u"10"});
    TeamCmd({u"-a", u"Local Area Connection 3", u"Thirty", u"30"});
}

// The .reg text with continued lines joined and strings given as hex (hex(1), hex(2), hex(7): with
// or without terminators, multi-strings) written as text, "a|b|".
std::string Readable(const std::string& exported) {
    static const std::regex kHexText("=hex\\([127]\\):([0-9a-f,]*)");
    const std::string text = std::regex_replace(exported, std::regex("\\\\\n  "), "");
    std::string out;
    auto last = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), kHexText), end; it != end; ++it) {
        out.append(last, (*it)[0].first);
        const std::string bytes = (*it)[1].str();
        std::string decoded;
        for (size_t i = 0; i + 2 <= bytes.size(); i += 6) {  // the low byte of each unit: ASCII only
            decoded += static_cast<char>(std::stoi(bytes.substr(i, 2), nullptr, 16));
        }
        std::replace(decoded.begin(), decoded.end(), '\0', '|');
        out += "=text:" + decoded;
        last = (*it)[0].second;
    }
    return out.append(last, text.cend());
}

// The registry's keys with their values, each key once, sorted; every GUID and every 12-digit
// address that the machine did not have before (new adapters and components, the addresses the
// teaming library draws for teams) reads "{new}".
std::vector<std::string> Normalised(const std::string& exported, const std::string& before) {
    static const std::regex kGuid(
        "\\{[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\\}|\\b[0-9A-F]{12}"
        "\\b");
    const std::string readable = Readable(exported);
    std::string text;
    auto last = readable.cbegin();
    for (std::sregex_iterator it(readable.begin(), readable.end(), kGuid), end; it != end; ++it) {
        text.append(last, (*it)[0].first);
        text += before.find(it->str()) == std::string::npos ? "{new}" : it->str();
        last = (*it)[0].second;
    }
    text.append(last, readable.cend());
    std::vector<std::string> blocks;
    for (size_t at = 0; at < text.size();) {
        const size_t next = text.find("\n\n", at);
        blocks.push_back(text.substr(at, next == std::string::npos ? std::string::npos : next - at));
        at = next == std::string::npos ? text.size() : next + 2;
    }
    std::sort(blocks.begin(), blocks.end());
    return blocks;
}

class PlanApplyTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(machine_.ok()); }

    std::string Write(const std::string& text) {
        const std::string path = (machine_.scratch().path() / "state.json").string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static Ran Qvteam(const std::vector<std::string>& args) {
        Ran ran{};
        ran.status = RunQvteam(args, &ran.output);
        return ran;
    }

    static std::string Export() { return Qvteam({"export"}).output.out; }

    qv::testing::TempMachine machine_;
};

TEST_F(PlanApplyTest, RefusesBadDocumentsWithThePointerOfTheFaultAndChangesNothing) {
    MakeTeamAndVlans();
    const std::string before = qv::testing::ExportRegistry();
    const std::string other = R"({"description":"Northwind NW-1000 Gigabit Ethernet Controller"})";
    const struct {
        std::string document;
        std::string fault;
    } cases[] = {
        {"{",
         "not JSON: parse error at line 1, column 2: syntax error while parsing object key - unexpected end "
         "of input; expected string literal"},
        {"[]", "the document must be an object"},
        {R"({"schema":"qvteam-state","version":1e999,"teams":[],"adapterVlans":[]})",
         "not JSON: number overflow parsing '1e999'"},
        {R"({"schema":"qvteam-state","version":1,"teams":[]})",
         "the document needs the field \"adapterVlans\""},
        {R"({"schema":"qvteam-state","version":1,"version":1,"teams":[],"adapterVlans":[]})",
         "not a document: the field \"version\" is given twice in one object"},
        {R"({"schema":"other","version":1,"teams":[],"adapterVlans":[]})",
         "/schema: must be \"qvteam-state\""},
        {R"({"schema":"qvteam-state","version":2,"teams":[],"adapterVlans":[]})",
         "/version: version 2 is not known: this qvteam reads version 1"},
        {Doc(Team("T", "fast", kLan1 + "," + kLan2)),
         "/teams/0/mode: must be one of active-backup, tlb, lacp, active-backup-failback"},
        {Doc(Team("T", "tlb", kLan1)), "/teams/0/members: needs at least 2 members"},
        {Doc(Team("T", "active-backup", kLan1 + "," + kLan2 + "," + kLan3)),
         "/teams/0/members: an active-backup team takes 2 or 5 to 8 members, not 3 or 4"},
        {Doc(Team("T", "tlb", kLan1 + "," + kLan2) + "," + Team("t", "tlb", kLan3 + "," + kLan4)),
         "/teams/1/name: is the name of another team"},
        {Doc(Team("-T", "tlb", kLan1 + "," + kLan2)), "/teams/0/name: QvTeamCmd cannot take this name"},
        {Doc(Team("T\\tab", "tlb", kLan1 + "," + kLan2)), "/teams/0/name: must not hold control characters"},
        {Doc(Team(std::string(130, 'T'), "tlb", kLan1 + "," + kLan2)),
         "/teams/0/name: is longer than 129 characters"},
        {Doc(Team("T", "tlb", kLan1 + "," + R"({"connectionName":"Nowhere"})")),
         "/teams/0/members/1/connectionName: no adapter has this connectionName"},
        {Doc(Team("T", "tlb", kLan1 + "," + R"({"permanentMac":"02:5a:5a:00:00:00"})")),
         "/teams/0/members/1/permanentMac: names the same adapter as /teams/0/members/0/connectionName"},
        {Doc(Team("T", "tlb", kLan1 + "," + R"({"permanentMac":"02-5A-5A-00-00"})")),
         "/teams/0/members/1/permanentMac: must be six hex bytes like 00-07-43-12-34-56"},
        {Doc(Team("T", "tlb", kLan1 + "," + R"({"connectionName":"Local Area Connection 2","guid":"{x}"})")),
         "/teams/0/members/1: must name the adapter by one of connectionName, permanentMac, description or "
         "guid"},
        {Doc(Team("T", "tlb", kLan1 + "," + other + "," + other)),
         "/teams/0/members/2/description: names the same adapter as /teams/0/members/1/description"},
        {Doc(Team("T", "tlb", kLan1 + "," + kLan2), Carrier(kLan2, "")),
         "/adapterVlans/0/adapter/connectionName: names the same adapter as "
         "/teams/0/members/1/connectionName"},
        {Doc("", Carrier(kLan3, Vlan("A", 0))),
         "/adapterVlans/0/vlans/0/id: must be a whole number from 1 to 4095"},
        {Doc("", Carrier(kLan3, R"({"name":"A","id":1.5})")),
         "/adapterVlans/0/vlans/0/id: must be a whole number from 1 to 4095"},
        {Doc("", Carrier(kLan3, Vlan("A", 4096))),
         "/adapterVlans/0/vlans/0/id: must be a whole number from 1 to 4095"},
        {Doc("", Carrier(kLan3, Vlan("A", 5) + "," + Vlan("a", 6))),
         "/adapterVlans/0/vlans/1/name: is the name of another VLAN over the same parent"},
        {Doc("", Carrier(kLan3, Vlan("A", 5) + "," + Vlan("B", 5))),
         "/adapterVlans/0/vlans/1/id: is the id of another VLAN over the same parent"},
        {Doc("", R"({"adapter":{"connectionName":"Local Area Connection 3"},"vlans":[],"x":1})"),
         "/adapterVlans/0/x: is not a field of this object"},
        {std::string(kMaxDocumentBytes + 1, ' '), "the file is larger than 1 MiB"},
        // A key with a line break stays on the one line of the message.
        {R"({"schema":"qvteam-state","version":1,"teams":[],"adapterVlans":[],"a\nb":1})",
         "/a?b: is not a field of this object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document.substr(0, 200));
        const std::string file = Write(c.document);
        const Ran plan = Qvteam({"plan", file});
        EXPECT_EQ(plan.status, kExitError);
        EXPECT_EQ(plan.output.err, "qvteam: " + file + ": " + c.fault + "\n");
        EXPECT_EQ(plan.output.out, "");
        const Ran apply = Qvteam({"apply", "--json", file});
        EXPECT_EQ(apply.status, kExitError);
        const Json report = Json::parse(apply.output.out);
        EXPECT_EQ(report["changed"], false);
        EXPECT_EQ(report["failed"], true);
        EXPECT_EQ(report["steps"], Json::array());
        EXPECT_EQ(qv::testing::ExportRegistry(), before);
    }
    // Only a regular file is read: a directory, a pipe or a device named could hold the read.
    for (const std::string& path :
         {(machine_.scratch().path() / "missing.json").string(), machine_.scratch().path().string()}) {
        const Ran plan = Qvteam({"plan", path});
        EXPECT_EQ(plan.status, kExitError);
        EXPECT_EQ(plan.output.err, "qvteam: " + path + ": is not a file that can be read\n");
    }
}

// Every change of a team goes through its removal: its VLANs go first, the new teams and their
// VLANs come last; a second run finds nothing to do.
TEST_F(PlanApplyTest, PlansInASafeOrderAppliesAndThenHasNothingToDo) {
    MakeTeamAndVlans();
    const std::string file =
        Write(Doc(Team("Team0", "lacp", kLan2 + "," + kLan1, Vlan("Ten", 10) + "," + Vlan("Twenty", 20)) +
                  "," + Team("Team1", "tlb", kLan3 + "," + kLan4)));
    const Ran plan = Qvteam({"plan", "--json", file});
    EXPECT_EQ(plan.status, 2) << plan.output.err;
    std::vector<std::string> actions;
    const Json planned = Json::parse(plan.output.out);
    for (const Json& step : planned["steps"]) {
        actions.push_back(step["action"].get<std::string>() + " " +
                          (step.contains("vlan") ? step["vlan"]["name"] : step["team"]).get<std::string>());
    }
    EXPECT_EQ(actions, (std::vector<std::string>{"remove-vlan Ten", "remove-vlan Thirty", "remove-team Team0",
                                                 "create-team Team0", "create-team Team1", "add-vlan Ten",
                                                 "add-vlan Twenty"}));

    const Ran apply = Qvteam({"apply", file});
    EXPECT_EQ(apply.status, kExitOk) << apply.output.out;
    EXPECT_NE(apply.output.out.find("Applied: 7 changes.\n"), std::string::npos) << apply.output.out;
    const Json exported = Json::parse(Export());
    EXPECT_EQ(exported["teams"], Json::parse(Doc(Team("Team0", "lacp", kLan2 + "," + kLan1,
                                                      Vlan("Ten", 10) + "," + Vlan("Twenty", 20)) +
                                                 "," + Team("Team1", "tlb", kLan3 + "," + kLan4)))["teams"]);
    EXPECT_EQ(exported["adapterVlans"], Json::array());

    const Ran again = Qvteam({"apply", "--json", file});
    EXPECT_EQ(again.status, kExitOk);
    EXPECT_EQ(Json::parse(again.output.out), Json::parse(R"({"changed":false,"failed":false,"steps":[]})"));
    const Ran nothing = Qvteam({"plan", file});
    EXPECT_EQ(nothing.status, kExitOk);
    EXPECT_EQ(nothing.output.out, "No changes: the machine is as the document describes it.\n");
}

// A team and VLANs that apply makes are what QvTeamCmd makes: the two machines' registries differ
// only in the GUIDs each gave its new adapters.
TEST_F(PlanApplyTest, MakesWhatQvTeamCmdMakes) {
    const std::string empty = qv::testing::ExportRegistry();
    const std::string file = Write(Doc(Team("Team0", "active-backup", kLan2 + "," + kLan1, Vlan("Ten", 10)),
                                       Carrier(kLan3, Vlan("Thirty", 30))));
    ASSERT_EQ(Qvteam({"apply", file}).status, kExitOk);
    const std::string byQvteam = qv::testing::ExportRegistry();

    qv::testing::TempMachine other;
    ASSERT_TRUE(other.ok());
    MakeTeamAndVlans();
    const std::vector<std::string> byQvTeamCmd = Normalised(qv::testing::ExportRegistry(), empty);
    const std::vector<std::string> byApply = Normalised(byQvteam, empty);
    std::vector<std::string> onlyOne;
    std::set_symmetric_difference(byQvTeamCmd.begin(), byQvTeamCmd.end(), byApply.begin(), byApply.end(),
                                  std::back_inserter(onlyOne));
    EXPECT_EQ(onlyOne, std::vector<std::string>());
    machine_.Select();
}

// The third of five steps fails: the two before it are undone in reverse order, the two after it
// never run, and the machine's document is the one before.
TEST_F(PlanApplyTest, AFailedStepUndoesTheStepsBeforeIt) {
    MakeTeamAndVlans();
    const std::string before = Export();
    DocumentFault fault;
    MachineState state;
    std::string error;
    ASSERT_TRUE(ReadMachineState(&state, &error)) << error;
    const auto document = ReadDocument(Doc(Team("Team0", "lacp", kLan2 + "," + kLan1, Vlan("Ten", 10)),
                                           Carrier(kLan3, Vlan("Thirty", 30) + "," + Vlan("Forty", 40))),
                                       &fault);
    ASSERT_TRUE(document) << fault.message;
    std::vector<Step> steps;
    ASSERT_TRUE(MakePlan(*document, state, &steps, &fault)) << fault.message;
    ASSERT_EQ(steps.size(), 5u);  // remove Ten and Team0; create Team0; add Ten and Forty
    int calls = 0;
    const auto failThird = [&](const std::vector<std::string>& args, std::string* output) {
        if (++calls == 3) {
            *output = "Injected failure\n";
            return 0xCE000207u;
        }
        return RunQvTeamCmdInProcess(args, output);
    };
    const ApplyReport report = ApplySteps(steps, failThird);
    EXPECT_TRUE(report.failed);
    EXPECT_FALSE(report.changed);
    std::vector<std::string> results;
    for (const StepReport& step : report.steps) results.emplace_back(ResultWord(step.result));
    EXPECT_EQ(results, (std::vector<std::string>{"undone", "undone", "failed", "not run", "not run"}));
    EXPECT_EQ(report.steps[2].why, "Injected failure");
    EXPECT_EQ(Export(), before);
}

// A server's registry as `reg export HKLM\SYSTEM` writes it (UTF-16 with a byte order mark, CRLF,
// SYSTEM only), with connection names of its own and a device that no simulated inventory has,
// imported into an empty scratch machine: plan and apply run there as on the server.
TEST_F(PlanApplyTest, RehearsesOnAServersOwnRegistryExport) {
    const std::string server =
        std::regex_replace(qv::testing::ExportRegistry(),
                           std::regex("\"Name\"=\"Local Area Connection( 2)?\""), "\"Name\"=\"Backbone$1\"");
    std::string system = "Windows Registry Editor Version 5.00\r\n\r\n";
    bool inSystem = false;
    std::istringstream lines(server);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("[")) inSystem = line.starts_with("[HKEY_LOCAL_MACHINE\\SYSTEM");
        if (inSystem) system += line + "\r\n";
    }
    system +=
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1D0F&DEV_0042\\3&11583659&0&10]\r\n"
        "\"DeviceDesc\"=\"Fabrikam RAID Controller\"\r\n"
        "\"ClassGUID\"=\"{4D36E97B-E325-11CE-BFC1-08002BE10318}\"\r\n\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char16_t unit : FromUtf8(system)) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }

    sim::InventoryOptions empty;
    empty.cards = 0;
    empty.otherVendorAdapter = false;
    qv::testing::TempMachine scratch(empty);
    ASSERT_TRUE(scratch.ok());
    std::string error;
    ASSERT_TRUE(sim::ImportRegFile(utf16, &error)) << error;
    const std::string file = Write(
        Doc(Team("Backbone", "lacp",
                 R"({"connectionName":"Backbone"},{"description":"Quorvex n5 Gigabit Server Adapter #2"})",
                 Vlan("Storage", 300)),
            Carrier(R"({"description":"Northwind NW-1000 Gigabit Ethernet Controller"})", Vlan("Mgmt", 5))));
    const Ran plan = Qvteam({"plan", file});
    EXPECT_EQ(plan.status, 2) << plan.output.err;
    EXPECT_EQ(plan.output.out,
              "3 changes to make:\n"
              "  1. create team \"Backbone\" (lacp) of \"Backbone\", \"Backbone 2\"\n"
              "  2. add VLAN \"Storage\" (id 300) over team \"Backbone\"\n"
              "  3. add VLAN \"Mgmt\" (id 5) over adapter \"Local Area Connection 5\"\n");
    EXPECT_EQ(Qvteam({"apply", file}).status, kExitOk);
    const Ran again = Qvteam({"apply", file});
    EXPECT_EQ(again.status, kExitOk);
    EXPECT_EQ(again.output.out, "No changes: the machine is as the document describes it.\n");
    machine_.Select();
}

}  // namespace
}  // namespace qv::qvteam
