// The installed-INF lookups of the miniport and the teaming protocol on a simulated machine: exact
// matching of the identifying field, other vendors' and malformed files among the candidates, and
// the full path built from Windows directories of every shape.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/teamlib/bindings.h"
#include "qv/teamlib/install.h"
#include "qv/teamlib/testing/sim_adapters.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

const std::string kProvider = "\"Quorvex Ruvizidiridavo Inc.,\"";

std::string Inf(const std::string& infClass, const std::string& provider, const std::string& id) {
    return "[Version]\r\nSignature = \"$Windows NT$\"\r\nClass = " + infClass + "\r\nProvider = " + provider +
           "\r\n[ControlFlags]\r\nExcludeFromSelect = " + id + "\r\n[Strings]\r\nId = \"QV_QVTEAMMP\"\r\n";
}

std::string Utf16WithBom(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (const char c : text) out += {c, '\0'};
    return out;
}

std::string Sample(const char* name) {
    std::ifstream in(fs::path(QV_SOURCE_DIR) / "platform/sim/devinst/inf/tests/data" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class InstalledInfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(machine_.ok());
        for (const auto& entry : fs::directory_iterator(InfDir())) fs::remove_all(entry.path());
    }
    fs::path InfDir() const { return machine_.dir() / "Windows" / "Inf"; }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(InfDir() / name, std::ios::binary) << text;
    }
    // Both lookups' answers: "<miniport result>:<path>|<protocol result>:<path>".
    static std::string Lookups() {
        std::string out;
        for (const auto find : {GetMiniportInf, GetProtocolInf}) {
            char16_t path[kInfPathCapacity];
            std::fill(std::begin(path), std::end(path), u'#');
            const int found = find(path);
            out += (out.empty() ? "" : "|") + std::to_string(found) + ":" + ToUtf8(path);
        }
        return out;
    }
    testing::TempMachine machine_;
};

TEST_F(InstalledInfTest, IdentifyingFieldsMustMatchExactly) {
    const std::string m = "1:C:\\WINDOWS\\Inf\\oem1.inf|0:", p = "0:|1:C:\\WINDOWS\\Inf\\oem1.inf",
                      none = "0:|0:";
    const struct {
        std::string text, expected;
    } cases[] = {
        {Inf("Net", "Qv", "QV_QVTEAMMP"), m},
        {Inf("Net", "Qv", "%Id%"), m},
        {Utf16WithBom(Inf("Net", kProvider, "QV_QVTEAMMP")), m},
        {Inf("Net", "Qv", "qv_qvteammp"), none},
        {Inf("Net", "Qv", "QV_QVTEAMMP2"), none},
        {Inf("Net", "Qv", "NW_VMINIPORT, QV_QVTEAMMP"), none},
        {Inf("Net", "Qv", "QV_QVTEAMMP" + std::string(30, 'X')), none},
        {Inf("NetTrans", kProvider, "QV_QVTEAMMP"), p},
        {Inf("NetTrans", "\"Quorvex Ruvizidiridavo Inc.\"", "-"), none},
        {Inf("NetTrans", "Quorvex Ruvizidiridavo Inc.,", "-"), none},  // unquoted: the comma ends it
        {Inf("NetTrans", "\"QUORVEX Ruvizidiridavo Inc.,\"", "-"), none},
        {Inf("NetTrans", "\"Quorvex Ruvizidiridavo Inc.," + std::string(300, 'x') + "\"", "-"), none},
    };
    for (const auto& c : cases) {
        Write("oem1.inf", c.text);
        EXPECT_EQ(Lookups(), c.expected) << c.text;
    }
}

TEST_F(InstalledInfTest, OtherVendorsAndMalformedFilesAreSkipped) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
    const std::string candidates[] = {
        Sample("brightwater_nic.inf"),
        Sample("keelhaven_service.inf"),
        Sample("meridian_team_protocol.inf"),
        Sample("truncated.inf"),
        Sample("bad_unclosed_section.inf"),
        Sample("bad_no_signature.inf"),
        "",
        binary,
        Inf("Net", std::string(70000, 'x'), std::string(5000, 'Q')),
        std::string(16 * 1024 * 1024 + 1, ';'),
        Utf16WithBom(Inf("NetTrans", "\"Meridian Datacom, Ltd.\"", "NW_VMINIPORT"))};
    int n = 10;
    for (const auto& text : candidates) Write("oem" + std::to_string(n++) + ".inf", text);
    fs::create_directory(InfDir() / "oem0.inf");  // a folder named like a candidate
    EXPECT_EQ(Lookups(), "0:|0:");
    // The packages come after every other candidate in search order and are still found.
    Write("oem8.inf", Inf("NetTrans", kProvider, "-"));
    Write("oem9.inf", Inf("Net", "Qv", "QV_QVTEAMMP"));
    EXPECT_EQ(Lookups(), "1:C:\\WINDOWS\\Inf\\oem9.inf|1:C:\\WINDOWS\\Inf\\oem8.inf");
}

TEST_F(InstalledInfTest, FullPathFollowsTheWindowsDirectoryAndFits) {
    Write("OEM3.INF", Inf("Net", "Qv", "QV_QVTEAMMP"));
    Write("oem4.inf", Inf("NetTrans", kProvider, "-"));
    Write("setup.inf", Inf("Net", "Qv", "QV_QVTEAMMP"));  // not an oem*.inf
    const std::string longWindows = "C:\\" + std::string(200, 'W');
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\WINDOWS", "C:\\WINDOWS\\Inf\\"},
        {"C:\\WINDOWS\\", "C:\\WINDOWS\\Inf\\"},
        {"D:\\", "D:\\Inf\\"},
        {longWindows, longWindows + "\\Inf\\"},
    };
    for (const auto& [windows, folder] : cases) {
        ASSERT_TRUE(sim::SetWindowsDirectory(FromUtf8(windows)));
        EXPECT_EQ(Lookups(), "1:" + folder + "OEM3.INF|1:" + folder + "oem4.inf");
    }
    // Matches whose full path would pass 260 units are not answered.
    for (const char* name : {"OEM3.INF", "oem4.inf"})
        fs::rename(InfDir() / name, InfDir() / ("oem" + std::string(60, '1') + name));
    EXPECT_EQ(Lookups(), "0:|0:");
    // Without an Inf folder there is no candidate at all.
    ASSERT_TRUE(sim::SetWindowsDirectory(u"C:\\WINDOWS"));
    fs::remove_all(InfDir());
    EXPECT_EQ(Lookups(), "0:|0:");
}

}  // namespace
}  // namespace qv
