// texture_decode_dds.h - the DDS reader behind texture_decode: the top mip level of a 2D texture,
// block-compressed (DXT1, DXT3, DXT5, blocks decoded by libsquish, partial blocks at the edges) or
// uncompressed with channel masks of 8 to 32 bits per texel (A8R8G8B8, X8R8G8B8, R8G8B8, R5G6B5,
// A1R5G5B5, A4R4G4B4, L8, A8L8, A8 and the like; an n-bit field v becomes v / (2^n - 1), rounded to
// 8 bits).
//
// Every header field is checked against the file before anything is allocated: the top level,
// and every mip level the header announces, must lie within the file.
//
// DOES NOT: read cube maps, volume textures, the DX10 extended header, premultiplied DXT2/DXT4,
// floating-point or YUV formats; each is refused with its reason.
#pragma once

#include "platform/texture/texture_decode.h"

// Decodes a file that starts with "DDS ".
bool texture_dds_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error);
