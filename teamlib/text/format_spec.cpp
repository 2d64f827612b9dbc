#include "format_spec.h"

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

const char16_t* ParseFormatSpec(const char16_t* p, FormatSpec* spec, va_list& args) {
    for (;; ++p) {
        if (*p == u'-') {
            spec->leftAlign = true;
        } else if (*p == u'+') {
            spec->plusSign = true;
        } else if (*p == u' ') {
            spec->spaceSign = true;
        } else if (*p == u'#') {
            spec->alternate = true;
        } else if (*p == u'0') {
            spec->zeroPad = true;
        } else {
            break;
        }
    }
    if (*p == u'*') {
        int width = va_arg(args, int);
        if (width < 0) {
            spec->leftAlign = true;
            width = width < -kMaxField ? kMaxField : -width;
        }
        spec->width = width > kMaxField ? kMaxField : width;
        ++p;
    } else {
        p = ParseNumber(p, &spec->width);
    }
    if (*p == u'.') {
        ++p;
        if (*p == u'*') {
            const int precision = va_arg(args, int);
            spec->precision = precision < 0 ? -1 : (precision > kMaxField ? kMaxField : precision);
            ++p;
        } else {
            p = ParseNumber(p, &spec->precision);
        }
    }
    if (p[0] == u'h' && p[1] == u'h') {
        spec->length = Length::kChar, p += 2;
    } else if (p[0] == u'h') {
        spec->length = Length::kShort, p += 1;
    } else if (p[0] == u'l' && p[1] == u'l') {
        spec->length = Length::kLongLong, p += 2;
    } else if (p[0] == u'l' || p[0] == u'w') {
        spec->length = Length::kLong, p += 1;
    } else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
        spec->length = Length::kLongLong, p += 3;
    } else if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') {
        spec->length = Length::kDefault, p += 3;
    } else if (p[0] == u'z' || p[0] == u'j' || p[0] == u't' || p[0] == u'I') {
        spec->length = p[0] == u'j' ? Length::kLongLong : Length::kSize, p += 1;
    }
    if (!IsConversion(*p)) {
        spec->conversion = '\0';
        return p;
    }
    spec->conversion = static_cast<char>(*p);
    return p + 1;
}

}  // namespace qv::text_detail
