// device_state_defaults.cpp - which render, texture-stage and sampler states exist and the values
// a device starts with (the platform's documented defaults).
#include "platform/d3d9/device.h"

#include <array>
#include <bit>

namespace {

constexpr DWORD float_bits(float f) { return std::bit_cast<DWORD>(f); }

struct state_default {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

// Every render state but ZENABLE, which depends on the depth buffer, and the states whose default
// is zero.
constexpr state_default render_defaults[] = {
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_LASTPIXEL, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_FOGEND, float_bits(1.0f)},
    {D3DRS_FOGDENSITY, float_bits(1.0f)},
    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_STENCILMASK, 0xFFFFFFFF},
    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFF},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_COLORVERTEX, TRUE},
    {D3DRS_LOCALVIEWER, TRUE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_POINTSIZE, float_bits(1.0f)},
    {D3DRS_POINTSIZE_MIN, float_bits(1.0f)},
    {D3DRS_POINTSCALE_A, float_bits(1.0f)},
    {D3DRS_MULTISAMPLEANTIALIAS, TRUE},
    {D3DRS_MULTISAMPLEMASK, 0xFFFFFFFF},
    {D3DRS_POINTSIZE_MAX, float_bits(64.0f)},
    {D3DRS_COLORWRITEENABLE, 0x0000000F},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_POSITIONDEGREE, D3DDEGREE_CUBIC},
    {D3DRS_NORMALDEGREE, D3DDEGREE_LINEAR},
    {D3DRS_MINTESSELLATIONLEVEL, float_bits(1.0f)},
    {D3DRS_MAXTESSELLATIONLEVEL, float_bits(1.0f)},
    {D3DRS_ADAPTIVETESS_Z, float_bits(1.0f)},
    {D3DRS_CCW_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_CCW_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_CCW_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_COLORWRITEENABLE1, 0x0000000F},
    {D3DRS_COLORWRITEENABLE2, 0x0000000F},
    {D3DRS_COLORWRITEENABLE3, 0x0000000F},
    {D3DRS_BLENDFACTOR, 0xFFFFFFFF},
    {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
    {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
    {D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD},
};

// The members of D3DRENDERSTATETYPE, as ranges of values.
constexpr struct {
    DWORD first, last;
} known_render_states[] = {
    {7, 9},     {14, 16},   {19, 20},   {22, 29},   {34, 38},   {48, 48},   {52, 60},   {128, 137},
    {139, 143}, {145, 148}, {151, 152}, {154, 163}, {165, 168}, {170, 176}, {178, 195}, {198, 209},
};

constexpr std::array<bool, d3d9_render_state_slots> known_render_state_table = [] {
    std::array<bool, d3d9_render_state_slots> known{};
    for (const auto& range : known_render_states) {
        for (DWORD s = range.first; s <= range.last; ++s) known[s] = true;
    }
    return known;
}();

}  // namespace

bool d3d9_render_state_known(DWORD state) {
    return state < known_render_state_table.size() && known_render_state_table[state];
}

DWORD d3d9_default_render_state(size_t state, bool with_depth) {
    if (state == D3DRS_ZENABLE) return with_depth ? D3DZB_TRUE : D3DZB_FALSE;
    for (const state_default& d : render_defaults) {
        if (size_t(d.state) == state) return d.value;
    }
    return 0;
}

bool d3d9_stage_state_known(DWORD type) {
    return (type >= D3DTSS_COLOROP && type <= D3DTSS_TEXCOORDINDEX) ||
           (type >= D3DTSS_BUMPENVLSCALE && type <= D3DTSS_TEXTURETRANSFORMFLAGS) ||
           (type >= D3DTSS_COLORARG0 && type <= D3DTSS_RESULTARG) || type == D3DTSS_CONSTANT;
}

// Stage 0 modulates the texture by the diffuse colour and takes the texture's alpha; the later
// stages are off. Each stage reads the coordinate set of its own number.
DWORD d3d9_default_stage_state(int stage, size_t type) {
    switch (type) {
    case D3DTSS_COLOROP: return stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    case D3DTSS_ALPHAOP: return stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    case D3DTSS_COLORARG1:
    case D3DTSS_ALPHAARG1: return D3DTA_TEXTURE;
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG2:
    case D3DTSS_COLORARG0:
    case D3DTSS_ALPHAARG0:
    case D3DTSS_RESULTARG: return D3DTA_CURRENT;
    case D3DTSS_TEXCOORDINDEX: return DWORD(stage);
    case D3DTSS_CONSTANT: return 0xFFFFFFFFu;
    default: return 0;  // bump-map matrix and scale, D3DTTFF_DISABLE
    }
}

DWORD d3d9_default_sampler_state(size_t type) {
    switch (type) {
    case D3DSAMP_ADDRESSU:
    case D3DSAMP_ADDRESSV:
    case D3DSAMP_ADDRESSW: return D3DTADDRESS_WRAP;
    case D3DSAMP_MAGFILTER:
    case D3DSAMP_MINFILTER: return D3DTEXF_POINT;
    case D3DSAMP_MAXANISOTROPY: return 1;
    default: return 0;  // BORDERCOLOR, MIPFILTER NONE, LOD bias, MAXMIPLEVEL, SRGB, ELEMENTINDEX, DMAPOFFSET
    }
}

int d3d9_sampler_slot(DWORD sampler) {
    if (sampler < 16) return int(sampler);
    if (sampler >= D3DDMAPSAMPLER && sampler <= D3DVERTEXTEXTURESAMPLER3) return int(16 + sampler - D3DDMAPSAMPLER);
    return -1;
}
