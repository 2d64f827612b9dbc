#include "qv/teamlib/internal/installed_inf.h"

#include "qv/platform/files.h"
#include "qv/platform/scoped_handle.h"
#include "qv/platform/wintypes.h"
#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"

namespace qv {
namespace {

constexpr char16_t kOemInfPattern[] = u"oem*.inf";

// The candidate the search reports, opened as infClass; folders named like an INF are skipped.
bool IsWantedInf(FindData& found, const char16_t* infClass, InfTest test) {
    if (found.attributes & kFileAttributeDirectory) return false;
    found.fileName[kMaxPath - 1] = u'\0';  // keep the name terminated whatever the search wrote
    uint32_t errorLine = 0;
    ScopedInf inf(inf::OpenInfFile(found.fileName, infClass, kInfStyleWin4, &errorLine));
    if (!inf.valid()) {
        QvTrace(u"   FindInstalledInf: %s skipped (0x%x, line %u)", found.fileName, GetLastError(),
                errorLine);
        return false;
    }
    return test(inf.get());
}

// The walk itself; FindInstalledInf adds the caller's trace lines.
int WalkOemInfs(const char16_t* infClass, InfTest test, char16_t* path) {
    if (path == nullptr) return 0;
    path[0] = u'\0';
    char16_t windows[kMaxPath] = {};
    const uint32_t length = file::GetSystemWindowsDirectory(windows, kMaxPath);
    // A result of kMaxPath or more is the size the directory would need: it does not fit.
    if (length == 0 || length >= kMaxPath) {
        QvTrace(u"   FindInstalledInf: no usable Windows directory (%u)", length);
        return 0;
    }
    const char16_t last = windows[length - 1];
    const char16_t* infFolder = (last == u'\\' || last == u'/') ? u"Inf\\" : u"\\Inf\\";

    char16_t pattern[kMaxPath];
    if (!U16FormatInto(pattern, kMaxPath, u"%s%s%s", windows, infFolder, kOemInfPattern)) {
        QvTrace(u"   FindInstalledInf: search pattern too long");
        return 0;
    }
    FindData found;
    ScopedFind search(file::FindFirstFile(pattern, &found));
    if (!search.valid()) {
        QvTrace(u"   FindInstalledInf: no %s (0x%x)", pattern, GetLastError());
        return 0;
    }
    do {
        if (!IsWantedInf(found, infClass, test)) continue;
        if (U16FormatInto(path, kMaxPath, u"%s%s%s", windows, infFolder, found.fileName)) return 1;
        QvTrace(u"   FindInstalledInf: full path of %s too long", found.fileName);
        path[0] = u'\0';
    } while (file::FindNextFile(search.get(), &found));
    return 0;
}

}  // namespace

int FindInstalledInf(const char16_t* caller, const char16_t* infClass, InfTest test, char16_t* path) {
    QvTrace(u"-->%s:", caller);
    if (!WalkOemInfs(infClass, test, path)) {
        QvTrace(u"<--%s: none found", caller);
        return 0;
    }
    QvTrace(u"<--%s: %s", caller, path);
    return 1;
}

bool InfFieldEquals(HInf inf, const char16_t* section, const char16_t* key, uint32_t capacity,
                    std::u16string_view expected) {
    InfContext line;
    if (!inf::FindFirstLine(inf, section, key, &line)) return false;
    char16_t field[kMaxPath];
    if (capacity == 0) return false;
    if (capacity > kMaxPath) capacity = kMaxPath;
    uint32_t required = 0;
    if (!inf::GetStringField(&line, 1, field, capacity, &required)) return false;
    field[capacity - 1] = u'\0';
    return expected == field;
}

}  // namespace qv
