// win_text.h - the text encodings of the Win32 stand-in, converted where text leaves the program
// (window titles, message boxes, file names): always to UTF-8.
//
// ANSI ("A") strings are read as UTF-8 when their bytes are valid UTF-8, else as the ANSI code
// page, Windows-1250. Wide ("W") strings are wchar_t, 32 bits here: each unit is one code point;
// units that are not Unicode scalar values (surrogates, values beyond U+10FFFF) become U+FFFD.
// UTF-8 read back into wide strings turns each invalid sequence into one U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or values beyond U+10FFFF).
bool win_is_utf8(std::string_view text);

// UTF-8 from an ANSI string; null gives "".
std::string win_utf8_from_ansi(const char* text);
std::string win_utf8_from_ansi(std::string_view text);

// UTF-8 from a NUL-terminated wide string (null gives ""), or from `length` units.
std::string win_utf8_from_wide(const wchar_t* text);
std::string win_utf8_from_wide(const wchar_t* text, size_t length);

// Wide (one unit per code point) from UTF-8.
std::wstring win_wide_from_utf8(std::string_view text);

// Appends code point `code` as UTF-8 (U+FFFD for anything that is not a Unicode scalar value).
void win_append_utf8(std::string& out, char32_t code);
