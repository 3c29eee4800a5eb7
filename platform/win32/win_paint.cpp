// win_paint.cpp - the update region and painting: InvalidateRect, ValidateRect, BeginPaint,
// EndPaint, GetUpdateRect, UpdateWindow, device contexts.
//
// The update region is all or nothing: any invalidation covers the whole client area. A window
// becomes invalid when first shown, when resized with CS_HREDRAW / CS_VREDRAW, when uncovered, and
// by InvalidateRect; BeginPaint (or ValidateRect) makes it valid again. A window's device context
// is a handle of its own that GDI output accepts (the window's picture is the device's).
#include <windows.h>

#include "platform/win32/win_window_geometry.h"
#include "platform/win32/win_window_table.h"

#include <cstring>

namespace {

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

win_window* painted(HWND handle) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return window;
}

// Window handles step by 16: a window's device context sits between two of them.
HDC dc_of(HWND window) { return reinterpret_cast<HDC>(reinterpret_cast<uintptr_t>(window) + 8); }

}  // namespace

HWND win_window_of_dc(HDC dc) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(dc);
    if ((value & 15u) != 8u) return nullptr;
    const HWND window = reinterpret_cast<HWND>(value - 8);
    return win_table_live_window(window) != nullptr ? window : nullptr;
}

void win_invalidate(win_window& window, bool erase) {
    window.invalid = true;
    window.erase = window.erase || erase;
    window.paint_delivered = false;
}

BOOL WINAPI InvalidateRect(HWND handle, const RECT*, BOOL erase) {
    win_window* window = painted(handle);
    if (window == nullptr) return FALSE;
    win_invalidate(*window, erase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND handle, const RECT*) {
    win_window* window = painted(handle);
    if (window == nullptr) return FALSE;
    window->invalid = false;
    window->erase = false;
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND handle, RECT* rect, BOOL erase) {
    win_window* window = painted(handle);
    if (window == nullptr) return FALSE;
    if (rect != nullptr) {
        *rect = window->invalid ? RECT{0, 0, window->client_width, window->client_height} : RECT{0, 0, 0, 0};
    }
    if (window->invalid && erase && window->erase) {
        window->erase = false;
        SendMessageA(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_of(handle)), 0);
    }
    return window->invalid ? TRUE : FALSE;
}

// Validates the window and hands out its device context; sends WM_ERASEBKGND first when the
// invalidation asked for an erase (fErase then tells whether the procedure erased).
HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    win_window* window = painted(handle);
    if (window == nullptr) return nullptr;
    if (paint == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::memset(paint, 0, sizeof *paint);
    paint->hdc = dc_of(handle);
    paint->rcPaint = window->invalid ? RECT{0, 0, window->client_width, window->client_height} : RECT{0, 0, 0, 0};
    const bool erase = window->erase;
    window->invalid = false;
    window->erase = false;
    if (erase) {
        const LRESULT erased = SendMessageA(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0);
        paint->fErase = erased == 0 ? TRUE : FALSE;
    }
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    if (paint == nullptr) return fail(ERROR_INVALID_PARAMETER);
    return painted(handle) != nullptr ? TRUE : FALSE;
}

// Sends WM_PAINT at once when the window is invalid.
BOOL WINAPI UpdateWindow(HWND handle) {
    win_window* window = painted(handle);
    if (window == nullptr) return FALSE;
    if (window->invalid) {
        window->paint_delivered = true;
        win_send(*window, WM_PAINT, 0, 0);
    }
    return TRUE;
}

HDC WINAPI GetDC(HWND handle) {
    if (handle == nullptr) return nullptr;
    return painted(handle) != nullptr ? dc_of(handle) : nullptr;
}

int WINAPI ReleaseDC(HWND handle, HDC dc) { return handle != nullptr && win_window_of_dc(dc) == handle ? 1 : 0; }
