// win_headless.h - the window layer's back end without a display, and its controls for tests.
//
// The headless back end runs every code path above the window layer: window classes and windows
// exist, messages are queued and dispatched exactly as with SDL. Instead of a display it keeps
// the last presented frame, answers message boxes with their default button at once and records
// them, and takes its key state, input and close requests from the test.
//
// It is selected by win_headless_enable() before the first window is created, or by the
// environment variable WIN32_STANDIN_BACKEND=headless.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct win_headless_message_box {
    HWND owner;
    std::string text_utf8;     // decoded from Windows-1250
    std::string caption_utf8;  // decoded from Windows-1250
    UINT type;
    bool owner_visible;   // the owner window was shown when the box appeared
    int presents_before;  // frames presented before the box appeared
};

struct win_headless_frame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom, no padding
};

// Selects the headless back end for the rest of the process.
void win_headless_enable();

// Scripted global key state, as GetAsyncKeyState reports it.
void win_headless_set_key(int virtual_key, bool down);

// As if the user pressed or released a key in the window: posts WM_KEYDOWN / WM_KEYUP (the SYS
// forms while VK_MENU is held in the scripted key state, or for F10 and Alt itself) packed as the
// SDL back end packs them; `repeat`: an auto-repeat of a key already down.
void win_headless_key(HWND window, int virtual_key, bool down, bool repeat = false);

// As if the user clicked the window's close button: queues WM_CLOSE for the window.
void win_headless_request_close(HWND window);

// As if the user resized the window: changes its client area (the back buffer keeps its size) and
// sends WM_SIZE, as a real resize does.
void win_headless_resize(HWND window, int client_width, int client_height);

// Called after every present with the number of frames presented so far (1 for the first).
// Tests script key presses and close requests from here. Pass an empty function to remove it.
void win_headless_on_present(std::function<void(int presents)> callback);

int win_headless_present_count();
// The frame last presented. A present only refers to the presenter's pixels; this call copies them
// (once per present), so read the frame before the presenter draws into them again. A device that
// is released hands its last frame over first.
const win_headless_frame& win_headless_last_frame();
const std::vector<win_headless_message_box>& win_headless_message_boxes();

// The first window created (the demos create exactly one), or null.
HWND win_headless_main_window();

// What CreateWindowExA received for a window, and the window's state now: the plain fields (which
// can be copied as bytes, e.g. into memory shared with another process) and the names.
struct win_headless_window_fields {
    DWORD ex_style;
    DWORD style;
    int x, y, width, height;  // outer rectangle as given
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
    int client_width, client_height;
    bool visible;
    bool destroyed;
};

struct win_headless_window : win_headless_window_fields {
    std::string class_name;  // as registered
    std::string title;       // as given (Windows-1250)
};

// The record RegisterClassExA stored for a class (by name, ignoring case); false when unknown.
// Its string fields point into the layer's own copies.
bool win_headless_window_class(LPCSTR class_name, WNDCLASSEXA* fields);

// What is known about a window ever created (destroyed ones included); false for an unknown handle.
bool win_headless_window_info(HWND window, win_headless_window* info);

// Forgets every window class, window, queued message and quit request, the scripted keys, the
// frames and the message boxes: a fresh start for the next test in the same process.
void win_headless_reset();

// The path _get_pgmptr reports (Win32 form, '\\' separators) instead of the executable's own.
// Null restores the executable's own path.
void win_headless_set_program_path(const char* win32_path);

// For running the real programs headless from scripts: with WIN32_STANDIN_BACKEND=headless and
// WIN32_STANDIN_ESCAPE_AT=N in the environment, Escape reads as held down from the Nth present on.
