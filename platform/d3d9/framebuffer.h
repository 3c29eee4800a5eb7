// framebuffer.h - the device's render target: a 32-bit colour buffer and a 16-bit depth buffer.
//
// Colour pixels are 0x00RRGGBB (the X8R8G8B8 format; the unused top byte is always written 0),
// depth values are unsigned 16-bit, round(z * 65535) for z in [0, 1], 0 nearest. Rows run top to
// bottom, `width` pixels apart, no padding between rows. Both buffers carry `fb_padding` spare
// elements after the last row so that a span loop may touch a few pixels past the end of a row.
//
// DOES NOT: draw anything itself beyond clearing, or know about windows and presentation.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int fb_padding = 8;

struct d3d9_framebuffer {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> colour;
    std::vector<uint16_t> depth;  // empty when the device has no depth buffer
};

// Sizes the buffers (colour black, depth 65535); false when the sizes are not positive.
bool fb_create(d3d9_framebuffer& fb, int width, int height, bool with_depth);

// Fills the rectangle [x1, x2) x [y1, y2), clipped to the buffer, with `colour` (0x00RRGGBB)
// or `depth`.
void fb_fill_colour(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint32_t colour);
void fb_fill_depth(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint16_t depth);
