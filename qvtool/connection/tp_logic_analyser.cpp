// -s tp: the transport processor's debug logic analyser, read sample by sample through its
// registers, backwards from the write pointer.
#include <cinttypes>

#include "bit_fields.h"
#include "qv/qvtool/connection/connection_state.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

constexpr uint32_t kReadPointerMask = kTpLaDepth - 1;  // config bits 6:0

uint32_t WritePointer(uint32_t config) {
    return config >> 16;
}

// Config bits 15:14 of 2 or more: the even samples are in the second format.
bool AlternatesFormats(uint32_t config) {
    return Bits(config, 15, 14) >= 2;
}

void PrintFirstFormat(uint32_t hi, uint32_t lo, std::FILE* out) {
    auto b = [lo](uint32_t bit) { return Bits(lo, bit, bit); };
    std::fprintf(out, "op=%0x state=%0x/%0x src=%0x hit=%0x E_RxErr=%0x tid=%0x\n", Bits(hi, 31, 28),
                 Bits(hi, 27, 24), Bits(hi, 23, 20), Bits(hi, 19, 18), Bits(hi, 17, 17), Bits(hi, 16, 16),
                 Bits(hi, 15, 0));
    std::fprintf(out, "spurmsg=%0x line=%2x flushMsg=%0x Emsg=%0x Cmsg=%0x\n", b(31), Bits(lo, 30, 24), b(23),
                 b(22), b(21));
    std::fprintf(out, "Edata=%0x Cdata=%0x txSend=%0x txMod=%0x fastrxmt=%0x\n", b(20), b(19), b(18), b(17),
                 b(16));
    std::fprintf(out, "initTcb=%0x rxBufEmpty=%0x rxHaveCred=%0x rxdvld=%0x\n", b(15), b(14), b(13), b(12));
    std::fprintf(out, "rxoodvld=%0x rxfwd=%0x rxMod=%0x rxMap=%0x\n", b(11), b(10), b(9), b(8));
    std::fprintf(out, "flushRxBuf=%0x rdmaMod=%0x rdmaErr=%0x RcfpduHavLen=%0x\n", b(7), b(6), b(5), b(0));
}

void PrintSecondFormat(uint32_t hi, uint32_t lo, std::FILE* out) {
    auto h = [hi](uint32_t bit) { return Bits(hi, bit, bit); };
    auto l = [lo](uint32_t bit) { return Bits(lo, bit, bit); };
    std::fprintf(out, "cmd=%2x/%2x Pseq=%0x Fseq=%0x Vseq=%0x Pack=%0x\n", Bits(hi, 31, 24), Bits(hi, 23, 16),
                 h(15), h(14), h(13), h(12));
    std::fprintf(out, "Fack=%0x Vack=%0x syn=%0x rst=%0x ack=%0x\n", h(11), h(10), h(9), h(8), h(7));
    std::fprintf(out, "data=%0x fin=%0x SetPduHavLen=%0x fbcong=%0x\n", h(6), h(5), h(3), h(2));
    std::fprintf(out, "rxDataAckNonZero=%0x Eread=%0x ePcmdDvld=%0x\n", h(1), l(31), l(30));
    std::fprintf(out, "EbyPass=%0x EsavBackup=%0x Cread=%0x cPcmdSav=%0x\n", l(29), l(28), l(27), l(26));
    std::fprintf(out, "synLearned=%0x rcfDataOutDrdy=%0x sdErr=%0x\n", l(25), l(24), l(23));
    std::fprintf(out, "tcpErr=%0x intMsg=%2x rcfReason=%0x rcfHeldFin=%0x\n", l(22), Bits(lo, 21, 16),
                 Bits(lo, 15, 12), l(11));
    std::fprintf(out, "rxBufferEmpty=%x txcong=%0x rxnMatricPkt=%0x\n", l(10), l(9), l(8));
    std::fprintf(out, "ddpMode=%x rdmaMode=%0x outStandFin=%0x txReSend=%0x\n", l(7), l(6), l(4), l(3));
    std::fprintf(out, "rxTrimPost=%0x rxTrimPre=%0x ooFrag=%0x\n", l(2), l(1), l(0));
}

}  // namespace

uint32_t TpLaSampleCount(uint32_t requested) {
    return requested == 0 || requested > kTpLaDepth ? kTpLaDepth : requested;
}

void PrintTpLaSample(uint64_t value, bool secondFormat, std::FILE* out) {
    const auto hi = static_cast<uint32_t>(value >> 32);
    const auto lo = static_cast<uint32_t>(value);
    if (secondFormat) {
        PrintSecondFormat(hi, lo, out);
    } else {
        PrintFirstFormat(hi, lo, out);
    }
}

// The analyser's register requests are not checked: a failed read shows as 0.
void TpReport(const ReportRequest& request) {
    std::FILE* out = request.out;
    uint32_t config = 0;
    RegisterRead(request.device, kTpLaConfigRegister, &config);
    std::fprintf(out, "TP_DBG_LA_CONFIG=0x%0x\n", config);
    const uint32_t start = WritePointer(config);
    const uint32_t count = TpLaSampleCount(request.index);
    uint32_t pointer = start;
    for (uint32_t i = 1; i <= count; ++i) {
        pointer = (pointer - 1) & kReadPointerMask;
        RegisterWrite(request.device, kTpLaConfigRegister, (config & ~kReadPointerMask) | pointer);
        uint32_t hi = 0;
        uint32_t lo = 0;
        RegisterRead(request.device, kTpLaDataHighRegister, &hi);
        RegisterRead(request.device, kTpLaDataLowRegister, &lo);
        const uint64_t value = static_cast<uint64_t>(hi) << 32 | lo;
        std::fprintf(out, "\nrptr=0x%0x  value=%" PRIx64 "\n", pointer, value);
        PrintTpLaSample(value, AlternatesFormats(config) && i % 2 == 0, out);
    }
    uint32_t after = 0;
    RegisterRead(request.device, kTpLaConfigRegister, &after);
    std::fprintf(out, "TP_DBG_LA_CONFIG=0x%0x\n", after);
    if (WritePointer(after) != start)
        std::fprintf(out, "WARNING: wptr has changed from 0x%0x to 0x%0x\n", start, WritePointer(after));
}

}  // namespace qv::qvtool
