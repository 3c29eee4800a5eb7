// winnls.h - code pages and the conversions between multibyte and wide text.
//
// Code pages: CP_UTF8; CP_ACP (and CP_THREAD_ACP), the ANSI code page, reads text as UTF-8 when its
// bytes are valid UTF-8 and as Windows-1250 otherwise, and writes UTF-8, so that any text survives
// the round trip; 1250 reads and writes Windows-1250 only. Other code pages fail with
// ERROR_INVALID_PARAMETER. Wide text is one wchar_t per code point.
//
// Both conversions: a length of -1 means NUL-terminated input, the terminator converted and
// counted; an output size of 0 asks for the size needed. They return 0 on failure, with
// GetLastError's code: ERROR_INSUFFICIENT_BUFFER (the output is then left untouched),
// ERROR_INVALID_PARAMETER, ERROR_INVALID_FLAGS, or ERROR_NO_UNICODE_TRANSLATION (invalid input
// with MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS; without them it becomes U+FFFD, or the default
// character where the code page has no U+FFFD).
#pragma once

#include <windef.h>
#include <winerror.h>

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_COMPOSITECHECK 0x00000200
#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400

// The ANSI code page: 1250.
UINT WINAPI GetACP();

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByteText, int multiByteLength, LPWSTR wideText,
                               int wideSize);
// lpDefaultChar (one byte) replaces what the code page cannot hold ('?' without it) and sets
// *lpUsedDefaultChar; both must be NULL for CP_UTF8.
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideText, int wideLength, LPSTR multiByteText,
                               int multiByteSize, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);
