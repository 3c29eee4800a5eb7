// texture.h - creation of a texture from decoded texels (used by the texture loader).
#pragma once

#include <d3d9.h>

#include <memory>
#include <vector>

// Decoded texels that any number of textures may share: 0xAARRGGBB, rows top to bottom, `width`
// texels per row.
struct d3d9_texture_image {
    UINT width = 0;
    UINT height = 0;
    std::vector<D3DCOLOR> texels;
};

// The texels of one of our textures: 0xAARRGGBB, rows top to bottom, `width` texels per row.
// Empty (null texels, sizes 0) for a null texture or one that is not ours.
struct d3d9_texture_view {
    const D3DCOLOR* texels = nullptr;
    UINT width = 0;
    UINT height = 0;
};
d3d9_texture_view d3d9_texture_texels(IDirect3DBaseTexture9* texture);

// Makes a texture over `image`, which it keeps alive (and never changes) until its last release.
// Fails with D3DERR_INVALIDCALL, leaving *texture null, when the image is missing, its sizes are
// zero or do not match its texels; E_OUTOFMEMORY.
HRESULT d3d9_create_texture(std::shared_ptr<const d3d9_texture_image> image, IDirect3DTexture9** texture);

// Makes a texture of its own from `width` x `height` texels; fails as above.
HRESULT d3d9_create_texture(UINT width, UINT height, std::vector<D3DCOLOR>&& texels, IDirect3DTexture9** texture);
