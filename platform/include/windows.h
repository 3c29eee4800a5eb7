// windows.h - our Linux stand-in for the Win32 API that programs call: the base types, process
// services, windows and messages, and the C headers that programs rely on it to include.
//
// Behind it: a window layer over SDL2 (real window, X11 global key state, modal message box) and a
// headless back end without a display for tests (see win_headless.h). Only the window module
// includes SDL.
//
// Conventions: ANSI strings are Windows-1250; paths accept '\' and '/' (a '\' may also belong to a
// Linux name) and, where the exact name does not exist, match each component case-insensitively.
#pragma once

#include <windef.h>
#include <winerror.h>
#include <winbase.h>
#include <winuser.h>
