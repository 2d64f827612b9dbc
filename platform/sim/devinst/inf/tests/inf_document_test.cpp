// The INF reader's syntax rules, line by line, its refusals and its limits on bad input.
#include "qv/sim/inf/inf_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "qv/platform/utf.h"
#include "qv/testing/temp_dir.h"

namespace qv::sim::inf {
namespace {

// The syntax of lines is held to SetupAPI's by platform/tests/inf_conformance.cpp; here: what the
// reader's own interface adds (field counts, raw and substituted fields).
TEST(InfDocument, FieldCountsAndRawFields) {
    const auto doc =
        InfDocument::Parse("[S]\nab\na=\nx, y,\"%Q%\"\nk=%Pct%\n[Strings]\nPct=50%%\nQ=q\n", nullptr);
    ASSERT_TRUE(doc);
    const struct {
        uint32_t line;
        bool hasKey;
        uint32_t fieldCount;
    } lines[] = {{0, true, 1}, {1, true, 1}, {2, false, 3}, {3, true, 1}};
    for (const auto& l : lines) {
        EXPECT_EQ(doc->HasKey(0, l.line), l.hasKey) << l.line;
        EXPECT_EQ(doc->FieldCount(0, l.line), l.fieldCount) << l.line;
        EXPECT_FALSE(doc->RawField(0, l.line, l.fieldCount + 1)) << l.line;
    }
    EXPECT_EQ(doc->RawField(0, 0, 0), u"ab");  // one field without a key is its own key
    EXPECT_EQ(doc->RawField(0, 2, 0), std::nullopt);
    EXPECT_EQ(doc->RawField(0, 2, 3), u"%Q%");
    EXPECT_EQ(doc->Field(0, 2, 3), u"q");
    EXPECT_EQ(doc->Field(0, 3, 1), u"50%%");  // a [Strings] value is not substituted again
    EXPECT_EQ(doc->FindLine(0, u"A"), 1u);
    EXPECT_EQ(doc->FindLine(0, u"x"), std::nullopt);
}

TEST(InfDocument, SectionsMergeWithoutRegardToCase) {
    const auto doc = InfDocument::Parse(
        "; leading comment\r\n\r\n[Version]\r\nSignature=\"$Windows NT$\"\r\n[Other]  trailing text\r\n"
        "x=1\r\n[VERSION]\r\nClass=Net\r\n[Empty]\r\n[Sec;tion]\r\n",
        nullptr);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->SectionCount(), 4u);
    const uint32_t version = *doc->FindSection(u"version");
    EXPECT_EQ(doc->SectionName(version), u"Version");
    ASSERT_EQ(doc->LineCount(version), 2u);
    EXPECT_EQ(doc->LineNumber(version, 0), 4u);
    EXPECT_EQ(doc->LineNumber(version, 1), 8u);
    EXPECT_EQ(doc->Value(u"VERSION", u"class"), u"Net");
    EXPECT_EQ(doc->Value(u"Version", u"Provider"), std::nullopt);
    EXPECT_EQ(doc->Value(u"Missing", u"Class"), std::nullopt);
    EXPECT_EQ(doc->LineCount(*doc->FindSection(u"empty")), 0u);
    EXPECT_TRUE(doc->FindSection(u"Sec;tion"));
    EXPECT_EQ(doc->FindLine(version, u"class"), 1u);
    EXPECT_EQ(doc->FindLine(version, u"signature", 1), std::nullopt);
}

// Text with a byte-order mark is held to SetupAPI's reading by the INF conformance suite.
TEST(InfDocument, UnmarkedTextAndCtrlZ) {
    const std::string plain = "[Version]\r\nProvider = \"Caf\xC3\xA9\"\r\n";
    const std::string inputs[] = {
        plain,
        "[Version]\r\nProvider = \"Caf\xE9\"\r\n",  // ANSI
        plain + "\x1A[Version]\r\nClass=Net\r\n",   // Ctrl-Z ends the text
    };
    for (const auto& bytes : inputs) {
        const auto doc = InfDocument::Parse(bytes, nullptr);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->Value(u"Version", u"Provider"), u"Caf\u00E9");
        EXPECT_EQ(doc->Value(u"Version", u"Class"), std::nullopt);
    }
}

// Stray text and unclosed sections are held to SetupAPI's by the INF conformance suite.
TEST(InfDocument, SyntaxErrorsAreRefusedWithTheirLine) {
    const struct {
        std::string text;
        Win32Error code;
        uint32_t line;
    } cases[] = {
        {"; c\n\n  x\n[S]\n", kErrorExpectedSectionName, 3},  // blank lines count
        {"[" + std::string(256, 'n') + "]\n", kErrorSectionNameTooLong, 1},
        {"[S]\na=" + std::string(4097, 'x') + "\n", kErrorGeneralSyntax, 2},
        {"[S]\na=\"" + std::string(4097, 'x') + "\"\n", kErrorGeneralSyntax, 2},
        {"[S]\n\na=" + std::string(4000, 'x') + "\\\n" + std::string(100, 'y') + "\n", kErrorGeneralSyntax,
         4},
    };
    for (const auto& c : cases) {
        InfError error;
        SCOPED_TRACE(c.text.substr(0, 40));
        EXPECT_FALSE(InfDocument::Parse(c.text, &error));
        EXPECT_EQ(error.code, c.code);
        EXPECT_EQ(error.line, c.line);
        EXPECT_NE(error.message.find("line " + std::to_string(c.line)), std::string::npos) << error.message;
    }
    // Fields at the limit are kept; a substitution beyond it is refused, never cut short.
    const std::string longest(4096, 'x');
    const auto doc =
        InfDocument::Parse("[S]\na=" + longest + "\nb=%L%%L%\n[Strings]\nL=" + longest + "\n", nullptr);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->Value(u"S", u"a"), ToUtf16(longest));
    EXPECT_EQ(doc->Value(u"S", u"b"), std::nullopt);
    EXPECT_EQ(doc->RawField(0, 1, 1), u"%L%%L%");
}

TEST(InfDocument, EmptyBinaryAndLargeInputsStayBounded) {
    EXPECT_EQ(InfDocument::Parse("", nullptr)->SectionCount(), 0u);
    EXPECT_EQ(InfDocument::Parse("\xFF\xFE", nullptr)->SectionCount(), 0u);
    EXPECT_EQ(InfDocument::Parse(std::string_view("\xFF\xFE;\0[", 5), nullptr)->SectionCount(),
              0u);  // odd byte dropped
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 7919) >> 3));
    InfError error;
    (void)InfDocument::Parse("[S]\n" + binary, &error);  // accepted or refused, never a crash

    InfError huge;
    EXPECT_FALSE(InfDocument::Parse(std::string(kMaxInfFileBytes + 1, '\n'), &huge));
    EXPECT_EQ(huge.code, kErrorNotEnoughMemory);
    EXPECT_TRUE(InfDocument::Parse(std::string(kMaxInfFileBytes, '\n'), nullptr));

    std::string manySections;
    for (size_t i = 0; i <= kMaxSections; ++i) manySections += "[" + std::to_string(i) + "]\n";
    EXPECT_FALSE(InfDocument::Parse(manySections, &error));
    EXPECT_EQ(error.code, kErrorGeneralSyntax);

    // A [Strings] section of many keys and a line of many references resolve quickly.
    std::string strings = "[S]\nk=";
    for (int i = 0; i < 1000; ++i) strings += "%s" + std::to_string(i % 10) + "%";
    strings += "\n[Strings]\n";
    for (int i = 0; i < 200000; ++i) strings += "s" + std::to_string(i) + "=v\n";
    const auto doc = InfDocument::Parse(strings, nullptr);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->Value(u"S", u"k"), std::u16string(1000, u'v'));
}

TEST(InfDocument, LoadRefusesMissingAndHugeFiles) {
    const qv::testing::TempDir dir("qv-inf-doc");
    ASSERT_TRUE(qv::testing::WriteFile(dir / "empty.inf", ""));
    ASSERT_TRUE(qv::testing::WriteFile(dir / "huge.inf", ""));
    std::filesystem::resize_file(dir / "huge.inf", kMaxInfFileBytes + 1);  // sparse: one byte too many
    const struct {
        std::filesystem::path path;
        Win32Error code;
    } refusals[] = {
        {dir / "missing.inf", kErrorFileNotFound},
        {dir.path(), kErrorAccessDenied},
        {dir / "empty.inf", kErrorFileInvalid},
        {dir / "huge.inf", kErrorNotEnoughMemory},
    };
    InfError error;
    for (const auto& r : refusals) {
        EXPECT_FALSE(InfDocument::Load(r.path, &error)) << r.path;
        EXPECT_EQ(error.code, r.code) << r.path;
    }
    ASSERT_TRUE(qv::testing::WriteFile(dir / "bad.inf", "[S]\n[x\n"));
    EXPECT_FALSE(InfDocument::Load(dir / "bad.inf", &error));
    EXPECT_EQ(error.line, 2u);
    EXPECT_NE(error.message.find("bad.inf: line 2"), std::string::npos) << error.message;
}

}  // namespace
}  // namespace qv::sim::inf
