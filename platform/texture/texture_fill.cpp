// texture_fill.cpp - D3DXFillTexture: for every texel of every level of a 2D texture the program's
// function receives the texel's centre ((x + 0.5) / w, (y + 0.5) / h) and the size of a texel
// (1 / w, 1 / h) and returns (r, g, b, a) as (x, y, z, w); each component is clamped to 0..1 (NaN
// reads as 0), scaled to 0..255 with rounding and encoded into the texture's format.
//
// D3DERR_INVALIDCALL for a null texture or function, a block-compressed format, or a level that
// cannot be locked (a D3DPOOL_DEFAULT texture without D3DUSAGE_DYNAMIC); levels filled before such a
// failure keep their new texels.
#include "platform/d3d9/texture_format.h"
#include "platform/texture/texture_decode.h"

#include <new>
#include <vector>

namespace {

D3DCOLOR texture_colour_of(const D3DXVECTOR4& colour) {
    return D3DCOLOR(texture_unit_to_8_bits(colour.w) << 24 | texture_unit_to_8_bits(colour.x) << 16 |
                    texture_unit_to_8_bits(colour.y) << 8 | texture_unit_to_8_bits(colour.z));
}

}  // namespace

HRESULT WINAPI D3DXFillTexture(LPDIRECT3DTEXTURE9 texture, LPD3DXFILL2D function, LPVOID data) {
    if (texture == nullptr || function == nullptr) return D3DERR_INVALIDCALL;
    try {
        std::vector<uint32_t> texels;
        for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
            D3DSURFACE_DESC desc;
            if (FAILED(texture->GetLevelDesc(level, &desc)) || d3d9_format_is_dxt(desc.Format) ||
                !d3d9_texture_format(desc.Format)) {
                return D3DERR_INVALIDCALL;
            }
            texels.resize(size_t(desc.Width) * desc.Height);
            const D3DXVECTOR2 size(1.0f / float(desc.Width), 1.0f / float(desc.Height));
            for (UINT y = 0; y < desc.Height; ++y) {
                for (UINT x = 0; x < desc.Width; ++x) {
                    const D3DXVECTOR2 centre((float(x) + 0.5f) * size.x, (float(y) + 0.5f) * size.y);
                    D3DXVECTOR4 colour(0.0f, 0.0f, 0.0f, 0.0f);
                    function(&colour, &centre, &size, data);
                    texels[size_t(y) * desc.Width + x] = texture_colour_of(colour);
                }
            }
            D3DLOCKED_RECT locked;
            if (FAILED(texture->LockRect(level, &locked, nullptr, 0))) return D3DERR_INVALIDCALL;
            d3d9_format_encode(desc.Format, texels.data(), desc.Width, desc.Width, desc.Height,
                               static_cast<uint8_t*>(locked.pBits), UINT(locked.Pitch));
            texture->UnlockRect(level);
        }
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
