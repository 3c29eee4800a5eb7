// corecrt.h - what the Microsoft C runtime adds to the standard C headers and programs written for
// it call: the bounds-checked ("_s") string and formatting functions, case-insensitive comparison,
// integer and wide-text conversions, file opening by Win32 path, aligned allocation, _countof.
//
// Invalid parameters (a null pointer, a destination too small, an invalid format) are reported on
// standard error, one line naming the function, and the call then returns the value the runtime
// documents for the case (the destination, when there is one, emptied: dst[0] = 0): -1 from the
// formatting functions, EINVAL or ERANGE (errno set too) from the others. The program carries on.
//
// Formats follow the Microsoft runtime's dialect, in every formatting function here: in the wide
// functions %s and %c take wide arguments and %S and %C narrow ones, in the narrow functions the
// reverse; %hs/%hc are always narrow, %ls/%lc/%ws/%wc always wide; %I64d and %ll are 64-bit, %Id,
// %Iu, %zd pointer-sized, %I32d 32-bit and %ld 32-bit (`long` is 32-bit there); %p prints 16
// upper-case hexadecimal digits. Narrow text written into wide output is read as the ANSI rules of
// winnls.h say (UTF-8 when valid, else Windows-1250); wide text written into narrow output becomes
// UTF-8. A null string prints "(null)". %n is refused (an invalid format), as by the runtime's
// default, and so are positional arguments and widths (or precisions of numbers) beyond 1 000 000.
// The standard sprintf, printf and swprintf are the C library's, with its own dialect.
#pragma once

#include <errno.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

typedef int errno_t;
typedef size_t rsize_t;

// As a count of _snprintf_s and strncpy_s: copy what fits and cut the rest.
#define _TRUNCATE ((size_t)-1)
#ifndef STRUNCATE
#define STRUNCATE 80
#endif

// The number of elements of an array; a pointer does not compile.
template <typename T, size_t N>
char (*__countof_helper(T (&)[N]))[N];
#define _countof(array) (sizeof(*__countof_helper(array)))

// Copies and appends: 0, or ERANGE when the result does not fit (destination emptied), EINVAL for
// a null pointer or a zero size. strncpy_s copies at most `count` characters; with _TRUNCATE, what
// fits, returning STRUNCATE when that cut the text.
errno_t strcpy_s(char* destination, rsize_t size, const char* source);
errno_t wcscpy_s(wchar_t* destination, rsize_t size, const wchar_t* source);
errno_t strcat_s(char* destination, rsize_t size, const char* source);
errno_t wcscat_s(wchar_t* destination, rsize_t size, const wchar_t* source);
errno_t strncpy_s(char* destination, rsize_t size, const char* source, rsize_t count);
errno_t wcsncpy_s(wchar_t* destination, rsize_t size, const wchar_t* source, rsize_t count);

// Case-insensitive comparison (ASCII letters for the narrow forms, towlower for the wide ones).
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);
int _wcsicmp(const wchar_t* a, const wchar_t* b);
int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t count);
#define stricmp _stricmp
#define strnicmp _strnicmp
char* _strdup(const char* text);
wchar_t* _wcsdup(const wchar_t* text);

// Integers as text in radix 2 to 36; a negative value gets '-' in radix 10 only (in the others its
// bits are written as unsigned).
char* _itoa(int value, char* buffer, int radix);
wchar_t* _itow(int value, wchar_t* buffer, int radix);
errno_t _itoa_s(int value, char* buffer, size_t size, int radix);
errno_t _itow_s(int value, wchar_t* buffer, size_t size, int radix);
// Wide text to numbers, as atoi, atol and atof; out-of-range values are clamped to the type.
int _wtoi(const wchar_t* text);
long _wtol(const wchar_t* text);
double _wtof(const wchar_t* text);

// Files by Win32 path ('\' or '/', names of another case; see windows.h). fopen_s and _wfopen_s
// set *file to NULL on failure and return the reason.
errno_t fopen_s(FILE** file, const char* path, const char* mode);
FILE* _wfopen(const wchar_t* path, const wchar_t* mode);
errno_t _wfopen_s(FILE** file, const wchar_t* path, const wchar_t* mode);

// Memory aligned to `alignment` (a power of two); freed only by _aligned_free.
void* _aligned_malloc(size_t size, size_t alignment);
void _aligned_free(void* block);

// Bounds-checked formatting: the whole output and its terminator fit in `size` characters, or the
// destination is emptied and -1 returned. Otherwise the number of characters written.
int sprintf_s(char* buffer, size_t size, const char* format, ...);
int vsprintf_s(char* buffer, size_t size, const char* format, va_list args);
int swprintf_s(wchar_t* buffer, size_t size, const wchar_t* format, ...);
int vswprintf_s(wchar_t* buffer, size_t size, const wchar_t* format, va_list args);
// At most `count` characters and a terminator in `size`: -1 when `count` cut the output. With
// count _TRUNCATE, what fits in `size`; a `count` that does not fit otherwise is an invalid parameter.
int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, ...);
int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list args);
int _snwprintf_s(wchar_t* buffer, size_t size, size_t count, const wchar_t* format, ...);
int _vsnwprintf_s(wchar_t* buffer, size_t size, size_t count, const wchar_t* format, va_list args);
// The old unchecked forms: at most `count` characters, terminated only when there is room; -1 when
// the output was cut. A null buffer with count 0 returns the length the output needs.
int _snprintf(char* buffer, size_t count, const char* format, ...);
int _vsnprintf(char* buffer, size_t count, const char* format, va_list args);
int _snwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...);
int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args);
// No size at all: the caller's buffer must hold the whole output.
int _swprintf(wchar_t* buffer, const wchar_t* format, ...);
int _vswprintf(wchar_t* buffer, const wchar_t* format, va_list args);
// The length of the output, without writing it.
int _scprintf(const char* format, ...);
int _scwprintf(const wchar_t* format, ...);

// The array forms: the size is the array's.
template <size_t N>
inline errno_t strcpy_s(char (&destination)[N], const char* source) {
    return strcpy_s(destination, N, source);
}
template <size_t N>
inline errno_t wcscpy_s(wchar_t (&destination)[N], const wchar_t* source) {
    return wcscpy_s(destination, N, source);
}
template <size_t N>
inline errno_t strcat_s(char (&destination)[N], const char* source) {
    return strcat_s(destination, N, source);
}
template <size_t N>
inline errno_t wcscat_s(wchar_t (&destination)[N], const wchar_t* source) {
    return wcscat_s(destination, N, source);
}
template <size_t N>
inline errno_t strncpy_s(char (&destination)[N], const char* source, size_t count) {
    return strncpy_s(destination, N, source, count);
}
template <size_t N>
inline errno_t wcsncpy_s(wchar_t (&destination)[N], const wchar_t* source, size_t count) {
    return wcsncpy_s(destination, N, source, count);
}
template <size_t N>
inline errno_t _itoa_s(int value, char (&buffer)[N], int radix) {
    return _itoa_s(value, buffer, N, radix);
}
template <size_t N>
inline errno_t _itow_s(int value, wchar_t (&buffer)[N], int radix) {
    return _itow_s(value, buffer, N, radix);
}
template <size_t N>
inline int sprintf_s(char (&buffer)[N], const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = vsprintf_s(buffer, N, format, args);
    va_end(args);
    return result;
}
template <size_t N>
inline int vsprintf_s(char (&buffer)[N], const char* format, va_list args) {
    return vsprintf_s(buffer, N, format, args);
}
template <size_t N>
inline int swprintf_s(wchar_t (&buffer)[N], const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = vswprintf_s(buffer, N, format, args);
    va_end(args);
    return result;
}
template <size_t N>
inline int vswprintf_s(wchar_t (&buffer)[N], const wchar_t* format, va_list args) {
    return vswprintf_s(buffer, N, format, args);
}
template <size_t N>
inline int _snprintf_s(char (&buffer)[N], size_t count, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = _vsnprintf_s(buffer, N, count, format, args);
    va_end(args);
    return result;
}
template <size_t N>
inline int _snwprintf_s(wchar_t (&buffer)[N], size_t count, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = _vsnwprintf_s(buffer, N, count, format, args);
    va_end(args);
    return result;
}
