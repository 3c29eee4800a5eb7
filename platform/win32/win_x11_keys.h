// win_x11_keys.h - the global keyboard state of an X server, for GetAsyncKeyState.
//
// The server's keymap reports the physical state of every key whichever window has the focus,
// which SDL's own keyboard state (focused window only) cannot. It is fetched once and then kept
// by raw key events, so that a query costs no round trip to the server.
//
// DOES NOT: know about SDL or windows; it keeps its own connection to the X server.
#pragma once

#include <memory>

struct win_x11_keyboard;
struct win_x11_keyboard_closer {
    void operator()(win_x11_keyboard* keyboard) const;
};
using win_x11_keyboard_ptr = std::unique_ptr<win_x11_keyboard, win_x11_keyboard_closer>;

// Connects to the X server named by DISPLAY; null when there is none.
win_x11_keyboard_ptr win_x11_keyboard_open();

// Whether the key with this virtual-key code (letters, digits, the function, editing, navigation,
// keypad, lock and punctuation keys of the US layout, and the modifiers, each side apart too) is
// down now; false for codes without a key (mouse buttons among them).
bool win_x11_key_down(win_x11_keyboard& keyboard, int virtual_key);
