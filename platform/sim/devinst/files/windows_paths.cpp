// Windows paths: the machine's Windows directory, full forms, the host folder below Windows/, patterns.
#include "windows_paths.h"

#include <algorithm>
#include <vector>

#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/reg_names.h"
#include "qv/sim/registry_store.h"

namespace qv::sim {
namespace {

bool IsDriveAbsolute(std::u16string_view path) {
    const bool letter =
        !path.empty() && ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
    return letter && path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
}

// Longest Windows directory accepted: room for "\Inf\" and an 8.3 name within MAX_PATH.
constexpr size_t kMaxWindowsDirectory = 240;

bool UsableWindowsDirectory(std::u16string_view path) {
    return IsDriveAbsolute(path) && path.size() <= kMaxWindowsDirectory &&
           path.find(u'\0') == std::u16string_view::npos;
}

}  // namespace

std::optional<std::u16string> WindowsDirectory() {
    RegKey key;
    if (RegKey::Open(std::u16string(kSimHostPath), kKeyQueryValue, &key) != kErrorSuccess)
        return std::u16string(kDefaultWindowsDirectory);
    const auto value = key.ReadString(kHostWindowsDirectory);
    if (!value) return std::u16string(kDefaultWindowsDirectory);
    if (!UsableWindowsDirectory(*value)) return std::nullopt;
    return value;
}

bool SetWindowsDirectory(std::u16string_view path) {
    if (!UsableWindowsDirectory(path)) return false;
    RegKey key;
    return RegKey::Create(std::u16string(kSimHostPath), &key) == kErrorSuccess &&
           key.WriteString(kHostWindowsDirectory, path) == kErrorSuccess;
}

namespace winpath {
namespace {

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && regnames::FoldKey(a) == regnames::FoldKey(b);
}

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// A component as Windows keeps it: trailing dots and spaces dropped ("." and ".." aside).
std::u16string_view Trimmed(std::u16string_view component) {
    if (component == u"." || component == u"..") return component;
    while (!component.empty() && (component.back() == u'.' || component.back() == u' '))
        component.remove_suffix(1);
    return component;
}

bool RefusedComponent(std::u16string_view component) {
    for (const char16_t c : component) {
        if (c < 0x20 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos) return true;
    }
    return false;
}

}  // namespace

std::optional<std::u16string> FullPath(std::u16string_view path) {
    if (path.empty()) return std::nullopt;
    std::u16string p(path);
    std::replace(p.begin(), p.end(), u'/', u'\\');
    if (p.starts_with(u"\\\\")) return p;
    const auto windows = WindowsDirectory();
    if (!windows) return std::nullopt;
    const std::u16string_view windowsDrive = std::u16string_view(*windows).substr(0, 2);
    std::u16string drive;
    std::u16string rest;
    if (p.size() >= 2 && p[1] == u':') {
        drive = p.substr(0, 2);
        rest = p.size() > 2 && p[2] == u'\\' ? p.substr(2) : u"\\" + p.substr(2);
    } else if (p[0] == u'\\') {
        drive = windowsDrive;
        rest = p;
    } else {
        drive = windowsDrive;
        rest = windows->substr(2) + u"\\" + p;
    }
    std::vector<std::u16string_view> parts;
    const std::u16string_view restView(rest);
    for (size_t start = 0; start <= restView.size();) {
        size_t end = restView.find(u'\\', start);
        if (end == std::u16string_view::npos) end = restView.size();
        const std::u16string_view part = Trimmed(restView.substr(start, end - start));
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::u16string full = drive;
    for (const auto part : parts) {
        full += u'\\';
        full += part;
    }
    if (parts.empty() || IsSeparator(path.back())) full += u'\\';
    return full;
}

std::optional<std::filesystem::path> HostPath(std::u16string_view path) {
    const auto full = FullPath(path);
    const auto windows = FullPath(u".");
    if (!full || !windows || full->starts_with(u"\\\\")) return std::nullopt;
    // "C:\WINDOWS\" against the path with a final "\": the folder itself and everything below it.
    std::u16string base = *windows;
    if (!base.ends_with(u'\\')) base += u'\\';
    std::u16string below = *full;
    if (!below.ends_with(u'\\')) below += u'\\';
    if (below.size() < base.size() || !SameName(std::u16string_view(below).substr(0, base.size()), base))
        return std::nullopt;
    std::u16string_view rest = std::u16string_view(below).substr(base.size());
    std::filesystem::path host = MachineDir() / "Windows";
    while (!rest.empty()) {
        const size_t end = std::min(rest.find(u'\\'), rest.size());
        const std::u16string_view component = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (RefusedComponent(component)) return std::nullopt;
        std::filesystem::path next = host / ToUtf8(component);
        std::error_code ec;
        if (!std::filesystem::exists(next, ec)) {
            // The name in another letter case, as a case-insensitive file system finds it.
            for (const auto& entry : std::filesystem::directory_iterator(host, ec)) {
                if (SameName(ToUtf16(entry.path().filename().string()), component)) {
                    next = entry.path();
                    break;
                }
            }
        }
        host = std::move(next);
    }
    return host;
}

bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
    if (pattern == u"*.*") pattern = u"*";
    // Greedy matching with one backtrack point: the last "*" seen and the name position it took.
    size_t p = 0, n = 0, star = std::u16string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || regnames::Upcase(pattern[p]) == regnames::Upcase(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

}  // namespace winpath
}  // namespace qv::sim
