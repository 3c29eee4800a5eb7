// winbase.h - process services: the program's entry points, its module and command line, the
// executable's path, the current directory, the last error, timing, debug output and the memory
// macros.
//
// Timing: GetTickCount and timeGetTime read one monotonic millisecond clock (1 ms resolution,
// wrapping after 2^32 ms: `now - then` in DWORD is right across the wrap); GetTickCount64 reads the
// same clock without wrapping. The performance counter counts 100 ns steps of the monotonic clock,
// 10 000 000 a second. Sleep sleeps the milliseconds asked, no more rounded up than the system's
// own timer; Sleep(0) gives the rest of the time slice to another thread.
//
// OutputDebugString writes its text, as UTF-8, to standard error when the environment variable
// WIN32_STANDIN_DEBUG_OUTPUT is 1, and nowhere otherwise (no debugger to receive it).
#pragma once

#include <windef.h>
#include <winerror.h>

#include <string.h>

// The entry points a program defines one of: the process entry calls wWinMain when the program
// has it, else WinMain; the command line holds the arguments after the program's name.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);

// The calling thread's code of the last failure, as the failing call set it.
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD code);

// The program's own module: the handle is the one WinMain received. Another module's name gives
// NULL (ERROR_MOD_NOT_FOUND): the program loads none.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName);
// The executable's full path, with '\' for '/'. A buffer too small receives what fits, terminated,
// the result is `size` and the error ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
// The program's name (quoted when it holds a space) and its arguments, joined by spaces.
LPSTR WINAPI GetCommandLineA();
LPWSTR WINAPI GetCommandLineW();
errno_t _get_pgmptr(char** path);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR path);

#define INFINITE 0xFFFFFFFF

DWORD WINAPI GetTickCount();
ULONGLONG WINAPI GetTickCount64();
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void WINAPI Sleep(DWORD milliseconds);

void WINAPI OutputDebugStringA(LPCSTR text);
void WINAPI OutputDebugStringW(LPCWSTR text);

#define ZeroMemory(destination, length) memset((destination), 0, (length))
#define CopyMemory(destination, source, length) memcpy((destination), (source), (length))
#define MoveMemory(destination, source, length) memmove((destination), (source), (length))
#define FillMemory(destination, length, fill) memset((destination), (fill), (length))
// Zeroes even memory that is not read afterwards: the compiler may not drop it.
inline PVOID SecureZeroMemory(PVOID destination, SIZE_T length) {
    volatile char* bytes = static_cast<volatile char*>(destination);
    while (length-- > 0) *bytes++ = 0;
    return destination;
}
#define RtlZeroMemory ZeroMemory
#define RtlCopyMemory CopyMemory
#define RtlMoveMemory MoveMemory
#define RtlFillMemory FillMemory
#define RtlSecureZeroMemory SecureZeroMemory

#ifdef UNICODE
#define GetModuleHandle GetModuleHandleW
#define GetModuleFileName GetModuleFileNameW
#define GetCommandLine GetCommandLineW
#define OutputDebugString OutputDebugStringW
#else
#define GetModuleHandle GetModuleHandleA
#define GetModuleFileName GetModuleFileNameA
#define GetCommandLine GetCommandLineA
#define OutputDebugString OutputDebugStringA
#define SetCurrentDirectory SetCurrentDirectoryA
#endif
