// texture_decode_pnm.h - the PNM reader behind texture_decode: P2/P3 (ASCII) and P5/P6 (binary) grey and
// colour images with any maximum value from 1 to 65535, samples scaled to 0..255 with rounding
// (samples above the maximum count as the maximum). Comments may follow any header field.
#pragma once

#include "platform/texture/texture_decode.h"

// True when the bytes start with a PNM signature ('P' and a digit 1 to 7), supported or not.
bool texture_is_pnm(const unsigned char* data, size_t size);

// Decodes a PNM file; false with the reason for unsupported types (P1, P4, P7), malformed headers,
// implausible sizes and rasters cut short.
bool texture_pnm_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error);
