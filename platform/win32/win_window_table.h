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

struct win_class {
    WNDCLASSEXA fields;  // as registered; lpszClassName/lpszMenuName point into the strings below
    std::string name;
    std::string menu_name;
    ATOM atom;
};

enum class win_window_state { alive, destroying, destroyed };

struct win_window {
    HWND handle = nullptr;
    const win_class* window_class = nullptr;
    std::string title;  // as given (Windows-1250)
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
    win_window_state state = win_window_state::alive;
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
// The first window created, or null.
win_window* win_table_first_window();
// The program's main window: the first window created that is alive (not destroyed, not being
// destroyed) and top-level (not WS_CHILD); null when there is none.
win_window* win_table_main_window();

// Forgets every class and window (their native sides are closed by the caller first).
void win_table_reset();
