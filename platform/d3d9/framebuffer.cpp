// framebuffer.cpp - allocation and rectangle fills of the device's colour and depth buffers.
#include "platform/d3d9/framebuffer.h"

#include <algorithm>

namespace {

struct Rect {
    int x1, y1, x2, y2;
};

Rect clip_to_buffer(const d3d9_framebuffer& fb, int x1, int y1, int x2, int y2) {
    return {std::max(x1, 0), std::max(y1, 0), std::min(x2, fb.width), std::min(y2, fb.height)};
}

template <typename T>
void fill(std::vector<T>& pixels, int pitch, Rect r, T value) {
    if (r.x1 >= r.x2 || r.y1 >= r.y2) return;
    if (r.x1 == 0 && r.x2 == pitch) {
        std::fill(pixels.begin() + size_t(r.y1) * pitch, pixels.begin() + size_t(r.y2) * pitch, value);
        return;
    }
    for (int y = r.y1; y < r.y2; ++y) {
        T* row = pixels.data() + size_t(y) * pitch;
        std::fill(row + r.x1, row + r.x2, value);
    }
}

}  // namespace

bool fb_create(d3d9_framebuffer& fb, int width, int height, bool with_depth) {
    if (width <= 0 || height <= 0) return false;
    const size_t pixels = size_t(width) * size_t(height);
    fb.width = width;
    fb.height = height;
    fb.colour.assign(pixels + fb_padding, 0u);
    fb.depth.clear();
    if (with_depth) fb.depth.assign(pixels + fb_padding, uint16_t{65535});
    return true;
}

void fb_fill_colour(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint32_t colour) {
    fill(fb.colour, fb.width, clip_to_buffer(fb, x1, y1, x2, y2), colour);
}

void fb_fill_depth(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint16_t depth) {
    if (fb.depth.empty()) return;
    fill(fb.depth, fb.width, clip_to_buffer(fb, x1, y1, x2, y2), depth);
}
