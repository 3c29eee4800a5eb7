// win_focus.cpp - activation, keyboard focus and mouse capture of the process's windows.
//
// One window at a time is active and has the focus (the programs' windows are top-level). A
// change sends, in order: WM_ACTIVATEAPP(TRUE) when the process becomes active, WM_ACTIVATE
// (WA_INACTIVE) to the window that was active, WM_ACTIVATE(WA_ACTIVE) to the new one, WM_KILLFOCUS
// to the window that had the focus and WM_SETFOCUS to the new one. When the user goes to another
// program: WM_ACTIVATE(WA_INACTIVE), WM_ACTIVATEAPP(FALSE), WM_KILLFOCUS.
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_window_geometry.h"
#include "platform/win32/win_window_table.h"

namespace {

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

void send_to(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (win_window* window = win_table_live_window(handle)) win_send(*window, message, wParam, lParam);
}

void move_focus(HWND to) {
    win_thread_state& thread = win_thread();
    const HWND from = thread.focus;
    if (from == to) return;
    thread.focus = to;
    if (from != nullptr) send_to(from, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
    if (to != nullptr && thread.focus == to) send_to(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(from), 0);
}

}  // namespace

void win_activate(win_window& window) {
    win_thread_state& thread = win_thread();
    const HWND handle = window.handle;
    if (thread.active == handle) return;
    const HWND previous = thread.active;
    thread.active = handle;
    if (!thread.app_active) {
        thread.app_active = true;
        send_to(handle, WM_ACTIVATEAPP, TRUE, 0);
    }
    if (previous != nullptr) send_to(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
    if (thread.active != handle) return;
    send_to(handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    if (thread.active == handle) move_focus(handle);
}

void win_deactivate_app() {
    win_thread_state& thread = win_thread();
    const HWND previous = thread.active;
    if (previous == nullptr && !thread.app_active) return;
    thread.active = nullptr;
    thread.app_active = false;
    if (previous != nullptr) {
        send_to(previous, WM_ACTIVATE, WA_INACTIVE, 0);
        send_to(previous, WM_ACTIVATEAPP, FALSE, 0);
    }
    move_focus(nullptr);
}

void win_release_window_state(win_window& window) {
    win_thread_state& thread = win_thread();
    if (thread.capture == window.handle) ReleaseCapture();
    if (thread.active == window.handle) {
        thread.active = nullptr;
        send_to(window.handle, WM_ACTIVATE, WA_INACTIVE, 0);
        if (thread.app_active) {
            thread.app_active = false;
            send_to(window.handle, WM_ACTIVATEAPP, FALSE, 0);
        }
    }
    if (thread.focus == window.handle) move_focus(nullptr);
}

HWND WINAPI GetActiveWindow() { return win_thread().active; }
HWND WINAPI GetForegroundWindow() { return win_thread().active; }
HWND WINAPI GetFocus() { return win_thread().focus; }

BOOL WINAPI SetForegroundWindow(HWND handle) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (window->visible) win_active_backend().raise_window(*window);
    win_activate(*window);
    return TRUE;
}

// The previous focus window; NULL with ERROR_INVALID_WINDOW_HANDLE for an unknown window.
// SetFocus(NULL) takes the focus from every window; a window that is not active is activated.
HWND WINAPI SetFocus(HWND handle) {
    const HWND previous = win_thread().focus;
    if (handle == nullptr) {
        move_focus(nullptr);
        return previous;
    }
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (win_thread().active != handle) {
        win_activate(*window);
    } else {
        move_focus(handle);
    }
    return previous;
}

HWND WINAPI SetCapture(HWND handle) {
    win_thread_state& thread = win_thread();
    const HWND previous = thread.capture;
    win_window* window = win_table_live_window(handle);
    if (window == nullptr || window->state != win_window_state::alive) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (previous == handle) return previous;
    thread.capture = handle;
    win_active_backend().capture_mouse(true);
    if (previous != nullptr) send_to(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
    return previous;
}

BOOL WINAPI ReleaseCapture() {
    win_thread_state& thread = win_thread();
    const HWND previous = thread.capture;
    if (previous == nullptr) return TRUE;
    thread.capture = nullptr;
    win_active_backend().capture_mouse(false);
    send_to(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture() { return win_thread().capture; }
