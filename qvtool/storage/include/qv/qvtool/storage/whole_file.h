// Files written whole or not at all: the converted source (-k) and the backups taken before an
// erase or an EEPROM write. The contents go to a temporary file beside the target, which is renamed
// into place only once everything is written and flushed, so an interrupted or failed write never
// leaves a truncated file under the target's name nor loses the file it was to replace.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace qv::qvtool {

enum class Existing { kReplace, kKeep };

// Writes contents to path through a temporary file in the same directory. With kKeep an existing
// path is never replaced (the write fails). Only a regular file is replaced. False on any failure;
// the temporary file is then removed and path is as it was.
bool WriteFileWhole(const std::string& path, const std::string& contents, Existing existing);

// "<adapter>-<area>-<YYYYMMDD>-<HHMMSS>.<extension>" for the local time `when`. Characters of the
// adapter name that do not belong in a file name (path separators, blanks, ...) become '_'.
std::string BackupFileName(const std::string& adapter, const char* area, const char* extension,
                           std::time_t when);

// Saves contents in the current directory under BackupFileName for the current time, or, when
// that name is taken, the same name with "-2", "-3", ... before the extension; never replaces a
// file. Returns the name written, or an empty string when nothing could be saved.
std::string SaveBackupFile(const std::string& adapter, const char* area, const char* extension,
                           const std::string& contents);

}  // namespace qv::qvtool
