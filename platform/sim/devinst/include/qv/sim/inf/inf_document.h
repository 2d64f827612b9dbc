// An INF file read with SetupAPI's rules, for the simulated host's INF calls and any other simulator
// code that needs a driver package's lines (device installation reads Manufacturer and model
// sections through it).
//
// Syntax, as SetupAPI reads it:
// - "[name]" starts a section; names compare without regard to case; a section written twice is one
//   section with the lines of both, in file order. Text after "]" is ignored. A "[" without "]" and
//   a name over 255 units are errors.
// - Text before the first section belongs to no section: its lines are looked at character by
//   character as at the start of a line (";" still starts a comment and "[" a section), the rest
//   skipped. A file with such text and no [Strings] section is refused, with the first such line as
//   the error line, once the whole file was read (an error further on is reported instead).
// - ";" outside quotes starts a comment to the end of the line.
// - A line is "key = field, field, ..." or "field, field, ..."; only a "=" before the first comma
//   separates a key. A line of one field and no key has that field as its key too.
// - "..." quotes text (commas, semicolons, "=" and spaces kept); "" inside quotes is one quote. A
//   quote left open ends at the end of the line.
// - Spaces and tabs around keys and fields are dropped, except inside quotes.
// - A "\" followed only by spaces (and maybe a comment) continues the line on the next one; any
//   other "\" is text.
// - Fields are read with %strkey% replaced by the first field of line strkey of [Strings]; "%%" is
//   one "%"; an unknown strkey and a lone "%" stay as written. Keys are matched substituted too;
//   the keys of [Strings] itself are looked up as written.
// - Files are UTF-16LE with a byte-order mark, UTF-8 with or without one, or else ANSI (read as
//   Latin-1). Ctrl-Z ends the text.
//
// Limits: files up to kMaxInfFileBytes, fields (also after substitution) up to kMaxFieldUnits, up to
// kMaxSections sections. A file beyond them is refused, like a syntax error, never cut short. The
// parsed form takes at most about ten times the file's size.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "qv/platform/result_codes.h"

namespace qv::sim::inf {

inline constexpr size_t kMaxInfFileBytes = size_t{16} << 20;
inline constexpr size_t kMaxFieldUnits = 4096;  // MAX_INF_STRING_LENGTH
inline constexpr size_t kMaxSectionNameUnits = 255;
inline constexpr size_t kMaxSections = size_t{1} << 17;

// Why a file was refused.
struct InfError {
    Win32Error code = kErrorSuccess;  // kErrorExpectedSectionName, kErrorBadSectionNameLine,
                                      // kErrorSectionNameTooLong, kErrorGeneralSyntax, or a file error
    uint32_t line = 0;                // 1-based line of a syntax error; 0 for file errors
    std::string message;              // one line: what is wrong (and where)
};

class InfDocument {
  public:
    // Parses the bytes of an INF file; nullopt with *error (may be null) filled when refused.
    static std::optional<InfDocument> Parse(std::string_view bytes, InfError* error);
    // Reads and parses a regular file of 1 to kMaxInfFileBytes bytes (an empty file: kErrorFileInvalid).
    static std::optional<InfDocument> Load(const std::filesystem::path& file, InfError* error);

    // Sections: indexes 0 .. SectionCount() - 1 in order of first appearance.
    uint32_t SectionCount() const { return static_cast<uint32_t>(sections_.size()); }
    std::optional<uint32_t> FindSection(std::u16string_view name) const;
    std::u16string_view SectionName(uint32_t section) const { return sections_[section].name; }

    // Lines of a section: indexes 0 .. LineCount(section) - 1 in file order.
    uint32_t LineCount(uint32_t section) const {
        return static_cast<uint32_t>(sections_[section].lines.size());
    }
    // The first line of section whose key, substituted, is key (without regard to case), from index
    // `from` on.
    std::optional<uint32_t> FindLine(uint32_t section, std::u16string_view key, uint32_t from = 0) const;
    // The 1-based file line where a line begins.
    uint32_t LineNumber(uint32_t section, uint32_t line) const;
    bool HasKey(uint32_t section, uint32_t line) const;
    // Number of fields after the key (SetupGetFieldCount).
    uint32_t FieldCount(uint32_t section, uint32_t line) const;

    // A field as written (unquoted, not substituted), numbered as SetupGetStringField numbers them:
    // 0 is the key. nullopt when the line has no such field.
    std::optional<std::u16string_view> RawField(uint32_t section, uint32_t line, uint32_t field) const;
    // The same with %strkey% substitution; nullopt also when the result exceeds kMaxFieldUnits.
    std::optional<std::u16string> Field(uint32_t section, uint32_t line, uint32_t field) const;
    // Field 1 of the first line with key in section (substituted): "Class" of "Version" and the like.
    std::optional<std::u16string> Value(std::u16string_view section, std::u16string_view key) const;

    // text with %strkey% replaced from [Strings]; nullopt when the result exceeds kMaxFieldUnits.
    std::optional<std::u16string> Substitute(std::u16string_view text) const;

  private:
    enum class Key : uint8_t { kNone, kOwn, kFirstField };
    struct Line {
        uint32_t firstField = 0;  // index into fieldEnds_ of field 1; an own key is stored just before
        uint32_t fieldCount = 0;  // fields after the key
        uint32_t number = 0;
        Key key = Key::kNone;  // kFirstField: a line of one field without "=" has it as its key too
    };
    struct Section {
        std::u16string name;
        std::vector<uint32_t> lines;  // indexes into lines_
    };
    friend class InfParser;

    const Line& LineAt(uint32_t section, uint32_t line) const {
        return lines_[sections_[section].lines[line]];
    }
    std::u16string_view StoredField(uint32_t index) const;
    std::u16string_view KeyOf(const Line& line) const;
    bool KeyIs(const Line& line, std::u16string_view key) const;
    // Field 1 of the [Strings] line with key (unsubstituted; "" when it has none).
    std::optional<std::u16string_view> StringValue(std::u16string_view key) const;

    std::u16string text_;              // every field's text, one after the other
    std::vector<uint32_t> fieldEnds_;  // end of each field in text_; a field starts where the last ended
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, uint32_t> sectionByName_;  // FoldKey of the name -> index
    std::optional<uint32_t> strings_;                          // the [Strings] section
    std::vector<uint32_t> stringKeys_;  // keyed lines of [Strings] (into lines_), sorted by key
};

}  // namespace qv::sim::inf
