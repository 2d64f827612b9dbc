// Behaviour of the INF-file, file-search and OS-version ports that the programs rely on. The same
// cases run against the simulated host and, in the windows build, against Wine's SetupAPI and
// kernel32, so the simulated INF reader is held to a Windows implementation.
//
// The INF files are written into the Inf folder of the Windows directory (on the simulated host the
// folder Windows/Inf of a temporary machine), opened by bare name as the programs open them, and
// removed again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "qv/platform/files.h"
#include "qv/platform/guid.h"
#include "qv/platform/inf.h"
#include "qv/platform/os_version.h"
#include "qv/platform/utf.h"
#include "suite_machine.h"

#ifdef _WIN32
#include <windows.h>
// windows.h's macros for the W calls carry the ports' names.
#undef GetSystemWindowsDirectory
#undef FindFirstFile
#undef FindNextFile
#undef GetFullPathName
#undef GetFileAttributes
#undef GetVersionEx
#endif
#include "qv/testing/wine.h"

namespace qv {
namespace {

using qv::testing::RunningUnderWine;

constexpr char kVersion[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\n"
    "ClassGUID={4D36E972-E325-11CE-BFC1-08002BE10318}\r\n";

std::u16string WindowsDirectory() {
    char16_t buffer[kMaxPath];
    const uint32_t length = file::GetSystemWindowsDirectory(buffer, kMaxPath);
    return length == 0 || length >= kMaxPath ? std::u16string() : std::u16string(buffer, length);
}

// windows + "\" + tail, without doubling a separator the Windows directory already ends in.
std::u16string Below(const std::u16string& windows, std::u16string_view tail) {
    const bool hasSeparator = !windows.empty() && (windows.back() == u'\\' || windows.back() == u'/');
    return windows + (hasSeparator ? u"" : u"\\") + std::u16string(tail);
}

class InfConformance
    : public qv::testing::SuiteOnMachine<qv::testing::SuiteMachineContent::kDefaultInventory> {
  protected:
    void SetUp() override {
        windows_ = WindowsDirectory();
        ASSERT_FALSE(windows_.empty());
#ifdef _WIN32
        infFolder_ = std::filesystem::path(windows_) / "Inf";
#else
        infFolder_ = MachineDir() / "Windows" / "Inf";
#endif
        ASSERT_TRUE(std::filesystem::is_directory(infFolder_));
        prefix_ = "qvconf" + std::to_string(getpid()) + "-";
    }

    void TearDown() override {
        for (HInf inf : opened_) inf::CloseInfFile(inf);
        opened_.clear();
        for (const auto& name : written_) {
            // Wine's plug-and-play service reads new files of the Inf folder now and then. A file it
            // holds cannot be removed for a moment, or its removal succeeds but stays pending until
            // the service closes it (Windows' delete-pending state; longer on a busy machine): retry
            // until it is gone, for up to ten seconds.
            std::error_code ec;
            for (int attempt = 0; attempt < 100; ++attempt) {
                std::filesystem::remove(infFolder_ / name, ec);
                if (!std::filesystem::exists(infFolder_ / name)) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            EXPECT_FALSE(std::filesystem::exists(infFolder_ / name)) << name << ": " << ec.message();
        }
    }

    // Writes bytes as a new INF file (each name used once in the process); returns its bare name.
    // A tail names the file prefix_ + tail instead.
    std::u16string Write(const std::string& bytes, const std::string& tail = {}) {
        static int serial = 0;
        const std::string name = prefix_ + (tail.empty() ? std::to_string(serial++) + ".inf" : tail);
        std::ofstream out(infFolder_ / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(out.good());
        written_.push_back(name);
        return ToUtf16(name);
    }
    std::u16string FullPathOf(const std::u16string& name) const {
        return Below(windows_, u"Inf\\" + name);
    }

    // Opens bytes as an INF of any class; the handle is closed at the end of the test.
    HInf Open(const std::string& bytes, const char16_t* infClass = nullptr, uint32_t style = kInfStyleWin4) {
        const std::u16string name = Write(bytes);
        HInf inf = inf::OpenInfFile(name.c_str(), infClass, style, nullptr);
        if (inf != kInvalidInf) opened_.push_back(inf);
        return inf;
    }
    // The error of opening bytes (0 when it opens) and the reported error line.
    std::pair<Win32Error, uint32_t> OpenError(const std::string& bytes, const char16_t* infClass = nullptr,
                                              uint32_t style = kInfStyleWin4) {
        const std::u16string name = Write(bytes);
        uint32_t line = 0;
        HInf inf = inf::OpenInfFile(name.c_str(), infClass, style, &line);
        if (inf == kInvalidInf) return {GetLastError(), line};
        inf::CloseInfFile(inf);
        return {0, line};
    }

    std::u16string windows_;
    std::filesystem::path infFolder_;
    std::string prefix_;
    std::vector<std::string> written_;
    std::vector<HInf> opened_;
};

// Field fieldIndex of a line as UTF-8, "<none>" when the line has no such field.
std::string FieldText(const InfContext& context, uint32_t fieldIndex) {
    char16_t buffer[5000];
    uint32_t required = 0;
    if (!inf::GetStringField(&context, fieldIndex, buffer, 5000, &required)) return "<none>";
    return ToUtf8(std::u16string_view(buffer, required - 1));
}

// Fields 0.. of the first line of section (stopping at the first missing field after the key).
std::vector<std::string> LineFields(HInf inf, const char16_t* section, const char16_t* key = nullptr) {
    InfContext context;
    if (!inf::FindFirstLine(inf, section, key, &context)) return {"<no line>"};
    std::vector<std::string> fields{FieldText(context, 0)};
    for (uint32_t i = 1; i < 20; ++i) {
        std::string field = FieldText(context, i);
        if (field == "<none>") break;
        fields.push_back(std::move(field));
    }
    return fields;
}

struct LineCase {
    const char* line;
    std::vector<std::string> fields;  // field 0 (the key) first
    const char* wineGap = nullptr;
};

TEST_F(InfConformance, LinesSplitIntoKeyAndQuotedFields) {
    const LineCase cases[] = {
        {"ab=cd", {"ab", "cd"}},
        {"ab = cd , ef,gh ", {"ab", "cd", "ef", "gh"}},
        {"ab", {"ab", "ab"}},  // one field without a key is its own key
        {"ab,cd", {"<none>", "ab", "cd"}},
        {"ab,cd=ef", {"<none>", "ab", "cd=ef"}},
        {"=abcd,ef", {"", "abcd", "ef"}},
        {"a=b,,", {"a", "b", "", ""}},
        {"  a  b  =  c  d  ", {"a  b", "c  d"}},
        {"a\t=\tb\t", {"a", "b"}},
        {"ab=cd ; note, more", {"ab", "cd"}},
        {"ab;cdef", {"ab", "ab"}},
        {"ab\";cd\"=ef", {"ab;cd", "ef"}},
        {"Ab\"Cd\"=Ef", {"AbCd", "Ef"}},
        {"Ab\"Cd=Ef\"", {"AbCd=Ef", "AbCd=Ef"}},
        {"ab\"\"\"cd,ef=gh\"", {"ab\"cd,ef=gh", "ab\"cd,ef=gh"}},
        {"ab\"\"cd=ef", {"abcd", "ef"}},
        {"ab=cd\"\",ef", {"ab", "cd", "ef"}},
        {"a=\" x \",\"  \"", {"a", " x ", "  "}},
        {"Provider = \"Quorvex Ruvizidiridavo Inc.,\"", {"Provider", "Quorvex Ruvizidiridavo Inc.,"}},
        {"ba\\\r\ncd=ef", {"bacd", "ef"}},
        {"ab  \\  \r\n  cd=ef", {"abcd", "ef"}},
        {"ab\\\r\ncd,ef", {"<none>", "abcd", "ef"}},
        {"ab  \\ ;cc\r\ncd=ef", {"abcd", "ef"}},
        {"a=b, \\\r\n c", {"a", "b", "c"}},
        {"ba \\ dc=xx", {"ba \\ dc", "xx"}},
        {"HKR, Ndi\\Interfaces, UpperRange, 0, \"ndis5\"",
         {"<none>", "HKR", "Ndi\\Interfaces", "UpperRange", "0", "ndis5"}},
        {"p=%Qv%", {"p", "Quorvex"}},
        {"p=%qv% n5", {"p", "Quorvex n5"}},
        {"p=100%%", {"p", "100%"}},
        {"p=%Missing%", {"p", "%Missing%"}},
        {"%Qv%=x", {"Quorvex", "x"}},
        {"p=\"%Qv%\"", {"p", "Quorvex"}},
        {"p=%Missing% %Qv%", {"p", "%Missing% Quorvex"}},
        {"p=50% off", {"p", "50% off"}},
        {"p=%Pct%", {"p", "50%%"}},
        {"a=", {"a", ""}},
        {"ab \\ \\ \r\ncd=ef", {"abcd", "ef"}},
        {"a=b\\\\c", {"a", "b\\\\c"}},
        {"a=\"open, to the end",
         {"a", "open, to the end"},
         "known Wine gap: Wine keeps the CR of the line end in a quote left open"},
    };
    for (const auto& c : cases) {
        if (c.wineGap != nullptr && RunningUnderWine()) {
            std::printf("skipped: %s\n", c.wineGap);
            continue;
        }
        const std::string text = std::string(kVersion) + "[S]\r\n" + c.line +
                                 "\r\n[Strings]\r\nQv = \"Quorvex\"\r\nPct = 50%%\r\n";
        HInf inf = Open(text);
        ASSERT_NE(inf, kInvalidInf) << c.line << " error " << std::hex << GetLastError();
        EXPECT_EQ(LineFields(inf, u"S"), c.fields) << c.line;
    }
}

TEST_F(InfConformance, SectionsAndKeysCompareWithoutRegardToCase) {
    HInf inf = Open(std::string(kVersion) +
                    "; comment line\r\n[Models]\r\nFirst = 1\r\n[Other]\r\nx = 0\r\n"
                    "[MODELS]\r\nSecond = 2\r\nfirst = 3\r\n[Empty]\r\n");
    ASSERT_NE(inf, kInvalidInf);
    InfContext context;
    ASSERT_TRUE(inf::FindFirstLine(inf, u"models", nullptr, &context));
    std::vector<std::string> keys{FieldText(context, 0)};
    while (inf::FindNextLine(&context, &context)) keys.push_back(FieldText(context, 0));
    EXPECT_EQ(GetLastError(), kErrorLineNotFound);
    EXPECT_EQ(keys, (std::vector<std::string>{"First", "Second", "first"}));  // one section, in file order

    EXPECT_EQ(LineFields(inf, u"Models", u"FIRST"), (std::vector<std::string>{"First", "1"}));
    EXPECT_EQ(LineFields(inf, u"Models", u"second"), (std::vector<std::string>{"Second", "2"}));
    EXPECT_EQ(LineFields(inf, u"VERSION", u"class"), (std::vector<std::string>{"Class", "Net"}));

    const struct {
        const char16_t* section;
        const char16_t* key;
    } misses[] = {{u"Missing", nullptr}, {u"Missing", u"First"}, {u"Models", u"Third"}, {u"Empty", nullptr}};
    for (const auto& miss : misses) {
        EXPECT_FALSE(inf::FindFirstLine(inf, miss.section, miss.key, &context));
        EXPECT_EQ(GetLastError(), kErrorLineNotFound) << ToUtf8(miss.section);
    }
}

// Keys are compared as substituted: a key written with a %strkey% token is found by its text.
TEST_F(InfConformance, KeysAreFoundByTheirSubstitutedText) {
    HInf inf = Open(std::string(kVersion) +
                    "[S]\r\n%Qv%=x\r\n%Qv% n5=y\r\n%Missing%=z\r\n100%%=w\r\n"
                    "[Strings]\r\nQv = \"Quorvex\"\r\n");
    ASSERT_NE(inf, kInvalidInf);
    const struct {
        const char16_t* key;
        std::vector<std::string> fields;
    } cases[] = {
        {u"quorvex", {"Quorvex", "x"}},     {u"Quorvex N5", {"Quorvex n5", "y"}},
        {u"%missing%", {"%Missing%", "z"}}, {u"100%", {"100%", "w"}},
        {u"%Qv%", {"<no line>"}},           {u"100%%", {"<no line>"}},
    };
    for (const auto& c : cases) EXPECT_EQ(LineFields(inf, u"S", c.key), c.fields) << ToUtf8(c.key);
}

TEST_F(InfConformance, GetStringFieldFollowsTheSizeProtocol) {
    HInf inf = Open(std::string(kVersion) + "[ControlFlags]\r\nExcludeFromSelect = QV_QVTEAMMP\r\n");
    ASSERT_NE(inf, kInvalidInf);
    InfContext context;
    ASSERT_TRUE(inf::FindFirstLine(inf, u"ControlFlags", u"ExcludeFromSelect", &context));
    uint32_t required = 0;
    EXPECT_TRUE(inf::GetStringField(&context, 1, nullptr, 0, &required));  // size only
    EXPECT_EQ(required, 12u);
    char16_t buffer[20];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    required = 0;
    EXPECT_FALSE(inf::GetStringField(&context, 1, buffer, 11, &required));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    EXPECT_EQ(required, 12u);
    required = 0;
    ASSERT_TRUE(inf::GetStringField(&context, 1, buffer, 12, &required));
    EXPECT_EQ(std::u16string(buffer), u"QV_QVTEAMMP");
    EXPECT_EQ(required, 12u);
    EXPECT_TRUE(inf::GetStringField(&context, 1, buffer, 20, nullptr));
    EXPECT_FALSE(inf::GetStringField(&context, 2, buffer, 20, &required));  // no such field
}

TEST_F(InfConformance, EncodingsReadAlike) {
    const std::string text = std::string(kVersion) + "[S]\r\nName = \"Caf\xC3\xA9 \xE2\x82\xAC\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char16_t c : ToUtf16(text)) {
        utf16.push_back(static_cast<char>(c & 0xFF));
        utf16.push_back(static_cast<char>(c >> 8));
    }
    for (const auto& bytes : {utf16, "\xEF\xBB\xBF" + text}) {
        HInf inf = Open(bytes);
        ASSERT_NE(inf, kInvalidInf);
        EXPECT_EQ(LineFields(inf, u"S", u"Name"),
                  (std::vector<std::string>{"Name", "Caf\xC3\xA9 \xE2\x82\xAC"}));
    }
}

TEST_F(InfConformance, OpenChecksClassAndStyle) {
    const std::string net = kVersion;
    const std::string byGuidOnly =
        "[Version]\r\nSignature=\"$Windows NT$\"\r\nClassGUID={4D36E975-E325-11CE-BFC1-08002BE10318}\r\n";
    constexpr char kIgnoresClass[] = "known Wine gap: Wine's SetupOpenInfFileW does not check the class";
    const struct {
        std::string text;
        const char16_t* infClass;
        uint32_t style;
        Win32Error error;
        const char* wineGap = nullptr;
    } cases[] = {
        {net, u"Net", kInfStyleWin4, 0},
        {net, u"NET", kInfStyleWin4, 0},
        {net, nullptr, kInfStyleWin4, 0},
        {net, u"NetTrans", kInfStyleWin4, kErrorClassMismatch, kIgnoresClass},
        {byGuidOnly, u"NetTrans", kInfStyleWin4, 0},
        {byGuidOnly, u"Net", kInfStyleWin4, kErrorClassMismatch, kIgnoresClass},
        {"[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=Net\r\n", u"Net", kInfStyleWin4, 0},
        {"[Version]\r\nSignature=$Windows NT$\r\n", nullptr, kInfStyleWin4, 0},
        {"[Version]\r\nSignature=\"$Windows 3.1$\"\r\nClass=Net\r\n", nullptr, kInfStyleWin4,
         kErrorWrongInfStyle},
        {"[Version]\r\nClass=Net\r\n", u"Net", kInfStyleWin4, kErrorWrongInfStyle},
        {"[Other]\r\nx=1\r\n", nullptr, kInfStyleWin4, kErrorWrongInfStyle},
        {"; nothing but a comment\r\n", nullptr, kInfStyleWin4, kErrorWrongInfStyle},
        {"", nullptr, kInfStyleWin4, kErrorFileInvalid},
    };
    for (const auto& c : cases) {
        if (c.wineGap != nullptr && RunningUnderWine()) {
            std::printf("skipped: %s\n", c.wineGap);
            continue;
        }
        EXPECT_EQ(OpenError(c.text, c.infClass, c.style).first, c.error) << "[" << c.text << "]";
    }
}

TEST_F(InfConformance, SyntaxErrorsReportTheirLine) {
    const struct {
        std::string text;
        Win32Error error;
        uint32_t line;
    } cases[] = {
        {std::string(kVersion) + "[S]\r\nx=1\r\n[Broken\r\n", kErrorBadSectionNameLine, 7},
        {"; header\r\nSignature=\"$Windows NT$\"\r\n" + std::string(kVersion), kErrorExpectedSectionName, 2},
        {std::string(kVersion) + "[" + std::string(300, 'n') + "]\r\n", kErrorSectionNameTooLong, 5},
    };
    for (const auto& c : cases) {
        const auto [error, line] = OpenError(c.text);
        EXPECT_EQ(error, c.error) << c.text.substr(0, 60);
        EXPECT_EQ(line, c.line) << c.text.substr(0, 60);
    }
}

// Text before the first section is skipped in a file with a [Strings] section (a "[" on such a line
// still opens a section, a ";" still starts a comment) and refused at its first line in any other;
// an error further on is reported instead.
TEST_F(InfConformance, TextBeforeTheFirstSection) {
    const std::string version = kVersion;
    const std::string strings = "[Strings]\r\nQv = \"Quorvex\"\r\n";
    const struct {
        std::string text;
        Win32Error error;
        uint32_t line;
    } cases[] = {
        {"stray text\r\nx = 1\r\n" + version + strings, 0, 0},
        {"; note\r\nx = 1\r\nmore, text\r\n" + version, kErrorExpectedSectionName, 2},
        {"stray\r\n" + version + "[Broken\r\n", kErrorBadSectionNameLine, 6},
        {"stray\r\n" + version + "[Broken\r\n" + strings, kErrorBadSectionNameLine, 6},
        {"stray [Strings] text\r\nQv = Quorvex\r\n" + version, 0, 0},
        {"stray ; [Strings]\r\n" + version, kErrorExpectedSectionName, 1},
    };
    for (const auto& c : cases) {
        const auto [error, line] = OpenError(c.text);
        EXPECT_EQ(error, c.error) << c.text.substr(0, 40);
        EXPECT_EQ(line, c.line) << c.text.substr(0, 40);
    }
    HInf inf = Open("stray [Strings] text\r\nQv = Quorvex\r\n" + version + "[S]\r\nk = %Qv%\r\n");
    ASSERT_NE(inf, kInvalidInf);
    EXPECT_EQ(LineFields(inf, u"S", u"k"), (std::vector<std::string>{"k", "Quorvex"}));
}

TEST_F(InfConformance, OpenFindsFilesByNameAndFullPath) {
    const std::u16string name = Write(std::string(kVersion) + "[S]\r\nk=v\r\n");
    for (const std::u16string& path : {name, FullPathOf(name), Below(windows_, u"INF\\" + name)}) {
        HInf inf = inf::OpenInfFile(path.c_str(), u"Net", kInfStyleWin4, nullptr);
        ASSERT_NE(inf, kInvalidInf) << ToUtf8(path);
        EXPECT_EQ(LineFields(inf, u"S", u"k"), (std::vector<std::string>{"k", "v"}));
        inf::CloseInfFile(inf);
    }
    const std::u16string missing = ToUtf16(prefix_ + "missing.inf");
    EXPECT_EQ(inf::OpenInfFile(missing.c_str(), nullptr, kInfStyleWin4, nullptr), kInvalidInf);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST_F(InfConformance, GetInfClassReportsGuidAndName) {
    const std::u16string path = FullPathOf(Write(kVersion));
    Guid guid{};
    char16_t name[kMaxClassNameLength];
    uint32_t required = 0;
    ASSERT_TRUE(inf::GetInfClass(path.c_str(), &guid, name, kMaxClassNameLength, &required));
    EXPECT_EQ(guid, kGuidDevClassNet);
    EXPECT_EQ(std::u16string(name), u"Net");
    EXPECT_EQ(required, 4u);
    if (RunningUnderWine())
        GTEST_SKIP() << "known Wine gap: SetupDiGetINFClassW cuts the name to a short buffer";
    EXPECT_FALSE(inf::GetInfClass(path.c_str(), &guid, name, 3, &required));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    EXPECT_EQ(required, 4u);
}

TEST_F(InfConformance, WindowsDirectoryAndFileSearch) {
    char16_t buffer[kMaxPath];
    EXPECT_EQ(file::GetSystemWindowsDirectory(buffer, 2), windows_.size() + 1);  // too small: the size needed
    EXPECT_EQ(file::GetSystemWindowsDirectory(buffer, kMaxPath), windows_.size());

    const std::string text = std::string(kVersion);
    const std::string p = prefix_ + "s";
    const std::vector<std::string> all{p + "0.inf", p + "1.inf", p + "2.inf"};
    for (int i = 0; i < 3; ++i) Write(text, "s" + std::to_string(i) + ".inf");
    const auto find = [&](const std::string& pattern) {
        std::vector<std::string> names;
        FindData data;
        const std::u16string full = Below(windows_, u"Inf\\" + ToUtf16(pattern));
        HFind search = file::FindFirstFile(full.c_str(), &data);
        if (search == kInvalidFind)
            return std::vector<std::string>{"<error " + std::to_string(GetLastError()) + ">"};
        do {
            EXPECT_EQ(data.attributes & kFileAttributeDirectory, 0u);
            names.push_back(ToUtf8(data.fileName));
        } while (file::FindNextFile(search, &data));
        EXPECT_EQ(GetLastError(), kErrorNoMoreFiles);
        EXPECT_TRUE(file::FindClose(search));
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(find(p + "*.inf"), all);
    EXPECT_EQ(find(p + "?.INF"), all);
    EXPECT_EQ(find("QVCONF" + p.substr(6) + "*"), all);
    EXPECT_EQ(find(p + "1.inf"), std::vector<std::string>{p + "1.inf"});
    EXPECT_EQ(find(p + "??.inf"), std::vector<std::string>{"<error 2>"});  // kErrorFileNotFound
    EXPECT_EQ(find(p + "0.in"), std::vector<std::string>{"<error 2>"});

    FindData data;
    const std::u16string noFolder = Below(windows_, ToUtf16(prefix_) + u"nofolder\\*.inf");
    EXPECT_EQ(file::FindFirstFile(noFolder.c_str(), &data), kInvalidFind);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
}

TEST_F(InfConformance, FullPathsAndAttributes) {
    const std::u16string name = Write(kVersion);
    const std::u16string expected = FullPathOf(name);
    const std::u16string messy = Below(windows_, u"Inf\\.\\..\\Inf\\" + name);
    char16_t buffer[kMaxPath];
    char16_t* filePart = nullptr;
    const uint32_t length = file::GetFullPathName(messy.c_str(), kMaxPath, buffer, &filePart);
    ASSERT_EQ(length, expected.size());
    EXPECT_EQ(std::u16string(buffer), expected);
    ASSERT_NE(filePart, nullptr);
    EXPECT_EQ(std::u16string(filePart), name);
    EXPECT_EQ(file::GetFullPathName(messy.c_str(), length, buffer, nullptr), expected.size() + 1);

    const uint32_t folder = file::GetFileAttributes(Below(windows_, u"Inf").c_str());
    ASSERT_NE(folder, kInvalidFileAttributes);
    EXPECT_NE(folder & kFileAttributeDirectory, 0u);
    const uint32_t attributes = file::GetFileAttributes(expected.c_str());
    ASSERT_NE(attributes, kInvalidFileAttributes);
    EXPECT_EQ(attributes & kFileAttributeDirectory, 0u);
    EXPECT_EQ(file::GetFileAttributes(FullPathOf(ToUtf16(prefix_ + "missing.inf")).c_str()),
              kInvalidFileAttributes);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_EQ(file::GetFileAttributes(Below(windows_, ToUtf16(prefix_) + u"nofolder\\x.inf").c_str()),
              kInvalidFileAttributes);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
}

TEST_F(InfConformance, GetVersionExFillsTheExtendedRecord) {
    OsVersionInfo info;
    ASSERT_TRUE(os::GetVersionEx(&info));
    EXPECT_EQ(info.platformId, kVerPlatformWin32Nt);
    EXPECT_GE(info.majorVersion, 5u);
    EXPECT_GT(info.buildNumber, 0u);
    OsVersionInfo wrong;
    wrong.osVersionInfoSize = sizeof(OsVersionInfo) + 4;
    EXPECT_FALSE(os::GetVersionEx(&wrong));
}

}  // namespace
}  // namespace qv
