// winnt.h - the base types of the Win32 API (Decision of widths: DWORD, UINT and ULONG are 32-bit
// unsigned, LONG, INT, BOOL and HRESULT 32-bit signed, never `long`; the *_PTR types, WPARAM,
// LPARAM and LRESULT pointer-sized), characters and TCHAR text, and the Microsoft compiler's
// keywords that programs written for it use.
//
// WCHAR is the compiler's wchar_t: 32 bits, one unit per code point. UNICODE selects TCHAR and
// TEXT (wide with it, ANSI without); tchar.h's _TCHAR and _T follow _UNICODE instead.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The Microsoft compiler's keywords. Calling conventions mean nothing on x86-64.
#ifndef __stdcall
#define __stdcall
#endif
#ifndef __cdecl
#define __cdecl
#endif
#ifndef __fastcall
#define __fastcall
#endif
#ifndef __forceinline
#define __forceinline inline __attribute__((always_inline))
#endif
#ifndef __inline
#define __inline inline
#endif
#ifndef _inline
#define _inline inline
#endif
// __declspec(x) maps each form onto the attribute of the same meaning; those without one here
// (dllimport, novtable, uuid) vanish. An alignment written before `struct` in a declaration
// without a declarator is dropped by GCC: write `struct __declspec(align(16)) S`.
#ifndef __declspec
#define __declspec(x) __declspec_##x
#define __declspec_align(n) __attribute__((aligned(n)))
#define __declspec_noinline __attribute__((noinline))
#define __declspec_noreturn __attribute__((noreturn))
#define __declspec_selectany __attribute__((weak))
#define __declspec_thread __thread
#define __declspec_deprecated __attribute__((deprecated))
#define __declspec_dllimport
#define __declspec_dllexport __attribute__((visibility("default")))
#define __declspec_novtable
#define __declspec_uuid(x)
#define __declspec_naked __attribute__((naked))
#endif
// Macros, so that `unsigned __int64` parses.
#define __int8 char
#define __int16 short
#define __int32 int
#define __int64 long long

#define VOID void
typedef void* PVOID;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uint64_t DWORDLONG;
typedef uint8_t BOOLEAN;
typedef int32_t HRESULT;

typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;
typedef intptr_t SSIZE_T;
typedef INT_PTR* PINT_PTR;
typedef UINT_PTR* PUINT_PTR;
typedef LONG_PTR* PLONG_PTR;
typedef ULONG_PTR* PULONG_PTR;
typedef SIZE_T* PSIZE_T;
typedef LONG* PLONG;
typedef ULONG* PULONG;
typedef SHORT* PSHORT;
typedef LONGLONG* PLONGLONG;
typedef ULONGLONG* PULONGLONG;

typedef wchar_t WCHAR;
typedef CHAR* PCHAR;
typedef CHAR* LPCH;
typedef CHAR* PSTR;
typedef CHAR* LPSTR;
typedef const CHAR* PCSTR;
typedef const CHAR* LPCSTR;
typedef WCHAR* PWCHAR;
typedef WCHAR* LPWCH;
typedef WCHAR* PWSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* PCWSTR;
typedef const WCHAR* LPCWSTR;

#ifdef UNICODE
typedef WCHAR TCHAR;
typedef WCHAR TBYTE;
#define __TEXT(quote) L##quote
#else
typedef char TCHAR;
typedef unsigned char TBYTE;
#define __TEXT(quote) quote
#endif
#define TEXT(quote) __TEXT(quote)
typedef TCHAR* PTCHAR;
typedef TCHAR* PTSTR;
typedef TCHAR* LPTSTR;
typedef const TCHAR* PCTSTR;
typedef const TCHAR* LPCTSTR;

typedef void* HANDLE;
typedef HANDLE* PHANDLE;
typedef HANDLE* LPHANDLE;
// A distinct pointer type per handle kind. Repeating a declaration is harmless.
#define DECLARE_HANDLE(name) \
    struct name##__;         \
    typedef struct name##__* name

typedef union _LARGE_INTEGER {
    __extension__ struct {
        uint32_t LowPart;
        LONG HighPart;
    };
    struct {
        uint32_t LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

typedef union _ULARGE_INTEGER {
    __extension__ struct {
        uint32_t LowPart;
        uint32_t HighPart;
    };
    struct {
        uint32_t LowPart;
        uint32_t HighPart;
    } u;
    ULONGLONG QuadPart;
} ULARGE_INTEGER, *PULARGE_INTEGER;

// Marks a parameter or variable as deliberately unused.
#define UNREFERENCED_PARAMETER(P) ((void)(P))
#define UNREFERENCED_LOCAL_VARIABLE(V) ((void)(V))
#define DBG_UNREFERENCED_PARAMETER(P) ((void)(P))

#define MAXLONG 0x7fffffff
#define MAXDWORD 0xffffffff
#define MAXBYTE 0xff
#define MAXWORD 0xffff
