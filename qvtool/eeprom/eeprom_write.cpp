// -w: a section file checked, the section's contents backed up, then the file written over the VPD
// capability between clearing and setting the protection word.
#include <optional>
#include <vector>

#include "qv/qvtool/eeprom/eeprom_backup.h"
#include "qv/qvtool/eeprom/eeprom_commands.h"
#include "qv/qvtool/eeprom/section_text.h"
#include "qv/qvtool/eeprom/vpd_access.h"
#include "qv/qvtool/storage/image_file.h"

namespace qv::qvtool {

void RunEepromWrite(const EepromRequest& request, const std::string& adapter, HDevice device, std::FILE* out,
                    ProgressLine* progress) {
    const char* name = request.section.c_str();
    const char* path = request.file.c_str();
    if (request.file.empty()) {
        std::fprintf(out, "Must provide an eeprom section %s config file\n", name);
        return;
    }
    // A file larger than the bound is read as no values, so that a writable section refuses it.
    const LoadedFile loaded = LoadImageFile(request.file);
    if (loaded.status == LoadStatus::kCannotOpen) {
        std::fprintf(out, "Unable to open eeprom section %s config file %s\n", name, path);
        return;
    }
    const EepromSection* section = FindEepromSection(name);
    std::optional<std::vector<uint8_t>> values;
    if (section != nullptr && section->writable) {
        SectionFileRead read = ReadSectionFile(*section, loaded.bytes.data(), loaded.bytes.size());
        if (!read.values) {
            std::fprintf(out, "%sFailed while reading %s file", read.reason.c_str(), section->name);
            return;
        }
        values = std::move(read.values);
    }

    uint32_t capability = 0;
    if (FindVpdCapability(device, &capability) != kStatusSuccess) {
        std::fputs(kNoVpdCapabilityMessage, out);
        return;
    }
    const VpdPort port{device, capability, out, progress};
    // The section's contents are saved before anything of it can change.
    if (values && !BackUpEepromSection(*section, port, adapter)) return;
    // Nothing of the section is written while the protection word could not be cleared.
    const bool unprotected =
        VpdWriteWord(port, kEepromProtectionWord, kEepromProtectionOff) == kStatusSuccess;
    if (section != nullptr && !section->writable) {
        std::fputs("Writing to VPD is not Allowed", out);
    } else if (values) {
        if (!unprotected || VpdWriteRange(port, section->start, *values) != kStatusSuccess) {
            std::fprintf(out, "Failed trying to write %s", section->name);
        } else {
            std::fprintf(out, "Eeprom %s section written successfully from %s\n", section->name, path);
        }
    }
    VpdWriteWord(port, kEepromProtectionWord, kEepromProtectionOn);
}

}  // namespace qv::qvtool
