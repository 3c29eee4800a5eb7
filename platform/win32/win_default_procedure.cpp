// win_default_procedure.cpp - DefWindowProc: what a window does with the messages its procedure
// passes on.
//
// WM_CLOSE destroys the window; WM_PAINT validates it (BeginPaint / EndPaint); WM_ERASEBKGND fills
// the client area with the class brush and answers 1 (0 without a brush); WM_SETCURSOR in the
// client area sets the class cursor and answers TRUE; Alt+F4 (WM_SYSKEYDOWN) sends WM_SYSCOMMAND
// SC_CLOSE, which sends WM_CLOSE; WM_NCCREATE answers TRUE, WM_NCHITTEST HTCLIENT; everything else
// 0.
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_window_table.h"

namespace {

LRESULT default_procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (message) {
    case WM_CLOSE: DestroyWindow(handle); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        BeginPaint(handle, &paint);
        EndPaint(handle, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        if (window->window_class->fields.hbrBackground == nullptr) return 0;
        win_active_backend().erase_background(*window);
        return 1;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == handle) {
            SetCursor(window->window_class->fields.hCursor);
            return TRUE;
        }
        return FALSE;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1L << 29)) != 0) SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(handle, WM_CLOSE, 0, 0);
        return 0;
    case WM_NCCREATE: return TRUE;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_GETTEXTLENGTH: return window->unicode ? GetWindowTextLengthW(handle) : GetWindowTextLengthA(handle);
    default: return 0;
    }
}

}  // namespace

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return default_procedure(window, message, wParam, lParam);
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return default_procedure(window, message, wParam, lParam);
}
