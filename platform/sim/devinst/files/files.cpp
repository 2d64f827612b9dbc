// The file-system port on the simulated host: the machine's Windows directory and the files below
// it (windows_paths.h says how Windows paths map to the machine directory).
#include "qv/platform/files.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "qv/platform/utf.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/host_state.h"
#include "qv/sim/reg_names.h"
#include "qv/sim/text_out.h"
#include "windows_paths.h"

namespace qv {
namespace {

// Most entries one search reports; a folder with more is reported up to this many.
constexpr size_t kMaxFindEntries = 65536;

struct OpenFind : sim::HandleObject {
    static constexpr sim::HandleKind kKind = sim::HandleKind::kFindFile;
    std::vector<FindData> found;  // matches in the order reported
    size_t next = 0;
};

FindData Entry(std::u16string_view name, bool directory) {
    FindData data;
    data.attributes = directory ? kFileAttributeDirectory : kFileAttributeNormal;
    std::copy(name.begin(), name.end(), data.fileName);
    return data;
}

// The entries of a host folder matching pattern, "." and ".." first, then by upper-cased name.
std::vector<FindData> Matches(const std::filesystem::path& folder, std::u16string_view pattern) {
    std::vector<std::pair<std::string, FindData>> entries;
    for (const std::u16string_view dot : {u".", u".."}) {
        if (sim::winpath::MatchesPattern(pattern, dot)) entries.emplace_back("", Entry(dot, true));
    }
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator() && entries.size() < kMaxFindEntries;
         it.increment(ec)) {
        std::u16string name;
        // Names that are not UTF-8 or do not fit MAX_PATH cannot be reported; they are left out.
        if (!ToUtf16Strict(it->path().filename().string(), &name) || name.size() >= kMaxPath) continue;
        if (!sim::winpath::MatchesPattern(pattern, name)) continue;
        std::error_code typeError;
        entries.emplace_back(sim::regnames::FoldKey(name), Entry(name, it->is_directory(typeError)));
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<FindData> found;
    for (auto& entry : entries) found.push_back(entry.second);
    return found;
}

}  // namespace

namespace file {

uint32_t GetSystemWindowsDirectory(char16_t* buffer, uint32_t size) {
    const auto windows = sim::WindowsDirectory();
    if (!windows) return sim::FailWith(kErrorInvalidData, 0);
    return sim::CopyTextOrSize(*windows, buffer, size);
}

HFind FindFirstFile(const char16_t* pattern, FindData* data) {
    if (pattern == nullptr || data == nullptr) return sim::FailWith(kErrorInvalidParameter, kInvalidFind);
    const auto full = sim::winpath::FullPath(pattern);
    const size_t split = full ? full->rfind(u'\\') : std::u16string::npos;
    if (split == std::u16string::npos) return sim::FailWith(kErrorPathNotFound, kInvalidFind);
    const std::u16string_view name = std::u16string_view(*full).substr(split + 1);
    const auto folder = sim::winpath::HostPath(full->substr(0, split + 1));
    std::error_code ec;
    if (!folder || !std::filesystem::is_directory(*folder, ec))
        return sim::FailWith(kErrorPathNotFound, kInvalidFind);
    auto search = std::make_unique<OpenFind>();
    if (!name.empty()) search->found = Matches(*folder, name);
    if (search->found.empty()) return sim::FailWith(kErrorFileNotFound, kInvalidFind);
    *data = search->found[0];
    search->next = 1;
    HFind find = sim::NewHandle<OpenFind, HFind>(std::move(search));
    if (find == nullptr) return sim::FailWith(kErrorNotEnoughMemory, kInvalidFind);
    return sim::Succeed(find);
}

bool FindNextFile(HFind find, FindData* data) {
    auto* search = sim::FindOrFail<OpenFind>(find);
    if (search == nullptr) return false;
    if (data == nullptr) return sim::FailWith(kErrorInvalidParameter);
    if (search->next >= search->found.size()) return sim::FailWith(kErrorNoMoreFiles);
    *data = search->found[search->next++];
    return sim::Succeed();
}

bool FindClose(HFind find) {
    return sim::Close<OpenFind>(find) || sim::FailWith(kErrorInvalidHandle);
}

uint32_t GetFullPathName(const char16_t* fileName, uint32_t bufferLength, char16_t* buffer,
                         char16_t** filePart) {
    if (fileName == nullptr) return sim::FailWith(kErrorInvalidParameter, 0);
    const auto full = sim::winpath::FullPath(fileName);
    if (!full) return sim::FailWith(*fileName == u'\0' ? kErrorInvalidName : kErrorInvalidData, 0);
    const uint32_t result = sim::CopyTextOrSize(*full, buffer, bufferLength);
    if (filePart != nullptr && result == full->size()) {
        const size_t last = full->rfind(u'\\');
        *filePart = last + 1 < full->size() ? buffer + last + 1 : nullptr;
    }
    return result;
}

uint32_t GetFileAttributes(const char16_t* fileName) {
    if (fileName == nullptr) return sim::FailWith(kErrorInvalidParameter, kInvalidFileAttributes);
    const auto host = sim::winpath::HostPath(fileName);
    std::error_code ec;
    const auto status = host ? std::filesystem::status(*host, ec) : std::filesystem::file_status();
    if (!host || !std::filesystem::exists(status)) {
        // A missing file of an existing folder is "file not found"; anything else "path not found".
        const bool folderExists = host && std::filesystem::is_directory(host->parent_path(), ec);
        return sim::FailWith(folderExists ? kErrorFileNotFound : kErrorPathNotFound, kInvalidFileAttributes);
    }
    return sim::Succeed(std::filesystem::is_directory(status) ? kFileAttributeDirectory
                                                              : kFileAttributeNormal);
}

}  // namespace file
}  // namespace qv
