// framebuffer.h - the device's render target: a 32-bit colour buffer, a depth buffer in one of
// four formats and, with D24S8, an 8-bit stencil buffer, with a record of what drawing has touched
// so that clears refill only that.
//
// Colour pixels are 0x00RRGGBB (the X8R8G8B8 format; the unused top byte is always written 0).
// Depth is stored as round(z * (2^n - 1)) for z in [0, 1], 0 nearest, n the format's depth bits:
// D16 in the 16-bit vector `depth` (the fast rasteriser's buffer), D24X8, D24S8 and D32 in the
// 32-bit vector `depth32`; only one of the two is ever in use. Rows run top to bottom, `width`
// pixels apart, no padding between rows. Every buffer carries `fb_padding` spare elements after the
// last row so that a span loop may touch a few pixels past the end of a row.
// The colour buffer lives in the framebuffer's own vector, or in memory its creator lends it (the
// window layer's memory that the display reads directly) for as long as the framebuffer lives.
//
// Dirty tiles: the buffer is cut into bands of fb_band_rows rows, each band into at most 64 tiles
// of 2^tile_shift columns; bit t of a band's mask says tile t may differ from the buffer's base
// value (the value of its last whole clear). The rasteriser sets the bits under every triangle's
// bounding box; a whole clear with the same value as the base refills only the dirty tiles, any
// other clear refills everything.
//
// Render targets: the colour buffer may be switched to other memory (fb_set_colour), and the depth
// and stencil buffers handed in and out of a store of their own (fb_depth_store: a depth-stencil
// surface's buffers while another is bound), so that the rasteriser always sees one framebuffer.
//
// DOES NOT: draw anything itself beyond clearing, or know about windows and presentation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int fb_padding = 8;
inline constexpr int fb_band_shift = 3;
inline constexpr int fb_band_rows = 1 << fb_band_shift;

enum class fb_depth_format { none, d16, d24x8, d24s8, d32 };

struct d3d9_framebuffer {
    int width = 0;
    int height = 0;
    uint32_t* colour_pixels = nullptr;  // the colour buffer: colour.data() or the lent memory
    std::vector<uint32_t> colour;       // empty when the colour buffer lives in lent memory
    std::vector<uint16_t> depth;        // D16 only; empty otherwise
    std::vector<uint32_t> depth32;      // D24X8, D24S8 and D32 only; empty otherwise
    std::vector<uint8_t> stencil;       // D24S8 only; empty otherwise
    fb_depth_format depth_format = fb_depth_format::none;

    int tile_shift = 5;
    std::vector<uint64_t> colour_dirty;  // one mask per band
    std::vector<uint64_t> depth_dirty;   // for whichever depth vector is in use
    std::vector<uint64_t> stencil_dirty;
    uint32_t colour_base = 0;
    uint16_t depth_base = 65535;
    uint32_t depth32_base = 0;
    uint8_t stencil_base = 0;
};

// Sizes the buffers (colour black, depth at its farthest, stencil 0, nothing dirty); false when the
// sizes are not positive. With `colour_memory` (width * height + fb_padding pixels) the colour
// buffer lives there instead of in the framebuffer's own vector.
bool fb_create(d3d9_framebuffer& fb, int width, int height, fb_depth_format depth, uint32_t* colour_memory = nullptr);

// The same with a D16 depth buffer or none.
inline bool fb_create(d3d9_framebuffer& fb, int width, int height, bool with_depth, uint32_t* colour_memory = nullptr) {
    return fb_create(fb, width, height, with_depth ? fb_depth_format::d16 : fb_depth_format::none, colour_memory);
}

inline bool fb_has_depth(const d3d9_framebuffer& fb) { return fb.depth_format != fb_depth_format::none; }
inline bool fb_has_stencil(const d3d9_framebuffer& fb) { return fb.depth_format == fb_depth_format::d24s8; }

// Makes `pixels` (width x height, rows `width` pixels apart, fb_padding spare pixels after the
// last row) the colour buffer. The depth and stencil buffers must have been handed back first
// (fb_return_depth). Every colour tile counts as drawn. May throw std::bad_alloc (the tile masks),
// leaving the framebuffer as it was.
void fb_set_colour(d3d9_framebuffer& fb, uint32_t* pixels, int width, int height);

// The depth and stencil buffers of a depth-stencil surface while they are not in a framebuffer:
// vectors as d3d9_framebuffer's, `width` elements apart.
struct fb_depth_store {
    int width = 0;
    int height = 0;
    fb_depth_format format = fb_depth_format::none;
    std::vector<uint16_t> depth;
    std::vector<uint32_t> depth32;
    std::vector<uint8_t> stencil;
    bool lent = false;  // the buffers are in a framebuffer now (fb_take_depth)
};

// Sizes a store's buffers: depth at its farthest, stencil 0. May throw std::bad_alloc.
void fb_depth_store_create(fb_depth_store& store, int width, int height, fb_depth_format format);

// Puts the store's buffers into the framebuffer, which has none: moved when the sizes match,
// otherwise copied into buffers of the framebuffer's size (pixels beyond the store's read as the
// nearest depth and stencil 0). Every depth and stencil tile counts as drawn. May throw
// std::bad_alloc, leaving both as they were.
void fb_take_depth(d3d9_framebuffer& fb, fb_depth_store& store);
// Hands them back (moved, or the part the store covers copied back); the framebuffer then has no
// depth buffer.
void fb_return_depth(d3d9_framebuffer& fb, fb_depth_store& store);

// The depth format's bits: 16, 24 or 32; 0 without a depth buffer.
int fb_depth_bits(const d3d9_framebuffer& fb);

// The value stored for depth z at the buffer's precision: round(clamp(z, 0, 1) * (2^n - 1)).
uint32_t fb_depth_stored(const d3d9_framebuffer& fb, float z);

// Fills the whole buffer with `colour` (0x00RRGGBB), a depth or a stencil value. The 16-bit depth
// form is a D16 value; a buffer of another format receives the same depth, depth / 65535, at its
// own precision. Nothing happens to a buffer the framebuffer does not have.
void fb_clear_colour(d3d9_framebuffer& fb, uint32_t colour);
void fb_clear_depth(d3d9_framebuffer& fb, uint16_t depth);
void fb_clear_depth(d3d9_framebuffer& fb, float z);
void fb_clear_stencil(d3d9_framebuffer& fb, uint8_t stencil);

// Fills the rectangle [x1, x2) x [y1, y2), clipped to the buffer, likewise.
void fb_fill_colour(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint32_t colour);
void fb_fill_depth(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint16_t depth);
void fb_fill_depth(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, float z);
void fb_fill_stencil(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, uint8_t stencil);

// Marks the tiles under columns [x1, x2] and rows [y1, y2] (inside the buffer) as dirty.
inline void fb_mark_dirty(std::vector<uint64_t>& dirty, int tile_shift, int x1, int y1, int x2, int y2) {
    const uint64_t bits = (~uint64_t{0} >> (63 - (x2 >> tile_shift))) & (~uint64_t{0} << (x1 >> tile_shift));
    for (int band = y1 >> fb_band_shift; band <= y2 >> fb_band_shift; ++band) dirty[std::size_t(band)] |= bits;
}

// The same for what a triangle drew: the colour tiles and, when `depth` is set, the depth tiles.
// (The stencil tiles: fb_mark_dirty on stencil_dirty.)
inline void fb_mark_drawn(d3d9_framebuffer& fb, int x1, int y1, int x2, int y2, bool depth) {
    const uint64_t bits = (~uint64_t{0} >> (63 - (x2 >> fb.tile_shift))) & (~uint64_t{0} << (x1 >> fb.tile_shift));
    uint64_t* colour = fb.colour_dirty.data();
    uint64_t* depth_masks = fb.depth_dirty.data();
    for (int band = y1 >> fb_band_shift; band <= y2 >> fb_band_shift; ++band) {
        colour[band] |= bits;
        if (depth) depth_masks[band] |= bits;
    }
}
