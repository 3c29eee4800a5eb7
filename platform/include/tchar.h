// tchar.h - generic text: one name for the narrow and the wide form of a type, literal or C
// runtime function, chosen by _UNICODE (wide with it; UNICODE, which selects windows.h's TCHAR,
// does not matter here). Entry points: _tmain is main or wmain, _tWinMain WinMain or wWinMain.
#pragma once

#include <corecrt.h>
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <wctype.h>

#ifdef _UNICODE

typedef wchar_t _TCHAR;
typedef wchar_t _TSCHAR;
typedef wchar_t _TUCHAR;
typedef wint_t _TINT;
#define __T(x) L##x
#define _TEOF WEOF

#define _tmain wmain
#define _tWinMain wWinMain

#define _tcslen wcslen
#define _tcsnlen wcsnlen
#define _tcscpy wcscpy
#define _tcscpy_s wcscpy_s
#define _tcscat wcscat
#define _tcscat_s wcscat_s
#define _tcsncpy wcsncpy
#define _tcsncpy_s wcsncpy_s
#define _tcscmp wcscmp
#define _tcsicmp _wcsicmp
#define _tcsncmp wcsncmp
#define _tcsnicmp _wcsnicmp
#define _tcschr wcschr
#define _tcsrchr wcsrchr
#define _tcsstr wcsstr
#define _tcsdup _wcsdup
#define _tcstok wcstok

#define _stprintf _swprintf
#define _stprintf_s swprintf_s
#define _sntprintf _snwprintf
#define _sntprintf_s _snwprintf_s
#define _vstprintf _vswprintf
#define _vstprintf_s vswprintf_s
#define _vsntprintf _vsnwprintf
#define _vsntprintf_s _vsnwprintf_s
#define _sctprintf _scwprintf

#define _tprintf wprintf
#define _ftprintf fwprintf
#define _stscanf swscanf
#define _tfopen _wfopen
#define _tfopen_s _wfopen_s
#define _fgetts fgetws
#define _fputts fputws
#define _fgettc fgetwc
#define _fputtc fputwc

#define _ttoi _wtoi
#define _tstoi _wtoi
#define _ttol _wtol
#define _ttof _wtof
#define _tcstol wcstol
#define _tcstoul wcstoul
#define _tcstod wcstod
#define _itot _itow
#define _itot_s _itow_s

#define _totupper towupper
#define _totlower towlower
#define _istdigit iswdigit
#define _istalpha iswalpha
#define _istalnum iswalnum
#define _istspace iswspace
#define _istupper iswupper
#define _istlower iswlower
#define _istprint iswprint
#define _istxdigit iswxdigit

#else

typedef char _TCHAR;
typedef signed char _TSCHAR;
typedef unsigned char _TUCHAR;
typedef int _TINT;
#define __T(x) x
#define _TEOF EOF

#define _tmain main
#define _tWinMain WinMain

#define _tcslen strlen
#define _tcsnlen strnlen
#define _tcscpy strcpy
#define _tcscpy_s strcpy_s
#define _tcscat strcat
#define _tcscat_s strcat_s
#define _tcsncpy strncpy
#define _tcsncpy_s strncpy_s
#define _tcscmp strcmp
#define _tcsicmp _stricmp
#define _tcsncmp strncmp
#define _tcsnicmp _strnicmp
#define _tcschr strchr
#define _tcsrchr strrchr
#define _tcsstr strstr
#define _tcsdup _strdup
#define _tcstok strtok

#define _stprintf sprintf
#define _stprintf_s sprintf_s
#define _sntprintf _snprintf
#define _sntprintf_s _snprintf_s
#define _vstprintf vsprintf
#define _vstprintf_s vsprintf_s
#define _vsntprintf _vsnprintf
#define _vsntprintf_s _vsnprintf_s
#define _sctprintf _scprintf

#define _tprintf printf
#define _ftprintf fprintf
#define _stscanf sscanf
#define _tfopen fopen
#define _tfopen_s fopen_s
#define _fgetts fgets
#define _fputts fputs
#define _fgettc fgetc
#define _fputtc fputc

#define _ttoi atoi
#define _tstoi atoi
#define _ttol atol
#define _ttof atof
#define _tcstol strtol
#define _tcstoul strtoul
#define _tcstod strtod
#define _itot _itoa
#define _itot_s _itoa_s

#define _totupper toupper
#define _totlower tolower
#define _istdigit isdigit
#define _istalpha isalpha
#define _istalnum isalnum
#define _istspace isspace
#define _istupper isupper
#define _istlower islower
#define _istprint isprint
#define _istxdigit isxdigit

#endif

#define _T(x) __T(x)
#define _TEXT(x) __T(x)
