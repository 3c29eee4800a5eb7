// texture_image_info.h - the D3DXIMAGE_INFO of an image file held in memory (what
// D3DXGetImageInfoFromFile* and the Ex loaders report), from the decoded image and the file's
// header; bounds-checked for any bytes, as the fuzz harness checks.
//
// Width and Height are the decoded image's; Depth 1, ResourceType D3DRTYPE_TEXTURE; MipLevels 1
// except for a DDS file, which gives its own count. ImageFileFormat follows the content: BMP (also
// a DIB with its file header), JPG, TGA, PNG, DDS, PPM (every PNM), HDR, PFM; other formats stb_image
// reads (GIF, PSD, PIC) report BMP. Format is the file's own layout where it has a D3D name:
//   BMP: 24 bits R8G8B8, 32 bits A8R8G8B8, 16 bits X1R5G5B5, up to 8 bits P8;
//   PNG: grey L8, grey with alpha A8L8, palette P8, colour X8R8G8B8, colour with alpha A8R8G8B8;
//   TGA: palette P8, grey L8, 32 bits A8R8G8B8, 16 bits A1R5G5B5, else X8R8G8B8;
//   DDS: its DXT or uncompressed layout; PNM: grey L8, colour X8R8G8B8; HDR A32B32G32R32F;
//   PFM: R32F (grey) or A32B32G32R32F; JPG and the rest: A8R8G8B8 when the decoded image has a
//   texel with alpha below 255, else X8R8G8B8.
#pragma once

#include <d3dx9.h>

#include "platform/d3d9/texture.h"

#include <cstddef>

// The information of a file already decoded into `image` (bytes are the file, size > 0).
D3DXIMAGE_INFO texture_image_info(const unsigned char* data, size_t size, const d3d9_texture_image& image);
