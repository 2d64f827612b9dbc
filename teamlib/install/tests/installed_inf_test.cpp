// The installed-INF lookups of the miniport and the teaming protocol on a simulated machine: which
// oem*.inf is taken among other vendors' and malformed files, exact matching of the identifying
// field, and the full path built from Windows directories of every shape.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// An INF of class Net whose ControlFlags ExcludeFromSelect is id.
std::string NetInf(const std::string& id) {
    return "[Version]\r\nSignature = \"$Windows NT$\"\r\nClass = Net\r\n"
           "ClassGUID = {4D36E972-E325-11CE-BFC1-08002BE10318}\r\nProvider = %Qv%\r\n"
           "[ControlFlags]\r\nExcludeFromSelect = " +
           id + "\r\n[Strings]\r\nQv = \"Quorvex\"\r\nId = \"QV_QVTEAMMP\"\r\n";
}

// An INF of class NetTrans whose Version Provider is provider (as written in the file).
std::string NetTransInf(const std::string& provider, const std::string& infClass = "NetTrans") {
    return "[Version]\r\nSignature = \"$Windows NT$\"\r\nClass = " + infClass + "\r\nProvider = " + provider +
           "\r\n[ControlFlags]\r\nExcludeFromSelect = QV_QVTEAMMP\r\n";
}

std::string Utf16WithBom(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (const char c : text) out += {c, '\0'};
    return out;
}

std::string SampleInf(const char* name) {
    std::ifstream in(fs::path(QV_SOURCE_DIR) / "platform/sim/host/inf/tests/data" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Candidates that neither lookup may take and that must not upset the walk.
std::vector<std::pair<std::string, std::string>> Distractors() {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
    return {
        {"oem10.inf", SampleInf("brightwater_nic.inf")},
        {"oem11.inf", SampleInf("keelhaven_service.inf")},
        {"oem12.inf", SampleInf("meridian_team_protocol.inf")},
        {"oem13.inf", SampleInf("truncated.inf")},
        {"oem14.inf", SampleInf("bad_unclosed_section.inf")},
        {"oem15.inf", SampleInf("bad_no_signature.inf")},
        {"oem16.inf", ""},
        {"oem17.inf", binary},
        {"oem18.inf", "[Version]\r\nSignature = \"$Windows NT$\"\r\nClass = Net\r\n; " +
                          std::string(70000, 'x') +
                          "\r\n[ControlFlags]\r\nExcludeFromSelect = " + std::string(5000, 'Q') + "\r\n"},
        {"oem19.inf", std::string(16 * 1024 * 1024 + 1, ';')},
        {"oem20.inf", Utf16WithBom(NetInf("NW_VMINIPORT"))},
        {"oem21.inf", NetTransInf("\"Meridian Datacom, Ltd.\"")},
    };
}

class InstalledInfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        // Start from an empty INF folder; each test writes the files it needs.
        for (const auto& entry : fs::directory_iterator(InfDir())) fs::remove_all(entry.path());
    }
    fs::path InfDir() const { return machine_.dir() / "Windows" / "Inf"; }
    void Write(const std::string& name, const std::string& content) const {
        std::ofstream(InfDir() / name, std::ios::binary) << content;
    }
    void WriteAll(const std::vector<std::pair<std::string, std::string>>& files) const {
        for (const auto& [name, content] : files) Write(name, content);
    }
    // The lookup's answer as "<result>:<path>", the path in UTF-8.
    static std::string Lookup(int (*find)(char16_t*)) {
        char16_t path[kInfPathCapacity];
        std::fill(std::begin(path), std::end(path), u'#');
        const int found = find(path);
        return std::to_string(found) + ":" + ToUtf8(path);
    }
    testing::TempMachine machine_;
};

TEST_F(InstalledInfTest, MiniportIdMustMatchExactly) {
    const struct {
        const char* what;
        std::string content;
        bool found;
    } cases[] = {
        {"exact id", NetInf("QV_QVTEAMMP"), true},
        {"id through a string key", NetInf("%Id%"), true},
        {"quoted id", NetInf("\"QV_QVTEAMMP\""), true},
        {"UTF-16 with byte-order mark", Utf16WithBom(NetInf("QV_QVTEAMMP")), true},
        {"id in other letter case", NetInf("qv_qvteammp"), false},
        {"id with a suffix", NetInf("QV_QVTEAMMP2"), false},
        {"id cut short", NetInf("QV_QVTEAMM"), false},
        {"id as second field", NetInf("NW_VMINIPORT, QV_QVTEAMMP"), false},
        {"id longer than 20 units", NetInf("QV_QVTEAMMP" + std::string(30, 'X')), false},
        {"class NetTrans", NetTransInf("\"Quorvex\""), false},
        {"no ControlFlags", "[Version]\r\nSignature = \"$Windows NT$\"\r\nClass = Net\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write("oem1.inf", c.content);
        EXPECT_EQ(Lookup(GetMiniportInf), c.found ? "1:C:\\WINDOWS\\Inf\\oem1.inf" : "0:");
    }
}

TEST_F(InstalledInfTest, ProtocolProviderMustMatchExactly) {
    const struct {
        const char* what;
        std::string content;
        bool found;
    } cases[] = {
        {"exact provider", NetTransInf("\"Quorvex Ruvizidiridavo Inc.,\""), true},
        {"provider through a string key",
         NetTransInf("%Qv%") + "[Strings]\r\nQv = \"Quorvex Ruvizidiridavo Inc.,\"\r\n", true},
        {"no trailing comma", NetTransInf("\"Quorvex Ruvizidiridavo Inc.\""), false},
        {"unquoted, so the comma ends the field", NetTransInf("Quorvex Ruvizidiridavo Inc.,"), false},
        {"other letter case", NetTransInf("\"QUORVEX Ruvizidiridavo Inc.,\""), false},
        {"class Net", NetTransInf("\"Quorvex Ruvizidiridavo Inc.,\"", "Net"), false},
        {"provider longer than 260 units",
         NetTransInf("\"Quorvex Ruvizidiridavo Inc.," + std::string(300, 'x') + "\""), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write("oem2.inf", c.content);
        EXPECT_EQ(Lookup(GetProtocolInf), c.found ? "1:C:\\WINDOWS\\Inf\\oem2.inf" : "0:");
    }
}

TEST_F(InstalledInfTest, OtherVendorsAndMalformedFilesAreSkipped) {
    WriteAll(Distractors());
    EXPECT_EQ(Lookup(GetMiniportInf), "0:");
    EXPECT_EQ(Lookup(GetProtocolInf), "0:");
    // The packages come after every distractor in search order and are still found.
    Write("oem9.inf", NetInf("QV_QVTEAMMP"));
    Write("oem8.inf", NetTransInf("\"Quorvex Ruvizidiridavo Inc.,\""));
    fs::create_directory(InfDir() / "oem0.inf");  // a folder named like a candidate
    EXPECT_EQ(Lookup(GetMiniportInf), "1:C:\\WINDOWS\\Inf\\oem9.inf");
    EXPECT_EQ(Lookup(GetProtocolInf), "1:C:\\WINDOWS\\Inf\\oem8.inf");
}

TEST_F(InstalledInfTest, FullPathFollowsTheWindowsDirectory) {
    Write("OEM3.INF", NetInf("QV_QVTEAMMP"));
    Write("oem4.inf", NetTransInf("\"Quorvex Ruvizidiridavo Inc.,\""));
    Write("setup.inf", NetInf("QV_QVTEAMMP"));  // not an oem*.inf
    const struct {
        std::u16string windows;
        std::string infFolder;
    } cases[] = {
        {u"C:\\WINDOWS", "C:\\WINDOWS\\Inf\\"},
        {u"C:\\WINDOWS\\", "C:\\WINDOWS\\Inf\\"},
        {u"D:\\", "D:\\Inf\\"},
        {u"C:\\Program Files\\Windows Root\\", "C:\\Program Files\\Windows Root\\Inf\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.infFolder);
        ASSERT_TRUE(sim::SetWindowsDirectory(c.windows));
        EXPECT_EQ(Lookup(GetMiniportInf), "1:" + c.infFolder + "OEM3.INF");
        EXPECT_EQ(Lookup(GetProtocolInf), "1:" + c.infFolder + "oem4.inf");
    }
}

TEST_F(InstalledInfTest, PathsThatDoNotFitAreNotReturned) {
    // A match whose full path would pass 260 units is no answer; the walk goes on to one that fits.
    const std::u16string windows = u"C:\\" + std::u16string(200, u'W');
    ASSERT_TRUE(sim::SetWindowsDirectory(windows));
    const std::string longName = "oem" + std::string(60, '1') + ".inf";
    Write(longName, NetInf("QV_QVTEAMMP"));
    EXPECT_EQ(Lookup(GetMiniportInf), "0:");
    Write("oem2.inf", NetInf("QV_QVTEAMMP"));
    EXPECT_EQ(Lookup(GetMiniportInf), "1:" + ToUtf8(windows) + "\\Inf\\oem2.inf");

    // A Windows directory the host cannot report, or none at all, finds nothing.
    const std::u16string tooLong = u"C:\\" + std::u16string(300, u'W');
    std::vector<uint8_t> bytes;
    for (const char16_t c : tooLong + u'\0') bytes.insert(bytes.end(), {uint8_t(c & 0xFF), uint8_t(c >> 8)});
    ASSERT_TRUE(testing::WriteValueBytes(u"SOFTWARE\\QvSim\\Host", u"WindowsDirectory", 1, bytes));
    EXPECT_EQ(Lookup(GetMiniportInf), "0:");
    ASSERT_TRUE(sim::SetWindowsDirectory(u"C:\\WINDOWS"));
    fs::remove_all(InfDir());
    EXPECT_EQ(Lookup(GetMiniportInf), "0:");
    EXPECT_EQ(Lookup(GetProtocolInf), "0:");
}

}  // namespace
}  // namespace qv
