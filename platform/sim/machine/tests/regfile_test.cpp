// .reg files: the exact text written, a byte-exact round trip, both encodings on import, and
// malformed files refused with their line number and without any change.
#include "qv/sim/regfile.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/testing/bytes.h"
#include "qv/testing/temp_machine.h"
#include "sim_machine.h"

namespace qv::sim {
namespace {

using qv::testing::StringBytes;
using qv::testing::Utf16Bytes;
using testing::EmptyMachine;
using Bytes = std::vector<uint8_t>;

HKey Key(const char16_t* path) {
    HKey key = nullptr;
    EXPECT_EQ(reg::CreateKeyEx(kHkeyLocalMachine, path, 0, kKeyAllAccess, &key, nullptr), kErrorSuccess);
    return key;
}

void Set(const char16_t* path, const char16_t* name, uint32_t type, const Bytes& data) {
    HKey key = Key(path);
    EXPECT_EQ(reg::SetValueEx(key, name, type, data.data(), static_cast<uint32_t>(data.size())),
              kErrorSuccess);
    reg::CloseKey(key);
}

// Every key with its values (name, type, bytes) in enumeration order, read through the port.
using Snapshot = std::map<std::u16string, std::vector<std::tuple<std::u16string, uint32_t, Bytes>>>;

void Collect(HKey key, const std::u16string& path, Snapshot* snapshot) {
    auto& values = (*snapshot)[path];
    char16_t name[kMaxKeyNameLength + 1];
    for (uint32_t i = 0;; ++i) {
        uint32_t length = kMaxKeyNameLength + 1, type = 0, size = 0;
        if (reg::EnumValue(key, i, name, &length, &type, nullptr, &size) != kErrorSuccess) break;
        Bytes data(size);
        length = kMaxKeyNameLength + 1;
        ASSERT_EQ(reg::EnumValue(key, i, name, &length, &type, data.data(), &size), kErrorSuccess);
        values.emplace_back(std::u16string(name, length), type, data);
    }
    for (const std::u16string& child : testing::Subkeys(key)) {
        HKey sub = nullptr;
        ASSERT_EQ(reg::OpenKeyEx(key, child.c_str(), kKeyRead, &sub), kErrorSuccess);
        Collect(sub, path + u"\\" + child, snapshot);
        reg::CloseKey(sub);
    }
}

Snapshot Take() {
    Snapshot snapshot;
    Collect(kHkeyLocalMachine, u"", &snapshot);
    return snapshot;
}

using RegFileExport = EmptyMachine;

TEST_F(RegFileExport, WritesRegeditFormat) {
    Set(u"SOFTWARE\\Qv", nullptr, kRegSz, StringBytes(u"default"));
    Set(u"SOFTWARE\\Qv", u"Path", kRegSz, StringBytes(u"C:\\Windows\\\"inf\""));
    Set(u"SOFTWARE\\Qv", u"TeamNumber", kRegDword, {0x21, 0x01, 0, 0});
    Set(u"SOFTWARE\\Qv", u"VlanBinding", kRegMultiSz, StringBytes(std::u16string(u"a\0b\0", 4)));
    Set(u"SOFTWARE\\Qv", u"Env", kRegExpandSz, StringBytes(u"%W%"));
    Set(u"SOFTWARE\\Qv", u"Empty", kRegBinary, {});
    Set(u"SOFTWARE\\Qv", u"Q", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0x80});
    Set(u"SOFTWARE\\Qv", u"Say \"hi\"\\", kRegDword, {1, 2, 3});  // not four bytes: hex(4)
    Set(u"SOFTWARE\\Qv", u"Raw", kRegSz, Utf16Bytes(u"ab"));      // no terminator: hex(1)
    reg::CloseKey(Key(u"SOFTWARE\\Qv\\Child"));
    const std::string expected =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_LOCAL_MACHINE]\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qv]\n"
        "@=\"default\"\n"
        "\"Path\"=\"C:\\\\Windows\\\\\\\"inf\\\"\"\n"
        "\"TeamNumber\"=dword:00000121\n"
        "\"VlanBinding\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
        "\"Env\"=hex(2):25,00,57,00,25,00,00,00\n"
        "\"Empty\"=hex:\n"
        "\"Q\"=hex(b):01,00,00,00,00,00,00,80\n"
        "\"Say \\\"hi\\\"\\\\\"=hex(4):01,02,03\n"
        "\"Raw\"=hex(1):61,00,62,00\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qv\\Child]\n\n";
    EXPECT_EQ(qv::testing::ExportRegistry(), expected);
}

TEST_F(RegFileExport, WrapsLongHexAtEightyColumns) {
    Bytes blob(60);
    for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i);
    Set(u"K", u"Blob", kRegBinary, blob);
    const std::string text = qv::testing::ExportRegistry();
    const std::string expected =
        "[HKEY_LOCAL_MACHINE\\K]\n"
        "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
        "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
        "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b\n";
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
}

TEST_F(RegFileExport, ExportsASubtree) {
    Set(u"A\\In", u"v", kRegDword, {1, 0, 0, 0});
    Set(u"B", u"v", kRegDword, {2, 0, 0, 0});
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(ExportRegFile(out, &error, u"A\\")) << error;  // a trailing backslash changes nothing
    EXPECT_EQ(out.str(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n\n"
              "[HKEY_LOCAL_MACHINE\\A\\In]\n\"v\"=dword:00000001\n\n");
    EXPECT_FALSE(ExportRegFile(out, &error, u"Missing"));
    EXPECT_NE(error.find("error 2"), std::string::npos) << error;
}

// Device-interface registrations are written as Windows keeps them: below each one the reference
// key "#" with SymbolicLink and "#\Control" with Linked, 1 for a present device and 0 for one
// without its Enum key. Imported and exported again, the file is the same ("#" written once).
TEST_F(RegFileExport, WritesDeviceInterfacesAsWindowsKeepsThem) {
    const std::u16string classPath =
        u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{B5C98E43-7483-415C-9308-38065264E10B}";
    for (const char16_t* id : {u"0000", u"0001"}) {
        const std::u16string instance = std::u16string(u"ROOT\\QVVBD\\") + id;
        const std::u16string name =
            std::u16string(u"ROOT#QVVBD#") + id + u"#{B5C98E43-7483-415C-9308-38065264E10B}";
        const std::u16string key = classPath + u"\\##?#" + name;
        Set(key.c_str(), u"DeviceInstance", kRegSz, StringBytes(instance));
        Set(key.c_str(), u"SymbolicLink", kRegSz, StringBytes(u"\\\\?\\" + name));
    }
    reg::CloseKey(Key(u"SYSTEM\\CurrentControlSet\\Enum\\ROOT\\QVVBD\\0000"));
    Set(u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{OTHER}\\NotAnInterface", u"v", kRegDword,
        {1, 0, 0, 0});

    // Only the present device (0000) is linked.
    const std::string classes = R"([HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\DeviceClasses)";
    const std::string guid = "{B5C98E43-7483-415C-9308-38065264E10B}";
    std::string expected =
        "Windows Registry Editor Version 5.00\n\n" + classes + "]\n\n" + classes + "\\" + guid + "]\n\n";
    for (const std::string id : {"0000", "0001"}) {
        const std::string key = classes + "\\" + guid + R"(\##?#ROOT#QVVBD#)" + id + "#" + guid;
        const std::string link = R"("SymbolicLink"="\\\\?\\ROOT#QVVBD#)" + id + "#" + guid + "\"\n";
        expected += key + "]\n" + R"("DeviceInstance"="ROOT\\QVVBD\\)" + id + "\"\n" + link + "\n";
        expected += key + R"(\#])" + "\n" + link + "\n";
        expected +=
            key + R"(\#\Control])" + "\n\"Linked\"=dword:0000000" + (id == "0000" ? "1" : "0") + "\n\n";
    }
    expected += classes + R"(\{OTHER}])" + "\n\n" + classes + R"(\{OTHER}\NotAnInterface])" +
                "\n\"v\"=dword:00000001\n\n";
    const std::u16string subtree = u"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(ExportRegFile(out, &error, subtree)) << error;
    EXPECT_EQ(out.str(), expected);

    const std::string whole = qv::testing::ExportRegistry();
    UseSecondEmptyMachine();
    ASSERT_TRUE(ImportRegFile(whole, &error)) << error;
    std::ostringstream again;
    ASSERT_TRUE(ExportRegFile(again, &error, subtree)) << error;
    EXPECT_EQ(again.str(), expected);
}

using RegFileRoundTrip = EmptyMachine;

TEST_F(RegFileRoundTrip, ImportIntoAnEmptyMachineGivesTheSameMachine) {
    Bytes big(1000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    Set(u"SYSTEM\\CurrentControlSet\\Services\\qvteamp\\Parameters\\Adapters\\{0A1B2C3D-0000-4000-8000-"
        u"00000000AB01}",
        u"TeamBinding", kRegSz, StringBytes(u"\\Device\\{11111111-2222-3333-4444-555555555555}"));
    Set(u"MixedCase\\Sub", u"CamelValue", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF});
    Set(u"MixedCase\\Sub", nullptr, kRegBinary, {});
    Set(u"MixedCase\\Sub", u"Unicode \u00e9\u4e2d\U0001F600", kRegSz, StringBytes(u"\u00e9\u4e2d\U0001F600"));
    Set(u"MixedCase\\Sub", u"LoneSurrogate", kRegSz, StringBytes(std::u16string(1, char16_t(0xD800))));
    Set(u"MixedCase\\Sub", u"Newline", kRegSz, StringBytes(u"two\nlines"));
    Set(u"MixedCase\\Sub", u"Big", 0x12345, big);
    Set(u"MixedCase\\Sub", u"Zero", kRegNone, {});
    Set(u"MixedCase\\Sub", u"\"quoted\" \\ name", kRegSz, StringBytes(u""));
    Set(u"Keys with ] and [ and = signs", u"x", kRegDword, {0, 0, 0, 0});
    reg::CloseKey(Key(u"EmptyKey\\Deeper\\Deepest"));
    const Snapshot before = Take();
    const std::string text = qv::testing::ExportRegistry();

    UseSecondEmptyMachine();
    std::string error;
    ASSERT_TRUE(ImportRegFile(text, &error)) << error;
    EXPECT_EQ(Take(), before);
    EXPECT_EQ(qv::testing::ExportRegistry(), text);
}

using RegFileImport = EmptyMachine;

TEST_F(RegFileImport, AcceptsUtf16WithByteOrderMarkAndUtf8WithOne) {
    const std::u16string text =
        u"Windows Registry Editor Version "
        u"5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Wide]\r\n\"N\u00e4me\"=\"v\u00e4lue\"\r\n";
    const Bytes bytes = Utf16Bytes(text);
    const std::string utf16 = "\xFF\xFE" + std::string(bytes.begin(), bytes.end());
    std::string error;
    ASSERT_TRUE(ImportRegFile(utf16, &error)) << error;
    ASSERT_TRUE(ImportRegFile(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\Narrow]\n@=dword:7\n"
        "\"M\"=dword:aBcDeF01\n\"H\"=hex(A):0F,f\n",
        &error))
        << error;
    EXPECT_EQ(qv::testing::ExportRegistry(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE]\n\n"
              "[HKEY_LOCAL_MACHINE\\Narrow]\n@=dword:00000007\n\"M\"=dword:abcdef01\n\"H\"=hex(a):0f,0f\n\n"
              "[HKEY_LOCAL_MACHINE\\Wide]\n\"N\u00e4me\"=\"v\u00e4lue\"\n\n");
}

TEST_F(RegFileImport, DeletesKeysWithTheirSubtreeAndValues) {
    Set(u"Doomed\\A\\B", u"v", kRegDword, {1, 0, 0, 0});
    Set(u"Kept", u"gone", kRegDword, {1, 0, 0, 0});
    Set(u"Kept", u"stays", kRegDword, {2, 0, 0, 0});
    std::string error;
    ASSERT_TRUE(
        ImportRegFile("Windows Registry Editor Version 5.00\n"
                      "; comments are ignored\n"
                      "[-HKEY_LOCAL_MACHINE\\Doomed]\n"
                      "[-HKEY_LOCAL_MACHINE\\NeverThere]\n"
                      "[hkey_local_machine\\kept]\n"
                      "\"GONE\"=-\n"
                      "\"absent\"=-\n"
                      "\"Hex\"=hex(7):61,00,\\\n"
                      "    00,00 , 00,00\n",
                      &error))
        << error;
    EXPECT_EQ(qv::testing::ExportRegistry(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE]\n\n"
              "[HKEY_LOCAL_MACHINE\\Kept]\n\"stays\"=dword:00000002\n\"Hex\"=hex(7):61,00,00,00,00,00\n\n");
}

TEST_F(RegFileImport, MalformedFilesAreRefusedWithTheirLineAndChangeNothing) {
    Set(u"Existing", u"v", kRegDword, {9, 0, 0, 0});
    const std::string before = qv::testing::ExportRegistry();
    const std::string header = "Windows Registry Editor Version 5.00\n";
    const std::string beforeLine4 = header + "[HKEY_LOCAL_MACHINE\\New]\n\"ok\"=dword:00000001\n";
    const struct {
        std::string content;
        std::string error;
    } cases[] = {
        {"", "line 1: not a registry file"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n", "line 1: not a registry file"},
        {beforeLine4 + "\"v\"=dword:123456789\n", "line 4: dword: needs 1 to 8 hex digits"},
        {beforeLine4 + "\"v\"=dword:xyz\n", "line 4: dword:"},
        {beforeLine4 + "\"v\"=dword:-1\n", "line 4: dword:"},
        {beforeLine4 + "\"v\"=dword:+1\n", "line 4: dword:"},
        {beforeLine4 + "\"v\"=dword:0x1\n", "line 4: dword:"},
        {beforeLine4 + "\"v\"=hex:-1\n", "line 4: hex data must be bytes"},
        {beforeLine4 + "\"v\"=hex(+1):01\n", "line 4: hex(type)"},
        {beforeLine4 + "\"v\"=hex:0g\n", "line 4: hex data must be bytes"},
        {beforeLine4 + "\"v\"=hex:100\n", "line 4: hex data must be bytes"},
        {beforeLine4 + "\"v\"=hex:01,,02\n", "line 4: hex data must be bytes"},
        {beforeLine4 + "\"v\"=hex(zz):01\n", "line 4: hex(type)"},
        {beforeLine4 + "\"v\"=hex(1:01\n", "line 4: hex(type)"},
        {beforeLine4 + "\"v\"=hexagon\n", "line 4: expected ':' after hex"},
        {beforeLine4 + "\"v\"=hex:01,\\\n", "line 4: the file ends inside a continued value"},
        {beforeLine4 + "\"v\"=hex:01,\\", "line 4: the file ends inside a continued value"},
        {beforeLine4 + "\"v\"=\"unterminated\n", "line 4: a quoted string is not closed"},
        {beforeLine4 + "\"v\"=\"bad \\n escape\"\n", "line 4: only \\\\ and \\\" may follow"},
        {beforeLine4 + "\"v\"=\"text\" trailing\n", "line 4: unexpected text after the quoted string"},
        {beforeLine4 + "\"v\" = dword:1\n", "line 4: expected '=' after the value name"},
        {beforeLine4 + "\"v\"=qword:1\n", "line 4: unknown value data"},
        {beforeLine4 + "garbage\n", "line 4: expected a [key]"},
        {header + "\"v\"=dword:1\n", "line 2: a value must follow a [key] line"},
        {header + "[-HKEY_LOCAL_MACHINE\\Existing]\n\"v\"=dword:1\n",
         "line 3: a value must follow a [key] line"},
        {beforeLine4 + "[HKEY_CURRENT_USER\\X]\n", "line 4: only keys under HKEY_LOCAL_MACHINE"},
        {beforeLine4 + "[HKEY_LOCAL_MACHINEX]\n", "line 4: only keys under HKEY_LOCAL_MACHINE"},
        {beforeLine4 + "[HKEY_LOCAL_MACHINE\\A\\\\B]\n", "line 4: the key path has an empty name"},
        {beforeLine4 + "[HKEY_LOCAL_MACHINE\\A\n", "line 4: a key line must end with ']'"},
        {beforeLine4 + "[-HKEY_LOCAL_MACHINE]\n", "line 4: HKEY_LOCAL_MACHINE itself cannot be deleted"},
        {beforeLine4 + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'k') + "]\n",
         "line 4: a key name is longer"},
        {beforeLine4 + "\"\xC3\x28\"=dword:1\n", "line 4: the line is not valid UTF-8"},
        {beforeLine4 + "[HKEY_LOCAL_MACHINE\\A" + std::string(1, '\0') + "B]\n",
         "line 4: a key name contains a control"},
        {beforeLine4 + "\"a\x1f\"=dword:1\n", "line 4: the value name contains a control character"},
        {"\xFF\xFE\x57", "the file is UTF-16 but has an odd number of bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        std::string error;
        EXPECT_FALSE(ImportRegFile(c.content, &error));
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        EXPECT_EQ(qv::testing::ExportRegistry(), before);
    }
}

}  // namespace
}  // namespace qv::sim
