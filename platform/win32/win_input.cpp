// win_input.cpp - the thread's input state (GetKeyState, GetKeyboardState), the characters keys
// type, and the pointer: position, visibility, shape, confinement.
//
// The input state follows the key and mouse messages as the program retrieves them, so it is the
// state as of the message being processed: bit 0x80 down, bit 0x01 toggled (Caps Lock, Num Lock
// and Scroll Lock on; for other keys it flips at each press). Key messages carry VK_SHIFT,
// VK_CONTROL and VK_MENU; the left and right codes are kept beside them from the scan code and
// the extended bit. Characters are those of the US layout.
//
// The pointer: positions are screen coordinates; SetCursorPos moves the pointer and the position
// it reports is the new one at once. ShowCursor keeps the platform's counter (the pointer shows
// while it is >= 0, starting at 0).
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_messages.h"
#include "platform/win32/win_window_table.h"

#include <array>
#include <cstring>

namespace {

std::array<BYTE, 256>& keys() {
    static std::array<BYTE, 256> state{};
    return state;
}

const BYTE down_bit = 0x80;
const BYTE toggle_bit = 0x01;

void press(int virtual_key, bool down) {
    BYTE& key = keys()[static_cast<size_t>(virtual_key & 0xFF)];
    if (down && (key & down_bit) == 0) key ^= toggle_bit;
    key = static_cast<BYTE>(down ? (key | down_bit) : (key & ~down_bit));
}

// The left or right twin of a modifier, from the key message's scan code and extended bit.
int sided_key(int virtual_key, LPARAM lParam) {
    const int scan = static_cast<int>((lParam >> 16) & 0xFF);
    const bool extended = ((lParam >> 24) & 1) != 0;
    switch (virtual_key) {
    case VK_SHIFT: return scan == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return 0;
    }
}

void note_mouse_buttons(WPARAM wParam) {
    const WORD flags = LOWORD(wParam);
    press(VK_LBUTTON, (flags & MK_LBUTTON) != 0);
    press(VK_RBUTTON, (flags & MK_RBUTTON) != 0);
    press(VK_MBUTTON, (flags & MK_MBUTTON) != 0);
    press(VK_XBUTTON1, (flags & MK_XBUTTON1) != 0);
    press(VK_XBUTTON2, (flags & MK_XBUTTON2) != 0);
}

bool is_down(int virtual_key) { return (keys()[static_cast<size_t>(virtual_key)] & down_bit) != 0; }
bool is_toggled(int virtual_key) { return (keys()[static_cast<size_t>(virtual_key)] & toggle_bit) != 0; }

// US layout: the unshifted and shifted characters of the punctuation keys.
struct punctuation {
    int virtual_key;
    char plain;
    char shifted;
};
const punctuation punctuation_keys[] = {
    {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
    {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},
};
const char shifted_digits[] = ")!@#$%^&*(";

}  // namespace

void win_input_note(const MSG& message) {
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
        const int virtual_key = static_cast<int>(message.wParam & 0xFF);
        press(virtual_key, down);
        if (const int sided = sided_key(virtual_key, message.lParam)) press(sided, down);
        return;
    }
    default:
        if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) note_mouse_buttons(message.wParam);
        return;
    }
}

void win_input_reset() { keys().fill(0); }

wchar_t win_input_character(UINT virtual_key) {
    const bool shift = is_down(VK_SHIFT);
    const bool control = is_down(VK_CONTROL) && !is_down(VK_MENU);
    if (virtual_key >= 'A' && virtual_key <= 'Z') {
        if (control) return static_cast<wchar_t>(virtual_key - 'A' + 1);
        const bool upper = shift != is_toggled(VK_CAPITAL);
        return static_cast<wchar_t>(upper ? virtual_key : virtual_key + ('a' - 'A'));
    }
    if (control && virtual_key != VK_RETURN && virtual_key != VK_BACK && virtual_key != VK_ESCAPE) return 0;
    if (virtual_key >= '0' && virtual_key <= '9') {
        return static_cast<wchar_t>(shift ? shifted_digits[virtual_key - '0'] : static_cast<char>(virtual_key));
    }
    if (virtual_key >= VK_NUMPAD0 && virtual_key <= VK_NUMPAD9)
        return static_cast<wchar_t>('0' + virtual_key - VK_NUMPAD0);
    switch (virtual_key) {
    case VK_SPACE: return L' ';
    case VK_RETURN: return control ? L'\n' : L'\r';
    case VK_BACK: return control ? 0x7F : 0x08;
    case VK_TAB: return L'\t';
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return L'*';
    case VK_ADD: return L'+';
    case VK_SUBTRACT: return L'-';
    case VK_DECIMAL: return L'.';
    case VK_DIVIDE: return L'/';
    default: break;
    }
    for (const punctuation& key : punctuation_keys) {
        if (key.virtual_key == static_cast<int>(virtual_key))
            return static_cast<wchar_t>(shift ? key.shifted : key.plain);
    }
    return 0;
}

SHORT WINAPI GetKeyState(int virtualKey) {
    if (virtualKey <= 0 || virtualKey > 0xFF) return 0;
    const BYTE key = keys()[static_cast<size_t>(virtualKey)];
    return static_cast<SHORT>(((key & down_bit) != 0 ? 0xFF80 : 0) | (key & toggle_bit));
}

BOOL WINAPI GetKeyboardState(BYTE* state) {
    if (state == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(state, keys().data(), keys().size());
    return TRUE;
}

BOOL WINAPI GetCursorPos(POINT* point) {
    if (point == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *point = win_active_backend().cursor_position();
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    win_active_backend().warp_cursor(x, y);
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    win_thread_state& thread = win_thread();
    const bool was_shown = thread.cursor_count >= 0;
    thread.cursor_count += show ? 1 : -1;
    const bool shown = thread.cursor_count >= 0;
    if (shown != was_shown) win_active_backend().show_cursor(shown);
    return thread.cursor_count;
}

// The shape is the platform's arrow whatever the handle; a null cursor hides the pointer until
// the next shape is set.
HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    win_thread_state& thread = win_thread();
    const HCURSOR previous = thread.cursor;
    const bool was_hidden = thread.cursor_set && previous == nullptr;
    thread.cursor = cursor;
    thread.cursor_set = true;
    const bool hidden = cursor == nullptr;
    if (hidden != was_hidden && thread.cursor_count >= 0) win_active_backend().show_cursor(!hidden);
    return previous;
}

HCURSOR WINAPI GetCursor() { return win_thread().cursor; }

BOOL WINAPI ClipCursor(const RECT* rect) {
    if (rect != nullptr && (rect->right < rect->left || rect->bottom < rect->top)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    win_active_backend().clip_cursor(rect);
    return TRUE;
}
