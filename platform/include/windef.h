// windef.h - the base types, handles and helper macros of the Win32 API.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef short SHORT;
typedef unsigned int UINT;
typedef int INT;
typedef float FLOAT;
typedef int32_t HRESULT;
typedef int errno_t;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD ATOM;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef wchar_t WCHAR;
typedef WCHAR* LPWSTR;
typedef WCHAR* PWSTR;
typedef const WCHAR* LPCWSTR;
typedef const WCHAR* PCWSTR;

// Text of the kind UNICODE selects: wide with it, ANSI without.
#ifdef UNICODE
typedef WCHAR TCHAR;
#define __TEXT(quote) L##quote
#else
typedef char TCHAR;
#define __TEXT(quote) quote
#endif
#define TEXT(quote) __TEXT(quote)
typedef TCHAR* LPTSTR;
typedef const TCHAR* LPCTSTR;

#define WINAPI
#define CALLBACK
#define APIENTRY

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct HWND__;
struct HINSTANCE__;
struct HICON__;
struct HCURSOR__;
struct HBRUSH__;
struct HMENU__;
typedef HWND__* HWND;
typedef HINSTANCE__* HINSTANCE;
typedef HICON__* HICON;
typedef HCURSOR__* HCURSOR;
typedef HBRUSH__* HBRUSH;
typedef HMENU__* HMENU;

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
