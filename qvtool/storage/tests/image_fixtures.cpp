#include "image_fixtures.h"

#include <cstdio>

namespace qv::qvtool::test {

std::vector<uint32_t> SummedFirmware(std::vector<uint32_t> words) {
    uint32_t sum = 0;
    for (const uint32_t w : words) sum += w;
    words.push_back(0xFFFFFFFFu - sum);
    return words;
}

std::string BigEndianFile(const std::vector<uint32_t>& words) {
    std::string file;
    for (const uint32_t w : words) {
        for (int shift = 24; shift >= 0; shift -= 8) file += static_cast<char>(w >> shift);
    }
    return file;
}

std::string TextFile(const std::vector<uint32_t>& words) {
    std::string file;
    char line[16];
    for (const uint32_t w : words) {
        std::snprintf(line, sizeof line, "%08X\n", w);
        file += line;
    }
    return file;
}

std::string Executable(std::vector<uint8_t> module, uint16_t segment, uint16_t offset,
                       uint16_t headerParagraphs) {
    if (module.size() >= 7) {
        module[3] = static_cast<uint8_t>(offset);
        module[4] = static_cast<uint8_t>(offset >> 8);
        module[5] = static_cast<uint8_t>(segment);
        module[6] = static_cast<uint8_t>(segment >> 8);
    }
    const size_t headerBytes = size_t{16} * headerParagraphs;
    const size_t total = headerBytes + module.size();
    const auto pages = static_cast<uint16_t>((total + 511) / 512);
    const auto lastPage = static_cast<uint16_t>(total % 512);
    std::string file(headerBytes, '\0');
    const uint16_t fields[] = {0x5A4D, lastPage, pages, 0, headerParagraphs};
    for (size_t i = 0; i < 5; ++i) {
        file[2 * i] = static_cast<char>(fields[i]);
        file[2 * i + 1] = static_cast<char>(fields[i] >> 8);
    }
    file.append(module.begin(), module.end());
    return file;
}

std::vector<uint8_t> BootModule(size_t size) {
    std::vector<uint8_t> module(size);
    for (size_t i = 0; i < size; ++i) module[i] = static_cast<uint8_t>(i * 7 + 3);
    if (size >= 2) {
        module[0] = 0x55;
        module[1] = 0xAA;
    }
    return module;
}

std::string SramText(size_t count) {
    std::string file;
    char line[8];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "%02x\n", static_cast<unsigned>((3 * i + 1) & 0xFF));
        file += line;
    }
    return file;
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

}  // namespace qv::qvtool::test
