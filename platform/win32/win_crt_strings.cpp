// win_crt_strings.cpp - the Microsoft runtime's bounds-checked copies and appends, case-insensitive
// comparison, duplication and integer conversions (see corecrt.h).
#include <windows.h>

#include "platform/win32/win_crt.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

constexpr size_t no_limit = SIZE_MAX - 1;  // not _TRUNCATE

template <typename Char>
size_t bounded_length(const Char* text, size_t limit) {
    size_t n = 0;
    while (n < limit && text[n] != 0) ++n;
    return n;
}

// strcpy_s, strcat_s and strncpy_s in one: appends at most `count` characters of `source` to the
// text that starts at `destination + start` (strncpy_s's _TRUNCATE: what fits).
template <typename Char>
errno_t copy(const char* function, Char* destination, size_t size, size_t start, const Char* source, size_t count) {
    if (destination == nullptr || size == 0) {
        win_crt_invalid_parameter(function, "no destination");
        return errno = EINVAL;
    }
    if (source == nullptr) {
        destination[0] = 0;
        win_crt_invalid_parameter(function, "no source");
        return errno = EINVAL;
    }
    const size_t room = size - start;  // characters and terminator after `start`
    const bool truncate = count == _TRUNCATE;
    if (!truncate && count > room) count = room;
    const size_t length = bounded_length(source, truncate ? room : count);
    if (length < room) {
        std::memmove(destination + start, source, length * sizeof(Char));
        destination[start + length] = 0;
        return 0;
    }
    if (truncate) {
        std::memmove(destination + start, source, (room - 1) * sizeof(Char));
        destination[size - 1] = 0;
        return STRUNCATE;
    }
    destination[0] = 0;
    win_crt_invalid_parameter(function, "destination too small");
    return errno = ERANGE;
}

// For strcat_s: where the destination's text ends, or `size` when it is not terminated in it.
template <typename Char>
size_t end_of(const Char* destination, size_t size) {
    return destination != nullptr ? bounded_length(destination, size) : 0;
}

template <typename Char>
errno_t append(const char* function, Char* destination, size_t size, const Char* source) {
    const size_t start = end_of(destination, size);
    if (destination != nullptr && size != 0 && start == size) {
        destination[0] = 0;
        win_crt_invalid_parameter(function, "destination not terminated");
        return errno = EINVAL;
    }
    return copy(function, destination, size, start, source, no_limit);
}

int fold(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : static_cast<unsigned char>(c); }

template <typename Char>
errno_t integer_text(const char* function, int value, Char* buffer, size_t size, int radix) {
    if (buffer == nullptr || size == 0) {
        win_crt_invalid_parameter(function, "no buffer");
        return errno = EINVAL;
    }
    if (radix < 2 || radix > 36) {
        buffer[0] = 0;
        win_crt_invalid_parameter(function, "radix outside 2-36");
        return errno = EINVAL;
    }
    const bool negative = radix == 10 && value < 0;
    unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    Char digits[40];
    size_t n = 0;
    do {
        const unsigned digit = magnitude % unsigned(radix);
        digits[n++] = static_cast<Char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        magnitude /= unsigned(radix);
    } while (magnitude != 0);
    if (negative) digits[n++] = '-';
    if (n + 1 > size) {
        buffer[0] = 0;
        win_crt_invalid_parameter(function, "buffer too small");
        return errno = ERANGE;
    }
    for (size_t i = 0; i < n; ++i) buffer[i] = digits[n - 1 - i];
    buffer[n] = 0;
    return 0;
}

}  // namespace

void win_crt_invalid_parameter(const char* function, const char* reason) {
    std::fprintf(stderr, "%s: invalid parameter: %s\n", function, reason);
}

errno_t strcpy_s(char* destination, rsize_t size, const char* source) {
    return copy("strcpy_s", destination, size, 0, source, no_limit);
}

errno_t wcscpy_s(wchar_t* destination, rsize_t size, const wchar_t* source) {
    return copy("wcscpy_s", destination, size, 0, source, no_limit);
}

errno_t strcat_s(char* destination, rsize_t size, const char* source) {
    return append("strcat_s", destination, size, source);
}

errno_t wcscat_s(wchar_t* destination, rsize_t size, const wchar_t* source) {
    return append("wcscat_s", destination, size, source);
}

errno_t strncpy_s(char* destination, rsize_t size, const char* source, rsize_t count) {
    return copy("strncpy_s", destination, size, 0, source, count);
}

errno_t wcsncpy_s(wchar_t* destination, rsize_t size, const wchar_t* source, rsize_t count) {
    return copy("wcsncpy_s", destination, size, 0, source, count);
}

int _strnicmp(const char* a, const char* b, size_t count) {
    if (a == nullptr || b == nullptr) {
        win_crt_invalid_parameter("_stricmp", "null string");
        errno = EINVAL;
        return INT_MAX;
    }
    for (size_t i = 0; i < count; ++i) {
        const int x = fold(a[i]), y = fold(b[i]);
        if (x != y || x == 0) return x - y;
    }
    return 0;
}

int _stricmp(const char* a, const char* b) { return _strnicmp(a, b, SIZE_MAX); }

int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t count) {
    if (a == nullptr || b == nullptr) {
        win_crt_invalid_parameter("_wcsicmp", "null string");
        errno = EINVAL;
        return INT_MAX;
    }
    for (size_t i = 0; i < count; ++i) {
        const wint_t x = std::towlower(static_cast<wint_t>(a[i])), y = std::towlower(static_cast<wint_t>(b[i]));
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

int _wcsicmp(const wchar_t* a, const wchar_t* b) { return _wcsnicmp(a, b, SIZE_MAX); }

char* _strdup(const char* text) { return text != nullptr ? ::strdup(text) : nullptr; }

wchar_t* _wcsdup(const wchar_t* text) { return text != nullptr ? ::wcsdup(text) : nullptr; }

errno_t _itoa_s(int value, char* buffer, size_t size, int radix) {
    return integer_text("_itoa_s", value, buffer, size, radix);
}

errno_t _itow_s(int value, wchar_t* buffer, size_t size, int radix) {
    return integer_text("_itow_s", value, buffer, size, radix);
}

// The unchecked forms: 33 characters hold any int in any radix.
char* _itoa(int value, char* buffer, int radix) {
    integer_text("_itoa", value, buffer, 33, radix);
    return buffer;
}

wchar_t* _itow(int value, wchar_t* buffer, int radix) {
    integer_text("_itow", value, buffer, 33, radix);
    return buffer;
}

int _wtoi(const wchar_t* text) {
    if (text == nullptr) return 0;
    const long long value = std::wcstoll(text, nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

long _wtol(const wchar_t* text) { return _wtoi(text); }  // `long` is 32-bit in this runtime

double _wtof(const wchar_t* text) { return text != nullptr ? std::wcstod(text, nullptr) : 0.0; }
