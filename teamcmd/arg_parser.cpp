#include "arg_parser.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "qv/teamlib/text.h"
#include "qv/teamlib/trace.h"
#include "usage.h"

namespace qv::teamcmd {
namespace {

// Argument lengths are measured with a bound: 260 characters or more fail the measurement, so an
// argument may have 1 to 259 characters. Team names given to -r are measured in bytes against the
// same bound, which leaves them 1 to 129 characters.
constexpr size_t kLengthLimit = 260;
constexpr size_t kNameCopyCapacity = 260;  // at most 259 characters plus the terminator

enum class Length { kOk, kMeasureFailed, kEmpty };

Length CheckLength(std::u16string_view text) {
    if (text.size() >= kLengthLimit) {
        return Length::kMeasureFailed;
    }
    return text.empty() ? Length::kEmpty : Length::kOk;
}

Length CheckByteLength(std::u16string_view text) {
    if (text.size() * sizeof(char16_t) >= kLengthLimit) {
        return Length::kMeasureFailed;
    }
    return text.empty() ? Length::kEmpty : Length::kOk;
}

bool IsOption(std::u16string_view text) {
    return !text.empty() && (text[0] == u'-' || text[0] == u'/');
}

// Only the second character of an option counts; "-list" is "-l".
char16_t OptionLetter(std::u16string_view text) {
    if (text.size() < 2) {
        return 0;
    }
    const char16_t c = text[1];
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// The C library's space class in the "C" locale.
bool IsCSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// A signed decimal number as "%d" reads it: leading white space, a sign, digits. Text that does not
// start with a number gives 0; values beyond the int range saturate.
int32_t ReadDecimal(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT32_MAX) {
            return negative ? INT32_MIN : INT32_MAX;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

class Parser {
  public:
    Parser(std::span<const std::u16string> args, ParseResult* result) : result_(*result) {
        // Position 0 stands for the program name, so that positions count as on the command line.
        args_.emplace_back();
        for (const std::u16string& arg : args) {
            args_.emplace_back(arg.c_str());
        }
        count_ = static_cast<int>(args.size());
    }

    void Run() {
        while (next_ <= count_ && !stopped_) {
            const std::u16string& arg = Arg(next_);
            if (!IsOption(arg)) {
                break;
            }
            switch (OptionLetter(arg)) {
                case u'l':
                    ParseList();
                    CheckTeamNameGiven();
                    break;
                case u'c':
                    ParseCreate();
                    CheckTeamNameGiven();
                    break;
                case u'r':
                    ParseRemove();
                    CheckTeamNameGiven();
                    break;
                case u'f':
                    ParseValueOption(u"Processing file option", result_.record.logFileName, OPT_LOG);
                    break;
                case u'n':
                    ParseValueOption(u"Team Name option", result_.record.teamName, OPT_TEAM_NAME);
                    break;
                case u'a':
                    ParseAddVlan();
                    break;
                case u'd':
                    ParseDeleteVlans();
                    break;
                default:
                    Fail();
                    break;
            }
        }
        if (result_.status == QV_USAGE_ERROR && showUsage_) {
            result_.output += UsageText();
        }
    }

  private:
    const std::u16string& Arg(int position) const { return args_[static_cast<size_t>(position)]; }
    uint32_t& Flags() { return result_.record.flags; }

    void Fail() {
        result_.status = QV_USAGE_ERROR;
        stopped_ = true;
    }
    void Say(const char* text) { result_.output += text; }
    void SayLength(const char* prefix, size_t length) {
        char line[96];
        std::snprintf(line, sizeof line, "%s, Extra checks failed, len1 = %d\n", prefix,
                      static_cast<int>(length));
        result_.output += line;
    }

    // Stores a name in the next free slot of the names array; a 17th name is refused.
    bool StoreName(int* slot, std::u16string_view name) {
        if (*slot >= kMaxCommandNames) {
            QvTrace(u"   _tmain: More than %d names\n", kMaxCommandNames);
            Say("Too many names: at most 16 can be given\n");
            Fail();
            return false;
        }
        U16CopyInto(result_.record.names[*slot], kNameCopyCapacity, name);
        ++*slot;
        return true;
    }

    // After an -l, -c or -r group that used up the command line, a create needs its team name.
    void CheckTeamNameGiven() {
        if (result_.status != 0 || next_ <= count_) {
            return;
        }
        if ((Flags() & OPT_CREATE) && !(Flags() & OPT_TEAM_NAME)) {
            Say("\nError: Team Name not specified\n");
            Fail();
            showUsage_ = false;
        }
    }

    void ParseList() {
        if (Flags() & ~OPT_LOG) {
            QvTrace(u"   _tmain: List option cannot be combined with other option\n");
            Fail();
            return;
        }
        Flags() |= OPT_LIST;
        ++next_;
    }

    void ParseCreate() {
        const std::u16string& option = Arg(next_);
        if (CheckLength(option) == Length::kMeasureFailed) {
            QvTrace(u"   _tmain: StringCchLength failed\n");
            Fail();
            return;
        }
        if (option.size() != 2) {
            QvTrace(u"   _tmain: Length mismatch for create option\n");
            Fail();
            return;
        }
        if (count_ < 4) {
            QvTrace(u"   _tmain: Number of arguments mismatch for create option %d\n", count_ + 1);
            QvTrace(u"   _tmain: Arguments %s\n", Arg(count_).c_str());
            Fail();
            return;
        }
        if (Flags() != 0 && Flags() != OPT_LOG && Flags() != OPT_TEAM_NAME) {
            QvTrace(u"   _tmain: Invalid flags for create option\n");
            Fail();
            return;
        }
        for (int position = next_ + 1; position <= count_; ++position) {
            const std::u16string& arg = Arg(position);
            const Length length = CheckLength(arg);
            if (length != Length::kOk) {
                QvTrace(length == Length::kMeasureFailed
                            ? u"   _tmain: StringCchLength failed for first argument in create\n"
                            : u"   _tmain: Length mismatch for first argument in create\n");
                Fail();
                return;
            }
            if (arg.size() == 1 && arg[0] >= u'1' && arg[0] <= u'4') {
                result_.record.teamModeNumber = arg[0] - u'0';
                Flags() |= OPT_CREATE;
                next_ = position + 1;
                return;
            }
            if (!StoreName(&createNames_, arg)) {
                return;
            }
        }
        // No mode number: a lone -c selects no command; with other options it is an error.
        next_ = count_ + 1;
        if (Flags() == 0) {
            stopped_ = true;
            return;
        }
        QvTrace(u"   _tmain: Invalid Teammode option in create\n");
        Fail();
    }

    // -f and -n, also the -f inside the -r rules: the value follows the option at optionPosition.
    bool TakeValue(int optionPosition, const char16_t* what, char16_t* target, uint32_t bit) {
        if (optionPosition + 1 > count_) {
            QvTrace(u"%s, Incorrect number of parameters\n", what);
            Fail();
            return false;
        }
        const std::u16string& value = Arg(optionPosition + 1);
        const Length length = CheckLength(value);
        if (length == Length::kMeasureFailed) {
            QvTrace(u"%s, Getting string length failed\n", what);
            Fail();
            return false;
        }
        if (length == Length::kEmpty) {
            QvTrace(u"%s, Extra checks failed, len1 = %d\n", what, 0);
            Fail();
            return false;
        }
        U16CopyInto(target, kNameCopyCapacity, value);
        Flags() |= bit;
        return true;
    }

    void ParseValueOption(const char16_t* what, char16_t* target, uint32_t bit) {
        if (TakeValue(next_, what, target, bit)) {
            next_ += 2;
        }
    }

    // Console messages of -a and -d for an argument that fails the length check.
    bool CheckVlanArgument(std::u16string_view arg) {
        switch (CheckLength(arg)) {
            case Length::kMeasureFailed:
                Say("Add Vlan option, Getting string length failed\n");
                Fail();
                return false;
            case Length::kEmpty:
                SayLength("Add Vlan option", 0);
                Fail();
                return false;
            case Length::kOk:
                break;
        }
        return true;
    }

    void ParseAddVlan() {
        if (next_ + 3 > count_) {
            Say("Add Vlan option, Incorrect number of parameters\n");
            Fail();
            return;
        }
        const std::u16string& parent = Arg(next_ + 1);
        const std::u16string& vlanName = Arg(next_ + 2);
        if (!CheckVlanArgument(parent) || !CheckVlanArgument(vlanName)) {
            return;
        }
        if (IsCSpace(vlanName[0])) {
            SayLength("Add Vlan option", vlanName.size());
            Fail();
            return;
        }
        U16CopyInto(result_.record.names[0], kNameCopyCapacity, parent);
        U16CopyInto(result_.record.vlanName, kVlanNameCapacity, vlanName);
        result_.record.vlanId = static_cast<uint32_t>(ReadDecimal(Arg(next_ + 3)));
        if (result_.record.vlanId == 0 || result_.record.vlanId >= 4096) {
            Say("Add Vlan option, vlan id not valid. Should be in 1-4095 range\n");
            Fail();
            return;
        }
        Flags() |= OPT_ADD_VLAN;
        // Parsing resumes at the VLAN id, which is never an option: nothing after it is examined.
        next_ += 3;
    }

    void ParseDeleteVlans() {
        int stored = 0;
        int position = next_ + 1;
        for (; position <= count_ && !(Arg(position).size() > 0 && Arg(position)[0] == u'-'); ++position) {
            if (!CheckVlanArgument(Arg(position)) || !StoreName(&stored, Arg(position))) {
                return;
            }
        }
        if (stored > 0) {
            Flags() |= U16EqualNoCase(result_.record.names[0], u"all") ? OPT_DEL_ALL_VLANS : OPT_DEL_VLAN;
            result_.record.numDeleteNames = static_cast<uint16_t>(stored);
        }
        next_ = position;
    }

    bool HasLogOption() const {
        for (int position = 1; position <= count_; ++position) {
            if (IsOption(Arg(position)) && OptionLetter(Arg(position)) == u'f') {
                return true;
            }
        }
        return false;
    }

    bool TakeRemoveName(int position) {
        if (CheckByteLength(Arg(position)) != Length::kOk) {
            QvTrace(u"   _tmain: Length check failed for team name in remove\n");
            Fail();
            return false;
        }
        return StoreName(&removeNames_, Arg(position));
    }

    // The option at position after the -r names: nothing or a non-option selects the removal,
    // -f takes the log file name as well, any other option is an error.
    bool TakeRemoveEnd(int position, uint32_t removeBit) {
        if (position > count_ || !IsOption(Arg(position))) {
            Flags() |= removeBit;
            return true;
        }
        if (OptionLetter(Arg(position)) == u'f') {
            if (!TakeValue(position, u"Processing file option", result_.record.logFileName, OPT_LOG)) {
                return false;
            }
            Flags() |= removeBit;
            return true;
        }
        QvTrace(u"   _tmain: Invalid option after remove\n");
        Fail();
        return false;
    }

    void ParseRemove() {
        const int removePosition = next_;
        if (!HasLogOption()) {
            // Every later argument is a team name; -r alone removes all teams.
            for (int position = removePosition + 1; position <= count_; ++position) {
                if (!TakeRemoveName(position)) {
                    return;
                }
            }
            Flags() |= (count_ == 1) ? OPT_REMOVE_ALL : OPT_REMOVE;
            next_ = count_ + 1;
            stopped_ = true;
            return;
        }
        // With a log option the names end two arguments before the end of the command line, where
        // "-f file" is expected.
        int lastName = removePosition;
        for (int position = removePosition + 1; position <= count_ - 2; ++position) {
            if (!TakeRemoveName(position)) {
                return;
            }
            lastName = position;
        }
        if (count_ == 3) {
            if (TakeRemoveEnd(lastName + 1, OPT_REMOVE_ALL)) {
                next_ = lastName + 2;
            }
            return;
        }
        if (TakeRemoveEnd(lastName, OPT_REMOVE)) {
            next_ = lastName + 1;
        }
    }

    ParseResult& result_;
    std::vector<std::u16string> args_;
    int count_ = 0;
    int next_ = 1;
    bool stopped_ = false;
    bool showUsage_ = true;
    int createNames_ = 0;
    int removeNames_ = 0;
};

}  // namespace

std::unique_ptr<ParseResult> ParseCommandLine(std::span<const std::u16string> args) {
    auto result = std::make_unique<ParseResult>();  // value-initialised: the record starts cleared
    Parser parser(args, result.get());
    parser.Run();
    return result;
}

}  // namespace qv::teamcmd
