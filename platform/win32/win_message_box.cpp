// win_message_box.cpp - MessageBoxA/W: decodes text and caption (A: UTF-8 when valid, else
// Windows-1250; W: code points) and lets the back end show the box, modal to its owner, with the
// buttons of its MB_ type. A null caption reads "Error", as on the platform. An unknown button
// set or default button fails with ERROR_INVALID_PARAMETER and shows nothing.
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_message_box.h"
#include "platform/win32/win_text.h"
#include "platform/win32/win_window_geometry.h"
#include "platform/win32/win_window_table.h"

namespace {

const size_t max_text = 65535;

int show(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    if ((type & MB_TYPEMASK) > MB_CANCELTRYCONTINUE || (type & MB_DEFMASK) > MB_DEFBUTTON4) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    win_window* window = nullptr;
    if (owner != nullptr) {
        window = win_table_live_window(owner);
        if (window == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    }
    return win_active_backend().message_box(window, text, caption, type);
}

}  // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    size_t length = 0;
    if ((text != nullptr && !win_bounded_length(text, max_text, &length)) ||
        (caption != nullptr && !win_bounded_length(caption, max_text, &length))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return show(owner, win_utf8_from_ansi(text), win_utf8_from_ansi(caption != nullptr ? caption : "Error"), type);
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    size_t length = 0;
    if ((text != nullptr && !win_bounded_length(text, max_text, &length)) ||
        (caption != nullptr && !win_bounded_length(caption, max_text, &length))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return show(owner, win_utf8_from_wide(text), win_utf8_from_wide(caption != nullptr ? caption : L"Error"), type);
}

win_message_box_buttons win_message_box_buttons_of(UINT type) {
    win_message_box_buttons buttons{};
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {2, {IDOK, IDCANCEL, 0}, {"OK", "Cancel", nullptr}, 0, IDCANCEL}; break;
    case MB_ABORTRETRYIGNORE: buttons = {3, {IDABORT, IDRETRY, IDIGNORE}, {"Abort", "Retry", "Ignore"}, 0, 0}; break;
    case MB_YESNOCANCEL: buttons = {3, {IDYES, IDNO, IDCANCEL}, {"Yes", "No", "Cancel"}, 0, IDCANCEL}; break;
    case MB_YESNO: buttons = {2, {IDYES, IDNO, 0}, {"Yes", "No", nullptr}, 0, 0}; break;
    case MB_RETRYCANCEL: buttons = {2, {IDRETRY, IDCANCEL, 0}, {"Retry", "Cancel", nullptr}, 0, IDCANCEL}; break;
    case MB_CANCELTRYCONTINUE:
        buttons = {3, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, {"Cancel", "Try Again", "Continue"}, 0, IDCANCEL};
        break;
    default: buttons = {1, {IDOK, 0, 0}, {"OK", nullptr, nullptr}, 0, IDOK}; break;
    }
    const int wanted = static_cast<int>((type & MB_DEFMASK) >> 8);
    buttons.default_index = wanted < buttons.count ? wanted : 0;
    return buttons;
}
