// win_crt_format.h - the Microsoft runtime's printf dialect (see corecrt.h), formatted into a
// string: each conversion's argument is read by the dialect's rules, numbers are written by the C
// library, text is converted between narrow and wide here.
#pragma once

#include <cstdarg>
#include <string>

// Appends the output of `format` to `out`. False, with `out` unspecified, for a format the dialect
// refuses (an unknown conversion, %n, positional arguments, a width or precision beyond INT_MAX).
bool win_crt_format(std::string& out, const char* format, va_list args);
bool win_crt_format(std::wstring& out, const wchar_t* format, va_list args);
