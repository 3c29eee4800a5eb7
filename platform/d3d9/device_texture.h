// device_texture.h - textures a program makes with CreateTexture: levels of any texture format of
// texture_format.h in any pool, each level a surface over the texture's own bytes.
//
// What is sampled is each level decoded to 0xAARRGGBB, refreshed when a lock that could write ends
// and when the device writes into a level (d3d9_surface_changed); for A8R8G8B8 and X8R8G8B8 the
// level's own bytes are that form (X8R8G8B8 sampled with alpha 255). A texture made with
// D3DUSAGE_AUTOGENMIPMAP shows the program one level and keeps the rest of the chain for sampling,
// each level the 2 x 2 box filter of the one above, rebuilt whenever level 0 changes and on
// GenerateMipSubLevels.
#pragma once

#include <d3d9.h>

#include "platform/d3d9/sampler.h"

// Checks the arguments as CreateTexture documents them and makes the texture: D3DERR_INVALIDCALL
// for sizes 0 or above 4096, a format that is not a texture format, unknown usage bits or
// DEPTHSTENCIL, RENDERTARGET outside the DEFAULT pool or with a format that is not a render-target
// format, MANAGED with DYNAMIC or RENDERTARGET, AUTOGENMIPMAP with more than one level or in the
// SYSTEMMEM pool, more levels than the complete chain, an unknown pool, a shared handle or a null
// output; out of memory by pool. *texture is null on failure.
HRESULT d3d9_create_device_texture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage,
                                   D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared);

// The sampled levels of a texture made by d3d9_create_device_texture, from its LOD on; false for
// anything else.
bool d3d9_device_texture_levels(IDirect3DBaseTexture9* texture, sampler_level* levels, int* level_count);

// The pool of such a texture; false for anything else.
bool d3d9_device_texture_pool(IDirect3DBaseTexture9* texture, D3DPOOL* pool);

// Rebuilds an AUTOGENMIPMAP texture's lower levels (after level 0 was copied into); nothing for
// other textures.
void d3d9_device_texture_regenerate(IDirect3DBaseTexture9* texture);
