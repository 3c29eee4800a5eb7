// win_x11_keys.cpp - the X server's key state, kept by raw key events; virtual-key codes to X
// keysyms to keycodes.
//
// A query must not cost a round trip to the server at every frame: the keymap is fetched once,
// then kept up to date from the XInput 2 raw key events of the root window, which the server
// sends whichever window has the focus (and despite grabs, from version 2.1 on). A query only
// reads what has arrived. A server without XInput 2.1 is asked for its keymap at every query.
#include "platform/win32/win_x11_keys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

struct win_x11_keyboard {
    Display* display;
    int raw_events_opcode;  // the XInput extension's opcode, or -1 when raw key events are not available
    char keymap[32];        // one bit per keycode, as XQueryKeymap reports it
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
    if (virtual_key >= 0x7C && virtual_key <= 0x87)
        return {static_cast<KeySym>(XK_F13 + (virtual_key - 0x7C)), NoSymbol};
    if (virtual_key >= 0x60 && virtual_key <= 0x69)
        return {static_cast<KeySym>(XK_KP_0 + (virtual_key - 0x60)), NoSymbol};
    switch (virtual_key) {
    case 0x08: return {XK_BackSpace, NoSymbol};
    case 0x09: return {XK_Tab, NoSymbol};
    case 0x0C: return {XK_Clear, XK_KP_Begin};
    case 0x0D: return {XK_Return, XK_KP_Enter};
    case 0x10: return {XK_Shift_L, XK_Shift_R};
    case 0x11: return {XK_Control_L, XK_Control_R};
    case 0x12: return {XK_Alt_L, XK_Alt_R};
    case 0x13: return {XK_Pause, NoSymbol};
    case 0x14: return {XK_Caps_Lock, NoSymbol};
    case 0x1B: return {XK_Escape, NoSymbol};
    case 0x20: return {XK_space, NoSymbol};
    case 0x21: return {XK_Prior, NoSymbol};
    case 0x22: return {XK_Next, NoSymbol};
    case 0x23: return {XK_End, NoSymbol};
    case 0x24: return {XK_Home, NoSymbol};
    case 0x25: return {XK_Left, NoSymbol};
    case 0x26: return {XK_Up, NoSymbol};
    case 0x27: return {XK_Right, NoSymbol};
    case 0x28: return {XK_Down, NoSymbol};
    case 0x29: return {XK_Select, NoSymbol};
    case 0x2A: return {XK_Print, NoSymbol};
    case 0x2B: return {XK_Execute, NoSymbol};
    case 0x2C: return {XK_Print, XK_Sys_Req};
    case 0x2D: return {XK_Insert, NoSymbol};
    case 0x2E: return {XK_Delete, NoSymbol};
    case 0x2F: return {XK_Help, NoSymbol};
    case 0x5B: return {XK_Super_L, NoSymbol};
    case 0x5C: return {XK_Super_R, NoSymbol};
    case 0x5D: return {XK_Menu, NoSymbol};
    case 0x6A: return {XK_KP_Multiply, NoSymbol};
    case 0x6B: return {XK_KP_Add, NoSymbol};
    case 0x6C: return {XK_KP_Separator, NoSymbol};
    case 0x6D: return {XK_KP_Subtract, NoSymbol};
    case 0x6E: return {XK_KP_Decimal, NoSymbol};
    case 0x6F: return {XK_KP_Divide, NoSymbol};
    case 0x90: return {XK_Num_Lock, NoSymbol};
    case 0x91: return {XK_Scroll_Lock, NoSymbol};
    case 0xA0: return {XK_Shift_L, NoSymbol};
    case 0xA1: return {XK_Shift_R, NoSymbol};
    case 0xA2: return {XK_Control_L, NoSymbol};
    case 0xA3: return {XK_Control_R, NoSymbol};
    case 0xA4: return {XK_Alt_L, NoSymbol};
    case 0xA5: return {XK_Alt_R, XK_ISO_Level3_Shift};
    case 0xBA: return {XK_semicolon, NoSymbol};
    case 0xBB: return {XK_equal, NoSymbol};
    case 0xBC: return {XK_comma, NoSymbol};
    case 0xBD: return {XK_minus, NoSymbol};
    case 0xBE: return {XK_period, NoSymbol};
    case 0xBF: return {XK_slash, NoSymbol};
    case 0xC0: return {XK_grave, NoSymbol};
    case 0xDB: return {XK_bracketleft, NoSymbol};
    case 0xDC: return {XK_backslash, NoSymbol};
    case 0xDD: return {XK_bracketright, NoSymbol};
    case 0xDE: return {XK_apostrophe, NoSymbol};
    default: return {NoSymbol, NoSymbol};
    }
}

bool keycode_down(Display* display, const char (&keymap)[32], KeySym keysym) {
    if (keysym == NoSymbol) return false;
    const KeyCode code = XKeysymToKeycode(display, keysym);
    return code != 0 && (keymap[code / 8] & (1 << (code % 8))) != 0;
}

// Asks for raw key presses and releases of every keyboard; the extension's opcode, or -1.
int select_raw_key_events(Display* display) {
    int opcode = 0;
    int first_event = 0;
    int first_error = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &first_event, &first_error)) return -1;
    int major = 2;
    int minor = 1;
    if (XIQueryVersion(display, &major, &minor) != Success || (major == 2 && minor < 1)) return -1;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    return XISelectEvents(display, DefaultRootWindow(display), &mask, 1) == Success ? opcode : -1;
}

void apply(win_x11_keyboard& keyboard, XEvent& event) {
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        return;
    }
    XGenericEventCookie& cookie = event.xcookie;
    if (cookie.type != GenericEvent || cookie.extension != keyboard.raw_events_opcode) return;
    if (!XGetEventData(keyboard.display, &cookie)) return;
    const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
    const int code = raw->detail;
    if (code >= 0 && code < 256) {
        const char bit = static_cast<char>(1 << (code % 8));
        if (cookie.evtype == XI_RawKeyPress) keyboard.keymap[code / 8] |= bit;
        if (cookie.evtype == XI_RawKeyRelease) keyboard.keymap[code / 8] &= static_cast<char>(~bit);
    }
    XFreeEventData(keyboard.display, &cookie);
}

// Brings the keymap up to date: applies the raw key events that have arrived, without waiting.
void refresh_keymap(win_x11_keyboard& keyboard) {
    if (keyboard.raw_events_opcode < 0) {
        XQueryKeymap(keyboard.display, keyboard.keymap);
        return;
    }
    while (XPending(keyboard.display) > 0) {
        XEvent event;
        XNextEvent(keyboard.display, &event);
        apply(keyboard, event);
    }
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
    win_x11_keyboard_ptr keyboard(new win_x11_keyboard{display, select_raw_key_events(display), {}});
    // Fetched after the selection: events that overtake the reply are older than the keymap it
    // carries, and applying them afterwards leaves each key as its latest event set it.
    XQueryKeymap(display, keyboard->keymap);
    return keyboard;
}

bool win_x11_key_down(win_x11_keyboard& keyboard, int virtual_key) {
    const key_pair keys = keysyms_of(virtual_key);
    if (keys.first == NoSymbol) return false;
    refresh_keymap(keyboard);
    return keycode_down(keyboard.display, keyboard.keymap, keys.first) ||
           keycode_down(keyboard.display, keyboard.keymap, keys.second);
}
