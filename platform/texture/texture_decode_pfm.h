// texture_decode_pfm.h - the PFM (portable float map) reader behind texture_decode: "PF" colour or
// "Pf" grey, 32-bit floats of either byte order (a negative scale means little-endian), rows stored
// bottom to top. Values are clamped to 0..1 and scaled to 8 bits with rounding, without a gamma
// curve; the scale's magnitude is ignored.
#pragma once

#include "platform/texture/texture_decode.h"

// Decodes a file that starts with "PF" or "Pf".
bool texture_pfm_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error);
