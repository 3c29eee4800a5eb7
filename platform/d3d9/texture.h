// texture.h - creation of a texture from decoded texels (used by the texture loader), and what the
// samplers read of any texture of ours.
//
// Such a texture is IDirect3DTexture9 with levels of A8R8G8B8 texels in the managed pool: the
// image, and below it the chain its creator built (d3d9_texture_build_chain), if any. It answers
// its description, priority and level of detail, and locks any level for reading
// (D3DLOCK_READONLY); writing into it, surfaces of its levels and private data are not offered
// (D3DERR_INVALIDCALL, or D3DERR_NOTFOUND when reading private data). It belongs to no device:
// GetDevice fails with D3DERR_INVALIDCALL.
#pragma once

#include <d3d9.h>

#include <memory>
#include <vector>

// The largest side of a texture.
inline constexpr UINT d3d9_max_texture_side = 8192;

// Decoded texels that any number of textures may share: 0xAARRGGBB, rows top to bottom, `width`
// texels per row.
struct d3d9_texture_image {
    UINT width = 0;
    UINT height = 0;
    std::vector<D3DCOLOR> texels;
    // The levels below the image, each the 2 x 2 box filter of the one above (mip_chain.h), down to
    // 1 x 1; empty when the texture has the image alone.
    std::vector<std::vector<D3DCOLOR>> lower_levels;
};

// Builds the complete chain of `image` into its lower_levels. Throws std::bad_alloc.
void d3d9_texture_build_chain(d3d9_texture_image& image);

// The texels of one of our textures: 0xAARRGGBB, rows top to bottom, `width` texels per row: level
// 0 of a loaded texture, the most detailed usable level of a program's (device_texture.h).
// Empty (null texels, sizes 0) for a null texture or one that is not ours.
struct d3d9_texture_view {
    const D3DCOLOR* texels = nullptr;
    UINT width = 0;
    UINT height = 0;
};
d3d9_texture_view d3d9_texture_texels(IDirect3DBaseTexture9* texture);

// The levels of one of our textures as the general sampler reads them (sampler.h), starting at
// its most detailed usable level (SetLOD); false, leaving *levels empty, for a null texture or one
// that is not ours. The texels stay valid until the texture is changed, locked or released.
struct sampler_level;
bool d3d9_texture_sampled_levels(IDirect3DBaseTexture9* texture, sampler_level* levels, int* level_count);

// Makes a texture over `image`, which it keeps alive (and never changes) until its last release.
// Fails with D3DERR_INVALIDCALL, leaving *texture null, when the image is missing, its sizes are
// zero, above d3d9_max_texture_side or do not match its texels, or its lower levels are not a
// chain of its sizes; E_OUTOFMEMORY.
HRESULT d3d9_create_texture(std::shared_ptr<const d3d9_texture_image> image, IDirect3DTexture9** texture);

// Makes a texture of its own from `width` x `height` texels; fails as above.
HRESULT d3d9_create_texture(UINT width, UINT height, std::vector<D3DCOLOR>&& texels, IDirect3DTexture9** texture);
