// winbase.h - process services: the executable's path, the current directory, the last error.
#pragma once

#include <windef.h>
#include <winerror.h>

errno_t _get_pgmptr(char** path);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR path);
// The calling thread's code of the last failure, as the failing call set it.
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD code);
errno_t strcpy_s(char* destination, size_t size, const char* source);

#ifndef EINVAL
#define EINVAL 22
#endif
#ifndef ERANGE
#define ERANGE 34
#endif
