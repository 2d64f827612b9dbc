// -e: a section read over the VPD capability and written as text.
#include <memory>
#include <string>
#include <vector>

#include "qv/qvtool/eeprom/eeprom_commands.h"
#include "qv/qvtool/eeprom/section_text.h"
#include "qv/qvtool/eeprom/vpd_access.h"
#include "qv/qvtool/storage/output_file.h"

namespace qv::qvtool {
namespace {

// Reads the section into bytes. False with a message when the read fails: nothing is written
// then, since a failed word would show as data.
bool ReadSection(const EepromSection& section, const VpdPort& port, std::vector<uint8_t>* bytes) {
    if (section.dump == DumpStyle::kAnnotated)
        std::fprintf(port.out, "buf_size = %d\n", static_cast<int>(section.length));
    bytes->resize(section.length);
    if (VpdReadRange(port, section.start, *bytes) == kStatusSuccess) return true;
    std::fprintf(port.out, "Reading eeprom section %s failed\n", section.name);
    return false;
}

}  // namespace

void RunEepromDump(const EepromRequest& request, HDevice device, std::FILE* out, ProgressLine* progress) {
    uint32_t capability = 0;
    if (FindVpdCapability(device, &capability) != kStatusSuccess) {
        std::fputs(kNoVpdCapabilityMessage, out);
        return;
    }
    const char* name = request.section.c_str();
    const char* path = request.file.c_str();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(nullptr, std::fclose);
    if (!request.file.empty()) {
        file.reset(OpenOutputFile(path, "w"));
        if (!file) {
            std::fprintf(out, "Unable to open eeprom section %s output file %s\n", name, path);
            return;
        }
    }
    const EepromSection* section = FindEepromSection(name);
    if (section == nullptr) return;
    const VpdPort port{device, capability, out, progress};
    std::vector<uint8_t> bytes;
    if (!ReadSection(*section, port, &bytes)) return;
    const std::string text = FormatSectionDump(*section, bytes);
    bool written = std::fwrite(text.data(), 1, text.size(), file ? file.get() : out) == text.size();
    if (!file) return;
    written = std::fclose(file.release()) == 0 && written;
    if (!written) std::fprintf(out, "Unable to write eeprom section %s output file %s\n", name, path);
}

}  // namespace qv::qvtool
