// texture_decode.h - image files held in memory to texels: the texture loader's decoding, without
// files or devices (the loader and the fuzz harness both go through texture_decode).
//
// Formats, recognised by content whatever the file's name: BMP, PNG, JPEG, TGA, GIF (first frame),
// PSD, HDR and PIC through stb_image; DIB (a BMP with or without its file header) through
// stb_image too; through our own readers PNM (P2, P3, P5, P6: grey or colour, ASCII or binary, any
// maximum value up to 65535), PFM (grey or colour floats) and DDS (the top level of a 2D texture,
// DXT1/3/5 or uncompressed).
//
// Conventions: texels are 0xAARRGGBB, row 0 is the top of the image whatever the file's row order;
// images without alpha get alpha 255; grey is replicated into r, g and b. Samples of more than 8
// bits, and PNM samples of any maximum value, are scaled to 0..255 with rounding; HDR and PFM
// values are clamped to 0..1 and scaled, without a gamma curve (a texture is sampled as stored).
// DDS fields of n bits are the fraction v / (2^n - 1) of 255, rounded.
//
// Robustness: no side may exceed texture_max_side, and nothing is allocated for an image that the
// input is too small to describe; a file that ends before its image does fails as truncated.
//
// DOES NOT: read DDS cube maps or volume textures, PNM bitmaps (P1, P4) or PAM (P7).
#pragma once

#include <d3dx9.h>

#include "platform/d3d9/texture.h"

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr int texture_max_side = 8192;

// Why a decode or a load failed: the HRESULT the public call returns (D3DXERR_INVALIDDATA for a
// file that is no usable image, E_OUTOFMEMORY) and a short reason for people, e.g. "truncated".
struct texture_error {
    HRESULT result = D3D_OK;
    std::string reason;
};

// Decodes a whole image file held in memory into *image. Never throws; on failure returns false
// with *error set and *image unspecified.
bool texture_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error);

// ---- for the decoders behind texture_decode ----

// Records a failure of decoding (D3DXERR_INVALIDDATA) and returns false.
bool texture_invalid(texture_error* error, std::string reason);

// False, with the reason, when a width x height image is empty or beyond any texture.
bool texture_size_allowed(long long width, long long height, texture_error* error);

// A sample of 0..1 to 0..255 with rounding; values outside are clamped, NaN counts as 0.
inline uint32_t texture_unit_to_8_bits(float sample) {
    if (!(sample > 0.0f)) return 0;  // also NaN
    return sample >= 1.0f ? 255 : static_cast<uint32_t>(sample * 255.0f + 0.5f);
}

// A format stb_image reads: its name for reasons, and the most texels that one byte of it can
// describe, so that a small file announcing a huge image is refused before anything is allocated
// for it (or decoded from the zeros read past its end).
struct texture_format {
    const char* name;
    uint64_t max_texels_per_byte;
};

// The same, and false when the image is more than file_bytes of `format` could describe.
bool texture_size_plausible(long long width, long long height, size_t file_bytes, const texture_format& format,
                            texture_error* error);
