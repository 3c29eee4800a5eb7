// win_windows.cpp - window classes and windows: registration (A and W), creation with its
// messages, showing, destruction, titles, window longs and extra bytes, and handing frames to
// the back end.
//
// Creation sends, in order, WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE and WM_CREATE (whose
// lParam is a CREATESTRUCTA or CREATESTRUCTW as the class was registered); WM_NCCREATE returning
// FALSE or WM_CREATE returning -1 destroys the window and CreateWindowEx returns NULL. WM_SIZE and
// WM_MOVE come at the end of the first show, after WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE and
// WM_SETFOCUS; the window is then invalid, so WM_PAINT follows from the message loop.
// CW_USEDEFAULT centres the window on the display, and as a width gives 800 x 600.
//
// Failures set GetLastError: ERROR_INVALID_WINDOW_HANDLE for unknown or destroyed windows,
// ERROR_CLASS_DOES_NOT_EXIST / ERROR_CLASS_ALREADY_EXISTS / ERROR_CLASS_HAS_WINDOWS for classes,
// ERROR_INVALID_PARAMETER for bad records and strings, ERROR_INVALID_INDEX for window longs.
//
// DOES NOT: support child windows (a WS_CHILD window is a top-level window of its own) or menus;
// minimise or maximise (SW_MINIMIZE and SW_MAXIMIZE show the window as it is).
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_capture.h"
#include "platform/win32/win_shared_frame.h"
#include "platform/win32/win_surface.h"
#include "platform/win32/win_text.h"
#include "platform/win32/win_window_geometry.h"
#include "platform/win32/win_window_table.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

const int default_width = 800;
const int default_height = 600;
const int max_extra_bytes = 40000;

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

win_window* live_or_fail(HWND handle) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

// A class record from either form of WNDCLASSEX, names already checked and converted.
ATOM register_class(WNDCLASSEXA fields, const std::string& name, const std::string& menu, bool menu_is_atom,
                    bool unicode) {
    if (fields.lpfnWndProc == nullptr || fields.cbClsExtra < 0 || fields.cbWndExtra < 0 ||
        fields.cbClsExtra > max_extra_bytes || fields.cbWndExtra > max_extra_bytes || name.empty()) {
        return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    }
    fields.cbSize = sizeof(WNDCLASSEXA);
    fields.lpszClassName = name.c_str();
    if (!menu_is_atom) fields.lpszMenuName = menu.empty() ? nullptr : menu.c_str();
    const win_class* record = win_table_add_class(fields);
    if (record == nullptr) return static_cast<ATOM>(fail(ERROR_CLASS_ALREADY_EXISTS));
    const_cast<win_class*>(record)->unicode = unicode;
    return record->atom;
}

bool ansi_name(LPCSTR text, size_t limit, std::string* out) {
    size_t length = 0;
    if (!win_bounded_length(text, limit, &length)) return false;
    *out = std::string(text, length);
    return true;
}

bool wide_name(LPCWSTR text, size_t limit, std::string* out) {
    size_t length = 0;
    if (!win_bounded_length(text, limit, &length)) return false;
    *out = win_utf8_from_wide(text, length);
    return true;
}

ATOM register_ansi(const WNDCLASSEXA& fields) {
    std::string name, menu;
    if (win_is_atom(fields.lpszClassName) || !ansi_name(fields.lpszClassName, win_max_class_name, &name)) {
        return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    }
    const bool menu_atom = win_is_atom(fields.lpszMenuName);
    if (!menu_atom && !ansi_name(fields.lpszMenuName, win_max_class_name, &menu)) {
        return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    }
    return register_class(fields, name, menu, menu_atom, false);
}

ATOM register_wide(const WNDCLASSEXW& wide) {
    std::string name, menu;
    if (win_is_atom(reinterpret_cast<LPCSTR>(wide.lpszClassName)) ||
        !wide_name(wide.lpszClassName, win_max_class_name, &name)) {
        return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    }
    const bool menu_atom = win_is_atom(reinterpret_cast<LPCSTR>(wide.lpszMenuName));
    if (!menu_atom && !wide_name(wide.lpszMenuName, win_max_class_name, &menu)) {
        return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    }
    WNDCLASSEXA fields{};
    fields.style = wide.style;
    fields.lpfnWndProc = wide.lpfnWndProc;
    fields.cbClsExtra = wide.cbClsExtra;
    fields.cbWndExtra = wide.cbWndExtra;
    fields.hInstance = wide.hInstance;
    fields.hIcon = wide.hIcon;
    fields.hCursor = wide.hCursor;
    fields.hbrBackground = wide.hbrBackground;
    fields.lpszMenuName = menu_atom ? reinterpret_cast<LPCSTR>(wide.lpszMenuName) : nullptr;
    fields.hIconSm = wide.hIconSm;
    return register_class(fields, name, menu, menu_atom, true);
}

// A class name as the window table looks it up (an atom, or UTF-8 / ANSI text); false when the
// text is unreadable.
bool class_key(LPCSTR name, std::string* text, LPCSTR* key) {
    if (win_is_atom(name)) {
        *key = name;
        return name != nullptr;
    }
    if (!ansi_name(name, win_max_class_name, text)) return false;
    *key = text->c_str();
    return true;
}

bool class_key(LPCWSTR name, std::string* text, LPCSTR* key) {
    if (win_is_atom(reinterpret_cast<LPCSTR>(name))) {
        *key = reinterpret_cast<LPCSTR>(name);
        return name != nullptr;
    }
    if (!wide_name(name, win_max_class_name, text)) return false;
    *key = text->c_str();
    return true;
}

const win_class* find_class_or_fail(LPCSTR key) {
    const win_class* found = win_table_find_class(key);
    if (found == nullptr) SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return found;
}

// What a create call gave, in both text forms, for the CREATESTRUCT of either kind.
struct create_request {
    DWORD ex_style;
    const win_class* window_class;
    std::string title;        // as given (ANSI bytes, or UTF-8 from wide)
    std::string title_utf8;   // as shown
    LPCSTR name_a, class_a;   // for CREATESTRUCTA
    LPCWSTR name_w, class_w;  // for CREATESTRUCTW
    DWORD style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
};

void place(win_window& window, const create_request& request) {
    int width = request.width, height = request.height;
    if (width == CW_USEDEFAULT) {
        width = default_width;
        height = default_height;
    }
    width = std::max(0, width);
    height = std::max(0, height);
    int x = request.x, y = request.y;
    if (x == CW_USEDEFAULT) {
        const win_display_mode mode = win_desktop_mode();
        x = std::max(0, (mode.width - width) / 2);
        y = std::max(0, (mode.height - height) / 2);
    }
    window.outer = RECT{x, y, x + width, y + height};
    window.width = std::max(0, request.width);
    window.height = std::max(0, request.height);
    int client_width = 0, client_height = 0;
    win_client_size_of(window, &client_width, &client_height);
    window.client_width = client_width;
    window.client_height = client_height;
}

// Ends a window whose creation was refused by its procedure.
void abort_creation(win_window& window, bool created) {
    window.state = win_window_state::destroying;
    win_active_backend().close_window(window);
    if (created) win_send(window, WM_DESTROY, 0, 0);
    win_send(window, WM_NCDESTROY, 0, 0);
    window.state = win_window_state::destroyed;
}

HWND create_window(const create_request& request) {
    if (request.parent != nullptr && win_table_live_window(request.parent) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const win_class* window_class = request.window_class;
    win_window& window = win_table_add_window();
    window.window_class = window_class;
    window.procedure = window_class->fields.lpfnWndProc;
    window.unicode = window_class->unicode;
    window.title = request.title;
    window.title_utf8 = request.title_utf8;
    window.ex_style = request.ex_style;
    window.style = request.style;
    window.x = request.x;
    window.y = request.y;
    window.parent = request.parent;
    window.menu = request.menu;
    window.id = (request.style & WS_CHILD) != 0 ? reinterpret_cast<LONG_PTR>(request.menu) : 0;
    window.instance = request.instance;
    window.param = request.param;
    window.extra.assign(static_cast<size_t>(window_class->fields.cbWndExtra), 0);
    place(window, request);
    if (!win_active_backend().open_window(window)) {
        win_table_remove_window(window.handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const HWND handle = window.handle;

    MINMAXINFO limits{};
    const win_display_mode mode = win_desktop_mode();
    limits.ptMaxSize = POINT{mode.width, mode.height};
    limits.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    limits.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    const MINMAXINFO defaults = limits;
    win_send(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    const bool limited =
        limits.ptMinTrackSize.x != defaults.ptMinTrackSize.x || limits.ptMinTrackSize.y != defaults.ptMinTrackSize.y ||
        limits.ptMaxTrackSize.x != defaults.ptMaxTrackSize.x || limits.ptMaxTrackSize.y != defaults.ptMaxTrackSize.y;
    if (limited && win_table_live_window(handle) != nullptr) {
        // The procedure's tracking limits (outer sizes) bound what the user can resize the window to.
        const RECT insets = win_frame_insets(window.style, window.ex_style, false);
        const int frame_width = insets.left + insets.right, frame_height = insets.top + insets.bottom;
        win_active_backend().limit_size(window, limits.ptMinTrackSize.x - frame_width,
                                        limits.ptMinTrackSize.y - frame_height, limits.ptMaxTrackSize.x - frame_width,
                                        limits.ptMaxTrackSize.y - frame_height);
    }

    CREATESTRUCTA create_a{request.param,  request.instance, request.menu,
                           request.parent, request.height,   request.width,
                           request.y,      request.x,        static_cast<LONG>(request.style),
                           request.name_a, request.class_a,  request.ex_style};
    CREATESTRUCTW create_w{request.param,  request.instance, request.menu,
                           request.parent, request.height,   request.width,
                           request.y,      request.x,        static_cast<LONG>(request.style),
                           request.name_w, request.class_w,  request.ex_style};
    const LPARAM create = window.unicode ? reinterpret_cast<LPARAM>(&create_w) : reinterpret_cast<LPARAM>(&create_a);
    if (win_send(window, WM_NCCREATE, 0, create) == FALSE) {
        if (win_window* still = win_table_live_window(handle)) abort_creation(*still, false);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (win_table_live_window(handle) == nullptr) return nullptr;
    RECT calc = window.outer;
    win_send(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&calc));
    if (win_send(window, WM_CREATE, 0, create) == -1) {
        if (win_window* still = win_table_live_window(handle)) abort_creation(*still, true);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (win_table_live_window(handle) == nullptr) return nullptr;  // destroyed by its own procedure
    if ((request.style & WS_VISIBLE) != 0) ShowWindow(handle, SW_SHOW);
    return handle;
}

}  // namespace

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* fields) {
    if (fields == nullptr || fields->cbSize != sizeof(WNDCLASSEXA))
        return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    return register_ansi(*fields);
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* fields) {
    if (fields == nullptr || fields->cbSize != sizeof(WNDCLASSEXW))
        return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    return register_wide(*fields);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* c) {
    if (c == nullptr) return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    const WNDCLASSEXA fields{sizeof(WNDCLASSEXA), c->style,        c->lpfnWndProc,   c->cbClsExtra,
                             c->cbWndExtra,       c->hInstance,    c->hIcon,         c->hCursor,
                             c->hbrBackground,    c->lpszMenuName, c->lpszClassName, nullptr};
    return register_ansi(fields);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* c) {
    if (c == nullptr) return static_cast<ATOM>(fail(ERROR_INVALID_PARAMETER));
    const WNDCLASSEXW fields{sizeof(WNDCLASSEXW), c->style,        c->lpfnWndProc,   c->cbClsExtra,
                             c->cbWndExtra,       c->hInstance,    c->hIcon,         c->hCursor,
                             c->hbrBackground,    c->lpszMenuName, c->lpszClassName, nullptr};
    return register_wide(fields);
}

namespace {

template <typename Char>
BOOL unregister(const Char* name) {
    std::string text;
    LPCSTR key = nullptr;
    if (!class_key(name, &text, &key)) return fail(ERROR_INVALID_PARAMETER);
    const win_class* found = find_class_or_fail(key);
    if (found == nullptr) return FALSE;
    if (win_table_class_window_count(found) > 0) return fail(ERROR_CLASS_HAS_WINDOWS);
    win_table_remove_class(found);
    return TRUE;
}

// What CreateWindowExA and CreateWindowExW take beyond the texts, in their order.
struct create_arguments {
    DWORD ex_style, style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
};

HWND create_window(create_request& request, const create_arguments& a) {
    request.ex_style = a.ex_style;
    request.style = a.style;
    request.x = a.x;
    request.y = a.y;
    request.width = a.width;
    request.height = a.height;
    request.parent = a.parent;
    request.menu = a.menu;
    request.instance = a.instance;
    request.param = a.param;
    return create_window(request);
}

}  // namespace

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) { return unregister(className); }
BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE) { return unregister(className); }

BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR className, WNDCLASSEXA* out) {
    std::string text;
    LPCSTR key = nullptr;
    if (out == nullptr || !class_key(className, &text, &key)) return fail(ERROR_INVALID_PARAMETER);
    const win_class* found = find_class_or_fail(key);
    if (found == nullptr) return FALSE;
    const UINT size = out->cbSize;
    *out = found->fields;
    out->cbSize = size;
    out->lpszClassName = className;
    out->lpszMenuName = nullptr;
    return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR className, WNDCLASSEXW* out) {
    std::string text;
    LPCSTR key = nullptr;
    if (out == nullptr || !class_key(className, &text, &key)) return fail(ERROR_INVALID_PARAMETER);
    const win_class* found = find_class_or_fail(key);
    if (found == nullptr) return FALSE;
    const WNDCLASSEXA& f = found->fields;
    *out = WNDCLASSEXW{out->cbSize, f.style,   f.lpfnWndProc,   f.cbClsExtra, f.cbWndExtra, f.hInstance,
                       f.hIcon,     f.hCursor, f.hbrBackground, nullptr,      className,    f.hIconSm};
    return TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* out) {
    WNDCLASSEXA fields{};
    if (out == nullptr) return fail(ERROR_INVALID_PARAMETER);
    if (!GetClassInfoExA(instance, className, &fields)) return FALSE;
    *out = WNDCLASSA{fields.style, fields.lpfnWndProc, fields.cbClsExtra,    fields.cbWndExtra, fields.hInstance,
                     fields.hIcon, fields.hCursor,     fields.hbrBackground, nullptr,           className};
    return TRUE;
}

BOOL WINAPI GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* out) {
    WNDCLASSEXW fields{};
    if (out == nullptr) return fail(ERROR_INVALID_PARAMETER);
    if (!GetClassInfoExW(instance, className, &fields)) return FALSE;
    *out = WNDCLASSW{fields.style, fields.lpfnWndProc, fields.cbClsExtra,    fields.cbWndExtra, fields.hInstance,
                     fields.hIcon, fields.hCursor,     fields.hbrBackground, nullptr,           className};
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    std::string class_text;
    LPCSTR key = nullptr;
    size_t title_length = 0;
    if (!class_key(className, &class_text, &key) ||
        (windowName != nullptr && !win_bounded_length(windowName, win_max_title, &title_length))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const win_class* window_class = find_class_or_fail(key);
    if (window_class == nullptr) return nullptr;
    create_request request{};
    request.title = std::string(windowName != nullptr ? windowName : "", title_length);
    request.title_utf8 = win_utf8_from_ansi(request.title);
    std::wstring wide_title, wide_class;
    if (window_class->unicode) {
        wide_title = win_wide_from_utf8(request.title_utf8);
        wide_class = win_is_atom(className) ? std::wstring() : win_wide_from_utf8(win_utf8_from_ansi(class_text));
    }
    request.name_a = windowName;
    request.class_a = className;
    request.name_w = windowName != nullptr ? wide_title.c_str() : nullptr;
    request.class_w = win_is_atom(className) ? reinterpret_cast<LPCWSTR>(className) : wide_class.c_str();
    request.window_class = window_class;
    return create_window(request, {exStyle, style, x, y, width, height, parent, menu, instance, param});
}

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    std::string class_text;
    LPCSTR key = nullptr;
    size_t title_length = 0;
    if (!class_key(className, &class_text, &key) ||
        (windowName != nullptr && !win_bounded_length(windowName, win_max_title, &title_length))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const win_class* window_class = find_class_or_fail(key);
    if (window_class == nullptr) return nullptr;
    create_request request{};
    request.title_utf8 = win_utf8_from_wide(windowName != nullptr ? windowName : L"", title_length);
    request.title = request.title_utf8;
    const bool atom = win_is_atom(reinterpret_cast<LPCSTR>(className));
    request.name_a = windowName != nullptr ? request.title.c_str() : nullptr;
    request.class_a = atom ? reinterpret_cast<LPCSTR>(className) : class_text.c_str();
    request.name_w = windowName;
    request.class_w = className;
    request.window_class = window_class;
    return create_window(request, {exStyle, style, x, y, width, height, parent, menu, instance, param});
}

BOOL WINAPI IsWindow(HWND handle) { return win_table_live_window(handle) != nullptr ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND handle) {
    const win_window* window = win_table_live_window(handle);
    return window != nullptr && window->visible ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND handle, int showCommand) {
    win_window* window = live_or_fail(handle);
    if (window == nullptr) return FALSE;
    const bool was_visible = window->visible;
    if (showCommand == SW_HIDE) {
        if (was_visible) {
            win_send(*window, WM_SHOWWINDOW, FALSE, 0);
            if (win_table_live_window(handle) == nullptr) return TRUE;
            win_active_backend().show_window(*window, false);
            window->visible = false;
            win_release_window_state(*window);
        }
        return was_visible ? TRUE : FALSE;
    }
    if (!was_visible) {
        win_send(*window, WM_SHOWWINDOW, TRUE, 0);
        if (win_table_live_window(handle) == nullptr) return FALSE;
        window->visible = true;
        win_active_backend().show_window(*window, true);
    }
    const bool activates = showCommand != SW_SHOWNOACTIVATE && showCommand != SW_SHOWNA &&
                           showCommand != SW_SHOWMINNOACTIVE && showCommand != SW_MINIMIZE &&
                           showCommand != SW_FORCEMINIMIZE && (window->ex_style & WS_EX_NOACTIVATE) == 0;
    if (activates) win_activate(*window);
    if (win_table_live_window(handle) == nullptr) return was_visible ? TRUE : FALSE;
    if (!window->shown_once) {
        window->shown_once = true;
        win_send(*window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->client_width, window->client_height));
        if (win_table_live_window(handle) == nullptr) return was_visible ? TRUE : FALSE;
        const POINT origin = win_client_origin(*window);
        win_send(*window, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
        if (win_table_live_window(handle) == nullptr) return was_visible ? TRUE : FALSE;
        win_invalidate(*window, true);
    }
    return was_visible ? TRUE : FALSE;
}

// Hides the window and lets it go of activation, focus, capture and timers, then sends
// WM_DESTROY and WM_NCDESTROY (synchronously, as the platform does) and marks it destroyed. A
// window in the middle of destruction cannot be destroyed again.
BOOL WINAPI DestroyWindow(HWND handle) {
    win_window* window = live_or_fail(handle);
    if (window == nullptr) return FALSE;
    if (window->state != win_window_state::alive) return fail(ERROR_INVALID_WINDOW_HANDLE);
    window->state = win_window_state::destroying;
    win_release_window_state(*window);
    win_kill_window_timers(handle);
    win_active_backend().close_window(*window);
    window->visible = false;
    win_send(*window, WM_DESTROY, 0, 0);
    win_send(*window, WM_NCDESTROY, 0, 0);
    window->state = win_window_state::destroyed;
    return TRUE;
}

namespace {

void set_title(win_window& window, std::string given, std::string utf8) {
    window.title = std::move(given);
    window.title_utf8 = std::move(utf8);
    win_active_backend().retitle_window(window);
}

}  // namespace

BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text) {
    win_window* window = live_or_fail(handle);
    if (window == nullptr) return FALSE;
    size_t length = 0;
    if (text != nullptr && !win_bounded_length(text, win_max_title, &length)) return fail(ERROR_INVALID_PARAMETER);
    std::string given(text != nullptr ? text : "", length);
    std::string utf8 = win_utf8_from_ansi(given);
    set_title(*window, std::move(given), std::move(utf8));
    return TRUE;
}

BOOL WINAPI SetWindowTextW(HWND handle, LPCWSTR text) {
    win_window* window = live_or_fail(handle);
    if (window == nullptr) return FALSE;
    size_t length = 0;
    if (text != nullptr && !win_bounded_length(text, win_max_title, &length)) return fail(ERROR_INVALID_PARAMETER);
    std::string utf8 = win_utf8_from_wide(text != nullptr ? text : L"", length);
    set_title(*window, utf8, utf8);
    return TRUE;
}

int WINAPI GetWindowTextA(HWND handle, LPSTR text, int size) {
    const win_window* window = live_or_fail(handle);
    if (window == nullptr) return 0;
    if (text == nullptr || size <= 0) return fail(ERROR_INVALID_PARAMETER);
    const size_t count = std::min(window->title.size(), static_cast<size_t>(size - 1));
    std::memcpy(text, window->title.data(), count);
    text[count] = '\0';
    return static_cast<int>(count);
}

int WINAPI GetWindowTextW(HWND handle, LPWSTR text, int size) {
    const win_window* window = live_or_fail(handle);
    if (window == nullptr) return 0;
    if (text == nullptr || size <= 0) return fail(ERROR_INVALID_PARAMETER);
    const std::wstring wide = win_wide_from_utf8(window->title_utf8);
    const size_t count = std::min(wide.size(), static_cast<size_t>(size - 1));
    std::wmemcpy(text, wide.data(), count);
    text[count] = L'\0';
    return static_cast<int>(count);
}

int WINAPI GetWindowTextLengthA(HWND handle) {
    const win_window* window = live_or_fail(handle);
    return window != nullptr ? static_cast<int>(window->title.size()) : 0;
}

int WINAPI GetWindowTextLengthW(HWND handle) {
    const win_window* window = live_or_fail(handle);
    return window != nullptr ? static_cast<int>(win_wide_from_utf8(window->title_utf8).size()) : 0;
}

namespace {

// Reads or writes one window long; `size` is 4 (Get/SetWindowLong) or 8 (the Ptr forms). Style
// changes keep the client area where it is (the frame is not redrawn).
LONG_PTR window_long(HWND handle, int index, size_t size, const LONG_PTR* value) {
    win_window* window = live_or_fail(handle);
    if (window == nullptr) return 0;
    LONG_PTR previous = 0;
    if (index >= 0) {
        if (static_cast<size_t>(index) + size > window->extra.size()) return fail(ERROR_INVALID_INDEX);
        unsigned char* at = window->extra.data() + index;
        if (size == 4) {
            LONG old = 0;
            std::memcpy(&old, at, 4);
            previous = old;
            if (value != nullptr) {
                const LONG next = static_cast<LONG>(*value);
                std::memcpy(at, &next, 4);
            }
        } else {
            std::memcpy(&previous, at, sizeof previous);
            if (value != nullptr) std::memcpy(at, value, sizeof *value);
        }
        SetLastError(ERROR_SUCCESS);
        return previous;
    }
    switch (index) {
    case GWL_STYLE:
        // WS_VISIBLE reads as the window is now.
        previous = static_cast<LONG>((window->style & ~static_cast<DWORD>(WS_VISIBLE)) |
                                     (window->visible ? static_cast<DWORD>(WS_VISIBLE) : 0u));
        if (value != nullptr) window->style = static_cast<DWORD>(*value);
        break;
    case GWL_EXSTYLE:
        previous = static_cast<LONG>(window->ex_style);
        if (value != nullptr) window->ex_style = static_cast<DWORD>(*value);
        break;
    case GWLP_USERDATA:
        previous = window->user_data;
        if (value != nullptr) window->user_data = *value;
        break;
    case GWLP_ID:
        previous = window->id;
        if (value != nullptr) window->id = *value;
        break;
    case GWLP_HINSTANCE:
        previous = reinterpret_cast<LONG_PTR>(window->instance);
        if (value != nullptr) window->instance = reinterpret_cast<HINSTANCE>(*value);
        break;
    case GWLP_HWNDPARENT:
        if (value != nullptr) return fail(ERROR_INVALID_PARAMETER);
        previous = reinterpret_cast<LONG_PTR>(window->parent);
        break;
    case GWLP_WNDPROC:
        if (size != sizeof(LONG_PTR)) return fail(ERROR_INVALID_INDEX);  // a procedure does not fit in 32 bits
        if (value != nullptr && *value == 0) return fail(ERROR_INVALID_PARAMETER);
        previous = reinterpret_cast<LONG_PTR>(window->procedure);
        if (value != nullptr) window->procedure = reinterpret_cast<WNDPROC>(*value);
        break;
    default: return fail(ERROR_INVALID_INDEX);
    }
    SetLastError(ERROR_SUCCESS);
    return previous;
}

}  // namespace

LONG WINAPI GetWindowLongA(HWND window, int index) { return static_cast<LONG>(window_long(window, index, 4, nullptr)); }
LONG WINAPI GetWindowLongW(HWND window, int index) { return GetWindowLongA(window, index); }
LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
    const LONG_PTR wide = value;
    return static_cast<LONG>(window_long(window, index, 4, &wide));
}
LONG WINAPI SetWindowLongW(HWND window, int index, LONG value) { return SetWindowLongA(window, index, value); }
LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) { return window_long(window, index, 8, nullptr); }
LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index) { return window_long(window, index, 8, nullptr); }
LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    return window_long(window, index, 8, &value);
}
LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    return window_long(window, index, 8, &value);
}

BOOL WINAPI GetClientRect(HWND handle, RECT* rect) {
    const win_window* window = live_or_fail(handle);
    if (window == nullptr) return FALSE;
    if (rect == nullptr) return fail(ERROR_INVALID_PARAMETER);
    *rect = RECT{0, 0, window->client_width, window->client_height};
    return TRUE;
}

win_display_mode win_desktop_mode() { return win_active_backend().desktop_mode(); }

std::vector<win_display_mode> win_display_modes() {
    std::vector<win_display_mode> modes = win_active_backend().display_modes();
    modes.push_back(win_desktop_mode());
    const auto key = [](const win_display_mode& m) { return std::tuple(m.width, m.height, m.refresh_hz); };
    std::sort(modes.begin(), modes.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    modes.erase(std::unique(modes.begin(), modes.end(), [&](const auto& a, const auto& b) { return key(a) == key(b); }),
                modes.end());
    return modes;
}

bool win_set_present_paced(HWND handle, bool paced) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr) return false;
    window->present_paced = paced;
    return true;
}

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
