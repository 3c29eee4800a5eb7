// win_windows.cpp - window classes and windows: registration, creation with the platform's frame
// metrics (and AdjustWindowRect, their inverse), titles, showing, destruction, the client area,
// and handing frames to the back end.
//
// Frame metrics (96 DPI, current desktop themes): a window with a caption or sizing frame loses
// 8 px on the left, right and bottom and 31 px at the top (8 px frame + 23 px caption), so a
// 640 x 480 WS_OVERLAPPEDWINDOW has a 624 x 441 client area. The native window is created with
// the client size; its frame is the window manager's.
//
// DOES NOT: send WM_CREATE, WM_SIZE or paint messages; support child windows or menus.
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_capture.h"
#include "platform/win32/win_surface.h"
#include "platform/win32/win_shared_frame.h"
#include "platform/win32/win_window_table.h"

#include <algorithm>

namespace {

const int frame_side = 8;
const int frame_top = 31;

bool has_frame(DWORD style) { return (style & (WS_CAPTION | WS_THICKFRAME)) != 0; }

void fill_client_size(win_window& window) {
    const int side = has_frame(window.style) ? frame_side : 0;
    const int top = has_frame(window.style) ? frame_top : 0;
    window.client_width = std::max(0, window.width - 2 * side);
    window.client_height = std::max(0, window.height - top - side);
}

bool valid_class_fields(const WNDCLASSEXA* fields) {
    return fields != nullptr && fields->cbSize == sizeof(WNDCLASSEXA) && fields->lpfnWndProc != nullptr &&
           fields->lpszClassName != nullptr && !win_is_atom(fields->lpszClassName) && fields->lpszClassName[0] != '\0';
}

// The cursor handle that LoadCursorA gives for every predefined cursor.
char arrow_cursor_marker;

}  // namespace

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* fields) {
    if (!valid_class_fields(fields)) return 0;
    const win_class* record = win_table_add_class(*fields);
    return record != nullptr ? record->atom : 0;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    const win_class* window_class = win_table_find_class(className);
    if (window_class == nullptr) return nullptr;
    if (parent != nullptr && win_table_live_window(parent) == nullptr) return nullptr;

    win_window& window = win_table_add_window();
    window.window_class = window_class;
    window.title = windowName != nullptr ? windowName : "";
    window.ex_style = exStyle;
    window.style = style;
    window.x = x;
    window.y = y;
    window.width = std::max(0, width);
    window.height = std::max(0, height);
    window.parent = parent;
    window.menu = menu;
    window.instance = instance;
    window.param = param;
    fill_client_size(window);
    if (!win_active_backend().open_window(window)) {
        win_table_remove_window(window.handle);
        return nullptr;
    }
    return window.handle;
}

BOOL WINAPI ShowWindow(HWND handle, int showCommand) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr) return FALSE;
    const bool was_visible = window->visible;
    const bool visible = showCommand != SW_HIDE;
    if (visible != was_visible) win_active_backend().show_window(*window, visible);
    window->visible = visible;
    return was_visible ? TRUE : FALSE;
}

// Removes the window from the screen, then sends WM_DESTROY to its procedure (synchronously, as
// the platform does), then marks it destroyed. A window in the middle of destruction cannot be
// destroyed again.
BOOL WINAPI DestroyWindow(HWND handle) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) return FALSE;
    window->state = win_window_state::destroying;
    win_active_backend().close_window(*window);
    window->visible = false;
    window->window_class->fields.lpfnWndProc(handle, WM_DESTROY, 0, 0);
    window->state = win_window_state::destroyed;
    return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) return FALSE;
    window->title = text != nullptr ? text : "";
    win_active_backend().retitle_window(*window);
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
    if (rect == nullptr || menu) return FALSE;
    if (!has_frame(style)) return TRUE;
    rect->left -= frame_side;
    rect->top -= frame_top;
    rect->right += frame_side;
    rect->bottom += frame_side;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND handle, RECT* rect) {
    const win_window* window = win_table_live_window(handle);
    if (window == nullptr || rect == nullptr) return FALSE;
    *rect = RECT{0, 0, window->client_width, window->client_height};
    return TRUE;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    if (instance != nullptr || cursorName == nullptr || !win_is_atom(cursorName)) return nullptr;
    return reinterpret_cast<HCURSOR>(&arrow_cursor_marker);
}

win_display_mode win_desktop_mode() { return win_active_backend().desktop_mode(); }

bool win_client_size(HWND handle, int* width, int* height) {
    const win_window* window = win_table_live_window(handle);
    if (window == nullptr) return false;
    if (width != nullptr) *width = window->client_width;
    if (height != nullptr) *height = window->client_height;
    return true;
}

bool win_present(HWND handle, const uint32_t* pixels, int width, int height, int pitch) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) return false;
    if (pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return false;
    win_capture_present(pixels, width, height, pitch);
    return win_active_backend().present(*window, pixels, width, height, pitch);
}

void win_present_retire(const uint32_t* pixels) {
    if (win_backend* backend = win_started_backend()) backend->retire(pixels);
}

uint32_t* win_frame_memory(HWND handle, size_t count) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) return nullptr;
    return win_active_backend().shows_shared_frames(*window) ? win_shared_frame_alloc(count) : nullptr;
}

void win_frame_memory_free(uint32_t* pixels) {
    if (pixels == nullptr) return;
    win_present_retire(pixels);
    win_shared_frame_free(pixels);
}
