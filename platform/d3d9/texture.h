// texture.h - creation of a texture from decoded texels (used by the texture loader).
#pragma once

#include <d3d9.h>

#include <vector>

// Makes a texture of `width` x `height` texels (0xAARRGGBB, rows top to bottom). Fails with
// D3DERR_INVALIDCALL, leaving *texture null, when the sizes are zero or do not match the texels.
HRESULT d3d9_create_texture(UINT width, UINT height, std::vector<D3DCOLOR>&& texels, IDirect3DTexture9** texture);
