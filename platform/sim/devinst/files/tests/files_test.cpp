// The simulated host's Windows directory and file calls: full paths, patterns, the mapping to the
// machine's Windows/ folder (and nothing outside it), the OS version the machine keeps, and the INF
// lookup the teaming programs make over a folder of several vendors' and malformed INF files.
#include "qv/platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../windows_paths.h"
#include "qv/platform/inf.h"
#include "qv/platform/os_version.h"
#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/sim/inf/inf_document.h"
#include "qv/testing/temp_machine.h"

namespace qv::sim {
namespace {

using qv::testing::TempMachine;

const std::filesystem::path kData =
    std::filesystem::path(QV_SOURCE_DIR) / "platform/sim/devinst/inf/tests/data";

TEST(SimFiles, FullPathsResolveAgainstTheWindowsDirectory) {
    TempMachine machine;
    const struct {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u"C:\\WINDOWS\\Inf\\oem1.inf", u"C:\\WINDOWS\\Inf\\oem1.inf"},
        {u"c:/windows//inf/./x/../oem1.inf", u"c:\\windows\\inf\\oem1.inf"},
        {u"Inf\\oem1.inf", u"C:\\WINDOWS\\Inf\\oem1.inf"},  // relative: from the Windows directory
        {u"\\Temp\\a.inf", u"C:\\Temp\\a.inf"},
        {u"D:x.inf", u"D:\\x.inf"},
        {u"C:\\..\\..\\a", u"C:\\a"},
        {u"C:\\WINDOWS\\Inf\\", u"C:\\WINDOWS\\Inf\\"},
        {u"C:\\WINDOWS\\name. . ", u"C:\\WINDOWS\\name"},
        {u"C:", u"C:\\"},
        {u"\\\\server/share\\x", u"\\\\server\\share\\x"},
    };
    for (const auto& c : cases) EXPECT_EQ(winpath::FullPath(c.in), std::u16string(c.out)) << ToUtf8(c.in);
    EXPECT_EQ(winpath::FullPath(u""), std::nullopt);
}

// Letter case and '?' are held to Windows' rules by the INF conformance suite's file search.
TEST(SimFiles, PatternsMatchEmptyRunsAndBacktrack) {
    const struct {
        const char16_t* pattern;
        const char16_t* name;
        bool matches;
    } cases[] = {
        {u"oem*.inf", u"oem.inf", true},
        {u"oem*.inf", u"oem1.inf.bak", false},
        {u"*", u".", true},
        {u"*.*", u"noext", true},
        {u"*a*b", u"xaxxb", true},
        {u"*a*b", u"xaxxbc", false},
        {u"", u"", true},
        {u"a", u"", false},
        {u"***", u"abc", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(winpath::MatchesPattern(c.pattern, c.name), c.matches)
            << ToUtf8(c.pattern) << " " << ToUtf8(c.name);
    }
}

TEST(SimFiles, NothingOutsideTheWindowsDirectoryIsReached) {
    TempMachine machine;
    // registry.db lies in the machine directory, one level above Windows/.
    ASSERT_TRUE(std::filesystem::exists(machine.dir() / "registry.db"));
    for (const char16_t* path :
         {u"C:\\registry.db", u"C:\\WINDOWS\\..\\registry.db", u"D:\\WINDOWS\\Inf",
          u"\\\\host\\share\\registry.db", u"C:\\WINDOWSX\\Inf", u"C:\\WINDOWS\\Inf\\a?b"}) {
        EXPECT_EQ(winpath::HostPath(path), std::nullopt) << ToUtf8(path);
        EXPECT_EQ(file::GetFileAttributes(path), kInvalidFileAttributes) << ToUtf8(path);
        EXPECT_EQ(GetLastError(), kErrorPathNotFound) << ToUtf8(path);
    }
    EXPECT_EQ(qv::inf::OpenInfFile(u"C:\\registry.db", nullptr, kInfStyleWin4, nullptr), kInvalidInf);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    FindData data;
    EXPECT_EQ(file::FindFirstFile(u"C:\\*", &data), kInvalidFind);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    // Inside it, names are found in any letter case.
    EXPECT_EQ(winpath::HostPath(u"c:\\windows\\INF\\OEM1.INF"),
              machine.dir() / "Windows" / "Inf" / "oem1.inf");
    EXPECT_EQ(winpath::HostPath(u"C:\\WINDOWS"), machine.dir() / "Windows");
}

TEST(SimFiles, AWindowsDirectoryEndingInABackslash) {
    TempMachine machine;
    for (const char16_t* bad : {u"", u"WINNT", u"C:", u"\\WINNT", u"C:WINNT"})
        EXPECT_FALSE(SetWindowsDirectory(bad));
    ASSERT_TRUE(SetWindowsDirectory(u"D:\\WINNT\\"));
    char16_t buffer[kMaxPath];
    ASSERT_EQ(file::GetSystemWindowsDirectory(buffer, kMaxPath), 9u);
    EXPECT_EQ(std::u16string(buffer), u"D:\\WINNT\\");
    FindData data;
    HFind find = file::FindFirstFile(u"D:\\WINNT\\Inf\\oem*.inf", &data);
    ASSERT_NE(find, kInvalidFind);
    std::vector<std::u16string> names{data.fileName};
    while (file::FindNextFile(find, &data)) names.emplace_back(data.fileName);
    EXPECT_TRUE(file::FindClose(find));
    EXPECT_EQ(names, (std::vector<std::u16string>{u"oem0.inf", u"oem1.inf", u"oem2.inf"}));
    EXPECT_EQ(file::GetFileAttributes(u"d:\\winnt\\inf\\oem1.inf"), kFileAttributeNormal);
    EXPECT_EQ(file::GetFileAttributes(u"C:\\WINDOWS\\Inf\\oem1.inf"), kInvalidFileAttributes);
    EXPECT_FALSE(file::FindClose(find));  // closed already
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
}

TEST(SimFiles, VersionComesFromTheMachine) {
    InventoryOptions xp;
    xp.osMajor = 5, xp.osMinor = 1, xp.osBuild = 2600;
    TempMachine machine(xp);
    OsVersionInfo info;
    ASSERT_TRUE(os::GetVersionEx(&info));
    EXPECT_EQ(info.majorVersion, 5u);
    EXPECT_EQ(info.minorVersion, 1u);
    EXPECT_EQ(info.buildNumber, 2600u);
    ASSERT_TRUE(WriteHostValue(u"OsMajor", 6));
    ASSERT_TRUE(os::GetVersionEx(&info));
    EXPECT_EQ(info.majorVersion, 6u);
}

// The test data: other vendors' INF files and malformed ones.
TEST(SimInfData, VendorFilesReadAndMalformedOnesAreRefused) {
    const struct {
        const char* file;
        const char16_t* section;
        const char16_t* key;
        const char16_t* value;
    } reads[] = {
        {"brightwater_nic.inf", u"Version", u"Provider", u"Brightwater Systems"},
        {"brightwater_nic.inf", u"Version", u"ClassGUID", u"{4d36e972-e325-11ce-bfc1-08002be10318}"},
        {"brightwater_nic.inf", u"Strings", u"SpeedDuplex", u"Link Speed & Duplex"},
        {"keelhaven_service.inf", u"Strings", u"KeelSched.Desc", u"Keelhaven \"Tide\" Packet Scheduler"},
        {"keelhaven_service.inf", u"KeelSched.ndi", u"NetCfgInstanceId",
         u"{6B65656C-0000-4000-8000-000000000001}"},
        {"meridian_team_protocol.inf", u"Version", u"Provider", u"Meridian Datacom, Ltd."},
        {"meridian_team_protocol.inf", u"MdLag.ndi", u"AddReg", u"MdLag.reg"},
        {"truncated.inf", u"Strings", u"Name", u"Half a na"},
    };
    for (const auto& r : reads) {
        inf::InfError error;
        const auto doc = inf::InfDocument::Load(kData / r.file, &error);
        ASSERT_TRUE(doc) << error.message;
        EXPECT_EQ(doc->Value(r.section, r.key), std::u16string(r.value)) << r.file << " " << ToUtf8(r.key);
    }
    // Continued lines, multi-field lines and %% in a device-registry line.
    const auto bw = inf::InfDocument::Load(kData / "brightwater_nic.inf", nullptr);
    const uint32_t models = *bw->FindSection(u"Brightwater.NTx86.5.1");
    ASSERT_EQ(bw->LineCount(models), 2u);
    EXPECT_EQ(bw->Field(models, 1, 3), u"PCI\\VEN_6B77&DEV_4002&SUBSYS_00026B77");
    const uint32_t eventLog = *bw->FindSection(u"BW.AddEventLog.reg");
    EXPECT_EQ(bw->Field(eventLog, 0, 5),
              u"%SystemRoot%\\System32\\netevent.dll;%SystemRoot%\\System32\\drivers\\bwge.sys");
    const auto keel = inf::InfDocument::Load(kData / "keelhaven_service.inf", nullptr);
    EXPECT_EQ(keel->LineCount(*keel->FindSection(u"KEELSCHED.NDI")), 3u);   // two sections of one name
    EXPECT_EQ(keel->Value(u"KeelSched.ndi.AddReg", u"HKR"), std::nullopt);  // keyless lines

    const struct {
        const char* file;
        Win32Error code;
        uint32_t line;
    } refusals[] = {
        {"bad_unclosed_section.inf", kErrorBadSectionNameLine, 6},
        {"bad_text_before_section.inf", kErrorExpectedSectionName, 2},
    };
    for (const auto& r : refusals) {
        inf::InfError error;
        EXPECT_FALSE(inf::InfDocument::Load(kData / r.file, &error)) << r.file;
        EXPECT_EQ(error.code, r.code) << r.file;
        EXPECT_EQ(error.line, r.line) << r.file;
    }
}

// The lookup of the teaming miniport's INF as the library makes it: every oem*.inf of the Inf
// folder opened by bare name as class Net, its ExcludeFromSelect compared. Other vendors', other
// classes' and malformed INFs are passed over; only oem1.inf qualifies.
TEST(SimInfData, MiniportLookupPassesOverOtherAndMalformedFiles) {
    TempMachine machine;
    const auto inf = machine.dir() / "Windows" / "Inf";
    int n = 3;
    for (const auto& entry : std::filesystem::directory_iterator(kData)) {
        std::filesystem::copy_file(entry.path(), inf / ("oem" + std::to_string(n++) + ".inf"));
    }
    std::filesystem::copy_file(kData / "bad_no_signature.inf", inf / "OEM99.INF");
    std::vector<std::u16string> opened, matched;
    FindData data;
    HFind find = file::FindFirstFile(u"C:\\WINDOWS\\Inf\\oem*.inf", &data);
    ASSERT_NE(find, kInvalidFind);
    do {
        HInf handle = qv::inf::OpenInfFile(data.fileName, u"Net", kInfStyleWin4, nullptr);
        if (handle == kInvalidInf) continue;
        opened.emplace_back(data.fileName);
        InfContext context;
        char16_t value[20];
        if (qv::inf::FindFirstLine(handle, u"ControlFlags", u"ExcludeFromSelect", &context) &&
            qv::inf::GetStringField(&context, 1, value, 20, nullptr) &&
            std::u16string(value) == u"QV_QVTEAMMP") {
            matched.emplace_back(data.fileName);
        }
        qv::inf::CloseInfFile(handle);
    } while (file::FindNextFile(find, &data));
    EXPECT_EQ(GetLastError(), kErrorNoMoreFiles);
    file::FindClose(find);
    EXPECT_EQ(n, 10);
    // oem0 (another vendor's Net INF), oem1, the Brightwater INF and the truncated one (a Net INF as
    // far as it goes); not the NetTrans, NetService, unsigned or malformed ones.
    EXPECT_EQ(opened.size(), 4u);
    EXPECT_EQ(matched, std::vector<std::u16string>{u"oem1.inf"});
}

}  // namespace
}  // namespace qv::sim
