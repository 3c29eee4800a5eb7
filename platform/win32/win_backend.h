// win_backend.h - the contract between the window layer and its back ends (SDL2 or headless).
//
// The window layer (classes, windows, the message queue) is the same for both back ends; a back
// end supplies only what needs a display: native windows, input events, showing frames, the global
// key state, the pointer and message boxes. A back end posts what the user did (close button, keys,
// mouse) with win_post_message and reports a moved or resized window with win_native_moved and
// focus changes with win_activate / win_deactivate_app.
//
// DOES NOT: own window records or the queue; those belong to win_window_table and win_messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct win_window;

struct win_display_mode {
    int width;
    int height;
    int refresh_hz;
};

// A back end's own data for one window (e.g. the SDL window and its renderer).
struct win_native {
    virtual ~win_native() = default;
};

class win_backend {
public:
    virtual ~win_backend() = default;
    // Creates the native side of a filled-in window record, hidden. False: the window cannot exist.
    virtual bool open_window(win_window& window) = 0;
    virtual void show_window(win_window& window, bool visible) = 0;
    // Shows the window record's title, which has changed.
    virtual void retitle_window(win_window& window) = 0;
    // Removes the window from the screen and frees its native side.
    virtual void close_window(win_window& window) = 0;
    // The native window takes the record's client origin and size.
    virtual void move_window(win_window& /*window*/) {}
    virtual void raise_window(win_window& /*window*/) {}
    // The smallest and largest client sizes the user may give the native window.
    virtual void limit_size(win_window& /*window*/, int /*min_width*/, int /*min_height*/, int /*max_width*/,
                            int /*max_height*/) {}
    // Makes the window a desktop-sized full-screen window, or a normal one again; false when the
    // display cannot.
    virtual bool set_fullscreen(win_window& /*window*/, bool /*fullscreen*/) { return true; }
    // Fills the client area with the class background, unless frames have been shown in it (the
    // device's picture is the window's content from then on).
    virtual void erase_background(win_window& /*window*/) {}
    // Turns pending input events into posted messages and client-size changes.
    virtual void pump_events() = 0;
    // Blocks until an input event is pending (one that pump_events would look at); a back end
    // without input returns at once.
    virtual void wait_events() = 0;
    // As wait_events, but returns after `milliseconds` at the latest (a back end without input
    // waits for that time).
    virtual void wait_events_for(int milliseconds) = 0;
    // Whether input can arrive from outside the program (false: nothing ends a wait but a timer).
    virtual bool has_input() { return true; }
    virtual bool present(win_window& window, const uint32_t* pixels, int width, int height, int pitch) = 0;
    // The pixels of an earlier present are about to change or be freed (see win_present_retire).
    virtual void retire(const uint32_t* /*pixels*/) {}
    // Whether frames in shared memory (win_shared_frame.h) are shown in the window without a copy.
    virtual bool shows_shared_frames(win_window& /*window*/) { return false; }
    // The desktop's size and refresh rate; a back end without a display reports 1920 x 1080 at
    // 60 Hz.
    virtual win_display_mode desktop_mode() { return {1920, 1080, 60}; }
    // The modes the display offers, in any order, possibly repeated; a back end without a display
    // offers its desktop mode and the usual smaller ones (640 x 480, 800 x 600, 1024 x 768,
    // 1280 x 720), all at 60 Hz.
    virtual std::vector<win_display_mode> display_modes() {
        return {{640, 480, 60}, {800, 600, 60}, {1024, 768, 60}, {1280, 720, 60}, desktop_mode()};
    }
    // Whether the key is down now, whichever window has the focus.
    virtual bool key_down(int virtual_key) = 0;
    // Shows a modal message box (text already UTF-8) with the buttons of `type`; returns the ID of
    // the button pressed, or 0 when none could be shown.
    virtual int message_box(win_window* owner, const std::string& text_utf8, const std::string& caption_utf8,
                            UINT type) = 0;
    // The pointer in screen coordinates.
    virtual POINT cursor_position() { return POINT{0, 0}; }
    // The pointer as of the last input event, for the pt of messages (without asking the display).
    virtual POINT message_cursor_position() { return cursor_position(); }
    virtual void warp_cursor(int /*x*/, int /*y*/) {}
    virtual void show_cursor(bool /*visible*/) {}
    // Keeps mouse events coming while the pointer is outside the window (SetCapture).
    virtual void capture_mouse(bool /*capture*/) {}
    // Confines the pointer to `rect` (screen coordinates), or frees it for null.
    virtual void clip_cursor(const RECT* /*rect*/) {}
};

// The back end of this process, chosen on first use: headless when win_headless_enable() was
// called or WIN32_STANDIN_BACKEND=headless is set, SDL otherwise. It stays for the process.
win_backend& win_active_backend();
// The back end if one has been chosen yet, else null (nothing to pump before the first window).
win_backend* win_started_backend();

// Constructors of the two back ends.
std::unique_ptr<win_backend> win_make_sdl_backend();
win_backend& win_headless_backend();
