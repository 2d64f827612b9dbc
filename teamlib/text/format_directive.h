// Parsing of one printf directive (the part after '%') for the UTF-16 formatter.
#pragma once

#include <cstdarg>

namespace qv::text_detail {

enum class Length { kDefault, kChar, kShort, kLong, kLongLong, kSize };

struct FormatDirective {
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;  // -1: none given
    Length length = Length::kDefault;
    char conversion = '\0';  // '\0' when the directive is not understood
};

// Parses flags, width, precision (digits or '*', which take int arguments), length modifier and
// conversion letter starting just after the '%'. Returns the position after the directive; on an
// unknown or cut-off directive, directive->conversion is '\0' and the position is where parsing stopped.
const char16_t* ParseFormatDirective(const char16_t* p, FormatDirective* directive, va_list& args);

}  // namespace qv::text_detail
