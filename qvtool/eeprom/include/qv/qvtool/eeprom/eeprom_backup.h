// The backup taken before -w writes a section: the section's current contents, saved in the
// current directory in the section file format, so that -w takes the file back to restore them.
#pragma once

#include <string>

#include "qv/qvtool/eeprom/sections.h"
#include "qv/qvtool/eeprom/vpd_access.h"

namespace qv::qvtool {

// Reads the section and saves it as "<adapter>-eeprom-<section>-<YYYYMMDD>-<HHMMSS>.txt" (never
// replacing a file), then prints one line naming the file to port.out. False, with the reason and
// that nothing was written printed to port.out, when the read or the save fails.
bool BackUpEepromSection(const EepromSection& section, const VpdPort& port, const std::string& adapter);

}  // namespace qv::qvtool
