// The statistics reports' lines as data: for each record, the lines in print order, each a label,
// the field's byte offset in the record and how its value is printed. Every line is the label, the
// value and a line feed; a heading carries no field. qvsim finds counters by these labels too.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

namespace qv::qvtool {

enum class FieldFormat : uint8_t {
    kHeading,   // the label alone
    kU64,       // 64-bit field, unsigned decimal
    kU64Low32,  // 64-bit field of which the low 32 bits are printed, unsigned decimal
    kU32,       // 32-bit field, unsigned decimal
    kI32,       // 32-bit field, signed decimal
};

struct CounterLine {
    const char* label;  // the line's text before the value
    uint16_t offset;    // the field's byte offset in the record
    FieldFormat format;
};

// The bytes of a field of this format: 0, 4 or 8.
uint32_t FieldWidth(FieldFormat format);

// Prints each line's label and the value read from record at the line's offset. A line whose field
// does not lie inside the record is skipped.
void PrintCounterLines(std::FILE* out, std::span<const uint8_t> record, std::span<const CounterLine> lines);

// The line tables, in print order.
std::span<const CounterLine> MacCounterLines();      // offsets 16 to 360
std::span<const CounterLine> QsetCounterLines();     // after the "qset" line: offsets 4 to 600, headings
std::span<const CounterLine> IpCounterLines();       // offsets 0 to 96
std::span<const CounterLine> TcpCounterLines();      // offsets 0 to 104
std::span<const CounterLine> IntrCounterLines();     // global counters 0 to 176 with "sge:", then 1504
std::span<const CounterLine> OffloadCounterLines();  // offsets 0 to 56, without the "hard tid_cnt" line

// The labels of the interrupt report's per-queue-set arrays (array k at 288 + 64 k) and of the
// offload report's per-function arrays (array k at 80 + 24 k), in print order.
std::span<const CounterLine> IntrQsetLines();         // offset: that of the array's first element
std::span<const CounterLine> OffloadFunctionLines();  // offset: that of the array's first element

// The data-path pipeline counters: the label of each counter index, 0 to 33.
constexpr uint32_t kPipelineCounterCount = 34;
std::span<const char* const> PipelineCounterLabels();

// The counter of a table whose label, without its " : " and tabs, is name; null when none is.
const CounterLine* FindCounterLine(std::span<const CounterLine> lines, std::string_view name);
// The name of a label: the text before its first space.
std::string_view CounterName(const char* label);

}  // namespace qv::qvtool
