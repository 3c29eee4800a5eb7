// texture_format.h - the memory layouts of the texture formats the device offers, and their
// conversion to and from 0xAARRGGBB.
//
// Formats: R8G8B8, A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5, A4R4G4B4, A8, L8, A8L8 (one
// texel of 1 to 4 bytes, little-endian) and DXT1 to DXT5 (4 x 4 blocks of 8 or 16 bytes). A level
// of W x H texels has rows `pitch` bytes apart: W * bytes rounded up to a multiple of 4, or for
// the DXT formats one row of blocks of max(1, ceil(W / 4)) blocks; blocks cover the texels beyond
// a size that is not a multiple of 4.
//
// Decoding gives what sampling reads: an n-bit channel becomes round(v * 255 / (2^n - 1)),
// missing colour channels give the documented values (alpha 255 for formats without alpha, black
// for A8, grey for the luminance formats). DXT2 and DXT4 hold colours already multiplied by alpha
// and decode as stored, like DXT3 and DXT5. Encoding is the reverse with rounding (a channel the
// format lacks is dropped); the DXT formats are not encoded.
#pragma once

#include <d3d9.h>

#include <cstddef>
#include <cstdint>

// The most levels a texture of a side up to 8192 has.
inline constexpr UINT d3d9_max_texture_levels = 14;

struct d3d9_format_info {
    UINT texel_bytes = 0;  // bytes per texel; 0 for the block formats
    UINT block_bytes = 0;  // bytes per 4 x 4 block of the DXT formats; 0 otherwise
};

// Whether `format` is one of the texture formats above; fills *info when it is.
bool d3d9_texture_format(D3DFORMAT format, d3d9_format_info* info = nullptr);
bool d3d9_format_is_dxt(D3DFORMAT format);

// Bytes per row (of blocks), rows (of blocks) and bytes of a W x H level; 0 for an unknown format.
UINT d3d9_format_pitch(D3DFORMAT format, UINT width);
UINT d3d9_format_rows(D3DFORMAT format, UINT height);
uint64_t d3d9_format_level_bytes(D3DFORMAT format, UINT width, UINT height);

// The levels of a complete chain for a W x H texture (floor(log2(max(W, H))) + 1) and the side of
// level `level` of an axis of `side` texels: max(1, side >> level).
UINT d3d9_full_level_count(UINT width, UINT height);
inline UINT d3d9_level_side(UINT side, UINT level) {
    return level >= 32 ? 1u : (side >> level) != 0 ? side >> level : 1u;
}

// Decodes the texels [x, x + w) x [y, y + h) of a level whose bytes start at `bits`, rows `pitch`
// bytes apart, to 0xAARRGGBB: texel (x + i, y + j) goes to out[j * out_stride + i]. The rectangle
// must lie inside the level (the caller checks).
void d3d9_format_decode(D3DFORMAT format, const uint8_t* bits, UINT pitch, UINT x, UINT y, UINT w, UINT h,
                        uint32_t* out, size_t out_stride);

// Encodes w x h texels of `in` (rows in_stride texels apart) into the level bytes at `bits` (the
// texel of the rectangle's top-left corner), rows `pitch` bytes apart. False, writing nothing, for
// the DXT formats and unknown ones.
bool d3d9_format_encode(D3DFORMAT format, const uint32_t* in, size_t in_stride, UINT w, UINT h, uint8_t* bits,
                        UINT pitch);

// One texel: 0xAARRGGBB as the format stores it (the low texel_bytes bytes) and back.
uint32_t d3d9_format_pack(D3DFORMAT format, D3DCOLOR colour);
D3DCOLOR d3d9_format_unpack(D3DFORMAT format, uint32_t stored);
