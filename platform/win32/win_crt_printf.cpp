// win_crt_printf.cpp - the Microsoft runtime's formatting functions: the output is formatted in the
// runtime's dialect (win_crt_format.h), then placed by each function's rules for sizes and cuts.
#include <windows.h>

#include "platform/win32/win_crt.h"
#include "platform/win32/win_crt_format.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

namespace {

template <typename Char>
void place(Char* buffer, const std::basic_string<Char>& text, size_t count) {
    std::memcpy(buffer, text.data(), count * sizeof(Char));
}

template <typename Char>
int result_length(const std::basic_string<Char>& text) {
    return text.size() > size_t(INT_MAX) ? -1 : static_cast<int>(text.size());
}

// sprintf_s, swprintf_s, _snprintf_s and their v forms: `count` is _TRUNCATE or a limit.
template <typename Char>
int checked(const char* function, Char* buffer, size_t size, size_t count, const Char* format, va_list args) {
    if (buffer == nullptr || size == 0) {
        win_crt_invalid_parameter(function, "no buffer");
        errno = EINVAL;
        return -1;
    }
    std::basic_string<Char> text;
    if (format == nullptr || !win_crt_format(text, format, args)) {
        buffer[0] = 0;
        win_crt_invalid_parameter(function, "invalid format");
        errno = EINVAL;
        return -1;
    }
    if (count == _TRUNCATE) {
        const size_t n = text.size() < size ? text.size() : size - 1;
        place(buffer, text, n);
        buffer[n] = 0;
        return n == text.size() ? result_length(text) : -1;
    }
    const size_t n = text.size() < count ? text.size() : count;
    if (n >= size) {
        buffer[0] = 0;
        win_crt_invalid_parameter(function, "buffer too small");
        errno = ERANGE;
        return -1;
    }
    place(buffer, text, n);
    buffer[n] = 0;
    return n == text.size() ? result_length(text) : -1;
}

// _snprintf and _snwprintf: no terminator when the output fills `count`.
template <typename Char>
int unchecked(const char* function, Char* buffer, size_t count, const Char* format, va_list args) {
    std::basic_string<Char> text;
    if (format == nullptr || !win_crt_format(text, format, args)) {
        win_crt_invalid_parameter(function, "invalid format");
        errno = EINVAL;
        return -1;
    }
    if (buffer == nullptr) {
        if (count == 0) return result_length(text);
        win_crt_invalid_parameter(function, "no buffer");
        errno = EINVAL;
        return -1;
    }
    if (text.size() > count) {
        place(buffer, text, count);
        return -1;
    }
    place(buffer, text, text.size());
    if (text.size() < count) buffer[text.size()] = 0;
    return result_length(text);
}

}  // namespace

int vsprintf_s(char* buffer, size_t size, const char* format, va_list args) {
    return checked("sprintf_s", buffer, size, SIZE_MAX - 1, format, args);
}

int sprintf_s(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = checked("sprintf_s", buffer, size, SIZE_MAX - 1, format, args);
    va_end(args);
    return result;
}

int vswprintf_s(wchar_t* buffer, size_t size, const wchar_t* format, va_list args) {
    return checked("swprintf_s", buffer, size, SIZE_MAX - 1, format, args);
}

int swprintf_s(wchar_t* buffer, size_t size, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = checked("swprintf_s", buffer, size, SIZE_MAX - 1, format, args);
    va_end(args);
    return result;
}

int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list args) {
    return checked("_snprintf_s", buffer, size, count, format, args);
}

int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = checked("_snprintf_s", buffer, size, count, format, args);
    va_end(args);
    return result;
}

int _vsnwprintf_s(wchar_t* buffer, size_t size, size_t count, const wchar_t* format, va_list args) {
    return checked("_snwprintf_s", buffer, size, count, format, args);
}

int _snwprintf_s(wchar_t* buffer, size_t size, size_t count, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = checked("_snwprintf_s", buffer, size, count, format, args);
    va_end(args);
    return result;
}

int _vsnprintf(char* buffer, size_t count, const char* format, va_list args) {
    return unchecked("_snprintf", buffer, count, format, args);
}

int _snprintf(char* buffer, size_t count, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = unchecked("_snprintf", buffer, count, format, args);
    va_end(args);
    return result;
}

int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args) {
    return unchecked("_snwprintf", buffer, count, format, args);
}

int _snwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = unchecked("_snwprintf", buffer, count, format, args);
    va_end(args);
    return result;
}

int _vswprintf(wchar_t* buffer, const wchar_t* format, va_list args) {
    if (buffer == nullptr) {
        win_crt_invalid_parameter("_swprintf", "no buffer");
        errno = EINVAL;
        return -1;
    }
    return unchecked("_swprintf", buffer, SIZE_MAX, format, args);
}

int _swprintf(wchar_t* buffer, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = _vswprintf(buffer, format, args);
    va_end(args);
    return result;
}

int _scprintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = unchecked("_scprintf", static_cast<char*>(nullptr), 0, format, args);
    va_end(args);
    return result;
}

int _scwprintf(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = unchecked("_scwprintf", static_cast<wchar_t*>(nullptr), 0, format, args);
    va_end(args);
    return result;
}
