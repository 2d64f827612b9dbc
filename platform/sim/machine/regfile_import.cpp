// Reading a .reg file into the registry; the format is described in qv/sim/regfile.h. The file is
// read twice: once to check all of it, then again to apply each operation as it is read, in one
// transaction. No list of operations is kept, so memory stays near the size of the file.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/platform/scoped_handle.h"
#include "qv/platform/utf.h"
#include "qv/sim/machine.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/regfile.h"
#include "regfile_format.h"

namespace qv::sim {
namespace {

using namespace regfile;

struct Operation {
    enum class Kind { kOpenKey, kDeleteKey, kSetValue, kDeleteValue };
    Kind kind;
    size_t line;
    std::u16string path;  // key operations
    std::u16string name;  // value operations
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct ParseError {
    size_t line = 0;
    std::string message;
};

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

// Parses 1 to maxDigits (at most 8) hexadecimal digits making up all of text.
bool ParseHexNumber(std::string_view text, size_t maxDigits, uint32_t* value) {
    if (text.empty() || text.size() > maxDigits) return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, *value, 16);
    return error == std::errc() && stop == end;
}

bool HasUtf16Mark(std::string_view content) {
    return content.size() >= 2 && static_cast<uint8_t>(content[0]) == 0xFF &&
           static_cast<uint8_t>(content[1]) == 0xFE;
}

// The file's bytes as UTF-8 text: UTF-16LE with a byte-order mark is converted into *storage (in
// pieces, so that no UTF-16 copy of the whole file is made), a UTF-8 byte-order mark is skipped.
bool DecodeContent(std::string_view content, std::string* storage, std::string_view* text,
                   std::string* error) {
    if (HasUtf16Mark(content)) {
        if (content.size() % 2 != 0) return Fail(error, "the file is UTF-16 but has an odd number of bytes");
        constexpr size_t kPiece = 4096;
        std::u16string wide;
        for (size_t i = 2; i < content.size(); i += 2) {
            const auto unit = static_cast<char16_t>(static_cast<uint8_t>(content[i]) |
                                                    (static_cast<uint8_t>(content[i + 1]) << 8));
            wide.push_back(unit);
            // A piece never ends between the two halves of a surrogate pair.
            if (wide.size() >= kPiece && !(unit >= 0xD800 && unit <= 0xDBFF)) {
                *storage += ToUtf8KeepingSurrogates(wide);
                wide.clear();
            }
        }
        *storage += ToUtf8KeepingSurrogates(wide);
        *text = *storage;
        return true;
    }
    if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
    *text = content;
    return true;
}

// The lines of a text one after the other, without line ends and trailing blanks. Text after the
// last line break is a line; a final line break does not start another one.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool Next(std::string_view* line) {
        if (pos_ >= text_.size()) return false;
        size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        *line = TrimRight(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        ++number_;
        return true;
    }
    // The number of the line Next returned last (1 for the first line).
    size_t number() const { return number_; }

  private:
    std::string_view text_;
    size_t pos_ = 0;
    size_t number_ = 0;
};

// Reads the operations of a file one by one and hands each to a sink, which may refuse it (then
// the sink has described the error). Stops at the first error.
class Parser {
  public:
    using Sink = std::function<bool(const Operation&)>;

    Parser(std::string_view text, bool utf16) : lines_(text), utf16_(utf16) {}

    bool Parse(const Sink& sink, ParseError* error) {
        sink_ = &sink;
        error_ = error;
        std::string_view line;
        bool any = false;
        while ((any = lines_.Next(&line)) && line.empty()) {
        }
        if (!any || line != kHeaderLine) {
            return Fail(std::max<size_t>(lines_.number(), 1),
                        "not a registry file: the first line must be \"" + std::string(kHeaderLine) + "\"");
        }
        while (lines_.Next(&line)) {
            line = TrimLeft(line);
            const size_t number = lines_.number();
            if (line.empty() || line.front() == ';') continue;
            if (!Utf8(line, number)) return false;
            bool ok = false;
            if (line.front() == '[') {
                ok = KeyLine(line, number);
            } else if (line.front() == '"' || line.front() == '@') {
                ok = ValueLine(line, number);
            } else {
                ok = Fail(number, "expected a [key] or a \"name\"=value line");
            }
            if (!ok) return false;
        }
        return true;
    }

  private:
    bool Fail(size_t line, const std::string& message) {
        *error_ = {line, message};
        return false;
    }

    bool Utf8(std::string_view text, size_t line) {
        std::u16string ignored;
        return ToUtf16Strict(text, &ignored) ||
               Fail(line, utf16_ ? "the line holds a lone UTF-16 surrogate" : "the line is not valid UTF-8");
    }

    bool KeyLine(std::string_view line, size_t number) {
        if (line.back() != ']') return Fail(number, "a key line must end with ']'");
        std::string_view inner = line.substr(1, line.size() - 2);
        const bool remove = !inner.empty() && inner.front() == '-';
        if (remove) inner.remove_prefix(1);
        const std::string_view root = inner.substr(0, inner.find('\\'));
        if (!EqualsIgnoreCase(root, kRootName)) {
            return Fail(number, "only keys under " + std::string(kRootName) + " can be imported");
        }
        std::u16string path;
        if (root.size() < inner.size()) {
            const std::string_view rest = inner.substr(root.size() + 1);
            ToUtf16Strict(rest, &path);
            size_t start = 0;
            size_t depth = 0;
            while (start <= path.size()) {
                if (++depth > kMaxRegistryKeyDepth) {
                    return Fail(number, "the key path is deeper than " +
                                            std::to_string(kMaxRegistryKeyDepth) + " levels");
                }
                size_t end = path.find(u'\\', start);
                if (end == std::u16string::npos) end = path.size();
                if (end == start) return Fail(number, "the key path has an empty name");
                if (HasControl(std::u16string_view(path).substr(start, end - start))) {
                    return Fail(number, "a key name contains a control character");
                }
                if (end - start > kMaxKeyNameLength) {
                    return Fail(number,
                                "a key name is longer than " + std::to_string(kMaxKeyNameLength) + " units");
                }
                start = end + 1;
            }
        }
        if (remove && path.empty()) return Fail(number, std::string(kRootName) + " itself cannot be deleted");
        inKey_ = !remove;
        return Emit(
            {remove ? Operation::Kind::kDeleteKey : Operation::Kind::kOpenKey, number, path, {}, 0, {}});
    }

    // Reads a quoted string starting at text[*pos] == '"', with \\ and \" escapes.
    bool Quoted(std::string_view text, size_t* pos, std::u16string* out, size_t number) {
        std::string raw;
        size_t i = *pos + 1;
        for (;; ++i) {
            if (i >= text.size()) return Fail(number, "a quoted string is not closed");
            const char c = text[i];
            if (c == '"') break;
            if (c == '\\') {
                if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                    return Fail(number, "only \\\\ and \\\" may follow a backslash in a quoted string");
                }
                raw.push_back(text[++i]);
            } else {
                raw.push_back(c);
            }
        }
        *pos = i + 1;
        ToUtf16Strict(raw, out);
        return true;
    }

    // A value line; hex data may continue over the following lines.
    bool ValueLine(std::string_view line, size_t number) {
        if (!inKey_) return Fail(number, "a value must follow a [key] line");
        Operation op{Operation::Kind::kSetValue, number, {}, {}, 0, {}};
        size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!Quoted(line, &pos, &op.name, number)) {
            return false;
        }
        if (op.name.size() > kMaxValueNameLength) return Fail(number, "the value name is too long");
        if (HasControl(op.name)) return Fail(number, "the value name contains a control character");
        if (pos >= line.size() || line[pos] != '=') return Fail(number, "expected '=' after the value name");
        std::string_view data = line.substr(pos + 1);

        if (data == "-") {
            op.kind = Operation::Kind::kDeleteValue;
        } else if (!data.empty() && data.front() == '"') {
            size_t end = 0;
            std::u16string text;
            if (!Quoted(data, &end, &text, number)) return false;
            if (end != data.size()) return Fail(number, "unexpected text after the quoted string");
            op.type = kRegSz;
            op.data = StringBytes(text);
        } else if (data.substr(0, 6) == "dword:") {
            uint32_t value = 0;
            if (!ParseHexNumber(data.substr(6), 8, &value))
                return Fail(number, "dword: needs 1 to 8 hex digits");
            op.type = kRegDword;
            op.data = DwordBytes(value);
        } else if (data.substr(0, 3) == "hex") {
            std::string joined(data);
            std::string_view next;
            while (!joined.empty() && joined.back() == '\\') {
                joined.pop_back();
                // Blank lines do not end a continued value; the end of the file does.
                do {
                    if (!lines_.Next(&next)) return Fail(number, "the file ends inside a continued value");
                    next = TrimLeft(next);
                } while (next.empty());
                if (!Utf8(next, lines_.number())) return false;
                joined += next;
            }
            if (!HexData(joined, &op, number)) return false;
        } else {
            return Fail(number, "unknown value data (expected \"text\", dword:, hex: or hex(type):)");
        }
        return Emit(op);
    }

    bool HexData(std::string_view text, Operation* op, size_t number) {
        op->type = kRegBinary;
        if (text.substr(0, 4) == "hex(") {
            const size_t close = text.find(')');
            if (close == std::string_view::npos || !ParseHexNumber(text.substr(4, close - 4), 8, &op->type)) {
                return Fail(number, "hex(type) needs 1 to 8 hex digits");
            }
            text.remove_prefix(close + 1);
        } else {
            text.remove_prefix(3);
        }
        if (text.empty() || text.front() != ':') return Fail(number, "expected ':' after hex");
        text.remove_prefix(1);
        text = TrimLeft(TrimRight(text));
        if (text.empty()) return true;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find(',', start);
            if (end == std::string_view::npos) end = text.size();
            uint32_t byte = 0;
            if (!ParseHexNumber(TrimLeft(TrimRight(text.substr(start, end - start))), 2, &byte)) {
                return Fail(number, "hex data must be bytes of 1 or 2 hex digits separated by commas");
            }
            op->data.push_back(static_cast<uint8_t>(byte));
            start = end + 1;
        }
        return true;
    }

    bool Emit(const Operation& op) {
        if ((*sink_)(op)) return true;
        error_->line = 0;  // the sink described its error
        return false;
    }

    LineReader lines_;
    bool utf16_ = false;
    const Sink* sink_ = nullptr;
    ParseError* error_ = nullptr;
    bool inKey_ = false;
};

// Applies operations one by one inside the caller's transaction.
class Applier {
  public:
    explicit Applier(std::string* error) : error_(error) {}

    bool operator()(const Operation& op) {
        LStatus status = kErrorSuccess;
        const char* what = "";
        switch (op.kind) {
            case Operation::Kind::kOpenKey: {
                HKey key = nullptr;
                status = reg::CreateKeyEx(kHkeyLocalMachine, op.path.c_str(), kRegOptionNonVolatile,
                                          kKeyAllAccess, &key, nullptr);
                current_.Reset(status == kErrorSuccess ? key : nullptr);
                what = "cannot create the key";
                break;
            }
            case Operation::Kind::kDeleteKey:
                current_.Reset(nullptr);
                status = RegKey::DeleteTree(op.path);
                if (status == kErrorFileNotFound) status = kErrorSuccess;  // already absent
                what = "cannot delete the key";
                break;
            case Operation::Kind::kSetValue:
                status = reg::SetValueEx(current_.get(), op.name.c_str(), op.type, op.data.data(),
                                         static_cast<uint32_t>(op.data.size()));
                what = "cannot set the value";
                break;
            case Operation::Kind::kDeleteValue:
                status = reg::DeleteValue(current_.get(), op.name.c_str());
                if (status == kErrorFileNotFound) status = kErrorSuccess;
                what = "cannot delete the value";
                break;
        }
        return status == kErrorSuccess ||
               Fail(error_, "line " + std::to_string(op.line) + ": " + what, status);
    }

  private:
    std::string* error_;
    ScopedKey current_;
};

}  // namespace

bool ImportRegFile(std::string_view content, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    if (content.size() > kMaxRegFileSize) return Fail(error, TooLarge("the file"));
    std::string storage;
    std::string_view text;
    if (!DecodeContent(content, &storage, &text, error)) return false;
    const bool utf16 = HasUtf16Mark(content);
    ParseError parseError;
    const auto describe = [&] {
        return Fail(error, "line " + std::to_string(parseError.line) + ": " + parseError.message);
    };
    // The first reading checks the whole file, so that nothing is written for a malformed one.
    if (!Parser(text, utf16).Parse([](const Operation&) { return true; }, &parseError)) return describe();

    const SystemAccessScope system;  // an import restores a whole machine, whoever its user is
    RegistryTransaction txn;
    if (!txn.ok()) return Fail(error, "cannot write the registry", txn.status());
    Applier applier(error);
    const bool applied = Parser(text, utf16).Parse(std::ref(applier), &parseError);
    if (!applied) return parseError.line != 0 ? describe() : false;
    const LStatus status = txn.Commit();
    return status == kErrorSuccess || Fail(error, "cannot commit the import", status);
}

}  // namespace qv::sim
