// The INF reader: decoding of the file's bytes, the line parser and lookups (rules in inf_document.h).
#include "qv/sim/inf/inf_document.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "qv/platform/utf.h"
#include "qv/sim/reg_names.h"

namespace qv::sim::inf {
namespace {

constexpr char16_t kControlZ = 0x1A;

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Compares names as SetupAPI does: unit by unit, upper-cased.
int CompareNoCase(std::u16string_view a, std::u16string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = regnames::Upcase(a[i]);
        const char16_t y = regnames::Upcase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The file's text: UTF-16LE after FF FE, UTF-8 after EF BB BF or when the bytes are well-formed
// UTF-8, else ANSI read as Latin-1. Everything from a Ctrl-Z on is dropped.
std::u16string Decode(std::string_view bytes) {
    std::u16string text;
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
        static_cast<uint8_t>(bytes[1]) == 0xFE) {
        text.resize((bytes.size() - 2) / 2);
        for (size_t i = 0; i < text.size(); ++i) {
            text[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 + 2 * i]) |
                                            (static_cast<uint8_t>(bytes[3 + 2 * i]) << 8));
        }
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = ToUtf16(bytes.substr(3));
    } else if (!ToUtf16Strict(bytes, &text)) {
        text.assign(bytes.size(), u'\0');
        for (size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<uint8_t>(bytes[i]);
    }
    if (const size_t end = text.find(kControlZ); end != std::u16string::npos) text.resize(end);
    return text;
}

}  // namespace

// Reads text into a document line by line; stops at the first error.
class InfParser {
  public:
    InfParser(std::u16string_view text, InfDocument& document, InfError* error)
        : text_(text), doc_(document), error_(error) {}

    bool Run() {
        while (pos_ < text_.size()) {
            SkipSpaces();
            if (AtLineEnd()) {
                NextLine();
            } else if (text_[pos_] == u';') {
                SkipToLineEnd();
            } else if (text_[pos_] == u'[') {
                if (!ParseSection()) return false;
            } else if (!section_) {
                // Text before the first section is skipped one character at a time, so that a ";"
                // or "[" further on the line still counts.
                if (!textOutsideSection_) textOutsideSection_ = lineNumber_;
                ++pos_;
            } else if (!ParseEntry()) {
                return false;
            }
        }
        // Such text is refused only in a file without [Strings].
        if (textOutsideSection_ && !doc_.FindSection(u"Strings")) {
            lineNumber_ = *textOutsideSection_;
            return Fail(kErrorExpectedSectionName, "a line before the first section");
        }
        return true;
    }

  private:
    bool AtLineEnd() const { return pos_ >= text_.size() || text_[pos_] == u'\n'; }
    void SkipSpaces() {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    }
    void SkipToLineEnd() {
        while (!AtLineEnd()) ++pos_;
    }
    void NextLine() {
        if (pos_ < text_.size()) ++pos_;
        ++lineNumber_;
    }

    bool Fail(Win32Error code, const std::string& what) {
        if (error_ != nullptr) {
            error_->code = code;
            error_->line = lineNumber_;
            error_->message = "line " + std::to_string(lineNumber_) + ": " + what;
        }
        return false;
    }

    bool ParseSection() {
        const size_t start = ++pos_;
        while (!AtLineEnd() && text_[pos_] != u']') ++pos_;
        if (AtLineEnd()) return Fail(kErrorBadSectionNameLine, "a section name without \"]\"");
        const std::u16string_view name = text_.substr(start, pos_ - start);
        if (name.size() > kMaxSectionNameUnits)
            return Fail(kErrorSectionNameTooLong, "a section name over 255 characters");
        SkipToLineEnd();
        section_ = doc_.FindSection(name);
        if (section_) return true;
        if (doc_.sections_.size() >= kMaxSections)
            return Fail(kErrorGeneralSyntax, "more than 131072 sections");
        section_ = static_cast<uint32_t>(doc_.sections_.size());
        doc_.sections_.push_back({std::u16string(name), {}});
        doc_.sectionByName_.emplace(regnames::FoldKey(name), *section_);
        return true;
    }

    // A "\" followed by nothing but spaces, further backslashes and maybe a comment: moves to the
    // first non-space of the next line and returns true. Otherwise leaves the position alone.
    bool SkipContinuation() {
        size_t q = pos_ + 1;
        while (q < text_.size() && (IsSpace(text_[q]) || text_[q] == u'\\')) ++q;
        if (q < text_.size() && text_[q] != u'\n' && text_[q] != u';') return false;
        pos_ = q;
        SkipToLineEnd();
        NextLine();
        SkipSpaces();
        return true;
    }

    // After an opening quote: the quoted text up to the closing quote or the end of the line.
    bool ReadQuoted(std::u16string& token) {
        while (!AtLineEnd()) {
            const char16_t c = text_[pos_];
            if (c == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n') break;
            ++pos_;
            if (c == u'"') {
                if (pos_ >= text_.size() || text_[pos_] != u'"') return true;
                ++pos_;
            }
            token.push_back(c);
            if (token.size() > kMaxFieldUnits) return FieldTooLong();
        }
        return true;
    }

    bool FieldTooLong() { return Fail(kErrorGeneralSyntax, "a field over 4096 characters"); }

    bool ParseEntry() {
        const uint32_t number = lineNumber_;
        const auto firstStored = static_cast<uint32_t>(doc_.fieldEnds_.size());
        std::u16string token;
        size_t kept = 0;  // length of token without trailing unquoted spaces
        bool hasKey = false;
        bool afterComma = false;
        auto finishField = [&] {
            doc_.text_.append(token, 0, kept);
            doc_.fieldEnds_.push_back(static_cast<uint32_t>(doc_.text_.size()));
            token.clear();
            kept = 0;
        };
        while (!AtLineEnd()) {
            const char16_t c = text_[pos_];
            if (c == u';') {
                SkipToLineEnd();
            } else if (c == u'\\' && SkipContinuation()) {
                token.resize(kept);
            } else if (c == u'"') {
                ++pos_;
                if (!ReadQuoted(token)) return false;
                kept = token.size();
            } else if (c == u'=' && !hasKey && !afterComma) {
                ++pos_;
                finishField();
                hasKey = true;
                SkipSpaces();
            } else if (c == u',') {
                ++pos_;
                finishField();
                afterComma = true;
                SkipSpaces();
            } else {
                ++pos_;
                token.push_back(c);
                if (!IsSpace(c)) kept = token.size();
                if (token.size() > kMaxFieldUnits) return FieldTooLong();
            }
        }
        finishField();
        InfDocument::Line line;
        line.number = number;
        const auto stored = static_cast<uint32_t>(doc_.fieldEnds_.size()) - firstStored;
        if (hasKey) {
            line.key = InfDocument::Key::kOwn;
            line.firstField = firstStored + 1;
            line.fieldCount = stored - 1;
        } else {
            line.key = stored == 1 ? InfDocument::Key::kFirstField : InfDocument::Key::kNone;
            line.firstField = firstStored;
            line.fieldCount = stored;
        }
        doc_.sections_[*section_].lines.push_back(static_cast<uint32_t>(doc_.lines_.size()));
        doc_.lines_.push_back(line);
        return true;
    }

    std::u16string_view text_;
    size_t pos_ = 0;
    uint32_t lineNumber_ = 1;
    InfDocument& doc_;
    InfError* error_;
    std::optional<uint32_t> section_;
    std::optional<uint32_t> textOutsideSection_;  // the first line with text before any section
};

std::optional<InfDocument> InfDocument::Parse(std::string_view bytes, InfError* error) {
    if (bytes.size() > kMaxInfFileBytes) {
        if (error != nullptr) *error = {kErrorNotEnoughMemory, 0, "larger than 16 MiB"};
        return std::nullopt;
    }
    const std::u16string text = Decode(bytes);
    InfDocument document;
    if (!InfParser(text, document, error).Run()) return std::nullopt;
    document.strings_ = document.FindSection(u"Strings");
    if (document.strings_) {
        // [Strings] keys sorted for the substitution's binary search; the first of equal keys wins.
        auto& lines = document.stringKeys_;
        lines = document.sections_[*document.strings_].lines;
        std::erase_if(lines, [&](uint32_t i) { return document.lines_[i].key == Key::kNone; });
        std::stable_sort(lines.begin(), lines.end(), [&](uint32_t a, uint32_t b) {
            return CompareNoCase(document.KeyOf(document.lines_[a]), document.KeyOf(document.lines_[b])) < 0;
        });
    }
    return document;
}

std::optional<InfDocument> InfDocument::Load(const std::filesystem::path& file, InfError* error) {
    auto fail = [&](Win32Error code, const std::string& what) {
        if (error != nullptr) *error = {code, 0, file.string() + ": " + what};
        return std::nullopt;
    };
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) return fail(kErrorFileNotFound, "no such file");
    if (!std::filesystem::is_regular_file(status)) return fail(kErrorAccessDenied, "not a regular file");
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) return fail(kErrorCantRead, "cannot be read");
    if (size > kMaxInfFileBytes) return fail(kErrorNotEnoughMemory, "larger than 16 MiB");
    if (size == 0) return fail(kErrorFileInvalid, "empty");  // as SetupAPI refuses an empty file
    std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(file.c_str(), "rb"), &std::fclose);
    if (!in) return fail(kErrorAccessDenied, "cannot be opened");
    // One byte more than the size tells a file that grew meanwhile from one read whole.
    std::string bytes(size + 1, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in.get()));
    if (std::ferror(in.get()) || bytes.size() > size)
        return fail(kErrorCantRead, "cannot be read (changed while read)");
    auto document = Parse(bytes, error);
    if (!document && error != nullptr) error->message = file.string() + ": " + error->message;
    return document;
}

std::optional<uint32_t> InfDocument::FindSection(std::u16string_view name) const {
    const auto found = sectionByName_.find(regnames::FoldKey(name));
    if (found == sectionByName_.end()) return std::nullopt;
    return found->second;
}

std::optional<uint32_t> InfDocument::FindLine(uint32_t section, std::u16string_view key,
                                              uint32_t from) const {
    const auto& lines = sections_[section].lines;
    for (uint32_t i = from; i < lines.size(); ++i) {
        const Line& line = lines_[lines[i]];
        if (line.key != Key::kNone && KeyIs(line, key)) return i;
    }
    return std::nullopt;
}

uint32_t InfDocument::LineNumber(uint32_t section, uint32_t line) const {
    return LineAt(section, line).number;
}

bool InfDocument::HasKey(uint32_t section, uint32_t line) const {
    return LineAt(section, line).key != Key::kNone;
}

uint32_t InfDocument::FieldCount(uint32_t section, uint32_t line) const {
    return LineAt(section, line).fieldCount;
}

std::u16string_view InfDocument::StoredField(uint32_t index) const {
    const uint32_t begin = index == 0 ? 0 : fieldEnds_[index - 1];
    return std::u16string_view(text_).substr(begin, fieldEnds_[index] - begin);
}

std::u16string_view InfDocument::KeyOf(const Line& line) const {
    return StoredField(line.key == Key::kOwn ? line.firstField - 1 : line.firstField);
}

// A key with a %strkey% token compares as substituted; one that grows beyond kMaxFieldUnits is no match.
bool InfDocument::KeyIs(const Line& line, std::u16string_view key) const {
    const std::u16string_view raw = KeyOf(line);
    if (raw.find(u'%') == std::u16string_view::npos) return CompareNoCase(raw, key) == 0;
    const auto substituted = Substitute(raw);
    return substituted && CompareNoCase(*substituted, key) == 0;
}

std::optional<std::u16string_view> InfDocument::RawField(uint32_t section, uint32_t line,
                                                         uint32_t field) const {
    const Line& l = LineAt(section, line);
    if (field == 0) return l.key == Key::kNone ? std::nullopt : std::optional(KeyOf(l));
    if (field > l.fieldCount) return std::nullopt;
    return StoredField(l.firstField + field - 1);
}

std::optional<std::u16string> InfDocument::Field(uint32_t section, uint32_t line, uint32_t field) const {
    const auto raw = RawField(section, line, field);
    return raw ? Substitute(*raw) : std::nullopt;
}

std::optional<std::u16string> InfDocument::Value(std::u16string_view section, std::u16string_view key) const {
    const auto s = FindSection(section);
    if (!s) return std::nullopt;
    const auto line = FindLine(*s, key);
    if (!line) return std::nullopt;
    return Field(*s, *line, 1);
}

std::optional<std::u16string_view> InfDocument::StringValue(std::u16string_view key) const {
    const auto found = std::lower_bound(stringKeys_.begin(), stringKeys_.end(), key, [&](uint32_t i, auto k) {
        return CompareNoCase(KeyOf(lines_[i]), k) < 0;
    });
    if (found == stringKeys_.end() || CompareNoCase(KeyOf(lines_[*found]), key) != 0) return std::nullopt;
    const Line& line = lines_[*found];
    if (line.fieldCount == 0) return std::u16string_view();
    return StoredField(line.firstField);
}

std::optional<std::u16string> InfDocument::Substitute(std::u16string_view text) const {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find(u'%', i);
        const size_t close = open == std::u16string_view::npos ? open : text.find(u'%', open + 1);
        if (close == std::u16string_view::npos) {
            out.append(text.substr(i));
            i = text.size();
        } else {
            out.append(text.substr(i, open - i));
            const std::u16string_view name = text.substr(open + 1, close - open - 1);
            const auto value = name.empty() ? std::optional<std::u16string_view>(u"%") : StringValue(name);
            out.append(value ? *value : text.substr(open, close - open + 1));
            i = close + 1;
        }
        if (out.size() > kMaxFieldUnits) return std::nullopt;
    }
    return out;
}

}  // namespace qv::sim::inf
