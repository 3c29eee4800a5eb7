// framebuffer.cpp - allocation, clears and rectangle fills of the device's colour and depth buffers.
#include "platform/d3d9/framebuffer.h"

#include <algorithm>

namespace {

struct clear_rect {
    int x1, y1, x2, y2;
};

clear_rect clip_to_buffer(const d3d9_framebuffer& fb, int x1, int y1, int x2, int y2) {
    return {std::max(x1, 0), std::max(y1, 0), std::min(x2, fb.width), std::min(y2, fb.height)};
}

template <typename T>
void fill(T* pixels, int pitch, clear_rect r, T value) {
    if (r.x1 >= r.x2 || r.y1 >= r.y2) return;
    if (r.x1 == 0 && r.x2 == pitch) {
        std::fill(pixels + size_t(r.y1) * pitch, pixels + size_t(r.y2) * pitch, value);
        return;
    }
    for (int y = r.y1; y < r.y2; ++y) {
        T* row = pixels + size_t(y) * pitch;
        std::fill(row + r.x1, row + r.x2, value);
    }
}

void mark(std::vector<uint64_t>& dirty, int tile_shift, clear_rect r) {
    if (r.x1 < r.x2 && r.y1 < r.y2) fb_mark_dirty(dirty, tile_shift, r.x1, r.y1, r.x2 - 1, r.y2 - 1);
}

// The first run of consecutive set bits of m != 0: tiles [first, end).
struct tile_run {
    int first, end;
};

tile_run first_run(uint64_t m) {
    const int first = __builtin_ctzll(m);
    const uint64_t clear_from_first = ~(m >> first);
    return {first, clear_from_first == 0 ? 64 : first + __builtin_ctzll(clear_from_first)};
}

// Whole-buffer clear: only the dirty tiles (each run of neighbouring tiles in one fill) when the
// buffer already holds `value` elsewhere.
template <typename T>
void clear(d3d9_framebuffer& fb, T* pixels, std::vector<uint64_t>& dirty, T& base, T value) {
    if (value != base) {
        fill(pixels, fb.width, clear_rect{0, 0, fb.width, fb.height}, value);
        base = value;
    } else {
        for (int y = 0; y < fb.height; ++y) {
            T* row = pixels + size_t(y) * size_t(fb.width);
            for (uint64_t m = dirty[size_t(y >> fb_band_shift)]; m != 0;) {
                const tile_run run = first_run(m);
                std::fill(row + (run.first << fb.tile_shift), row + std::min(run.end << fb.tile_shift, fb.width),
                          value);
                m = run.end == 64 ? 0 : m & (~uint64_t{0} << run.end);
            }
        }
    }
    std::fill(dirty.begin(), dirty.end(), uint64_t{0});
}

}  // namespace

bool fb_create(d3d9_framebuffer& fb, int width, int height, bool with_depth, uint32_t* colour_memory) {
    if (width <= 0 || height <= 0) return false;
    const size_t pixels = size_t(width) * size_t(height);
    fb.width = width;
    fb.height = height;
    fb.tile_shift = 5;
    while ((width - 1) >> fb.tile_shift >= 64) ++fb.tile_shift;
    if (colour_memory != nullptr) {
        fb.colour.clear();
        std::fill(colour_memory, colour_memory + pixels + fb_padding, 0u);
        fb.colour_pixels = colour_memory;
    } else {
        fb.colour.assign(pixels + fb_padding, 0u);
        fb.colour_pixels = fb.colour.data();
    }
    fb.colour_base = 0;
    const size_t bands = size_t((height + fb_band_rows - 1) >> fb_band_shift);
    fb.colour_dirty.assign(bands, 0);
    fb.depth.clear();
    fb.depth_dirty.assign(bands, 0);
    fb.depth_base = 65535;
    if (with_depth) fb.depth.assign(pixels + fb_padding, uint16_t{65535});
    return true;
}

void fb_clear_colour(d3d9_framebuffer& fb, uint32_t colour) {
    clear(fb, fb.colour_pixels, fb.colour_dirty, fb.colour_base, colour);
}

void fb_clear_depth(d3d9_framebuffer& fb, uint16_t depth) {
    if (fb.depth.empty()) return;
    clear(fb, fb.depth.data(), fb.depth_dirty, fb.depth_base, depth);
}

void fb_fill_colour(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint32_t colour) {
    const clear_rect r = clip_to_buffer(fb, x1, y1, x2, y2);
    fill(fb.colour_pixels, fb.width, r, colour);
    mark(fb.colour_dirty, fb.tile_shift, r);
}

void fb_fill_depth(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint16_t depth) {
    if (fb.depth.empty()) return;
    const clear_rect r = clip_to_buffer(fb, x1, y1, x2, y2);
    fill(fb.depth.data(), fb.width, r, depth);
    mark(fb.depth_dirty, fb.tile_shift, r);
}
