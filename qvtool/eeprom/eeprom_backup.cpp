#include "qv/qvtool/eeprom/eeprom_backup.h"

#include <cstdint>
#include <vector>

#include "qv/qvtool/eeprom/section_text.h"
#include "qv/qvtool/storage/whole_file.h"

namespace qv::qvtool {

bool BackUpEepromSection(const EepromSection& section, const VpdPort& port, const std::string& adapter) {
    std::vector<uint8_t> bytes(section.length);
    if (VpdReadRange(port, section.start, bytes) != kStatusSuccess) {
        std::fprintf(port.out, "Unable to read eeprom section %s for its backup: nothing was written\n",
                     section.name);
        return false;
    }
    const std::string area = std::string("eeprom-") + section.name;
    const std::string saved = SaveBackupFile(adapter, area.c_str(), "txt", FormatSectionValues(bytes));
    if (saved.empty()) {
        std::fprintf(port.out, "Unable to save the backup of eeprom section %s: nothing was written\n",
                     section.name);
        return false;
    }
    std::fprintf(port.out, "Eeprom %s section backed up to %s\n", section.name, saved.c_str());
    return true;
}

}  // namespace qv::qvtool
