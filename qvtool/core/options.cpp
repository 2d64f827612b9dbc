#include "qv/qvtool/options.h"

#include <cstdio>
#include <cstring>

#include "option_scanner.h"
#include "qv/qvtool/number_text.h"
#include "qv/qvtool/qset_params.h"
#include "qv/qvtool/text_match.h"
#include "qv/qvtool/usage.h"
#include "qv/regmap/decode.h"

namespace qv::qvtool {
namespace {

// Every letter takes an argument except f, o and v.
constexpr const char* kOptionLetters = "d:r:fi:c:n:l:s:t:u:q:Q:e:w:m:b:vog:p:k:h:";
constexpr uint32_t kNoDeviceAddress = 0xFFFFFFFFu;
constexpr uint32_t kQsetCount = 8;

// The words after an option's argument, which some options look at without consuming them.
class FollowingWords {
  public:
    FollowingWords(int argc, const char* const* argv, int first) : argc_(argc), argv_(argv), first_(first) {}
    // The n-th word after the argument (0 = the first), or null past the end.
    const char* operator[](int n) const {
        const int i = first_ + n;
        return (i >= 0 && i < argc_) ? argv_[i] : nullptr;
    }

  private:
    int argc_;
    const char* const* argv_;
    int first_;
};

// A word that can stand as a hexadecimal value of the option: present, not an option, readable.
bool ReadValueWord(const char* word, uint32_t* value) {
    return word != nullptr && !BeginsWithDash(word) && ReadHex(word, value);
}

// A word that can stand as a file name after an option: present and not the next option.
std::string FileWord(const char* word) {
    return (word != nullptr && !BeginsWithDash(word)) ? word : "";
}

void HandleRegister(const char* arg, const FollowingWords& next, RegisterRequest* reg) {
    if (BeginsWithDash(arg)) return;
    if (regmap::BeginsWithBlockName(arg)) {
        reg->read = true;
        reg->target = RegisterTarget::kBlockName;
        reg->blockName = arg;
        return;
    }
    uint32_t offset = 0;
    uint32_t value = 0;
    const bool isOffset = ReadHex(arg, &offset);
    if (isOffset && ReadValueWord(next[0], &value)) {
        reg->write = true;
        reg->offset = offset;
        reg->value = value;
        return;
    }
    reg->read = true;
    // "all" is matched as written: "ALL" reads as the hexadecimal offset 0xA, like any other word
    // that starts with a digit.
    if (std::strncmp(arg, "all", 3) == 0) {
        reg->target = RegisterTarget::kAllBlocks;
    } else if (isOffset) {
        reg->target = RegisterTarget::kOffset;
        reg->offset = offset;
    } else {
        reg->target = RegisterTarget::kBlockName;  // selects no block
        reg->blockName = arg;
    }
}

// -i, -c, -n. An offset that does not read as a number makes the option ignored, so that a typing
// error never turns into an access at offset 0.
void HandleAccess(const char* arg, const FollowingWords& next, AccessRequest* access) {
    uint32_t offset = 0;
    if (BeginsWithDash(arg) || !ReadHex(arg, &offset)) return;
    access->offset = offset;
    if (ReadValueWord(next[0], &access->value)) {
        access->write = true;
    } else {
        access->read = true;
    }
}

// -l. Words that do not fit their field (port and device 8 bits, register and value 16 bits) are
// treated as words that are no numbers, so that no access goes to a truncated address.
void HandleMdio(const char* arg, const FollowingWords& next, MdioRequest* mdio) {
    uint32_t port = 0;
    uint32_t device = 0;
    uint32_t reg = 0;
    if (BeginsWithDash(arg) || !ReadHex(arg, &port) || port > 0xFF) return;
    const char* deviceWord = next[0];
    if (deviceWord == nullptr) return;
    if (deviceWord[0] == 'x' || deviceWord[0] == 'X') {
        device = kNoDeviceAddress;
    } else if (!ReadHex(deviceWord, &device) || device > 0xFF) {
        return;
    }
    if (!ReadValueWord(next[1], &reg) || reg > 0xFFFF) return;
    uint32_t value = 0;
    if (next[2] == nullptr) {
        mdio->read = true;
    } else if (ReadValueWord(next[2], &value) && value <= 0xFFFF) {
        mdio->write = true;
        mdio->value = value;
    } else {
        return;
    }
    mdio->port = port;
    mdio->device = device;
    mdio->reg = reg;
}

void HandleStateDump(const char* arg, const FollowingWords& next, ParseResult* result) {
    uint32_t index = 0;
    if (!ReadValueWord(next[0], &index)) {
        result->out += "No index given\n";
        return;
    }
    result->options.state = {true, arg, index};
}

// False when the run ends here.
bool HandleDescriptors(const char* arg, const FollowingWords& next, ParseResult* result) {
    if (next[0] == nullptr || next[1] == nullptr) {
        result->err += "Need queue index and count\n";
        return false;
    }
    result->options.descriptors = {true, arg, ReadDecimalOrZero(next[0]), ReadDecimalOrZero(next[1])};
    return true;
}

// False when the run ends here (every -m error, and the parameter list).
bool HandleQsetParam(const char* arg, const FollowingWords& next, ParseResult* result) {
    if (arg[0] != 'q' || arg[1] != 's') {
        result->out += "qset is wrong\n";
        return false;
    }
    const int32_t qset = ReadDecimalOrZero(arg + 2);
    if (qset < 0 || static_cast<uint32_t>(qset) >= kQsetCount) {
        char line[64];
        std::snprintf(line, sizeof line, "qset instance(%x) is wrong(use qs0-qs7)\n",
                      static_cast<unsigned>(qset));
        result->out += line;
        return false;
    }
    const char* name = next[0];
    if (name == nullptr) {
        result->out += " No Parameter value\n";
        return false;
    }
    if (IsQsetParamListRequest(name)) {
        result->out += QsetParamListText();
        return false;
    }
    const int index = QsetParamIndex(name);
    if (index < 0) {
        result->out += "qset parameter is wrong\n";
        return false;
    }
    QsetParamRequest& request = result->options.qsetParam;
    request = {true, static_cast<uint32_t>(qset), static_cast<uint32_t>(index), 0, false};
    request.set = ReadValueWord(next[1], &request.value);
    return true;
}

void HandleBlink(const char* arg, ParseResult* result) {
    if (BeginsWithDash(arg)) return;
    int32_t seconds = 0;
    if (!ReadDecimal(arg, &seconds)) {
        result->out += "Invalid Parameter: See Usage\n";
        return;
    }
    result->options.blink = {true, seconds};
}

void EndWithUsage(ParseResult* result) {
    result->out += kUsageText;
    result->endRun = true;
    result->exitStatus = 1;
}

void EndWithStatus1(ParseResult* result) {
    result->endRun = true;
    result->exitStatus = 1;
}

// Handles one option; false when the run ends.
bool HandleOption(int letter, const char* arg, const FollowingWords& next, ParseResult* result) {
    ParsedOptions& o = result->options;
    switch (letter) {
        case 'd':
            o.device = arg;
            return true;
        case 'r':
            HandleRegister(arg, next, &o.reg);
            return true;
        case 'f':
            o.expandFields = true;
            return true;
        case 'i':
            HandleAccess(arg, next, &o.config);
            return true;
        case 'c':
            HandleAccess(arg, next, &o.cimControl);
            return true;
        case 'n':
            HandleAccess(arg, next, &o.cimQueue);
            return true;
        case 'l':
            HandleMdio(arg, next, &o.mdio);
            return true;
        case 's':
            HandleStateDump(arg, next, result);
            return true;
        case 't':
            o.table = {true, arg};
            return true;
        case 'u':
            o.unit = {true, arg};
            return true;
        case 'q':
            o.queueContext = {true, arg};
            return true;
        case 'Q':
            if (HandleDescriptors(arg, next, result)) return true;
            EndWithStatus1(result);
            return false;
        case 'e':
            o.eepromDump = {true, arg, FileWord(next[0])};
            return true;
        case 'w':
            o.eepromWrite = {true, arg, FileWord(next[0])};
            return true;
        case 'm':
            if (HandleQsetParam(arg, next, result)) return true;
            EndWithStatus1(result);
            return false;
        case 'b':
            HandleBlink(arg, result);
            return true;
        case 'o':
            o.trace = {true, FileWord(next[0])};
            result->out += o.trace.file;
            return true;
        case 'v':
            o.versions = true;
            return true;
        case 'g':
            o.fpga = {true, arg};
            return true;
        case 'p':
            o.flash = {true, arg};
            return true;
        case 'k':
            o.convert = {true, arg};
            return true;
        default:
            EndWithUsage(result);
            return false;  // the error mark, -h
    }
}

bool IsAsciiLetterOrSpace(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

int32_t InstanceFromDeviceString(const std::string& device) {
    size_t i = 0;
    while (i < device.size() && IsAsciiLetterOrSpace(device[i])) ++i;
    if (i == device.size()) return -1;
    return ReadDecimalOrZero(device.c_str() + i);
}

ParseResult ParseCommandLine(int argc, const char* const* argv) {
    ParseResult result;
    OptionScanner scanner(argc, argv, kOptionLetters, &result.err);
    for (int letter; (letter = scanner.Next()) != OptionScanner::kEnd;) {
        const FollowingWords next(argc, argv, scanner.NextWordIndex());
        const char* arg = scanner.Argument() != nullptr ? scanner.Argument() : "";
        if (!HandleOption(letter, arg, next, &result)) return result;
    }
    ParsedOptions& o = result.options;
    if (o.convert.requested) return result;  // the conversion needs no adapter
    if (o.device.empty()) {
        result.out += "Device not specified\n";
        EndWithUsage(&result);
        return result;
    }
    if (o.device.size() > kMaxDeviceStringLength) {
        result.out += "Device string is too long\n";
        EndWithUsage(&result);
        return result;
    }
    o.instance = InstanceFromDeviceString(o.device);
    if (o.instance == -1) {
        result.out += o.device + " has no instance info\n";
        result.out += kUsageText;
    }
    return result;
}

}  // namespace qv::qvtool
