// win_window_geometry.cpp - frames, window and client rectangles, moving and sizing windows.
//
// SetWindowPos and MoveWindow take outer rectangles; a change of the client size sends WM_SIZE
// before they return, a move of the client origin WM_MOVE, and the native window follows. A
// native window resized or moved by the user reports here and the same messages follow.
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_surface.h"
#include "platform/win32/win_window_geometry.h"
#include "platform/win32/win_window_table.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const int sizing_frame = 4;
const int fixed_frame = 3;
const int thin_border = 1;
const int padded_border = 4;
const int client_edge = 2;
const int static_edge = 1;
const int caption = 23;
const int menu_bar = 20;

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

}  // namespace

RECT win_frame_insets(DWORD style, DWORD ex_style, bool menu) {
    const bool captioned = (style & WS_CAPTION) == WS_CAPTION;
    int side = 0;
    if ((style & WS_THICKFRAME) != 0) {
        side = sizing_frame;
    } else if ((style & WS_DLGFRAME) != 0 || (ex_style & WS_EX_DLGMODALFRAME) != 0) {
        side = fixed_frame;
    } else if ((style & WS_BORDER) != 0) {
        side = thin_border;
    }
    if (captioned || (style & WS_THICKFRAME) != 0) side += padded_border;
    if ((ex_style & WS_EX_CLIENTEDGE) != 0) side += client_edge;
    if ((ex_style & WS_EX_STATICEDGE) != 0) side += static_edge;
    const int top = side + (captioned ? caption : 0) + (menu ? menu_bar : 0);
    return RECT{side, top, side, side};
}

void win_client_size_of(const win_window& window, int* width, int* height) {
    const RECT insets = win_frame_insets(window.style, window.ex_style, false);
    *width = std::max(0, (window.outer.right - window.outer.left) - insets.left - insets.right);
    *height = std::max(0, (window.outer.bottom - window.outer.top) - insets.top - insets.bottom);
}

POINT win_client_origin(const win_window& window) {
    const RECT insets = win_frame_insets(window.style, window.ex_style, false);
    return POINT{window.outer.left + insets.left, window.outer.top + insets.top};
}

namespace {

void apply(win_window& window, const RECT& outer, bool move_native) {
    const HWND handle = window.handle;
    const POINT old_origin = win_client_origin(window);
    const int old_width = window.client_width, old_height = window.client_height;
    window.outer = outer;
    int width = 0, height = 0;
    win_client_size_of(window, &width, &height);
    window.client_width = width;
    window.client_height = height;
    if (move_native) win_active_backend().move_window(window);
    const POINT origin = win_client_origin(window);
    if (width != old_width || height != old_height) {
        const UINT redraw = window.window_class->fields.style;
        if (((redraw & CS_HREDRAW) != 0 && width != old_width) ||
            ((redraw & CS_VREDRAW) != 0 && height != old_height)) {
            win_invalidate(window, true);
        }
        win_send(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
        if (win_table_live_window(handle) == nullptr) return;
    }
    if (origin.x != old_origin.x || origin.y != old_origin.y) {
        win_send(window, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
}

}  // namespace

void win_set_outer_rect(win_window& window, const RECT& outer, bool move_native) { apply(window, outer, move_native); }

void win_native_moved(win_window& window, int client_x, int client_y, int client_width, int client_height) {
    const RECT insets = win_frame_insets(window.style, window.ex_style, false);
    const RECT outer{client_x - insets.left, client_y - insets.top, client_x + client_width + insets.right,
                     client_y + client_height + insets.bottom};
    apply(window, outer, false);
}

BOOL WINAPI AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (rect == nullptr) return fail(ERROR_INVALID_PARAMETER);
    const RECT insets = win_frame_insets(style, exStyle, menu != FALSE);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

BOOL WINAPI GetWindowRect(HWND handle, RECT* rect) {
    const win_window* window = win_table_live_window(handle);
    if (window == nullptr) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (rect == nullptr) return fail(ERROR_INVALID_PARAMETER);
    *rect = window->outer;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND handle, POINT* point) {
    const win_window* window = win_table_live_window(handle);
    if (window == nullptr) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (point == nullptr) return fail(ERROR_INVALID_PARAMETER);
    const POINT origin = win_client_origin(*window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND handle, POINT* point) {
    const win_window* window = win_table_live_window(handle);
    if (window == nullptr) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (point == nullptr) return fail(ERROR_INVALID_PARAMETER);
    const POINT origin = win_client_origin(*window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND handle, HWND, int x, int y, int width, int height, UINT flags) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) return fail(ERROR_INVALID_WINDOW_HANDLE);
    RECT outer = window->outer;
    if ((flags & SWP_NOMOVE) == 0) {
        outer.right += x - outer.left;
        outer.bottom += y - outer.top;
        outer.left = x;
        outer.top = y;
    }
    if ((flags & SWP_NOSIZE) == 0) {
        outer.right = outer.left + std::max(0, width);
        outer.bottom = outer.top + std::max(0, height);
    }
    if ((flags & SWP_HIDEWINDOW) != 0) ShowWindow(handle, SW_HIDE);
    if (win_window* still = win_table_live_window(handle)) apply(*still, outer, true);
    if ((flags & SWP_SHOWWINDOW) != 0 && win_table_live_window(handle) != nullptr) {
        ShowWindow(handle, (flags & SWP_NOACTIVATE) != 0 ? SW_SHOWNA : SW_SHOW);
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) return fail(ERROR_INVALID_WINDOW_HANDLE);
    apply(*window, RECT{x, y, x + std::max(0, width), y + std::max(0, height)}, true);
    if (repaint) {
        if (win_window* still = win_table_live_window(handle)) win_invalidate(*still, true);
    }
    return TRUE;
}

bool win_prepare_fullscreen(HWND handle, int width, int height) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive || width < 1 || height < 1) return false;
    const RECT insets = win_frame_insets(window->style, window->ex_style, false);
    const RECT outer{window->outer.left, window->outer.top, window->outer.left + insets.left + width + insets.right,
                     window->outer.top + insets.top + height + insets.bottom};
    apply(*window, outer, true);
    const char* wanted = std::getenv("WIN32_STANDIN_FULLSCREEN");
    if (wanted == nullptr || std::strcmp(wanted, "1") != 0) return true;
    if (win_window* still = win_table_live_window(handle)) return win_active_backend().set_fullscreen(*still, true);
    return false;
}

bool win_bounded_length(const char* text, size_t limit, size_t* length) {
    if (text == nullptr) return false;
    for (size_t i = 0; i <= limit; ++i) {
        if (text[i] == '\0') {
            *length = i;
            return true;
        }
    }
    return false;
}

bool win_bounded_length(const wchar_t* text, size_t limit, size_t* length) {
    if (text == nullptr) return false;
    for (size_t i = 0; i <= limit; ++i) {
        if (text[i] == L'\0') {
            *length = i;
            return true;
        }
    }
    return false;
}
