// The parsed command line of qvtool and the parser that builds it.
#pragma once

#include <cstdint>
#include <string>

namespace qv::qvtool {

// One read-or-write command on an offset (-i, -c, -n) and its values.
struct AccessRequest {
    bool read = false;
    bool write = false;
    uint32_t offset = 0;
    uint32_t value = 0;
};

// What -r reads: the register at the offset, every block, or the blocks a name selects.
enum class RegisterTarget { kOffset, kAllBlocks, kBlockName };

struct RegisterRequest {
    bool read = false;
    bool write = false;
    uint32_t offset = 0;
    uint32_t value = 0;
    RegisterTarget target = RegisterTarget::kOffset;
    std::string blockName;  // with kBlockName
};

struct MdioRequest {
    bool read = false;
    bool write = false;
    uint32_t port = 0;
    uint32_t device = 0;  // 0xFFFFFFFF for "x": no device address
    uint32_t reg = 0;
    uint32_t value = 0;
};

// An option that names something (a table, unit, queue, file) and is requested when given.
struct NamedRequest {
    bool requested = false;
    std::string name;
};

struct StateDumpRequest {
    bool requested = false;
    std::string kind;
    uint32_t index = 0;
};

struct DescriptorRequest {
    bool requested = false;
    std::string queue;
    int32_t start = 0;
    int32_t count = 0;
};

struct EepromRequest {
    bool requested = false;
    std::string section;
    std::string file;  // empty when no file was named
};

struct QsetParamRequest {
    bool requested = false;
    uint32_t qset = 0;
    uint32_t index = 0;
    uint32_t value = 0;
    bool set = false;
};

struct BlinkRequest {
    bool requested = false;
    int32_t seconds = 0;
};

struct TraceRequest {
    bool requested = false;
    std::string file;  // empty: the console
};

constexpr size_t kMaxDeviceStringLength = 60;

struct ParsedOptions {
    std::string device;
    int32_t instance = -1;
    bool expandFields = false;      // -f
    RegisterRequest reg;            // -r
    AccessRequest config;           // -i
    AccessRequest cimControl;       // -c
    AccessRequest cimQueue;         // -n
    MdioRequest mdio;               // -l
    StateDumpRequest state;         // -s
    NamedRequest table;             // -t
    NamedRequest unit;              // -u
    NamedRequest queueContext;      // -q
    DescriptorRequest descriptors;  // -Q
    EepromRequest eepromDump;       // -e
    EepromRequest eepromWrite;      // -w
    QsetParamRequest qsetParam;     // -m
    BlinkRequest blink;             // -b
    TraceRequest trace;             // -o
    bool versions = false;          // -v
    NamedRequest fpga;              // -g
    NamedRequest flash;             // -p
    NamedRequest convert;           // -k
};

// The parser's verdict: the options, what it printed, and whether the run ends here.
struct ParseResult {
    ParsedOptions options;
    std::string out;  // standard output
    std::string err;  // standard error
    bool endRun = false;
    int exitStatus = 0;  // with endRun
};

// Parses the words of the command line (argv[0] is the invocation name). Pure: prints nothing
// itself; the caller writes out and err and ends the process when endRun is set.
ParseResult ParseCommandLine(int argc, const char* const* argv);

// The instance number in a device string: what follows the leading letters and white space, read
// as a decimal number; -1 when nothing follows.
int32_t InstanceFromDeviceString(const std::string& device);

}  // namespace qv::qvtool
