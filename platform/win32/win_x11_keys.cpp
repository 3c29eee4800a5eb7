// win_x11_keys.cpp - virtual-key codes to X keysyms to keycodes, tested against XQueryKeymap.
#include "platform/win32/win_x11_keys.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

struct win_x11_keyboard {
    Display* display;
};

namespace {

struct key_pair {
    KeySym first;
    KeySym second;  // the right-hand twin of a modifier, or NoSymbol
};

key_pair keysyms_of(int virtual_key) {
    if (virtual_key >= 'A' && virtual_key <= 'Z') return {static_cast<KeySym>(XK_a + (virtual_key - 'A')), NoSymbol};
    if (virtual_key >= '0' && virtual_key <= '9') return {static_cast<KeySym>(XK_0 + (virtual_key - '0')), NoSymbol};
    if (virtual_key >= 0x70 && virtual_key <= 0x7B)
        return {static_cast<KeySym>(XK_F1 + (virtual_key - 0x70)), NoSymbol};
    switch (virtual_key) {
    case 0x08: return {XK_BackSpace, NoSymbol};
    case 0x09: return {XK_Tab, NoSymbol};
    case 0x0D: return {XK_Return, XK_KP_Enter};
    case 0x10: return {XK_Shift_L, XK_Shift_R};
    case 0x11: return {XK_Control_L, XK_Control_R};
    case 0x12: return {XK_Alt_L, XK_Alt_R};
    case 0x1B: return {XK_Escape, NoSymbol};
    case 0x20: return {XK_space, NoSymbol};
    case 0x25: return {XK_Left, NoSymbol};
    case 0x26: return {XK_Up, NoSymbol};
    case 0x27: return {XK_Right, NoSymbol};
    case 0x28: return {XK_Down, NoSymbol};
    default: return {NoSymbol, NoSymbol};
    }
}

bool keycode_down(Display* display, const char (&keymap)[32], KeySym keysym) {
    if (keysym == NoSymbol) return false;
    const KeyCode code = XKeysymToKeycode(display, keysym);
    return code != 0 && (keymap[code / 8] & (1 << (code % 8))) != 0;
}

}  // namespace

void win_x11_keyboard_closer::operator()(win_x11_keyboard* keyboard) const {
    if (keyboard == nullptr) return;
    XCloseDisplay(keyboard->display);
    delete keyboard;
}

win_x11_keyboard_ptr win_x11_keyboard_open() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    return win_x11_keyboard_ptr(new win_x11_keyboard{display});
}

bool win_x11_key_down(win_x11_keyboard& keyboard, int virtual_key) {
    const key_pair keys = keysyms_of(virtual_key);
    if (keys.first == NoSymbol) return false;
    char keymap[32] = {};
    XQueryKeymap(keyboard.display, keymap);
    return keycode_down(keyboard.display, keymap, keys.first) || keycode_down(keyboard.display, keymap, keys.second);
}
