// mip_chain.h - lower mip levels by the 2 x 2 box filter, on decoded 0xAARRGGBB texels.
//
// Level (w, h) of a level (W, H) (w = max(1, W / 2), h likewise): texel (x, y) is the mean of the
// texels (2x, 2y), (2x + 1, 2y), (2x, 2y + 1), (2x + 1, 2y + 1) that exist (an odd last column or
// row is dropped; a side of 1 averages along the other axis only), each channel rounded half up.
#pragma once

#include <cstdint>

// Writes the level below `source` (source_width x source_height texels, rows contiguous) into
// `target`, max(1, W / 2) x max(1, H / 2) texels; `alpha_or` is ORed into every source texel read.
void d3d9_mip_box_filter(const uint32_t* source, uint32_t source_width, uint32_t source_height, uint32_t alpha_or,
                         uint32_t* target);
