// -e and -w: dump an EEPROM section, or write one from its section file. Both report to out with
// the tool's messages and leave the run's exit status alone.
#pragma once

#include <cstdio>
#include <string>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/options.h"
#include "qv/qvtool/progress_line.h"

namespace qv::qvtool {

inline constexpr char kNoVpdCapabilityMessage[] = "The adapter has no VPD capability\n";

// Dumps the section to the file named (created, or replaced when it is a regular file) or, without
// one, to out. The VPD area prints "buf_size = 4096\n" to out first. A section name that matches
// none creates the file and writes nothing.
void RunEepromDump(const EepromRequest& request, HDevice device, std::FILE* out, ProgressLine* progress);

// Writes the section from its file. The file is read and checked before the adapter is touched;
// then the section's contents are backed up in a file named after the adapter (nothing is written
// when that fails), the protection word is cleared, the section written (the VPD area is refused)
// and the protection word set again, whatever the outcome.
void RunEepromWrite(const EepromRequest& request, const std::string& adapter, HDevice device, std::FILE* out,
                    ProgressLine* progress);

}  // namespace qv::qvtool
