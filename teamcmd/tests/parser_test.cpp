// The option parser: every rule, message and status of the command line, checked on the record,
// the status and the console text that parsing produces.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "arg_parser.h"
#include "golden.h"
#include "qv/teamlib/text.h"

namespace qv::teamcmd {
namespace {

using testing::Golden;

std::unique_ptr<ParseResult> Parse(std::initializer_list<std::u16string> args) {
    const std::vector<std::u16string> vector(args);
    return ParseCommandLine(vector);
}

std::string Name(const char16_t* slot) {
    return ToUtf8(slot);
}

void ExpectUsageError(const ParseResult& result, const std::string& message = "") {
    EXPECT_EQ(result.status, QV_USAGE_ERROR);
    EXPECT_EQ(result.output, message + Golden("usage.txt"));
}

void ExpectAccepted(const ParseResult& result, uint32_t flags) {
    EXPECT_EQ(result.status, 0u);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.record.flags, flags);
}

TEST(ParserOptions, UnknownLettersAndHelpPrintUsage) {
    for (const char16_t* option : {u"-h", u"-x", u"/H", u"-", u"/?", u"-help"}) {
        SCOPED_TRACE(ToUtf8(option));
        ExpectUsageError(*Parse({option}));
    }
}

TEST(ParserOptions, OnlyTheSecondCharacterCountsExceptForCreate) {
    ExpectAccepted(*Parse({u"-list"}), OPT_LIST);
    ExpectAccepted(*Parse({u"/L"}), OPT_LIST);
    ExpectUsageError(*Parse({u"-create", u"A", u"B", u"1"}));
}

TEST(ParserOptions, ParsingStopsAtTheFirstNonOption) {
    ExpectAccepted(*Parse({u"-l", u"extra", u"-x"}), OPT_LIST);
    ExpectAccepted(*Parse({u"word", u"-x"}), 0);
}

TEST(ParserOptions, NoArgumentsSelectNothing) {
    ExpectAccepted(*Parse({}), 0);
}

TEST(ParserOptions, ANulEndsAnArgument) {
    const auto result = Parse({u"-f", std::u16string(u"lo\0g", 4), u"-l"});
    ExpectAccepted(*result, OPT_LOG | OPT_LIST);
    EXPECT_EQ(Name(result->record.logFileName), "lo");
}

TEST(ParserCreate, NeedsATeamNameWhenTheModeEndsTheLine) {
    const auto result = Parse({u"-c", u"A", u"B", u"1"});
    EXPECT_EQ(result->status, QV_USAGE_ERROR);
    EXPECT_EQ(result->output, "\nError: Team Name not specified\n");

    const auto logged = Parse({u"-f", u"log.txt", u"-c", u"A", u"B", u"1"});
    EXPECT_EQ(logged->status, QV_USAGE_ERROR);
    EXPECT_EQ(logged->output, "\nError: Team Name not specified\n");
}

TEST(ParserCreate, TeamNameBeforeOrAfterTheGroup) {
    for (const auto& result :
         {Parse({u"-n", u"T", u"-c", u"A", u"B", u"1"}), Parse({u"-c", u"A", u"B", u"1", u"-n", u"T"})}) {
        ExpectAccepted(*result, OPT_CREATE | OPT_TEAM_NAME);
        EXPECT_EQ(result->record.teamModeNumber, 1);
        EXPECT_EQ(Name(result->record.teamName), "T");
        EXPECT_EQ(Name(result->record.names[0]), "A");
        EXPECT_EQ(Name(result->record.names[1]), "B");
        EXPECT_EQ(Name(result->record.names[2]), "");
    }
}

TEST(ParserCreate, LogAndTeamNameMayNotBothPrecedeIt) {
    ExpectUsageError(*Parse({u"-f", u"log.txt", u"-n", u"T", u"-c", u"A", u"B", u"1"}));

    const auto result = Parse({u"-n", u"T", u"-c", u"A", u"B", u"1", u"-f", u"log.txt"});
    ExpectAccepted(*result, OPT_CREATE | OPT_TEAM_NAME | OPT_LOG);
    EXPECT_EQ(Name(result->record.logFileName), "log.txt");
}

TEST(ParserCreate, LogAfterTheModeSkipsTheTeamNameRule) {
    ExpectAccepted(*Parse({u"-c", u"A", u"B", u"1", u"-f", u"log.txt"}), OPT_CREATE | OPT_LOG);
    ExpectAccepted(*Parse({u"-c", u"A", u"B", u"1", u"more"}), OPT_CREATE);
}

TEST(ParserCreate, OnlyASingleDigitOneToFourIsTheMode) {
    const auto result = Parse({u"-n", u"T", u"-c", u"A", u"5", u"B", u"2"});
    ExpectAccepted(*result, OPT_CREATE | OPT_TEAM_NAME);
    EXPECT_EQ(result->record.teamModeNumber, 2);
    EXPECT_EQ(Name(result->record.names[0]), "A");
    EXPECT_EQ(Name(result->record.names[1]), "5");
    EXPECT_EQ(Name(result->record.names[2]), "B");

    const auto four = Parse({u"-n", u"T", u"-c", u"A", u"0", u"14", u"-f", u"4"});
    ExpectAccepted(*four, OPT_CREATE | OPT_TEAM_NAME);
    EXPECT_EQ(four->record.teamModeNumber, 4);
    EXPECT_EQ(Name(four->record.names[3]), "-f");
}

TEST(ParserCreate, RefusedForms) {
    ExpectUsageError(*Parse({u"-c", u"A", u"1"}));                    // fewer than 4 arguments
    ExpectUsageError(*Parse({u"-n", u"T", u"-c", u"A", u"B"}));       // no mode with other options
    ExpectUsageError(*Parse({u"-l", u"-c", u"A", u"B", u"1"}));       // after -l
    ExpectUsageError(*Parse({u"-n", u"T", u"-c", u"A", u"", u"1"}));  // empty name
    ExpectUsageError(*Parse({u"-n", u"T", u"-c", std::u16string(260, u'a'), u"B", u"1"}));
    ExpectUsageError(*Parse({u"-n", u"T", u"-c", u"A", u"B", u"1", u"-c", u"C", u"D", u"2"}));
}

TEST(ParserCreate, WithoutModeAndWithoutOtherOptionsSelectsNothing) {
    ExpectAccepted(*Parse({u"-c", u"A", u"B", u"C"}), 0);
}

TEST(ParserCreate, NamesOfUpTo259Characters) {
    const std::u16string longest(259, u'n');
    const auto result = Parse({u"-n", longest, u"-c", longest, u"B", u"3"});
    ExpectAccepted(*result, OPT_CREATE | OPT_TEAM_NAME);
    EXPECT_EQ(std::u16string(result->record.names[0]), longest);
    EXPECT_EQ(std::u16string(result->record.teamName), longest);
}

TEST(ParserList, CombinesOnlyWithLog) {
    const auto result = Parse({u"-f", u"log.txt", u"-l"});
    ExpectAccepted(*result, OPT_LOG | OPT_LIST);
    EXPECT_EQ(Name(result->record.logFileName), "log.txt");
    ExpectAccepted(*Parse({u"-l", u"-f", u"log.txt"}), OPT_LIST | OPT_LOG);
    ExpectUsageError(*Parse({u"-n", u"T", u"-l"}));
    ExpectUsageError(*Parse({u"-d", u"V", u"-l"}));
}

TEST(ParserValueOptions, NeedOneArgumentOfValidLength) {
    ExpectUsageError(*Parse({u"-f"}));
    ExpectUsageError(*Parse({u"-n"}));
    ExpectUsageError(*Parse({u"-f", u""}));
    ExpectUsageError(*Parse({u"-n", std::u16string(260, u'x')}));
    const auto result = Parse({u"-n", u"-x"});  // the value is taken as it is
    ExpectAccepted(*result, OPT_TEAM_NAME);
    EXPECT_EQ(Name(result->record.teamName), "-x");
}

TEST(ParserAddVlan, AcceptsIdsOneTo4095) {
    for (const char16_t* id : {u"1", u"4095", u" +12abc"}) {
        SCOPED_TRACE(ToUtf8(id));
        const auto result = Parse({u"-a", u"Team0", u"V1", id, u"-x"});
        ExpectAccepted(*result, OPT_ADD_VLAN);
        EXPECT_EQ(Name(result->record.names[0]), "Team0");
        EXPECT_EQ(Name(result->record.vlanName), "V1");
    }
    EXPECT_EQ(Parse({u"-a", u"T", u"V", u"4095"})->record.vlanId, 4095u);
    EXPECT_EQ(Parse({u"-a", u"T", u"V", u" +12abc"})->record.vlanId, 12u);
}

TEST(ParserAddVlan, RefusesIdsOutOfRange) {
    const std::string message = "Add Vlan option, vlan id not valid. Should be in 1-4095 range\n";
    for (const char16_t* id : {u"0", u"4096", u"-1", u"abc", u"99999999999", u"-4294967295"}) {
        SCOPED_TRACE(ToUtf8(id));
        ExpectUsageError(*Parse({u"-a", u"Team0", u"V1", id}), message);
    }
}

TEST(ParserAddVlan, ArgumentChecks) {
    ExpectUsageError(*Parse({u"-a", u"Team0", u"V1"}), "Add Vlan option, Incorrect number of parameters\n");
    ExpectUsageError(*Parse({u"-a"}), "Add Vlan option, Incorrect number of parameters\n");
    ExpectUsageError(*Parse({u"-a", u"Team0", u" V1", u"5"}),
                     "Add Vlan option, Extra checks failed, len1 = 3\n");
    ExpectUsageError(*Parse({u"-a", u"Team0", u"\tVlan", u"5"}),
                     "Add Vlan option, Extra checks failed, len1 = 5\n");
    ExpectUsageError(*Parse({u"-a", u"", u"V1", u"5"}), "Add Vlan option, Extra checks failed, len1 = 0\n");
    ExpectUsageError(*Parse({u"-a", u"Team0", std::u16string(260, u'v'), u"5"}),
                     "Add Vlan option, Getting string length failed\n");
}

TEST(ParserDeleteVlans, AllOrNames) {
    const auto all = Parse({u"-d", u"ALL"});
    ExpectAccepted(*all, OPT_DEL_ALL_VLANS);
    EXPECT_EQ(all->record.numDeleteNames, 1);

    const auto named = Parse({u"-d", u"V1", u"/V2", u"-f", u"log.txt"});
    ExpectAccepted(*named, OPT_DEL_VLAN | OPT_LOG);
    EXPECT_EQ(named->record.numDeleteNames, 2);
    EXPECT_EQ(Name(named->record.names[1]), "/V2");

    ExpectAccepted(*Parse({u"-d", u"V1", u"all"}), OPT_DEL_VLAN);
}

TEST(ParserDeleteVlans, AloneSelectsNothing) {
    ExpectAccepted(*Parse({u"-d"}), 0);
    ExpectAccepted(*Parse({u"-d", u"-f", u"log.txt"}), OPT_LOG);
}

TEST(ParserDeleteVlans, LengthMessages) {
    ExpectUsageError(*Parse({u"-d", u"V1", u""}), "Add Vlan option, Extra checks failed, len1 = 0\n");
    ExpectUsageError(*Parse({u"-d", std::u16string(300, u'v')}),
                     "Add Vlan option, Getting string length failed\n");
}

// The forms of -r, with and without a log option anywhere on the line.
TEST(ParserRemove, Forms) {
    struct Form {
        std::initializer_list<std::u16string> args;
        uint32_t flags;
        std::vector<std::string> names;
        std::string log;
    };
    const Form forms[] = {
        {{u"-r"}, OPT_REMOVE_ALL, {}, ""},
        {{u"-r", u"T1", u"T2"}, OPT_REMOVE, {"T1", "T2"}, ""},
        {{u"-r", u"-f", u"log.txt"}, OPT_REMOVE_ALL | OPT_LOG, {}, "log.txt"},
        {{u"-r", u"T1", u"-f", u"log.txt"}, OPT_REMOVE | OPT_LOG, {"T1"}, "log.txt"},
        {{u"-r", u"T1", u"T2", u"-f", u"log.txt"}, OPT_REMOVE | OPT_LOG, {"T1", "T2"}, "log.txt"},
        {{u"-f", u"log.txt", u"-r"}, OPT_REMOVE_ALL | OPT_LOG, {}, "log.txt"},
        {{u"-n", u"X", u"-r"}, OPT_REMOVE | OPT_TEAM_NAME, {}, ""},
        {{u"-r", u"-x"}, OPT_REMOVE, {"-x"}, ""},
    };
    for (const Form& form : forms) {
        const auto result = Parse(form.args);
        SCOPED_TRACE(::testing::PrintToString(result->record.flags));
        ExpectAccepted(*result, form.flags);
        for (size_t i = 0; i < form.names.size(); ++i) {
            EXPECT_EQ(Name(result->record.names[i]), form.names[i]);
        }
        EXPECT_EQ(Name(result->record.names[form.names.size()]), "");
        EXPECT_EQ(Name(result->record.logFileName), form.log);
    }
}

TEST(ParserRemove, RefusedForms) {
    ExpectUsageError(*Parse({u"-f", u"log.txt", u"-r", u"T1"}));
    ExpectUsageError(*Parse({u"-l", u"-f", u"log.txt", u"-r"}));
    ExpectUsageError(*Parse({u"-r", u"-x", u"-f", u"log.txt"}));
    ExpectUsageError(*Parse({u"-r", u"-x", u"-f"}));
    ExpectUsageError(*Parse({u"-r", u"-f"}));
    ExpectUsageError(*Parse({u"-r", u"-f", u""}));
}

TEST(ParserRemove, TeamNamesAreMeasuredInBytes) {
    const std::u16string ok(129, u't');
    const auto result = Parse({u"-r", ok});
    ExpectAccepted(*result, OPT_REMOVE);
    EXPECT_EQ(std::u16string(result->record.names[0]), ok);

    ExpectUsageError(*Parse({u"-r", std::u16string(130, u't')}));
    ExpectUsageError(*Parse({u"-r", std::u16string(130, u't'), u"-f", u"log.txt"}));
    ExpectUsageError(*Parse({u"-r", u""}));
}

TEST(ParserNames, SixteenSlots) {
    const std::string message = "Too many names: at most 16 can be given\n";
    std::vector<std::u16string> sixteen;
    for (int i = 0; i < 16; ++i) {
        sixteen.push_back(U16Format(u"N%d", i));
    }
    auto with = [&](std::initializer_list<std::u16string> before, bool seventeenth,
                    std::initializer_list<std::u16string> after) {
        std::vector<std::u16string> args(before);
        args.insert(args.end(), sixteen.begin(), sixteen.end());
        if (seventeenth) {
            args.push_back(u"N16");
        }
        args.insert(args.end(), after);
        return ParseCommandLine(args);
    };
    ExpectAccepted(*with({u"-n", u"T", u"-c"}, false, {u"1"}), OPT_TEAM_NAME | OPT_CREATE);
    ExpectAccepted(*with({u"-r"}, false, {}), OPT_REMOVE);
    ExpectAccepted(*with({u"-d"}, false, {}), OPT_DEL_VLAN);
    EXPECT_EQ(with({u"-d"}, false, {})->record.numDeleteNames, 16);

    ExpectUsageError(*with({u"-n", u"T", u"-c"}, true, {u"1"}), message);
    ExpectUsageError(*with({u"-r"}, true, {}), message);
    ExpectUsageError(*with({u"-r"}, true, {u"-f", u"log.txt"}), message);
    ExpectUsageError(*with({u"-d"}, true, {}), message);
}

}  // namespace
}  // namespace qv::teamcmd
