// win_backend.h - the contract between the window layer and its back ends (SDL2 or headless).
//
// The window layer (classes, windows, the message queue) is the same for both back ends; a back
// end supplies only what needs a display: native windows, input events, showing frames, the global
// key state and message boxes. A back end posts what the user did (close button, keys, mouse) with
// win_post_message and reports a resized client area by writing the window's client size.
//
// DOES NOT: own window records or the queue; those belong to win_window_table and win_messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

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
    // Turns pending input events into posted messages and client-size changes.
    virtual void pump_events() = 0;
    // Blocks until an input event is pending (one that pump_events would look at); a back end
    // without input returns at once.
    virtual void wait_events() = 0;
    virtual bool present(win_window& window, const uint32_t* pixels, int width, int height, int pitch) = 0;
    // The pixels of an earlier present are about to change or be freed (see win_present_retire).
    virtual void retire(const uint32_t* /*pixels*/) {}
    // Whether frames in shared memory (win_shared_frame.h) are shown in the window without a copy.
    virtual bool shows_shared_frames(win_window& /*window*/) { return false; }
    // The desktop's size and refresh rate; a back end without a display reports 1920 x 1080 at
    // 60 Hz.
    virtual win_display_mode desktop_mode() { return {1920, 1080, 60}; }
    // Whether the key is down now, whichever window has the focus.
    virtual bool key_down(int virtual_key) = 0;
    // Shows a modal message box (text already UTF-8); returns IDOK, or 0 when none could be shown.
    virtual int message_box(win_window* owner, const std::string& text_utf8, const std::string& caption_utf8,
                            UINT type) = 0;
};

// The back end of this process, chosen on first use: headless when win_headless_enable() was
// called or WIN32_STANDIN_BACKEND=headless is set, SDL otherwise. It stays for the process.
win_backend& win_active_backend();
// The back end if one has been chosen yet, else null (nothing to pump before the first window).
win_backend* win_started_backend();

// Constructors of the two back ends.
std::unique_ptr<win_backend> win_make_sdl_backend();
win_backend& win_headless_backend();
