// -s stag: one entry of the RDMA translation table, raw and decoded.
#include <array>
#include <cinttypes>

#include "bit_fields.h"
#include "qv/qvtool/connection/connection_state.h"
#include "qv/qvtool/connection/memory_read.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
uint32_t StagAddress(uint32_t tptLowerLimit, uint32_t stag) {
    return tptLowerLimit + (stag >> 8) * kStagBytes;
}

void PrintStag(uint32_t stag, std::span<const uint8_t> answer, uint32_t returned, std::FILE* out) {
    std::array<uint8_t, kStagBytes> entry{};
    KeepReturnedBytes(answer, returned, entry);
    // Four little-endian 64-bit words; the decode takes each one's high half first (e0 to e7).
    std::array<uint32_t, 8> e{};
    for (uint32_t w = 0; w < 4; ++w) {
        const uint64_t v = LittleEndian(entry.data() + 8 * w, 8);
        std::fprintf(out, "%016" PRIx64 " \n", v);
        e[2 * w] = static_cast<uint32_t>(v >> 32);
        e[2 * w + 1] = static_cast<uint32_t>(v);
    }
    std::fprintf(out, "STag 0x%x:\n", stag);
    std::fprintf(out, "Valid %d ", static_cast<int>(Bits(e[0], 31, 31)));
    std::fprintf(out, "Key 0x%x ", Bits(e[0], 30, 23));
    std::fprintf(out, "State %d ", static_cast<int>(Bits(e[0], 22, 22)));
    std::fprintf(out, "Type 0x%x ", Bits(e[0], 21, 20));
    std::fprintf(out, "PDID 0x%x \n", Bits(e[0], 19, 0));
    std::fprintf(out, "Perms 0x%x ", Bits(e[1], 29, 28));
    std::fprintf(out, "Rem Inv Disable 0x%x ", Bits(e[1], 27, 27));
    std::fprintf(out, "Addr Type 0x%x \n", Bits(e[1], 26, 26));
    std::fprintf(out, "Bind Enable 0x%x ", Bits(e[1], 25, 25));
    std::fprintf(out, "Page Size 0x%x ", Bits(e[1], 24, 20));
    std::fprintf(out, "QPID 0x%x\n", Bits(e[1], 19, 0));
    std::fprintf(out, "PBL Addr 0x%x Length %d\n", Bits(e[2], 28, 0), static_cast<int32_t>(e[3]));
    std::fprintf(out, "VA %08x%08x \n", e[4], e[5]);
    std::fprintf(out, "Bind Cnt/PSTag %x \n", Bits(e[6], 23, 0));
}

void StagReport(const ReportRequest& request) {
    uint32_t base = 0;
    if (RegisterRead(request.device, kTptLowerLimitRegister, &base) != kStatusSuccess) return;
    std::array<uint8_t, kStagBytes> entry{};
    if (!ReadAdapterMemory(request.device, MemoryKind::kStag, StagAddress(base, request.index), entry)) {
        std::fprintf(request.out, "Work request context read error. status = 0x%08x\n", 0u);
        return;
    }
    PrintStag(request.index, entry, kStagBytes, request.out);
}

}  // namespace qv::qvtool
