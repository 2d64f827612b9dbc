// Reading a .reg file into the registry; the format is described in qv/sim/regfile.h. The whole
// file is parsed into a list of operations first, then applied in one transaction.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "names.h"
#include "qv/platform/registry.h"
#include "qv/sim/machine.h"
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

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// Names travel through the registry port as terminated strings and through .reg files as single
// lines, so control characters (NUL above all) cannot be part of them.
bool HasControl(std::u16string_view name) {
    for (char16_t c : name) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses 1 to maxDigits hexadecimal digits making up all of text.
bool ParseHexNumber(std::string_view text, size_t maxDigits, uint32_t* value) {
    if (text.empty() || text.size() > maxDigits) return false;
    *value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return false;
        *value = (*value << 4) | static_cast<uint32_t>(digit);
    }
    return true;
}

// Turns the file's bytes into UTF-8 text: UTF-16LE with a byte-order mark is converted, a UTF-8
// byte-order mark is dropped.
bool DecodeContent(std::string_view content, std::string* text, std::string* error) {
    if (content.size() >= 2 && static_cast<uint8_t>(content[0]) == 0xFF &&
        static_cast<uint8_t>(content[1]) == 0xFE) {
        if (content.size() % 2 != 0) {
            *error = "the file is UTF-16 but has an odd number of bytes";
            return false;
        }
        std::u16string wide;
        for (size_t i = 2; i < content.size(); i += 2) {
            wide.push_back(static_cast<char16_t>(static_cast<uint8_t>(content[i]) |
                                                 (static_cast<uint8_t>(content[i + 1]) << 8)));
        }
        *text = regnames::ToUtf8(wide);
        return true;
    }
    if (content.size() >= 3 && content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
    *text = std::string(content);
    return true;
}

class Parser {
  public:
    explicit Parser(std::string_view text) {
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            lines_.push_back(TrimRight(text.substr(start, end - start)));
            start = end + 1;
        }
    }

    bool Parse(std::vector<Operation>* ops, ParseError* error) {
        ops_ = ops;
        error_ = error;
        size_t i = 0;
        while (i < lines_.size() && lines_[i].empty()) ++i;
        if (i == lines_.size() || lines_[i] != kHeaderLine) {
            return Fail(std::min(i, lines_.size() - 1) + 1,
                        "not a registry file: the first line must be \"" + std::string(kHeaderLine) + "\"");
        }
        for (++i; i < lines_.size(); ++i) {
            std::string_view line = TrimLeft(lines_[i]);
            if (line.empty() || line.front() == ';') continue;
            if (!Utf8(line, i + 1)) return false;
            bool ok = false;
            if (line.front() == '[') {
                ok = KeyLine(line, i + 1);
            } else if (line.front() == '"' || line.front() == '@') {
                ok = ValueLine(&i);
            } else {
                ok = Fail(i + 1, "expected a [key] or a \"name\"=value line");
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
        return regnames::FromUtf8(text, &ignored) || Fail(line, "the line is not valid UTF-8");
    }

    bool KeyLine(std::string_view line, size_t number) {
        if (line.back() != ']') return Fail(number, "a key line must end with ']'");
        std::string_view inner = line.substr(1, line.size() - 2);
        const bool remove = !inner.empty() && inner.front() == '-';
        if (remove) inner.remove_prefix(1);
        const std::string_view root = inner.substr(0, inner.find('\\'));
        if (!EqualsNoCase(root, kRootName)) {
            return Fail(number, "only keys under " + std::string(kRootName) + " can be imported");
        }
        std::u16string path;
        if (root.size() < inner.size()) {
            const std::string_view rest = inner.substr(root.size() + 1);
            regnames::FromUtf8(rest, &path);
            size_t start = 0;
            while (start <= path.size()) {
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
        ops_->push_back(
            {remove ? Operation::Kind::kDeleteKey : Operation::Kind::kOpenKey, number, path, {}, 0, {}});
        inKey_ = !remove;
        return true;
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
        regnames::FromUtf8(raw, out);
        return true;
    }

    // A value line; hex data may continue over the following lines.
    bool ValueLine(size_t* index) {
        const size_t number = *index + 1;
        if (!inKey_) return Fail(number, "a value must follow a [key] line");
        const std::string_view line = TrimLeft(lines_[*index]);
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
            for (char16_t c : text) op.data.insert(op.data.end(), {uint8_t(c & 0xFF), uint8_t(c >> 8)});
            op.data.insert(op.data.end(), {0, 0});
        } else if (data.substr(0, 6) == "dword:") {
            uint32_t value = 0;
            if (!ParseHexNumber(data.substr(6), 8, &value))
                return Fail(number, "dword: needs 1 to 8 hex digits");
            op.type = kRegDword;
            op.data = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
        } else if (data.substr(0, 3) == "hex") {
            std::string joined(data);
            while (!joined.empty() && joined.back() == '\\') {
                joined.pop_back();
                if (++*index >= lines_.size()) return Fail(*index, "the file ends inside a continued value");
                joined += TrimLeft(lines_[*index]);
            }
            if (!HexData(joined, &op, number)) return false;
        } else {
            return Fail(number, "unknown value data (expected \"text\", dword:, hex: or hex(type):)");
        }
        ops_->push_back(std::move(op));
        return true;
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

    std::vector<std::string_view> lines_;
    std::vector<Operation>* ops_ = nullptr;
    ParseError* error_ = nullptr;
    bool inKey_ = false;
};

LStatus DeleteTree(HKey parent, const std::u16string& path) {
    HKey key = nullptr;
    LStatus status = reg::OpenKeyEx(parent, path.c_str(), kKeyRead, &key);
    if (status != kErrorSuccess) return status;
    std::vector<std::u16string> children;
    char16_t name[kMaxKeyNameLength + 1];
    for (uint32_t i = 0;; ++i) {
        uint32_t length = kMaxKeyNameLength + 1;
        status = reg::EnumKeyEx(key, i, name, &length);
        if (status != kErrorSuccess) break;
        children.emplace_back(name, length);
    }
    reg::CloseKey(key);
    if (status != kErrorNoMoreItems) return status;
    for (const auto& child : children) {
        status = DeleteTree(parent, path + u"\\" + child);
        if (status != kErrorSuccess) return status;
    }
    return reg::DeleteKey(parent, path.c_str());
}

class KeyHolder {
  public:
    ~KeyHolder() { Reset(nullptr); }
    void Reset(HKey key) {
        if (key_) reg::CloseKey(key_);
        key_ = key;
    }
    HKey get() const { return key_; }

  private:
    HKey key_ = nullptr;
};

bool Apply(const std::vector<Operation>& ops, std::string* error) {
    RegistryTransaction txn;
    if (!txn.ok()) {
        *error = "cannot write the registry (error " + std::to_string(txn.status()) + ")";
        return false;
    }
    KeyHolder current;
    for (const Operation& op : ops) {
        LStatus status = kErrorSuccess;
        const char* what = "";
        switch (op.kind) {
            case Operation::Kind::kOpenKey: {
                HKey key = nullptr;
                status = reg::CreateKeyEx(kHkeyLocalMachine, op.path.c_str(), kRegOptionNonVolatile,
                                          kKeyAllAccess, &key, nullptr);
                current.Reset(status == kErrorSuccess ? key : nullptr);
                what = "cannot create the key";
                break;
            }
            case Operation::Kind::kDeleteKey:
                current.Reset(nullptr);
                status = DeleteTree(kHkeyLocalMachine, op.path);
                if (status == kErrorFileNotFound) status = kErrorSuccess;  // already absent
                what = "cannot delete the key";
                break;
            case Operation::Kind::kSetValue:
                status = reg::SetValueEx(current.get(), op.name.c_str(), op.type, op.data.data(),
                                         static_cast<uint32_t>(op.data.size()));
                what = "cannot set the value";
                break;
            case Operation::Kind::kDeleteValue:
                status = reg::DeleteValue(current.get(), op.name.c_str());
                if (status == kErrorFileNotFound) status = kErrorSuccess;
                what = "cannot delete the value";
                break;
        }
        if (status != kErrorSuccess) {
            *error =
                "line " + std::to_string(op.line) + ": " + what + " (error " + std::to_string(status) + ")";
            return false;
        }
    }
    current.Reset(nullptr);
    const LStatus status = txn.Commit();
    if (status != kErrorSuccess) {
        *error = "cannot commit the import (error " + std::to_string(status) + ")";
        return false;
    }
    return true;
}

}  // namespace

bool ImportRegFile(std::string_view content, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    std::string text;
    if (!DecodeContent(content, &text, error)) return false;
    std::vector<Operation> ops;
    ParseError parseError;
    if (!Parser(text).Parse(&ops, &parseError)) {
        *error = "line " + std::to_string(parseError.line) + ": " + parseError.message;
        return false;
    }
    return Apply(ops, error);
}

}  // namespace qv::sim
