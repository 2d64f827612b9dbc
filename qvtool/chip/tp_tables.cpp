#include "qv/qvtool/chip/tp_tables.h"

#include <cstdint>
#include <vector>

#include "qv/qvtool/text_match.h"
#include "qv/qvtool/transport.h"

namespace qv::qvtool {
namespace {

using EntryPrinter = void (*)(int index, uint32_t entry, std::FILE* out);

struct TpTable {
    const char* name;
    IoFunction function;
    uint32_t entries;
    const char* title;
    const char* errorName;  // how the read error line names the table
    EntryPrinter print;
};

void PrintLowBits(int index, uint32_t entry, std::FILE* out) {
    std::fprintf(out, "%5d :\t0x%04x \n", index, entry & 0x7);
}
void PrintWhole(int index, uint32_t entry, std::FILE* out) {
    std::fprintf(out, "%5d :\t0x%04x \n", index, entry);
}
void PrintMtu(int index, uint32_t entry, std::FILE* out) {
    std::fprintf(out, "%5d :\tWidth %4d\tValue = %d\n", index, static_cast<int>((entry >> 16) & 0xF),
                 static_cast<int>(entry & 0x3FFF));
}
void PrintMap(int index, uint32_t entry, std::FILE* out) {
    std::fprintf(out, "%5d :\t0x%08x", index, entry & 0xFFFF);
    std::fputs((entry >> 31) != 0 ? "\tValid\n" : "\tInvalid\n", out);
}
void PrintLkp(int index, uint32_t entry, std::FILE* out) {
    std::fprintf(out, "%5d :\t0x%08x ", index, entry & 0xFFFF);
    std::fputs((entry >> 31) != 0 ? "\t Valid\n" : "\t Invalid\n", out);
}
void PrintTxMod(int index, uint32_t entry, std::FILE* out) {
    std::fprintf(out, "%5d :\t0x%08x \n", index, entry & 0xFFF);
}

// In the order the names are tried.
constexpr TpTable kTables[] = {
    {"pace", IoFunction::kPaceTable, 8, "TP pace table:\n", "Pace", PrintLowBits},
    {"cctrl", IoFunction::kCctrlTable, 512, "TP cctrl table:\n", "Cctrl", PrintWhole},
    {"tos", IoFunction::kTosTable, 64, "TP tos table:\n", "Tos", PrintLowBits},
    {"mtu", IoFunction::kMtuTable, 16, "TP mtu table:\n", "Mtu", PrintMtu},
    {"map", IoFunction::kMapTable, 64, "TP map table:\n", "Map", PrintMap},
    {"lkp", IoFunction::kLkpTable, 64, "TP lkp table:\n", "Lkp", PrintLkp},
    {"txmod", IoFunction::kTxModTable, 16, "TP txmod table:\n", "Tx Mod", PrintTxMod},
};

void DumpTable(const TpTable& table, HDevice device, std::FILE* out) {
    std::vector<uint32_t> entries(table.entries, 0);
    const uint32_t bytes = table.entries * sizeof(uint32_t);
    if (!SendRequest(device, table.function, entries.data(), bytes, entries.data(), bytes)) {
        std::fprintf(out, "%s table read error. status = 0x%08x\n", table.errorName, 0);
        return;
    }
    std::fputs(table.title, out);
    for (uint32_t i = 0; i < table.entries; ++i) table.print(static_cast<int>(i), entries[i], out);
}

}  // namespace

void RunTableDump(const char* name, HDevice device, std::FILE* out) {
    for (const TpTable& table : kTables) {
        if (!StartsWithIgnoreCase(name, table.name)) continue;
        DumpTable(table, device, out);
        return;
    }
}

}  // namespace qv::qvtool
