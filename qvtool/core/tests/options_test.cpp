// The command line: scanner messages, each option's argument rules, the parse-time endings and
// the device string checks.
#include "qv/qvtool/options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qv/qvtool/number_text.h"
#include "qv/qvtool/qset_params.h"
#include "qv/qvtool/usage.h"

namespace qv::qvtool {
namespace {

ParseResult Parse(std::vector<std::string> words, const char* invocation = "qvtool") {
    std::vector<const char*> argv{invocation};
    for (const auto& w : words) argv.push_back(w.c_str());
    static std::vector<std::string> keep;  // the result refers to nothing in argv, but be safe
    keep = std::move(words);
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

std::string ReadGoldenUsage() {
    std::ifstream in(QV_SOURCE_DIR "/qvtool/core/tests/golden/usage.txt", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kUsage = ReadGoldenUsage();

TEST(UsageScreen, MatchesTheGoldenTextOfFiftyLines) {
    ASSERT_FALSE(kUsage.empty());
    EXPECT_EQ(std::string(kUsageText), kUsage);
    int lines = 0;
    for (char c : kUsage) lines += c == '\n';
    EXPECT_EQ(lines, 52);  // fifty lines, the first opened by a line feed, line 31 closed by two
}

TEST(OptionScanner, ReportsIllegalOptionsWithTheInvocationName) {
    auto r = Parse({"-x"}, "./bin/qvtool");
    EXPECT_EQ(r.err, "./bin/qvtool: illegal option -- x\n");
    EXPECT_EQ(r.out, kUsage);
    EXPECT_TRUE(r.endRun);
    EXPECT_EQ(r.exitStatus, 1);

    r = Parse({"-d", "nic0", "-:"});
    EXPECT_EQ(r.err, "qvtool: illegal option -- :\n");
    EXPECT_EQ(r.exitStatus, 1);

    r = Parse({"-fz"});  // inside a group of letters
    EXPECT_EQ(r.err, "qvtool: illegal option -- z\n");
}

TEST(OptionScanner, ReportsAMissingArgument) {
    auto r = Parse({"-d", "nic0", "-r"});
    EXPECT_EQ(r.err, "qvtool: option requires an argument -- r\n");
    EXPECT_EQ(r.out, kUsage);
    EXPECT_EQ(r.exitStatus, 1);

    r = Parse({"-h"});
    EXPECT_EQ(r.err, "qvtool: option requires an argument -- h\n");
    EXPECT_EQ(r.out, kUsage);

    r = Parse({"-h", "x"});  // -h with its argument: usage, status 1, no message
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kUsage);
    EXPECT_EQ(r.exitStatus, 1);
}

TEST(OptionScanner, TakesAttachedArgumentsAndGroupedFlags) {
    auto r = Parse({"-dnic1", "-r10", "-fv"});
    EXPECT_EQ(r.options.device, "nic1");
    EXPECT_EQ(r.options.instance, 1);
    EXPECT_TRUE(r.options.reg.read);
    EXPECT_EQ(r.options.reg.offset, 0x10u);
    EXPECT_TRUE(r.options.expandFields);
    EXPECT_TRUE(r.options.versions);
    EXPECT_FALSE(r.endRun);
}

TEST(OptionScanner, StopsAtTheFirstNonOptionWordAndAfterDoubleDash) {
    auto r = Parse({"-d", "nic0", "-r", "10", "5", "-f"});
    EXPECT_TRUE(r.options.reg.write);
    EXPECT_FALSE(r.options.reg.read);
    EXPECT_EQ(r.options.reg.offset, 0x10u);
    EXPECT_EQ(r.options.reg.value, 5u);
    EXPECT_FALSE(r.options.expandFields);

    r = Parse({"-d", "nic0", "--", "-v"});
    EXPECT_FALSE(r.options.versions);
    r = Parse({"-d", "nic0", "-", "-v"});
    EXPECT_FALSE(r.options.versions);
}

TEST(RegisterOption, TellsBlockNamesOffsetsAndWrites) {
    auto r = Parse({"-d", "nic0", "-r", "cim"});  // a block, not the number C
    EXPECT_TRUE(r.options.reg.read);
    EXPECT_EQ(r.options.reg.target, RegisterTarget::kBlockName);
    EXPECT_EQ(r.options.reg.blockName, "cim");

    r = Parse({"-d", "nic0", "-r", "CIM", "5"});  // block names ignore case and take no value
    EXPECT_EQ(r.options.reg.target, RegisterTarget::kBlockName);
    EXPECT_FALSE(r.options.reg.write);

    r = Parse({"-d", "nic0", "-r", "all"});
    EXPECT_EQ(r.options.reg.target, RegisterTarget::kAllBlocks);

    r = Parse({"-d", "nic0", "-r", "ALL"});  // "all" is matched as written; this is the number A
    EXPECT_EQ(r.options.reg.target, RegisterTarget::kOffset);
    EXPECT_EQ(r.options.reg.offset, 0xAu);

    r = Parse({"-d", "nic0", "-r", "mc7"});  // no block has this name and it is not a number
    EXPECT_EQ(r.options.reg.target, RegisterTarget::kBlockName);
    EXPECT_EQ(r.options.reg.blockName, "mc7");

    r = Parse({"-d", "nic0", "-r", "0x6dc", "zz"});  // a word that is no number is no value
    EXPECT_TRUE(r.options.reg.read);
    EXPECT_EQ(r.options.reg.target, RegisterTarget::kOffset);
    EXPECT_EQ(r.options.reg.offset, 0x6DCu);

    r = Parse({"-d", "nic0", "-r", "-5"});
    EXPECT_FALSE(r.options.reg.read);
    EXPECT_FALSE(r.options.reg.write);
}

TEST(RegisterOption, FieldFlagMayComeBeforeOrAfter) {
    for (const auto& words : std::vector<std::vector<std::string>>{{"-d", "nic0", "-f", "-r", "10"},
                                                                   {"-d", "nic0", "-r", "10", "-f"}}) {
        auto r = Parse(words);
        EXPECT_TRUE(r.options.reg.read);
        EXPECT_EQ(r.options.reg.offset, 0x10u);
        EXPECT_TRUE(r.options.expandFields);
    }
}

TEST(AccessOptions, ReadOrWriteByTheWordAfterTheOffset) {
    auto r = Parse({"-d", "nic0", "-i", "10", "-f"});
    EXPECT_TRUE(r.options.config.read);
    EXPECT_FALSE(r.options.config.write);
    EXPECT_TRUE(r.options.expandFields);

    r = Parse({"-d", "nic0", "-c", "10", "5"});
    EXPECT_TRUE(r.options.cimControl.write);
    EXPECT_EQ(r.options.cimControl.value, 5u);

    r = Parse({"-d", "nic0", "-n", "0x20"});
    EXPECT_TRUE(r.options.cimQueue.read);
    EXPECT_EQ(r.options.cimQueue.offset, 0x20u);

    // An offset that is no number makes the option ignored instead of an access at offset 0.
    r = Parse({"-d", "nic0", "-c", "zz", "5"});
    EXPECT_FALSE(r.options.cimControl.read);
    EXPECT_FALSE(r.options.cimControl.write);
    r = Parse({"-d", "nic0", "-i", "-4"});
    EXPECT_FALSE(r.options.config.read);
}

TEST(MdioOption, DeviceMayBeXAndEveryWordIsChecked) {
    auto r = Parse({"-d", "nic0", "-l", "0", "x", "1"});
    EXPECT_TRUE(r.options.mdio.read);
    EXPECT_EQ(r.options.mdio.device, 0xFFFFFFFFu);
    EXPECT_EQ(r.options.mdio.reg, 1u);

    r = Parse({"-d", "nic0", "-l", "1", "3", "20", "abcd"});
    EXPECT_TRUE(r.options.mdio.write);
    EXPECT_EQ(r.options.mdio.port, 1u);
    EXPECT_EQ(r.options.mdio.device, 3u);
    EXPECT_EQ(r.options.mdio.reg, 0x20u);
    EXPECT_EQ(r.options.mdio.value, 0xABCDu);

    for (const auto& words : std::vector<std::vector<std::string>>{
             {"-l", "1", "q", "20"},        // device neither number nor x
             {"-l", "1", "3"},              // no register
             {"-l", "1", "3", "-f"},        // register is the next option
             {"-l", "1", "3", "20", "zz"},  // value that is no number: nothing requested
             {"-l", "-1", "3", "20"},       // port begins with a dash
             {"-l", "g", "3", "20"}}) {     // port that is no number
        std::vector<std::string> all{"-d", "nic0"};
        all.insert(all.end(), words.begin(), words.end());
        r = Parse(all);
        EXPECT_FALSE(r.options.mdio.read) << words[1] << words.size();
        EXPECT_FALSE(r.options.mdio.write) << words[1] << words.size();
    }
}

TEST(StateOption, NeedsAHexadecimalIndex) {
    auto r = Parse({"-d", "nic0", "-s", "tcb", "1f"});
    EXPECT_TRUE(r.options.state.requested);
    EXPECT_EQ(r.options.state.kind, "tcb");
    EXPECT_EQ(r.options.state.index, 0x1Fu);

    for (const auto& words : std::vector<std::vector<std::string>>{{"-d", "nic0", "-s", "tcb"},
                                                                   {"-d", "nic0", "-s", "tcb", "-f"},
                                                                   {"-d", "nic0", "-s", "tcb", "zz"}}) {
        r = Parse(words);
        EXPECT_FALSE(r.options.state.requested);
        EXPECT_EQ(r.out, "No index given\n");
        EXPECT_FALSE(r.endRun);
    }
}

TEST(DescriptorOption, NeedsIndexAndCountOrEndsTheRun) {
    auto r = Parse({"-d", "nic0", "-Q", "tun0", "5"});
    EXPECT_EQ(r.err, "Need queue index and count\n");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.endRun);
    EXPECT_EQ(r.exitStatus, 1);

    r = Parse({"-d", "nic0", "-Q", "flq1", "5", "3"});
    EXPECT_TRUE(r.options.descriptors.requested);
    EXPECT_EQ(r.options.descriptors.queue, "flq1");
    EXPECT_EQ(r.options.descriptors.start, 5);
    EXPECT_EQ(r.options.descriptors.count, 3);
}

TEST(QsetParamOption, ParseTimeErrorsEndWithStatus1) {
    struct Case {
        std::vector<std::string> words;
        std::string out;
    };
    const Case cases[] = {
        {{"-d", "nic0", "-m", "qs8", "holdoff"}, "qset instance(8) is wrong(use qs0-qs7)\n"},
        {{"-d", "nic0", "-m", "qs-1", "holdoff"}, "qset instance(ffffffff) is wrong(use qs0-qs7)\n"},
        {{"-d", "nic0", "-m", "xs0", "holdoff"}, "qset is wrong\n"},
        {{"-d", "nic0", "-m", "qs0"}, " No Parameter value\n"},
        {{"-d", "nic0", "-m", "qs0", "hold"}, "qset parameter is wrong\n"},
        {{"-d", "nic0", "-m", "qs0", "LIST"},
         "\tQset Paramter list:\n\t-------------------\n\tholdoff \tmaxrxpkts \tcpu_affinity \tdefault_txq \n"
         "\tpercent_below_dpc_threshold "},
    };
    for (const Case& c : cases) {
        auto r = Parse(c.words);
        EXPECT_EQ(r.out, c.out) << c.words[3];
        EXPECT_TRUE(r.endRun);
        EXPECT_EQ(r.exitStatus, 1);
    }
}

TEST(QsetParamOption, GetOrSetOfANamedParameter) {
    auto r = Parse({"-d", "nic0", "-m", "qs3", "HOLDOFF"});
    EXPECT_TRUE(r.options.qsetParam.requested);
    EXPECT_EQ(r.options.qsetParam.qset, 3u);
    EXPECT_EQ(r.options.qsetParam.index, 0u);
    EXPECT_FALSE(r.options.qsetParam.set);

    r = Parse({"-d", "nic0", "-m", "qs7", "percent_below_dpc_threshold", "1f"});
    EXPECT_EQ(r.options.qsetParam.index, 4u);
    EXPECT_TRUE(r.options.qsetParam.set);
    EXPECT_EQ(r.options.qsetParam.value, 0x1Fu);

    r = Parse({"-d", "nic0", "-m", "qs0", "cpu_affinity", "-v"});  // an option word is no value
    EXPECT_TRUE(r.options.qsetParam.requested);
    EXPECT_FALSE(r.options.qsetParam.set);
}

TEST(QsetParamIndex, MatchesWholeNamesIgnoringCase) {
    EXPECT_EQ(QsetParamIndex("HOLDOFF"), 0);
    EXPECT_EQ(QsetParamIndex("Default_TxQ"), 3);
    EXPECT_EQ(QsetParamIndex("hold"), -1);
    EXPECT_EQ(QsetParamIndex("holdoffs"), -1);
    EXPECT_EQ(QsetParamIndex(""), -1);
}

TEST(BlinkOption, NeedsADecimalNumber) {
    auto r = Parse({"-d", "nic0", "-b", "12"});
    EXPECT_TRUE(r.options.blink.requested);
    EXPECT_EQ(r.options.blink.seconds, 12);

    r = Parse({"-d", "nic0", "-b", "abc"});
    EXPECT_FALSE(r.options.blink.requested);
    EXPECT_EQ(r.out, "Invalid Parameter: See Usage\n");
    EXPECT_FALSE(r.endRun);

    r = Parse({"-d", "nic0", "-b", "99999999999"});  // does not fit
    EXPECT_FALSE(r.options.blink.requested);
    EXPECT_EQ(r.out, "Invalid Parameter: See Usage\n");

    r = Parse({"-d", "nic0", "-b", "-3"});
    EXPECT_FALSE(r.options.blink.requested);
    EXPECT_EQ(r.out, "");
}

TEST(FileOptions, TraceFileIsEchoedAndOptionsAreNoFileNames) {
    auto r = Parse({"-d", "nic0", "-o", "trace.txt"});
    EXPECT_TRUE(r.options.trace.requested);
    EXPECT_EQ(r.options.trace.file, "trace.txt");
    EXPECT_EQ(r.out, "trace.txt");

    r = Parse({"-d", "nic0", "-o", "-v"});
    EXPECT_TRUE(r.options.trace.requested);
    EXPECT_EQ(r.options.trace.file, "");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.options.versions);

    r = Parse({"-d", "nic0", "-e", "vpd", "dump.bin"});
    EXPECT_EQ(r.options.eepromDump.section, "vpd");
    EXPECT_EQ(r.options.eepromDump.file, "dump.bin");
    r = Parse({"-d", "nic0", "-w", "scfg"});
    EXPECT_TRUE(r.options.eepromWrite.requested);
    EXPECT_EQ(r.options.eepromWrite.file, "");
}

TEST(DeviceString, IsRequiredAndAtMostSixtyCharacters) {
    auto r = Parse({});
    EXPECT_EQ(r.out, "Device not specified\n" + kUsage);
    EXPECT_EQ(r.exitStatus, 1);

    const std::string sixty = "nic" + std::string(56, '0') + "1";
    ASSERT_EQ(sixty.size(), 60u);
    r = Parse({"-d", sixty});
    EXPECT_FALSE(r.endRun);
    EXPECT_EQ(r.options.instance, 1);

    r = Parse({"-d", sixty + "2"});
    EXPECT_EQ(r.out, "Device string is too long\n" + kUsage);
    EXPECT_TRUE(r.endRun);
    EXPECT_EQ(r.exitStatus, 1);
}

TEST(DeviceString, InstanceNumberFollowsTheLeadingLetters) {
    EXPECT_EQ(InstanceFromDeviceString("nic0"), 0);
    EXPECT_EQ(InstanceFromDeviceString("adapter0"), 0);
    EXPECT_EQ(InstanceFromDeviceString("0"), 0);
    EXPECT_EQ(InstanceFromDeviceString(" nic 12"), 12);
    EXPECT_EQ(InstanceFromDeviceString("nic"), -1);
    EXPECT_EQ(InstanceFromDeviceString("nic99999999999"), 2147483647);

    auto r = Parse({"-d", "adapter"});
    EXPECT_EQ(r.out, "adapter has no instance info\n" + kUsage);
    EXPECT_FALSE(r.endRun);  // the run goes on and finds no interface
    EXPECT_EQ(r.options.instance, -1);

    r = Parse({"-d", "nic-1"});
    EXPECT_EQ(r.out, "nic-1 has no instance info\n" + kUsage);
}

TEST(ConvertOption, NeedsNoDevice) {
    auto r = Parse({"-k", "image.bin"});
    EXPECT_FALSE(r.endRun);
    EXPECT_TRUE(r.options.convert.requested);
    EXPECT_EQ(r.out, "");
}

// A hexadecimal word wider than 32 bits is no number in any option: nothing reaches offset 0,
// port 0 or a truncated value.
TEST(NumberText, WordsTooWideForTheirFieldAreNoNumbers) {
    const std::string wide = "100000000";
    auto r = Parse({"-d", "nic0", "-r", wide, "deadbeef"});
    EXPECT_FALSE(r.options.reg.write);
    EXPECT_EQ(r.options.reg.target, RegisterTarget::kBlockName);  // selects no block
    r = Parse({"-d", "nic0", "-r", "10", wide});
    EXPECT_FALSE(r.options.reg.write);
    r = Parse({"-d", "nic0", "-l", wide, "x", "1", "-i", wide, "-c", "10", wide, "-n", wide});
    EXPECT_FALSE(r.options.mdio.read || r.options.config.read || r.options.cimQueue.read);
    EXPECT_FALSE(r.options.cimControl.write);
    r = Parse({"-d", "nic0", "-s", "sge", wide});
    EXPECT_FALSE(r.options.state.requested);
    EXPECT_EQ(r.out, "No index given\n");
    r = Parse({"-d", "nic0", "-m", "qs1", "holdoff", wide});
    EXPECT_TRUE(r.options.qsetParam.requested);
    EXPECT_FALSE(r.options.qsetParam.set);  // a get, as with a value word that is no number
}

TEST(NumberText, ReadsLikeTheRuntimeConversions) {
    uint32_t v = 1;
    EXPECT_TRUE(ReadHex("0x", &v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(ReadHex("1g", &v));
    EXPECT_EQ(v, 1u);
    EXPECT_TRUE(ReadHex("FFFFFFFF", &v));
    EXPECT_EQ(v, 0xFFFFFFFFu);
    EXPECT_TRUE(ReadHex("0x000000000FFFFFFFF", &v));  // leading zeros add no width
    EXPECT_EQ(v, 0xFFFFFFFFu);
    v = 1;
    EXPECT_FALSE(ReadHex("123456789", &v));  // wider than 32 bits: no number, nothing wrapped
    EXPECT_FALSE(ReadHex("0x100000000", &v));
    EXPECT_EQ(v, 1u);
    EXPECT_FALSE(ReadHex("g1", &v));
    EXPECT_FALSE(ReadHex("", &v));
    EXPECT_FALSE(ReadHex(nullptr, &v));

    int32_t d = 0;
    EXPECT_TRUE(ReadDecimal("+7x", &d));
    EXPECT_EQ(d, 7);
    EXPECT_TRUE(ReadDecimal("-2147483648", &d));
    EXPECT_EQ(d, INT32_MIN);
    EXPECT_FALSE(ReadDecimal("2147483648", &d));
    EXPECT_FALSE(ReadDecimal("-", &d));
}

}  // namespace
}  // namespace qv::qvtool
