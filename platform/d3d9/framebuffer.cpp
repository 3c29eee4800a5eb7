// framebuffer.cpp - allocation, clears and rectangle fills of the device's colour, depth and
// stencil buffers.
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

bool fb_create(d3d9_framebuffer& fb, int width, int height, fb_depth_format depth, uint32_t* colour_memory) {
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
    fb.depth32.clear();
    fb.stencil.clear();
    fb.depth_dirty.assign(bands, 0);
    fb.stencil_dirty.assign(bands, 0);
    fb.depth_format = depth;
    fb.depth_base = 65535;
    fb.depth32_base = 0;
    fb.stencil_base = 0;
    if (depth == fb_depth_format::d16) fb.depth.assign(pixels + fb_padding, uint16_t{65535});
    if (depth != fb_depth_format::none && depth != fb_depth_format::d16) {
        fb.depth32_base = fb_depth_stored(fb, 1.0f);
        fb.depth32.assign(pixels + fb_padding, fb.depth32_base);
    }
    if (depth == fb_depth_format::d24s8) fb.stencil.assign(pixels + fb_padding, uint8_t{0});
    return true;
}

int fb_depth_bits(const d3d9_framebuffer& fb) {
    switch (fb.depth_format) {
    case fb_depth_format::d16: return 16;
    case fb_depth_format::d24x8:
    case fb_depth_format::d24s8: return 24;
    case fb_depth_format::d32: return 32;
    case fb_depth_format::none: break;
    }
    return 0;
}

uint32_t fb_depth_stored(const d3d9_framebuffer& fb, float z) {
    const double largest = double((uint64_t{1} << fb_depth_bits(fb)) - 1);
    const double clamped = z >= 0.0f ? (z <= 1.0f ? double(z) : 1.0) : 0.0;  // NaN: 0
    return uint32_t(clamped * largest + 0.5);
}

void fb_clear_colour(d3d9_framebuffer& fb, uint32_t colour) {
    clear(fb, fb.colour_pixels, fb.colour_dirty, fb.colour_base, colour);
}

void fb_clear_depth(d3d9_framebuffer& fb, uint16_t depth) {
    if (fb.depth_format == fb_depth_format::d16) {
        clear(fb, fb.depth.data(), fb.depth_dirty, fb.depth_base, depth);
    } else {
        fb_clear_depth(fb, float(depth) / 65535.0f);
    }
}

void fb_clear_depth(d3d9_framebuffer& fb, float z) {
    if (fb.depth_format == fb_depth_format::d16) {
        clear(fb, fb.depth.data(), fb.depth_dirty, fb.depth_base, uint16_t(fb_depth_stored(fb, z)));
    } else if (!fb.depth32.empty()) {
        clear(fb, fb.depth32.data(), fb.depth_dirty, fb.depth32_base, fb_depth_stored(fb, z));
    }
}

void fb_clear_stencil(d3d9_framebuffer& fb, uint8_t stencil) {
    if (!fb.stencil.empty()) clear(fb, fb.stencil.data(), fb.stencil_dirty, fb.stencil_base, stencil);
}

void fb_fill_colour(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint32_t colour) {
    const clear_rect r = clip_to_buffer(fb, x1, y1, x2, y2);
    fill(fb.colour_pixels, fb.width, r, colour);
    mark(fb.colour_dirty, fb.tile_shift, r);
}

void fb_fill_depth(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint16_t depth) {
    if (fb.depth_format != fb_depth_format::d16) {
        fb_fill_depth(fb, x1, y1, x2, y2, float(depth) / 65535.0f);
        return;
    }
    const clear_rect r = clip_to_buffer(fb, x1, y1, x2, y2);
    fill(fb.depth.data(), fb.width, r, depth);
    mark(fb.depth_dirty, fb.tile_shift, r);
}

void fb_fill_depth(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, float z) {
    const clear_rect r = clip_to_buffer(fb, x1, y1, x2, y2);
    if (fb.depth_format == fb_depth_format::d16) {
        fill(fb.depth.data(), fb.width, r, uint16_t(fb_depth_stored(fb, z)));
    } else if (!fb.depth32.empty()) {
        fill(fb.depth32.data(), fb.width, r, fb_depth_stored(fb, z));
    } else {
        return;
    }
    mark(fb.depth_dirty, fb.tile_shift, r);
}

void fb_fill_stencil(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint8_t stencil) {
    if (fb.stencil.empty()) return;
    const clear_rect r = clip_to_buffer(fb, x1, y1, x2, y2);
    fill(fb.stencil.data(), fb.width, r, stencil);
    mark(fb.stencil_dirty, fb.tile_shift, r);
}

// ---- render targets -----------------------------------------------------------------------------

namespace {

template <typename T>
void copy_rect(const std::vector<T>& from, int from_pitch, std::vector<T>& to, int to_pitch, int width, int height) {
    for (int y = 0; y < height; ++y) {
        std::copy_n(from.data() + size_t(y) * size_t(from_pitch), width, to.data() + size_t(y) * size_t(to_pitch));
    }
}

int tile_shift_for(int width) {
    int shift = 5;
    while ((width - 1) >> shift >= 64) ++shift;
    return shift;
}

}  // namespace

void fb_set_colour(d3d9_framebuffer& fb, uint32_t* pixels, int width, int height) {
    const size_t bands = size_t((height + fb_band_rows - 1) >> fb_band_shift);
    std::vector<uint64_t> colour_dirty(bands, ~uint64_t{0});
    std::vector<uint64_t> depth_dirty(bands, ~uint64_t{0});
    std::vector<uint64_t> stencil_dirty(bands, ~uint64_t{0});
    fb.colour_dirty.swap(colour_dirty);
    fb.depth_dirty.swap(depth_dirty);
    fb.stencil_dirty.swap(stencil_dirty);
    fb.width = width;
    fb.height = height;
    fb.tile_shift = tile_shift_for(width);
    fb.colour_pixels = pixels;
}

void fb_depth_store_create(fb_depth_store& store, int width, int height, fb_depth_format format) {
    d3d9_framebuffer sizing;
    sizing.depth_format = format;
    const size_t pixels = size_t(width) * size_t(height) + fb_padding;
    std::vector<uint16_t> depth;
    std::vector<uint32_t> depth32;
    std::vector<uint8_t> stencil;
    if (format == fb_depth_format::d16) depth.assign(pixels, uint16_t{65535});
    if (format != fb_depth_format::none && format != fb_depth_format::d16) {
        depth32.assign(pixels, fb_depth_stored(sizing, 1.0f));
    }
    if (format == fb_depth_format::d24s8) stencil.assign(pixels, uint8_t{0});
    store.width = width;
    store.height = height;
    store.format = format;
    store.depth.swap(depth);
    store.depth32.swap(depth32);
    store.stencil.swap(stencil);
    store.lent = false;
}

void fb_take_depth(d3d9_framebuffer& fb, fb_depth_store& store) {
    if (store.width == fb.width && store.height == fb.height) {
        fb.depth.swap(store.depth);
        fb.depth32.swap(store.depth32);
        fb.stencil.swap(store.stencil);
    } else {
        const size_t pixels = size_t(fb.width) * size_t(fb.height) + fb_padding;
        const int w = std::min(fb.width, store.width), h = std::min(fb.height, store.height);
        std::vector<uint16_t> depth(store.depth.empty() ? 0 : pixels, uint16_t{0});
        std::vector<uint32_t> depth32(store.depth32.empty() ? 0 : pixels, 0u);
        std::vector<uint8_t> stencil(store.stencil.empty() ? 0 : pixels, uint8_t{0});
        if (!depth.empty()) copy_rect(store.depth, store.width, depth, fb.width, w, h);
        if (!depth32.empty()) copy_rect(store.depth32, store.width, depth32, fb.width, w, h);
        if (!stencil.empty()) copy_rect(store.stencil, store.width, stencil, fb.width, w, h);
        fb.depth.swap(depth);
        fb.depth32.swap(depth32);
        fb.stencil.swap(stencil);
    }
    fb.depth_format = store.format;
    std::fill(fb.depth_dirty.begin(), fb.depth_dirty.end(), ~uint64_t{0});
    std::fill(fb.stencil_dirty.begin(), fb.stencil_dirty.end(), ~uint64_t{0});
    store.lent = true;
}

void fb_return_depth(d3d9_framebuffer& fb, fb_depth_store& store) {
    if (!store.lent) return;
    if (store.width == fb.width && store.height == fb.height) {
        fb.depth.swap(store.depth);
        fb.depth32.swap(store.depth32);
        fb.stencil.swap(store.stencil);
    } else {
        const int w = std::min(fb.width, store.width), h = std::min(fb.height, store.height);
        if (!store.depth.empty()) copy_rect(fb.depth, fb.width, store.depth, store.width, w, h);
        if (!store.depth32.empty()) copy_rect(fb.depth32, fb.width, store.depth32, store.width, w, h);
        if (!store.stencil.empty()) copy_rect(fb.stencil, fb.width, store.stencil, store.width, w, h);
    }
    fb.depth.clear();
    fb.depth32.clear();
    fb.stencil.clear();
    fb.depth_format = fb_depth_format::none;
    store.lent = false;
}
