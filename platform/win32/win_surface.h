// win_surface.h - what the window layer offers the rest of the platform stand-in (the device).
//
// The device renders into its own 32-bit X8R8G8B8 back buffer and hands it here to be shown. The
// window layer shows it on the window's client area (stretched when the window was resized), paced
// to the display refresh unless vblank_mode=0 is set; the headless back end keeps the frame
// readable for tests, by reference until a reader asks for it or the owner retires the pixels.
#pragma once

#include <windows.h>

#include <cstdint>

// Size of the window's client area in pixels; false for an unknown window.
bool win_client_size(HWND window, int* width, int* height);

// Shows `width` x `height` pixels (0x00RRGGBB, rows top to bottom, `pitch` pixels apart) in the
// window's client area. Returns false for an unknown or destroyed window.
bool win_present(HWND window, const uint32_t* pixels, int width, int height, int pitch);

// The owner of pixels handed to win_present is about to free them: a back end still referring to
// them takes its copy now. Until then, and until the owner writes to them again, presented pixels
// must stay as they were.
void win_present_retire(const uint32_t* pixels);
