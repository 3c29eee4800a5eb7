// sprite_states.cpp - the states a sprite batch draws with, and the blocks that save them.
#include "platform/d3dx9/sprite_states.h"

namespace {

struct render_state_value {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

// Set by every Begin that may modify render states; blending and alpha test follow the flags.
constexpr render_state_value fixed_render_states[] = {
    {D3DRS_ALPHAFUNC, D3DCMP_GREATER},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_COLORWRITEENABLE,
     D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN | D3DCOLORWRITEENABLE_BLUE | D3DCOLORWRITEENABLE_ALPHA},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_ENABLEADAPTIVETESSELLATION, FALSE},
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_RANGEFOGENABLE, FALSE},
    {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_SRGBWRITEENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    {D3DRS_WRAP0, 0},
};

struct stage_state_value {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};

constexpr stage_state_value stage_states[] = {
    {0, D3DTSS_COLOROP, D3DTOP_MODULATE}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
    {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_TEXCOORDINDEX, 0},         {0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
    {1, D3DTSS_COLOROP, D3DTOP_DISABLE},  {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
};

// Sampler 0's states; the filters come from the caps.
constexpr D3DSAMPLERSTATETYPE sampler_states[] = {
    D3DSAMP_ADDRESSU,      D3DSAMP_ADDRESSV,    D3DSAMP_MAGFILTER,     D3DSAMP_MINFILTER,   D3DSAMP_MIPFILTER,
    D3DSAMP_MAXANISOTROPY, D3DSAMP_MAXMIPLEVEL, D3DSAMP_MIPMAPLODBIAS, D3DSAMP_SRGBTEXTURE,
};

DWORD sampler_value(D3DSAMPLERSTATETYPE type, const sprite_filters& filters) {
    switch (type) {
    case D3DSAMP_ADDRESSU:
    case D3DSAMP_ADDRESSV: return D3DTADDRESS_CLAMP;
    case D3DSAMP_MAGFILTER: return filters.mag;
    case D3DSAMP_MINFILTER: return filters.min;
    case D3DSAMP_MIPFILTER: return filters.mip;
    case D3DSAMP_MAXANISOTROPY: return filters.max_anisotropy;
    default: return 0;  // MAXMIPLEVEL, MIPMAPLODBIAS (0.0f), SRGBTEXTURE
    }
}

// Keeps the first failure of a sequence of calls.
struct first_failure {
    HRESULT result = D3D_OK;
    void operator+=(HRESULT r) {
        if (SUCCEEDED(result)) result = r;
    }
};

// Records what `set_all` sets into a new block; the values recorded do not matter, since every
// Begin captures the device's own values into the block before changing them. When the device
// cannot allocate the block, it stays recording (so that EndStateBlock may be called again): the
// failure is reported as it is.
template <typename SetAll>
HRESULT record(IDirect3DDevice9* device, IDirect3DStateBlock9** block, SetAll set_all) {
    *block = nullptr;
    HRESULT result = device->BeginStateBlock();
    if (FAILED(result)) return result;
    const HRESULT set = set_all();
    result = device->EndStateBlock(block);
    if (FAILED(set) && SUCCEEDED(result)) {
        (*block)->Release();
        *block = nullptr;
        return set;
    }
    return result;
}

}  // namespace

sprite_filters sprite_filters_from_caps(IDirect3DDevice9* device) {
    sprite_filters filters;
    D3DCAPS9 caps{};
    if (FAILED(device->GetDeviceCaps(&caps))) return filters;
    filters.mag =
        (caps.TextureFilterCaps & D3DPTFILTERCAPS_MAGFANISOTROPIC) != 0 ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR;
    filters.min =
        (caps.TextureFilterCaps & D3DPTFILTERCAPS_MINFANISOTROPIC) != 0 ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR;
    filters.mip = (caps.TextureFilterCaps & D3DPTFILTERCAPS_MIPFLINEAR) != 0 ? D3DTEXF_LINEAR : D3DTEXF_POINT;
    filters.max_anisotropy = caps.MaxAnisotropy != 0 ? caps.MaxAnisotropy : 1;
    return filters;
}

HRESULT sprite_record_state_blocks(IDirect3DDevice9* device, IDirect3DStateBlock9** states,
                                   IDirect3DStateBlock9** transforms) {
    const sprite_filters filters;
    HRESULT result = record(device, states, [&] {
        first_failure r;
        for (const render_state_value& s : fixed_render_states) r += device->SetRenderState(s.state, s.value);
        r += device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        r += device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        for (const stage_state_value& s : stage_states) r += device->SetTextureStageState(s.stage, s.type, s.value);
        for (D3DSAMPLERSTATETYPE type : sampler_states)
            r += device->SetSamplerState(0, type, sampler_value(type, filters));
        return r.result;
    });
    if (FAILED(result)) {
        *transforms = nullptr;
        return result;
    }
    result = record(device, transforms, [&] {
        const D3DXMATRIX identity(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
        first_failure r;
        r += device->SetTransform(D3DTS_WORLD, &identity);
        r += device->SetTransform(D3DTS_VIEW, &identity);
        r += device->SetTransform(D3DTS_PROJECTION, &identity);
        return r.result;
    });
    if (FAILED(result)) {
        (*states)->Release();
        *states = nullptr;
    }
    return result;
}

void sprite_set_states(IDirect3DDevice9* device, const sprite_filters& filters, DWORD flags) {
    const DWORD blend = (flags & D3DXSPRITE_ALPHABLEND) != 0 ? TRUE : FALSE;
    for (const render_state_value& s : fixed_render_states) device->SetRenderState(s.state, s.value);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, blend);
    for (const stage_state_value& s : stage_states) device->SetTextureStageState(s.stage, s.type, s.value);
    for (D3DSAMPLERSTATETYPE type : sampler_states) device->SetSamplerState(0, type, sampler_value(type, filters));
}

void sprite_set_screen_transforms(IDirect3DDevice9* device) {
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    const float w = float(viewport.Width != 0 ? viewport.Width : 1);
    const float h = float(viewport.Height != 0 ? viewport.Height : 1);
    const float x = float(viewport.X), y = float(viewport.Y);
    const D3DXMATRIX identity(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const D3DXMATRIX projection(2 / w, 0, 0, 0,   //
                                0, -2 / h, 0, 0,  //
                                0, 0, 1, 0,       //
                                -(w + 2 * x + 1) / w, (h + 2 * y + 1) / h, 0, 1);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}
