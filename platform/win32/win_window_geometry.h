// win_window_geometry.h - the non-client frame of a window style and the window layer's shared
// helpers around it: client size and origin from the outer rectangle, the show and activation
// sequence, strings read within bounds.
//
// Frame metrics (96 DPI): per side, the base frame (sizing frame 4, dialog frame 3, border 1)
// plus a padded border of 4 for captioned or sizing windows, plus 2 for WS_EX_CLIENTEDGE and 1
// for WS_EX_STATICEDGE; the top adds a caption of 23 (and 20 for a menu bar). A 640 x 480
// WS_OVERLAPPEDWINDOW therefore has a 624 x 441 client area.
#pragma once

#include <windows.h>

#include <cstddef>

struct win_window;

// The frame around the client area: left, top, right, bottom insets (all >= 0).
RECT win_frame_insets(DWORD style, DWORD ex_style, bool menu);

// The client size of the window's outer rectangle (never negative).
void win_client_size_of(const win_window& window, int* width, int* height);
// The client area's top-left corner in screen coordinates.
POINT win_client_origin(const win_window& window);

// Sets the outer rectangle; when the client size changes, sends WM_SIZE (and invalidates the
// window for CS_HREDRAW / CS_VREDRAW classes); when the client origin moves, sends WM_MOVE. The
// native window follows when `move_native`.
void win_set_outer_rect(win_window& window, const RECT& outer, bool move_native);
// As above, from a client size and origin that the user gave the native window.
void win_native_moved(win_window& window, int client_x, int client_y, int client_width, int client_height);

// Makes the window the active one with the focus (WM_ACTIVATEAPP, WM_ACTIVATE, WM_KILLFOCUS to
// the window that had it, WM_SETFOCUS); nothing when it is active already.
void win_activate(win_window& window);
// No window of the process is active any more (the user went to another program).
void win_deactivate_app();
// The window is leaving (hidden, destroyed): it stops being active, focused and capturing.
void win_release_window_state(win_window& window);

// Length of a NUL-terminated string of at most `limit` units; false when null or longer.
bool win_bounded_length(const char* text, size_t limit, size_t* length);
bool win_bounded_length(const wchar_t* text, size_t limit, size_t* length);

// The longest window title and class name the layer reads.
inline constexpr size_t win_max_title = 32767;
inline constexpr size_t win_max_class_name = 256;

// Invalidates the whole client area (and asks for an erase when `erase`).
void win_invalidate(win_window& window, bool erase);
// Removes the window's timers (it is being destroyed).
void win_kill_window_timers(HWND window);
