// win_surface.h - what the window layer offers the rest of the platform stand-in (the device).
//
// The device renders into a 32-bit X8R8G8B8 back buffer and hands it here to be shown: a buffer of
// its own, or memory the window layer lent it that the display reads directly (no copy then). The
// window layer shows it on the window's client area (stretched when the window was resized), paced
// to the display refresh unless vblank_mode=0 is set; the headless back end keeps the frame
// readable for tests, by reference until a reader asks for it or the owner retires the pixels.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

struct win_display_mode;

// The desktop's display mode (width, height, refresh rate) as the active back end sees it.
win_display_mode win_desktop_mode();

// The display modes the active back end offers, sorted by width, then height, then refresh rate,
// each once; never empty (the desktop's mode is among them).
std::vector<win_display_mode> win_display_modes();

// Gives the window a client area of width x height (the window grows by its frame); with
// WIN32_STANDIN_FULLSCREEN=1 in the environment it also becomes a desktop-sized full-screen
// window. False for an unknown window, sizes below 1, or a display that refused full screen.
bool win_prepare_fullscreen(HWND window, int width, int height);

// Whether presents to the window wait for the display refresh (the default) or return at once;
// false for an unknown window.
bool win_set_present_paced(HWND window, bool paced);

// Size of the window's client area in pixels; false for an unknown window.
bool win_client_size(HWND window, int* width, int* height);

// Shows `width` x `height` pixels (0x00RRGGBB, rows top to bottom, `pitch` pixels apart) in the
// window's client area. Returns false for an unknown or destroyed window.
bool win_present(HWND window, const uint32_t* pixels, int width, int height, int pitch);

// The owner of pixels handed to win_present is about to free them: a back end still referring to
// them takes its copy now. Until then, and until the owner writes to them again, presented pixels
// must stay as they were.
void win_present_retire(const uint32_t* pixels);

// Memory for `count` pixels in which frames can be shown in `window` without a copy (memory the
// display reads directly), or null when the window cannot offer that (no display, a display that
// cannot share memory): the caller then keeps its frames in its own memory. The memory is the
// caller's until it hands it to win_frame_memory_free, whatever happens to the window.
uint32_t* win_frame_memory(HWND window, size_t count);

// Retires (see win_present_retire) and frees memory from win_frame_memory; null is ignored.
void win_frame_memory_free(uint32_t* pixels);
