// texture_decode_dib.h - the reader behind texture_decode for device-independent bitmaps without a
// file header (a .dib as image tools write it: a BMP's info header, colour table and pixels). The
// file header a BMP starts with is rebuilt in front of a copy of the bytes, which stb_image then
// reads as a BMP; a .dib that is a whole BMP is read as one by its signature instead.
#pragma once

#include "platform/texture/texture_decode.h"

// True when the bytes start like a BMP info header: a size stb_image knows (12, 40, 56, 108 or
// 124 bytes), one plane and a valid bit depth.
bool texture_is_dib(const unsigned char* data, size_t size);

// Decodes a file that texture_is_dib accepts.
bool texture_dib_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error);
