// texture_encode.h - 0xAARRGGBB images to image files in memory, for D3DXSaveSurfaceToFile and
// D3DXSaveTextureToFile.
//
// BMP: 24-bit, or 32-bit when `alpha`; PNG and TGA: RGB, or RGBA when `alpha`; JPG: RGB at quality
// 90 (alpha dropped); DDS: an uncompressed 2D texture of one level, A8R8G8B8 when `alpha`, else
// X8R8G8B8. All of them read back through texture_decode to the same texels (JPG approximately).
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <vector>

// False for a file format not listed above (D3DXIFF_PPM, DIB, HDR, PFM). Throws std::bad_alloc.
bool texture_encode(D3DXIMAGE_FILEFORMAT format, const uint32_t* texels, UINT width, UINT height, bool alpha,
                    std::vector<unsigned char>* out);
