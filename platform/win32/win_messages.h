// win_messages.h - the process's message queue and what feeds it, as the window layer and its
// back ends use them.
//
// One queue for the whole process (the programs are single-threaded): posted messages in FIFO
// order, plus the quit flag that PostQuitMessage sets, plus the messages made when asked for:
// WM_PAINT for invalid windows and WM_TIMER for due timers.
#pragma once

#include <windows.h>

// Appends a message to the queue (hwnd may be null: a message for the thread itself).
void win_post_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Empties the queue, clears the quit flag, the timers and the input state.
void win_messages_reset();
// Milliseconds of the monotonic clock, truncated to 32 bits (message times, timers).
DWORD win_milliseconds();

// The thread's input state as of the message being processed: updated from key and mouse
// messages as they are retrieved (GetKeyState, GetKeyboardState).
void win_input_note(const MSG& message);
void win_input_reset();
// The character a key-down message types (US layout, with the Shift, Caps Lock and Ctrl state
// of the input state), or 0 for keys that type none.
wchar_t win_input_character(UINT virtual_key);

// A due timer's WM_TIMER for a window the filter lets through (`thread_only`: only timers
// without a window); when `remove`, the timer's next period starts.
bool win_timer_message(HWND filter, bool thread_only, bool remove, MSG* message);
// Milliseconds until the next timer is due (0 when one is due), or -1 without timers.
int win_timer_wait();
// Whether `procedure` belongs to a timer that exists.
bool win_timer_procedure_known(TIMERPROC procedure);
void win_timers_reset();

// Key messages as the back ends make them. The set-1 scan code of a virtual key, and whether it
// is an extended key (arrows, Insert/Delete/Home/End/Page keys, the right Ctrl and Alt, ...);
// scan 0 for keys without one.
struct win_key_code {
    UINT scan;
    bool extended;
};
win_key_code win_key_code_of(int virtual_key);
// WM_SYSKEYDOWN / WM_SYSKEYUP while Alt is held and for F10 and Alt itself, else WM_KEYDOWN /
// WM_KEYUP.
UINT win_key_message(int virtual_key, bool down, bool alt_held);
// Repeat count 1, the scan code, the extended bit (24), the context bit (29: Alt held), the
// previous state (30: the key was down already) and the transition (31: released).
LPARAM win_key_lparam(UINT scan, bool extended, bool alt_held, bool previously_down, bool released);

// A mouse position as lParam packs it: x in the low word, y in the high word, each as a signed
// 16-bit value.
LPARAM win_point_lparam(int x, int y);
// Wheel messages' wParam: the MK_ flags in the low word, the signed turn in the high word.
WPARAM win_wheel_wparam(WPARAM keys, int delta);
