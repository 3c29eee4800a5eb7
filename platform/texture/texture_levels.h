// texture_levels.h - the texels of a texture's levels through its public interface: level 0 from
// an 0xAARRGGBB image, the levels below from the one above.
//
// Writing locks each level and encodes into the texture's format (texture_format.h); a texture in
// D3DPOOL_DEFAULT without D3DUSAGE_DYNAMIC cannot be locked, so it is filled through a SYSTEMMEM
// copy and UpdateTexture. Lower levels: BOX, TRIANGLE and LINEAR use the 2 x 2 box filter of
// mip_chain.h, POINT keeps the nearest texel, NONE leaves them as they are.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <vector>

// Writes `top` (the size of level 0) into level 0 and fills the lower levels with `mip_kind`.
// D3DERR_INVALIDCALL for a block-compressed format; the device's failures pass through. Throws
// std::bad_alloc.
HRESULT texture_write_levels(IDirect3DTexture9* texture, const std::vector<uint32_t>& top, DWORD mip_kind);

// Reads level `level` into *texels (its width x height, rows contiguous). Throws std::bad_alloc.
HRESULT texture_read_level(IDirect3DTexture9* texture, UINT level, std::vector<uint32_t>* texels);

// The level below a w x h level made with `mip_kind`.
void texture_next_level(const std::vector<uint32_t>& level, UINT w, UINT h, DWORD mip_kind,
                        std::vector<uint32_t>* lower);
