// Writing the registry as a .reg file; the format is described in qv/sim/regfile.h.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "qv/platform/registry.h"
#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/regfile.h"
#include "qv/sim/registry_store.h"
#include "regfile_format.h"

namespace qv::sim {
namespace {

using namespace regfile;

// The key at path below HKEY_LOCAL_MACHINE as the file names it.
std::string Where(std::u16string_view path) {
    return std::string(kRootName) + (path.empty() ? "" : "\\") + ToUtf8KeepingSurrogates(path);
}

std::string Quoted(std::u16string_view text) {
    std::string out = "\"";
    for (char c : ToUtf8KeepingSurrogates(text)) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// A name is written only if reading the file back gives the same name: the reader refuses control
// characters and lone surrogates.
bool Writable(std::u16string_view text) {
    std::u16string readBack;
    return !HasControl(text) && ToUtf16Strict(ToUtf8KeepingSurrogates(text), &readBack);
}

// A REG_SZ is written quoted only when reading the quoted form back gives the same bytes: one
// terminator at the end, no other NUL, nothing that cannot stand inside a quoted line.
bool WritableAsString(const std::vector<uint8_t>& data, std::u16string* text) {
    *text = StringFromBytes(data);
    return data == StringBytes(*text) && Writable(*text);
}

std::string HexLine(std::string line, const std::vector<uint8_t>& data) {
    size_t column = line.size();
    char byte[4];
    for (size_t i = 0; i < data.size(); ++i) {
        const bool last = i + 1 == data.size();
        // Keep room for "xx," and a continuation backslash.
        if (i > 0 && column + 3 + 1 > kLineWidth) {
            line += "\\\n";
            line += kContinuationIndent;
            column = kContinuationIndent.size();
        }
        std::snprintf(byte, sizeof byte, last ? "%02x" : "%02x,", data[i]);
        line += byte;
        column += last ? 2 : 3;
    }
    return line;
}

std::string ValueLine(std::u16string_view name, uint32_t type, const std::vector<uint8_t>& data) {
    std::string line = name.empty() ? "@=" : Quoted(name) + "=";
    std::u16string text;
    if (type == kRegSz && WritableAsString(data, &text)) return line + Quoted(text);
    if (type == kRegDword && data.size() == 4) {
        char dword[16];
        std::snprintf(dword, sizeof dword, "dword:%08x", static_cast<unsigned>(*DwordFromBytes(data)));
        return line + dword;
    }
    if (type == kRegBinary) return HexLine(line + "hex:", data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
    return HexLine(line + prefix, data);
}

class Exporter {
  public:
    Exporter(std::ostream& out, std::string* error) : out_(out), error_(error) {}

    // Writes the key at path (open as key) and every key below it, parents first. The keys on the
    // way down stay open, so the depth of the tree costs no stack and no walks from the root.
    bool Tree(HKey key, const std::u16string& path) {
        struct Level {
            HKey key;
            std::u16string path;
            std::vector<std::u16string> children;
            size_t next = 0;
        };
        std::vector<Level> levels;
        const auto enter = [&](HKey opened, std::u16string openedPath) {
            levels.push_back({opened, std::move(openedPath), {}, 0});
            return Key(levels.back().key, levels.back().path, &levels.back().children);
        };
        bool ok = Depth(path) <= kMaxRegistryKeyDepth || TooDeep(path);
        ok = ok && enter(key, path);
        while (ok && !levels.empty()) {
            Level& level = levels.back();
            if (level.next == level.children.size()) {
                if (levels.size() > 1) reg::CloseKey(level.key);
                levels.pop_back();
                continue;
            }
            const std::u16string& child = level.children[level.next++];
            std::u16string childPath = level.path.empty() ? child : level.path + u"\\" + child;
            if (levels.size() + Depth(path) > kMaxRegistryKeyDepth) {
                ok = TooDeep(childPath);
                break;
            }
            HKey sub = nullptr;
            const LStatus status = reg::OpenKeyEx(level.key, child.c_str(), kKeyRead, &sub);
            if (status != kErrorSuccess) {
                ok = Fail(error_, "cannot open " + Where(childPath), status);
                break;
            }
            ok = enter(sub, std::move(childPath));
        }
        for (size_t i = 1; i < levels.size(); ++i) reg::CloseKey(levels[i].key);
        return ok;
    }

  private:
    // Writes one key with its values and lists its subkeys in *children.
    bool Key(HKey key, const std::u16string& path, std::vector<std::u16string>* children) {
        if (!Writable(path))
            return Fail(error_, "the key name " + ToUtf8KeepingSurrogates(path) + " cannot be written");
        out_ << '[' << Where(path) << "]\n";
        if (!Values(key, path)) return false;
        out_ << '\n';
        const bool interfaceKey = IsInterfaceKey(path) && InterfaceKeys(key, path);
        char16_t name[kMaxKeyNameLength + 1];
        for (uint32_t i = 0;; ++i) {
            uint32_t length = kMaxKeyNameLength + 1;
            const LStatus status = reg::EnumKeyEx(key, i, name, &length);
            if (status == kErrorNoMoreItems) return true;
            if (status != kErrorSuccess)
                return Fail(error_, "cannot list the subkeys of " + Where(path), status);
            // The reference key written above stands for one kept in the registry (a machine
            // imported from an export has it).
            if (interfaceKey && std::u16string_view(name, length) == kReferenceKey) continue;
            children->emplace_back(name, length);
        }
    }

    // The key of one device-interface registration: DeviceClasses\{interface class}\##?#...
    static bool IsInterfaceKey(const std::u16string& path) {
        const std::u16string prefix = std::u16string(kDeviceClassesPath) + u"\\";
        if (!StartsWithIgnoreCase(path, prefix)) return false;
        const std::u16string_view rest = std::u16string_view(path).substr(prefix.size());
        const size_t slash = rest.find(u'\\');
        return slash != std::u16string_view::npos &&
               rest.find(u'\\', slash + 1) == std::u16string_view::npos &&
               rest.substr(slash + 1).starts_with(u"##?#");
    }

    // Writes the subkeys Windows keeps below an interface registration and the simulated host does
    // not: the reference key "#" (empty reference string) with the interface's SymbolicLink, and its
    // Control key with Linked, 1 while the interface is enabled (its device present). SetupAPI lists
    // an interface only through them. False when the registration lacks its values (then nothing
    // is written and the key's own subkeys are written as kept).
    bool InterfaceKeys(HKey key, const std::u16string& path) {
        RegKey registration(key);
        const std::optional<std::u16string> instance = registration.ReadString(u"DeviceInstance");
        const std::optional<std::u16string> link = registration.ReadString(u"SymbolicLink");
        registration.release();  // the caller owns the handle
        if (!instance || !link || instance->empty() || link->empty() || !Writable(*link)) return false;
        const bool enabled = DeviceNodePresent(*instance);
        const std::string reference = '[' + Where(path) + "\\#";
        out_ << reference << "]\n" << ValueLine(u"SymbolicLink", kRegSz, StringBytes(*link)) << "\n\n";
        out_ << reference << "\\Control]\n"
             << ValueLine(u"Linked", kRegDword, {static_cast<uint8_t>(enabled ? 1 : 0), 0, 0, 0}) << "\n\n";
        return true;
    }

    static size_t Depth(const std::u16string& path) {
        return path.empty() ? 0 : 1 + static_cast<size_t>(std::count(path.begin(), path.end(), u'\\'));
    }

    bool TooDeep(const std::u16string& path) {
        constexpr size_t kShown = 120;
        const std::string where = Where(path);
        return Fail(error_, "the key " + (where.size() > kShown ? where.substr(0, kShown) + "..." : where) +
                                " lies deeper than " + std::to_string(kMaxRegistryKeyDepth) +
                                " levels and cannot be written");
    }

    bool Values(HKey key, const std::u16string& path) {
        std::vector<char16_t> name(kMaxValueNameLength + 1);
        std::vector<uint8_t> data;
        for (uint32_t i = 0;; ++i) {
            uint32_t length = static_cast<uint32_t>(name.size());
            uint32_t type = 0, size = 0;
            LStatus status = reg::EnumValue(key, i, name.data(), &length, &type, nullptr, &size);
            if (status == kErrorNoMoreItems) return true;
            if (status != kErrorSuccess)
                return Fail(error_, "cannot list the values of " + Where(path), status);
            data.resize(size);
            length = static_cast<uint32_t>(name.size());
            status = reg::EnumValue(key, i, name.data(), &length, &type, data.data(), &size);
            if (status != kErrorSuccess) return Fail(error_, "cannot read a value of " + Where(path), status);
            data.resize(size);
            const std::u16string_view valueName(name.data(), length);
            if (!Writable(valueName)) {
                return Fail(error_, "the value name " + ToUtf8KeepingSurrogates(valueName) + " in " +
                                        Where(path) + " cannot be written");
            }
            out_ << ValueLine(valueName, type, data) << '\n';
        }
    }

    static constexpr std::u16string_view kReferenceKey = u"#";
    std::ostream& out_;
    std::string* error_;
};

}  // namespace

bool ExportRegFile(std::ostream& out, std::string* error, std::u16string_view subKey) {
    std::string ignored;
    if (!error) error = &ignored;
    // One read transaction: the file shows the registry as it was at one moment.
    RegistryTransaction txn(RegistryTransaction::Mode::kReadSnapshot);
    if (txn.status() != kErrorSuccess) return Fail(error, "cannot read the registry", txn.status());
    // Written paths join names with single backslashes, however the caller spelled the subtree.
    std::u16string path;
    for (size_t start = 0; start < subKey.size();) {
        size_t end = subKey.find(u'\\', start);
        if (end == std::u16string_view::npos) end = subKey.size();
        if (end > start)
            path += (path.empty() ? u"" : u"\\") + std::u16string(subKey.substr(start, end - start));
        start = end + 1;
    }
    HKey key = nullptr;
    const LStatus status = reg::OpenKeyEx(kHkeyLocalMachine, path.c_str(), kKeyRead, &key);
    if (status != kErrorSuccess) return Fail(error, "cannot open " + Where(path), status);
    out << regfile::kHeaderLine << "\n\n";
    Exporter exporter(out, error);
    const bool ok = exporter.Tree(key, path);
    reg::CloseKey(key);
    if (ok && !out) return Fail(error, "cannot write the file");
    return ok;
}

}  // namespace qv::sim
