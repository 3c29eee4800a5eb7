// win_gdi.h - what the window layer asks of its GDI objects: a brush's colour, a device
// context's window.
#pragma once

#include <windows.h>

// The colour a brush paints with: a solid or stock brush, or a system colour given as
// (HBRUSH)(COLOR_x + 1). False for NULL_BRUSH, null and unknown handles.
bool win_brush_colour(HBRUSH brush, COLORREF* colour);

// The window whose device context `dc` is, or null.
HWND win_window_of_dc(HDC dc);
