// win_sdl.h - what the SDL files of the window layer share: the back end, the presentation of
// frames on a window's surface, and the message box.
#pragma once

#include <windows.h>

#include "platform/win32/win_x11_shm.h"

#include <SDL_stdinc.h>

#include <cstdint>
#include <string>

struct SDL_Surface;
struct SDL_Window;

// Shows frames in one SDL window (see win_sdl_surface.cpp). Failures are reported on stderr once
// per window, not once per frame. The presenter must end before its window.
class win_sdl_presenter {
public:
    explicit win_sdl_presenter(SDL_Window* window);
    win_sdl_presenter(const win_sdl_presenter&) = delete;
    win_sdl_presenter& operator=(const win_sdl_presenter&) = delete;
    ~win_sdl_presenter();

    // Shows `width` x `height` pixels (0x00RRGGBB, `pitch` pixels apart) over the whole window,
    // stretched with bilinear filtering when the window's size differs.
    bool show(const uint32_t* pixels, int width, int height, int pitch);
    // Fills the whole window with one colour.
    bool fill(Uint8 red, Uint8 green, Uint8 blue);
    // Whether frames in shared memory (win_shared_frame.h) can be put without a copy.
    bool shares_frames() const { return shm_ != nullptr; }
    // Returns once the server has read a frame that show() put from the caller's shared memory.
    void finish();

private:
    bool put_shared(const uint32_t* pixels, int width, int height, int pitch);
    SDL_Surface* target();
    bool publish();
    bool wrap_frame(const uint32_t* pixels, int width, int height, int pitch);
    bool copy(SDL_Surface& surface);
    bool stretch(SDL_Surface& surface);
    bool report_once(const char* what);

    SDL_Window* window_;
    win_x11_shm_ptr shm_;                 // null: the picture goes through SDL's window surface
    SDL_Surface* shm_surface_ = nullptr;  // the shared-memory image as a blit target
    SDL_Surface* frame_ = nullptr;        // the caller's pixels as a blit source
    SDL_Surface* stretched_ = nullptr;    // only for a window whose pixel format differs from the frame's
    bool reported_ = false;
    bool put_shared_ = false;  // the last frame shown was put from the caller's shared memory
};

// Shows a modal SDL message box with the buttons of the MB_ type over `parent` (may be null):
// Return presses the default button, Esc answers IDCANCEL when there is a Cancel button and IDOK
// for a lone OK button; an icon for MB_ICONERROR, MB_ICONWARNING and MB_ICONINFORMATION. Returns
// the pressed button's ID, or 0 when no box could be shown (the text then goes to stderr so that
// it is not lost).
int win_sdl_message_box(SDL_Window* parent, const std::string& text_utf8, const std::string& caption_utf8, UINT type);
