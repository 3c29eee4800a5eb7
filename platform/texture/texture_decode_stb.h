// texture_decode_stb.h - the decoding behind texture_decode for every format stb_image reads (all but
// PNM): the file's bytes are served through callbacks that notice a read past the end, and the
// image's announced size is checked before stb_image allocates for it.
#pragma once

#include "platform/texture/texture_decode.h"

// Decodes an image of any format stb_image reads, of the given format; `by_signature` says whether
// its signature showed it (TGA has none, so a file of no known format is tried as TGA).
bool texture_stb_decode(const unsigned char* data, size_t size, const texture_format& format, bool by_signature,
                        d3d9_texture_image* image, texture_error* error);
