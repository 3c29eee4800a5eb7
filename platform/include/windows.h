// windows.h - our Linux stand-in for the Win32 API that programs call: the base types, process
// services, text conversions, timing, windows and messages, and the C and C++ standard headers
// that programs rely on it to include.
//
// Behind it: a window layer over SDL2 (real window, X11 global key state, modal message box) and a
// headless back end without a display for tests (see win_headless.h). Only the window module
// includes SDL.
//
// Conventions: ANSI strings are Windows-1250 (UTF-8 where their bytes are valid UTF-8); wide
// strings are 32-bit wchar_t, one unit per code point. Paths accept '\' and '/' (a '\' may also
// belong to a Linux name) and, where the exact name does not exist, match each component
// case-insensitively.
//
// It defines _WIN32 and WIN32 (the Windows API is here), not _MSC_VER (the compiler is not
// Microsoft's), and min and max unless NOMINMAX, after the C++ standard headers those macros
// would break. Microsoft's pragmas (comment, warning) are accepted quietly: GCC's warning about
// unknown pragmas is off for the rest of the translation unit (GCC before 13 issues it before
// reading that, so our build also passes it -Wno-unknown-pragmas).
#pragma once

#pragma GCC diagnostic ignored "-Wunknown-pragmas"

#include <ctype.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#ifdef __cplusplus
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <limits>
#include <list>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <valarray>
#include <vector>
#endif

#include <sdkddkver.h>
#include <windef.h>
#include <winerror.h>
#include <winbase.h>
#if __has_include(<wingdi.h>)
#include <wingdi.h>
#endif
#include <winuser.h>
#include <winnls.h>
#include <mmsystem.h>
#include <corecrt.h>

#ifndef WIN32_STANDIN_INTERNAL
#ifndef _WIN32
#define _WIN32 1
#endif
#ifndef WIN32
#define WIN32 1
#endif
#endif

#ifndef NOMINMAX
#ifndef max
#define max(a, b) (((a) > (b)) ? (a) : (b))
#endif
#ifndef min
#define min(a, b) (((a) < (b)) ? (a) : (b))
#endif
#endif
