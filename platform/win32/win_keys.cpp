// win_keys.cpp - GetAsyncKeyState, and the packing of key and mouse messages.
//
// GetAsyncKeyState: the global key state as the active back end reports it. Only bit 15 (0x8000,
// down now) is reported; bit 0 (pressed since the last call), which the platform itself calls
// unreliable, is always 0.
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_messages.h"

namespace {

// Set-1 scan codes of the letters A to Z.
const unsigned char letter_scan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                       0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

struct key_scan {
    int virtual_key;
    unsigned char scan;
    bool extended;
};

const key_scan named_scans[] = {
    {VK_ESCAPE, 0x01, false},   {VK_OEM_MINUS, 0x0C, false}, {VK_OEM_PLUS, 0x0D, false},   {VK_BACK, 0x0E, false},
    {VK_TAB, 0x0F, false},      {VK_OEM_4, 0x1A, false},     {VK_OEM_6, 0x1B, false},      {VK_RETURN, 0x1C, false},
    {VK_CONTROL, 0x1D, false},  {VK_LCONTROL, 0x1D, false},  {VK_RCONTROL, 0x1D, true},    {VK_OEM_1, 0x27, false},
    {VK_OEM_7, 0x28, false},    {VK_OEM_3, 0x29, false},     {VK_SHIFT, 0x2A, false},      {VK_LSHIFT, 0x2A, false},
    {VK_OEM_5, 0x2B, false},    {VK_OEM_COMMA, 0x33, false}, {VK_OEM_PERIOD, 0x34, false}, {VK_OEM_2, 0x35, false},
    {VK_RSHIFT, 0x36, false},   {VK_MULTIPLY, 0x37, false},  {VK_MENU, 0x38, false},       {VK_LMENU, 0x38, false},
    {VK_RMENU, 0x38, true},     {VK_SPACE, 0x39, false},     {VK_CAPITAL, 0x3A, false},    {VK_NUMLOCK, 0x45, true},
    {VK_SCROLL, 0x46, false},   {VK_NUMPAD7, 0x47, false},   {VK_NUMPAD8, 0x48, false},    {VK_NUMPAD9, 0x49, false},
    {VK_SUBTRACT, 0x4A, false}, {VK_NUMPAD4, 0x4B, false},   {VK_NUMPAD5, 0x4C, false},    {VK_NUMPAD6, 0x4D, false},
    {VK_ADD, 0x4E, false},      {VK_NUMPAD1, 0x4F, false},   {VK_NUMPAD2, 0x50, false},    {VK_NUMPAD3, 0x51, false},
    {VK_NUMPAD0, 0x52, false},  {VK_DECIMAL, 0x53, false},   {VK_F11, 0x57, false},        {VK_F12, 0x58, false},
    {VK_HOME, 0x47, true},      {VK_UP, 0x48, true},         {VK_PRIOR, 0x49, true},       {VK_LEFT, 0x4B, true},
    {VK_RIGHT, 0x4D, true},     {VK_END, 0x4F, true},        {VK_DOWN, 0x50, true},        {VK_NEXT, 0x51, true},
    {VK_INSERT, 0x52, true},    {VK_DELETE, 0x53, true},     {VK_DIVIDE, 0x35, true},      {VK_SNAPSHOT, 0x37, true},
    {VK_PAUSE, 0x45, false},    {VK_LWIN, 0x5B, true},       {VK_RWIN, 0x5C, true},        {VK_APPS, 0x5D, true},
};

}  // namespace

SHORT WINAPI GetAsyncKeyState(int virtualKey) {
    if (virtualKey <= 0 || virtualKey > 0xFF) return 0;
    return win_active_backend().key_down(virtualKey) ? static_cast<SHORT>(0x8000) : 0;
}

win_key_code win_key_code_of(int virtual_key) {
    if (virtual_key >= 'A' && virtual_key <= 'Z') return {letter_scan[virtual_key - 'A'], false};
    if (virtual_key >= '1' && virtual_key <= '9') return {static_cast<UINT>(0x02 + virtual_key - '1'), false};
    if (virtual_key == '0') return {0x0B, false};
    if (virtual_key >= VK_F1 && virtual_key <= VK_F10) return {static_cast<UINT>(0x3B + virtual_key - VK_F1), false};
    for (const key_scan& key : named_scans) {
        if (key.virtual_key == virtual_key) return {key.scan, key.extended};
    }
    return {0, false};
}

UINT win_key_message(int virtual_key, bool down, bool alt_held) {
    const bool system = alt_held || virtual_key == VK_F10 || virtual_key == VK_MENU;
    if (system) return down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    return down ? WM_KEYDOWN : WM_KEYUP;
}

LPARAM win_key_lparam(UINT scan, bool extended, bool alt_held, bool previously_down, bool released) {
    DWORD bits = 1u | ((scan & 0xFFu) << 16);
    if (extended) bits |= 1u << 24;
    if (alt_held) bits |= 1u << 29;
    if (previously_down) bits |= 1u << 30;
    if (released) bits |= 1u << 31;
    return static_cast<LPARAM>(bits);
}

LPARAM win_point_lparam(int x, int y) { return MAKELPARAM(static_cast<SHORT>(x), static_cast<SHORT>(y)); }

WPARAM win_wheel_wparam(WPARAM keys, int delta) {
    return MAKEWPARAM(LOWORD(keys), static_cast<WORD>(static_cast<SHORT>(delta)));
}
