// frame_image.h - reading presented frames in tests: pixels, colour regions, PNG files.
#pragma once

#include "platform/win32/win_headless.h"

#include <cstdint>
#include <string>

struct rgb_pixel {
    int r, g, b;
};

inline rgb_pixel pixel_at(const win_headless_frame& frame, int x, int y) {
    const uint32_t p = frame.pixels[static_cast<size_t>(y) * frame.width + x];
    return {int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff)};
}

inline bool same_rgb(rgb_pixel a, rgb_pixel b, int tolerance = 0) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// Writes the frame as an RGB PNG; false on failure.
bool write_png(const std::string& path, const win_headless_frame& frame);
// Reads an RGB(A) PNG into a frame; false on failure.
bool read_png(const std::string& path, win_headless_frame* frame);

// How many pixels of the frame are not `colour` (e.g. the model's pixels over a background).
long count_pixels_other_than(const win_headless_frame& frame, rgb_pixel colour);

// How many pixels differ by more than `tolerance` in any channel; -1 when the sizes differ.
long count_differing_pixels(const win_headless_frame& a, const win_headless_frame& b, int tolerance);
