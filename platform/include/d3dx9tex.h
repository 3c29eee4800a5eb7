// d3dx9tex.h - textures loaded from image files.
#pragma once

#include <d3d9.h>

// Loads an image into a texture at the image's own size: BMP, DIB, DDS (the top level of a 2D
// texture), HDR, JPEG, PFM, PNG, PPM or TGA, recognised by content. On failure returns a non-zero
// result and leaves *texture untouched.
HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR filename, IDirect3DTexture9** texture);
