// win_crt_format.cpp - the Microsoft printf dialect: conversions parsed here, their arguments read
// by the dialect's sizes, numbers written by snprintf one conversion at a time, strings and
// characters converted and padded here (so that the C library's locale plays no part in them).
#include "platform/win32/win_crt_format.h"

#include "platform/win32/win_text.h"

#include <cinttypes>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

// Widths, and precisions of numbers, beyond this are refused: they would only ask for a huge output.
constexpr int longest_field = 1000000;

enum class size_prefix { none, hh, h, l, ll, wide, narrow, pointer, int32, long_double };

struct conversion {
    std::string flags;
    int width = -1;
    int precision = -1;
    size_prefix size = size_prefix::none;
    char type = 0;
};

template <typename Char>
bool is_digit(Char c) {
    return c >= '0' && c <= '9';
}

// Reads a decimal number; false when it exceeds INT_MAX.
template <typename Char>
bool read_number(const Char*& p, int* value) {
    long long n = 0;
    while (is_digit(*p)) {
        n = n * 10 + (*p++ - '0');
        if (n > INT_MAX) return false;
    }
    *value = static_cast<int>(n);
    return true;
}

template <typename Char>
bool parse(const Char*& p, conversion& c, va_list& args) {
    while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') {
        c.flags += static_cast<char>(*p++);
    }
    if (*p == '*') {
        ++p;
        c.width = va_arg(args, int);
        if (c.width < 0) {
            if (c.width == INT_MIN) return false;
            c.flags += '-';
            c.width = -c.width;
        }
        if (c.width > longest_field) return false;
    } else if (is_digit(*p)) {
        if (!read_number(p, &c.width) || c.width > longest_field) return false;
        if (*p == '$') return false;
    }
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            ++p;
            c.precision = va_arg(args, int);
            if (c.precision < 0) c.precision = -1;
        } else if (!read_number(p, &c.precision)) {
            return false;
        }
    }
    switch (*p) {
    case 'h':
        ++p;
        if (*p == 'h')
            ++p, c.size = size_prefix::hh;
        else
            c.size = size_prefix::h;
        break;
    case 'l':
        ++p;
        if (*p == 'l')
            ++p, c.size = size_prefix::ll;
        else
            c.size = size_prefix::l;
        break;
    case 'w': ++p, c.size = size_prefix::wide; break;
    case 'L': ++p, c.size = size_prefix::long_double; break;
    case 'j':
    case 'z':
    case 't': ++p, c.size = size_prefix::pointer; break;
    case 'I':
        ++p;
        if (p[0] == '6' && p[1] == '4')
            p += 2, c.size = size_prefix::ll;
        else if (p[0] == '3' && p[1] == '2')
            p += 2, c.size = size_prefix::int32;
        else
            c.size = size_prefix::pointer;
        break;
    default: break;
    }
    if (*p == 0) return false;
    const long type = static_cast<long>(*p++);
    if (type <= 0 || type > 127 || std::strchr("diouxXeEfFgGaAcCsSp%", static_cast<int>(type)) == nullptr) return false;
    c.type = static_cast<char>(type);
    return true;
}

long long read_signed(const conversion& c, va_list& args) {
    switch (c.size) {
    case size_prefix::hh: return static_cast<signed char>(va_arg(args, int));
    case size_prefix::h: return static_cast<short>(va_arg(args, int));
    case size_prefix::ll: return va_arg(args, long long);
    case size_prefix::pointer: return va_arg(args, intptr_t);
    default: return va_arg(args, int);  // `long` is 32-bit in this dialect
    }
}

unsigned long long read_unsigned(const conversion& c, va_list& args) {
    switch (c.size) {
    case size_prefix::hh: return static_cast<unsigned char>(va_arg(args, unsigned));
    case size_prefix::h: return static_cast<unsigned short>(va_arg(args, unsigned));
    case size_prefix::ll: return va_arg(args, unsigned long long);
    case size_prefix::pointer: return va_arg(args, uintptr_t);
    default: return va_arg(args, unsigned);
    }
}

// The C library's output for one numeric conversion; false when it cannot write it.
bool format_number(const conversion& c, va_list& args, std::string& out) {
    std::string directive(1, '%');  // appended piece by piece: GCC 12's -O3 misreads "%" + flags (-Wrestrict)
    directive += c.flags;
    if (c.width >= 0) directive += std::to_string(c.width);
    if (c.precision >= 0) {
        directive += '.';
        directive += std::to_string(c.precision);
    }
    bool written = false;
    auto print = [&](auto value) {
        const int n = std::snprintf(nullptr, 0, directive.c_str(), value);
        if (n < 0) return;
        out.resize(static_cast<size_t>(n));
        written = std::snprintf(out.data(), out.size() + 1, directive.c_str(), value) == n;
    };
    switch (c.type) {
    case 'd':
    case 'i':
        directive += "lld";
        print(read_signed(c, args));
        break;
    case 'o':
    case 'u':
    case 'x':
    case 'X':
        directive += "ll";
        directive += c.type;
        print(read_unsigned(c, args));
        break;
    default:
        if (c.size == size_prefix::long_double) {
            directive += 'L';
            directive += c.type;
            print(va_arg(args, long double));
        } else {
            directive += c.type;
            print(va_arg(args, double));
        }
        break;
    }
    return written;
}

template <typename Char>
constexpr bool wide_output = sizeof(Char) == sizeof(wchar_t);

// Whether a %s or %c argument is wide: by its size prefix, else by the case of the conversion
// (lower case matches the function's own width).
template <typename Char>
bool wide_argument(const conversion& c) {
    if (c.size == size_prefix::h || c.size == size_prefix::hh) return false;
    if (c.size == size_prefix::l || c.size == size_prefix::wide) return true;
    const bool lower = c.type == 's' || c.type == 'c';
    return lower == wide_output<Char>;
}

std::basic_string<char> from_narrow(const char* text, size_t length, char) { return std::string(text, length); }
std::basic_string<wchar_t> from_narrow(const char* text, size_t length, wchar_t) {
    return win_wide_from_utf8(win_utf8_from_ansi(std::string_view(text, length)));
}
std::basic_string<char> from_wide(const wchar_t* text, size_t length, char) { return win_utf8_from_wide(text, length); }
std::basic_string<wchar_t> from_wide(const wchar_t* text, size_t length, wchar_t) { return std::wstring(text, length); }

// The text of a %s, %c or %p conversion, cut to its precision (counted in the argument's characters).
template <typename Char>
std::basic_string<Char> text_argument(const conversion& c, va_list& args) {
    const bool wide = wide_argument<Char>(c);
    const size_t limit = c.precision >= 0 ? static_cast<size_t>(c.precision) : SIZE_MAX;
    if (c.type == 'c' || c.type == 'C') {
        if (wide) {
            const wchar_t unit = static_cast<wchar_t>(va_arg(args, wint_t));
            return from_wide(&unit, 1, Char());
        }
        const char unit = static_cast<char>(va_arg(args, int));
        return from_narrow(&unit, 1, Char());
    }
    if (c.type == 'p') {
        // Pointer-wide upper-case hexadecimal, as the Microsoft runtime writes it.
        char digits[2 * sizeof(void*) + 1];
        std::snprintf(digits, sizeof digits, "%0*" PRIXPTR, int(sizeof digits - 1),
                      reinterpret_cast<uintptr_t>(va_arg(args, void*)));
        return from_narrow(digits, sizeof digits - 1, Char());
    }
    if (wide) {
        const wchar_t* text = va_arg(args, const wchar_t*);
        if (text == nullptr) text = L"(null)";
        size_t length = 0;
        while (length < limit && text[length] != 0) ++length;
        return from_wide(text, length, Char());
    }
    const char* text = va_arg(args, const char*);
    if (text == nullptr) text = "(null)";
    return from_narrow(text, strnlen(text, limit), Char());
}

template <typename Char>
bool format(std::basic_string<Char>& out, const Char* format, va_list args_in) {
    if (format == nullptr) return false;
    va_list args;
    va_copy(args, args_in);
    bool ok = true;
    std::string number;
    for (const Char* p = format; *p != 0 && ok;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        ++p;
        conversion c;
        if (!parse(p, c, args)) {
            ok = false;
            break;
        }
        if (c.type == '%') {
            out += Char('%');
            continue;
        }
        if (std::strchr("sScCp", c.type) != nullptr) {
            std::basic_string<Char> text = text_argument<Char>(c, args);
            const size_t pad = c.width > 0 && text.size() < size_t(c.width) ? size_t(c.width) - text.size() : 0;
            const bool left = c.flags.find('-') != std::string::npos;
            if (!left) out.append(pad, Char(' '));
            out += text;
            if (left) out.append(pad, Char(' '));
            continue;
        }
        if (c.precision > longest_field || !format_number(c, args, number)) {
            ok = false;
            break;
        }
        for (const char ch : number) out += static_cast<Char>(static_cast<unsigned char>(ch));
    }
    va_end(args);
    return ok;
}

}  // namespace

bool win_crt_format(std::string& out, const char* format_text, va_list args) { return format(out, format_text, args); }

bool win_crt_format(std::wstring& out, const wchar_t* format_text, va_list args) {
    return format(out, format_text, args);
}
