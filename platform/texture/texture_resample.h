// texture_resample.h - 0xAARRGGBB images resized by the D3DX filters, colour keys, and the lower
// levels of a texture filled from the level above.
//
// Filters (the low byte of a D3DX_FILTER value; D3DX_DEFAULT is TRIANGLE for images, BOX for mip
// levels): NONE copies the source to the top-left corner unscaled, cropping what does not fit, and
// leaves the rest transparent black (0x00000000); POINT takes the texel whose centre is nearest;
// LINEAR interpolates the four texels around the sample point (texel centres, edges clamped);
// TRIANGLE and BOX average every source texel the target texel covers, weighted by the covered
// area, when shrinking, and interpolate like LINEAR when enlarging. The flag bits (MIRROR, DITHER,
// SRGB) are accepted and change nothing.
#pragma once

#include <d3dx9.h>

#include <cstddef>
#include <cstdint>

// The filter kind (D3DX_FILTER_NONE .. D3DX_FILTER_BOX) of `filter`, with D3DX_DEFAULT read as
// `fallback`; 0 when the low byte names no filter.
DWORD texture_filter_kind(DWORD filter, DWORD fallback);

// Resizes source (sw x sh, rows source_stride texels apart) to target (tw x th, contiguous) with
// the filter kind `kind`. Sizes are at least 1.
void texture_resample(const uint32_t* source, UINT sw, UINT sh, size_t source_stride, uint32_t* target, UINT tw,
                      UINT th, DWORD kind);

// Every texel equal to `key` (all 32 bits) becomes 0x00000000; a key of 0 changes nothing.
void texture_apply_colour_key(uint32_t* texels, size_t count, D3DCOLOR key);
