#include "qv/qvtool/jtag/bit_streams.h"

#include <utility>

#include "qv/qvtool/jtag/known_devices.h"
#include "qv/qvtool/storage/image_file.h"

namespace qv::qvtool {
namespace {

// Reads the row's file into *stream; the reason it does not do, printed to out, when it fails.
bool LoadRowStream(const BoardRow& row, std::vector<uint8_t>* stream, std::FILE* out) {
    const char* path = row.bitStream.c_str();
    const JtagDevice* device = FindJtagDevice(row.idcode);
    if (device == nullptr) {
        std::fprintf(out, "No known device has fpga id 0x%08X: %s cannot be checked.\n", row.idcode, path);
        return false;
    }
    const uint32_t limit = JtagConfigBytes(*device);
    LoadedFile file = LoadImageFile(row.bitStream, limit);
    switch (file.status) {
        case LoadStatus::kCannotOpen:
            std::fprintf(out, "Unable to open %s fpga configuration file.\n", path);
            return false;
        case LoadStatus::kTooLarge:
            std::fprintf(out, "%s is larger than the %u bytes of a %s configuration.\n", path, limit,
                         device->name);
            return false;
        case LoadStatus::kLoaded:
            break;
    }
    if (file.bytes.empty()) {
        std::fprintf(out, "%s is empty.\n", path);
        return false;
    }
    *stream = std::move(file.bytes);
    // The reader reserves the whole limit; the streams of all rows are held at once.
    stream->shrink_to_fit();
    return true;
}

}  // namespace

bool LoadBitStreams(const BoardConfig& config, std::vector<LoadedRow>* rows, std::FILE* out) {
    rows->clear();
    for (const BoardRow& row : ConfiguredRows(config)) {
        LoadedRow loaded{row, {}};
        if (!row.bitStream.empty() && !LoadRowStream(row, &loaded.stream, out)) {
            std::fprintf(out, "Board configuration line %u (module %s) refused: no fpga was configured.\n",
                         row.line, row.module.c_str());
            rows->clear();
            return false;
        }
        rows->push_back(std::move(loaded));
    }
    return true;
}

}  // namespace qv::qvtool
