// font_text.h - the text a font is given, as code points.
//
// ANSI ("A") text is read as UTF-8 when its bytes are valid UTF-8, else as Windows-1250, byte by
// byte (the code page's five undefined bytes become U+FFFD). Wide ("W") text holds one code point
// per unit; a unit that is not a Unicode scalar value (a surrogate, a value beyond U+10FFFF)
// becomes U+FFFD. Text ends after `count` units or at its first NUL, whichever comes first;
// count -1 means NUL-terminated.
#pragma once

#include <windows.h>

#include <string>

// Replaces `out` with the code points of `text`; false, leaving `out` empty, for null text or a
// count below -1. Reuses `out`'s storage.
bool font_decode_ansi(const char* text, INT count, std::u32string& out);
bool font_decode_wide(const wchar_t* text, INT count, std::u32string& out);
