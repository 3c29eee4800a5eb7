// win_cp1250.h - Windows-1250 (Central European ANSI code page) to UTF-8.
#pragma once

#include <string>

// Decodes a NUL-terminated Windows-1250 string to UTF-8. Null gives "". The five bytes the code
// page leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) become U+FFFD.
std::string win_cp1250_to_utf8(const char* text);

// The code point of one Windows-1250 byte (U+FFFD for the five undefined ones).
char32_t win_cp1250_code_point(unsigned char byte);
