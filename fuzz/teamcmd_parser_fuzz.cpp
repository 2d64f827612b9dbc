// Fuzz target for the QvTeamCmd option parser. The input is read as UTF-16LE units; the unit
// 0xFFFF separates arguments, so that arguments may contain anything else, NUL included. Beyond
// the sanitizers, the record that comes back must hold the parser's promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "arg_parser.h"
#include "command_record.h"

namespace {

bool Terminated(const char16_t* text, size_t capacity) {
    for (size_t i = 0; i < capacity; ++i) {
        if (text[i] == u'\0') {
            return true;
        }
    }
    return false;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qv::teamcmd;
    std::vector<std::u16string> args(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0xFFFF) {
            args.emplace_back();
        } else {
            args.back() += unit;
        }
    }
    if (size < 2) {
        args.clear();
    }
    const auto result = ParseCommandLine(args);
    const CommandRecord& record = result->record;

    Check(result->status == 0 || result->status == QV_USAGE_ERROR);
    Check(record.flags <= 0x1FF);
    Check(record.numDeleteNames <= kMaxCommandNames);
    for (const auto& name : record.names) {
        Check(Terminated(name, kCommandNameCapacity));
    }
    Check(Terminated(record.logFileName, kCommandNameCapacity));
    Check(Terminated(record.teamName, kCommandNameCapacity));
    Check(Terminated(record.vlanName, kVlanNameCapacity));
    if (result->status == 0) {
        if (record.flags & OPT_ADD_VLAN) {
            Check(record.vlanId >= 1 && record.vlanId <= 4095);
        }
        if (record.flags & OPT_CREATE) {
            Check(record.teamModeNumber >= 1 && record.teamModeNumber <= 4);
        }
    }
    return 0;
}
