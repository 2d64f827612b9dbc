#include "format_directive.h"

namespace qv::text_detail {
namespace {

// Field widths and precisions are capped so that a hostile format cannot ask for gigabytes.
constexpr int kMaxField = 4096;

const char16_t* ParseNumber(const char16_t* p, int* value) {
    int n = 0;
    while (*p >= u'0' && *p <= u'9') {
        n = n * 10 + (*p - u'0');
        if (n > kMaxField) n = kMaxField;
        ++p;
    }
    *value = n;
    return p;
}

bool IsConversion(char16_t c) {
    switch (c) {
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X':
        case u'o':
        case u'c':
        case u'C':
        case u's':
        case u'S':
        case u'p':
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G':
        case u'n':
        case u'%':
            return true;
        default:
            return false;
    }
}

}  // namespace

const char16_t* ParseFormatDirective(const char16_t* p, FormatDirective* directive, va_list& args) {
    for (;; ++p) {
        if (*p == u'-') {
            directive->leftAlign = true;
        } else if (*p == u'+') {
            directive->plusSign = true;
        } else if (*p == u' ') {
            directive->spaceSign = true;
        } else if (*p == u'#') {
            directive->alternate = true;
        } else if (*p == u'0') {
            directive->zeroPad = true;
        } else {
            break;
        }
    }
    if (*p == u'*') {
        int width = va_arg(args, int);
        if (width < 0) {
            directive->leftAlign = true;
            width = width < -kMaxField ? kMaxField : -width;
        }
        directive->width = width > kMaxField ? kMaxField : width;
        ++p;
    } else {
        p = ParseNumber(p, &directive->width);
    }
    if (*p == u'.') {
        ++p;
        if (*p == u'*') {
            const int precision = va_arg(args, int);
            directive->precision = precision < 0 ? -1 : (precision > kMaxField ? kMaxField : precision);
            ++p;
        } else {
            p = ParseNumber(p, &directive->precision);
        }
    }
    if (p[0] == u'h' && p[1] == u'h') {
        directive->length = Length::kChar, p += 2;
    } else if (p[0] == u'h') {
        directive->length = Length::kShort, p += 1;
    } else if (p[0] == u'l' && p[1] == u'l') {
        directive->length = Length::kLongLong, p += 2;
    } else if (p[0] == u'l' || p[0] == u'w') {
        directive->length = Length::kLong, p += 1;
    } else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
        directive->length = Length::kLongLong, p += 3;
    } else if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') {
        directive->length = Length::kDefault, p += 3;
    } else if (p[0] == u'z' || p[0] == u'j' || p[0] == u't' || p[0] == u'I') {
        directive->length = p[0] == u'j' ? Length::kLongLong : Length::kSize, p += 1;
    }
    if (!IsConversion(*p)) {
        directive->conversion = '\0';
        return p;
    }
    directive->conversion = static_cast<char>(*p);
    return p + 1;
}

}  // namespace qv::text_detail
