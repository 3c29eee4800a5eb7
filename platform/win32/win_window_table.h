// win_window_table.h - the process's registered window classes and its windows.
//
// Handles are never reused within a process (until win_table_reset), so a stale HWND finds no
// window instead of another one. Records stay at a fixed address for their whole life, so a
// window procedure may run while the caller holds a reference to the record.
//
// DOES NOT: talk to a display (see win_backend.h) or queue messages (see win_messages.h).
#pragma once

#include <windows.h>

#include "platform/win32/win_backend.h"

#include <memory>
#include <string>
#include <vector>

struct win_class {
    WNDCLASSEXA fields;  // as registered; lpszClassName/lpszMenuName point into the strings below
    std::string name;    // UTF-8 for classes registered with the W functions
    std::string menu_name;
    ATOM atom;
    bool unicode = false;    // registered with a W function: its windows get wide text
    bool registered = true;  // false once unregistered (destroyed windows may still refer to it)
};

enum class win_window_state { alive, destroying, destroyed };

struct win_window {
    HWND handle = nullptr;
    const win_class* window_class = nullptr;
    std::string title;       // as given to an A function (Windows-1250), UTF-8 when given wide
    std::string title_utf8;  // as shown
    DWORD ex_style = 0;
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0;  // outer rectangle as given
    HWND parent = nullptr;
    HMENU menu = nullptr;
    HINSTANCE instance = nullptr;
    LPVOID param = nullptr;
    int client_width = 0;
    int client_height = 0;
    bool visible = false;
    bool present_paced = true;  // presents wait for the display refresh (unless vblank_mode=0)
    win_window_state state = win_window_state::alive;
    WNDPROC procedure = nullptr;  // the class's, until GWLP_WNDPROC replaces it
    bool unicode = false;         // made by CreateWindowExW of a W class: WM_CHAR carries code points
    LONG_PTR user_data = 0;
    LONG_PTR id = 0;
    std::vector<unsigned char> extra;  // cbWndExtra bytes, zeroed
    RECT outer{};                      // the window rectangle now, screen coordinates
    bool shown_once = false;
    bool invalid = false;          // the update region is not empty (the whole client area)
    bool erase = false;            // the next BeginPaint sends WM_ERASEBKGND
    bool paint_delivered = false;  // a WM_PAINT went out since the window became invalid
    std::unique_ptr<win_native> native;
};

// A class name given as an atom (MAKEINTATOM) is a pointer value below 0x10000.
bool win_is_atom(LPCSTR name);

// Registers a copy of `fields`; null when the name is already taken (ignoring ASCII case).
const win_class* win_table_add_class(const WNDCLASSEXA& fields);
// By name (ignoring ASCII case) or by atom; null when unknown.
const win_class* win_table_find_class(LPCSTR name_or_atom);

// A new window record with a fresh handle; remove it again with win_table_remove_window when
// the window cannot be created.
win_window& win_table_add_window();
void win_table_remove_window(HWND handle);
// The record of a window that has not been destroyed (it may be in the middle of destruction).
win_window* win_table_live_window(HWND handle);
// The record of any window ever created, destroyed ones included; null for an unknown handle.
win_window* win_table_any_window(HWND handle);
// The window created after `handle` (the first one for null), destroyed ones included; null at
// the end.
HWND win_table_next_window(HWND handle);
// The first window created, or null.
win_window* win_table_first_window();
// The program's main window: the first window created that is alive (not destroyed, not being
// destroyed) and top-level (not WS_CHILD); null when there is none.
win_window* win_table_main_window();

// The window states of the thread: which window is active, has the focus, the mouse capture.
struct win_thread_state {
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    bool app_active = false;
    int cursor_count = 0;  // ShowCursor's counter: the cursor shows while it is >= 0
    HCURSOR cursor = nullptr;
    bool cursor_set = false;  // SetCursor was called: `cursor` is the shape to show
};
win_thread_state& win_thread();

// The window's procedure called with a message (null window records are ignored: 0).
LRESULT win_send(win_window& window, UINT message, WPARAM wParam, LPARAM lParam);

// How many live windows belong to the class.
int win_table_class_window_count(const win_class* window_class);
// Unregisters a class that has no windows (its record stays for the windows that were of it).
void win_table_remove_class(const win_class* window_class);

// Forgets every class and window (their native sides are closed by the caller first).
void win_table_reset();
