// state_block.cpp - state sets and blocks, and the device's CreateStateBlock, BeginStateBlock and
// EndStateBlock.
//
// Memberships: a pixel block holds the raster render states, every texture-stage state and the
// states of samplers 0..15; a vertex block holds the vertex pipeline's render states,
// TEXCOORDINDEX and TEXTURETRANSFORMFLAGS of each stage, the displacement-map and vertex samplers'
// states, the lights that exist with their enables, the FVF and the vertex declaration. FOGSTART,
// FOGEND, FOGDENSITY, TEXCOORDINDEX and TEXTURETRANSFORMFLAGS belong to both. SPECULARENABLE
// counts as a vertex state (it decides whether lighting computes specular). A block of everything
// adds the rest: every render state, textures, streams, indices, viewport, scissor rectangle,
// every transform, clip planes and material.
#include "platform/d3d9/state_block.h"

#include <algorithm>
#include <new>

namespace {

constexpr D3DRENDERSTATETYPE pixel_render_states[] = {
    D3DRS_ZENABLE,
    D3DRS_FILLMODE,
    D3DRS_SHADEMODE,
    D3DRS_ZWRITEENABLE,
    D3DRS_ALPHATESTENABLE,
    D3DRS_LASTPIXEL,
    D3DRS_SRCBLEND,
    D3DRS_DESTBLEND,
    D3DRS_ZFUNC,
    D3DRS_ALPHAREF,
    D3DRS_ALPHAFUNC,
    D3DRS_DITHERENABLE,
    D3DRS_FOGSTART,
    D3DRS_FOGEND,
    D3DRS_FOGDENSITY,
    D3DRS_ALPHABLENDENABLE,
    D3DRS_DEPTHBIAS,
    D3DRS_STENCILENABLE,
    D3DRS_STENCILFAIL,
    D3DRS_STENCILZFAIL,
    D3DRS_STENCILPASS,
    D3DRS_STENCILFUNC,
    D3DRS_STENCILREF,
    D3DRS_STENCILMASK,
    D3DRS_STENCILWRITEMASK,
    D3DRS_TEXTUREFACTOR,
    D3DRS_WRAP0,
    D3DRS_WRAP1,
    D3DRS_WRAP2,
    D3DRS_WRAP3,
    D3DRS_WRAP4,
    D3DRS_WRAP5,
    D3DRS_WRAP6,
    D3DRS_WRAP7,
    D3DRS_WRAP8,
    D3DRS_WRAP9,
    D3DRS_WRAP10,
    D3DRS_WRAP11,
    D3DRS_WRAP12,
    D3DRS_WRAP13,
    D3DRS_WRAP14,
    D3DRS_WRAP15,
    D3DRS_COLORWRITEENABLE,
    D3DRS_BLENDOP,
    D3DRS_SCISSORTESTENABLE,
    D3DRS_SLOPESCALEDEPTHBIAS,
    D3DRS_ANTIALIASEDLINEENABLE,
    D3DRS_TWOSIDEDSTENCILMODE,
    D3DRS_CCW_STENCILFAIL,
    D3DRS_CCW_STENCILZFAIL,
    D3DRS_CCW_STENCILPASS,
    D3DRS_CCW_STENCILFUNC,
    D3DRS_COLORWRITEENABLE1,
    D3DRS_COLORWRITEENABLE2,
    D3DRS_COLORWRITEENABLE3,
    D3DRS_BLENDFACTOR,
    D3DRS_SRGBWRITEENABLE,
    D3DRS_SEPARATEALPHABLENDENABLE,
    D3DRS_SRCBLENDALPHA,
    D3DRS_DESTBLENDALPHA,
    D3DRS_BLENDOPALPHA,
};

constexpr D3DRENDERSTATETYPE vertex_render_states[] = {
    D3DRS_CULLMODE,
    D3DRS_FOGENABLE,
    D3DRS_FOGCOLOR,
    D3DRS_FOGTABLEMODE,
    D3DRS_FOGSTART,
    D3DRS_FOGEND,
    D3DRS_FOGDENSITY,
    D3DRS_RANGEFOGENABLE,
    D3DRS_AMBIENT,
    D3DRS_COLORVERTEX,
    D3DRS_FOGVERTEXMODE,
    D3DRS_CLIPPING,
    D3DRS_LIGHTING,
    D3DRS_NORMALIZENORMALS,
    D3DRS_LOCALVIEWER,
    D3DRS_SPECULARENABLE,
    D3DRS_EMISSIVEMATERIALSOURCE,
    D3DRS_AMBIENTMATERIALSOURCE,
    D3DRS_DIFFUSEMATERIALSOURCE,
    D3DRS_SPECULARMATERIALSOURCE,
    D3DRS_VERTEXBLEND,
    D3DRS_CLIPPLANEENABLE,
    D3DRS_POINTSIZE,
    D3DRS_POINTSIZE_MIN,
    D3DRS_POINTSPRITEENABLE,
    D3DRS_POINTSCALEENABLE,
    D3DRS_POINTSCALE_A,
    D3DRS_POINTSCALE_B,
    D3DRS_POINTSCALE_C,
    D3DRS_MULTISAMPLEANTIALIAS,
    D3DRS_MULTISAMPLEMASK,
    D3DRS_PATCHEDGESTYLE,
    D3DRS_POINTSIZE_MAX,
    D3DRS_INDEXEDVERTEXBLENDENABLE,
    D3DRS_TWEENFACTOR,
    D3DRS_POSITIONDEGREE,
    D3DRS_NORMALDEGREE,
    D3DRS_MINTESSELLATIONLEVEL,
    D3DRS_MAXTESSELLATIONLEVEL,
    D3DRS_ADAPTIVETESS_X,
    D3DRS_ADAPTIVETESS_Y,
    D3DRS_ADAPTIVETESS_Z,
    D3DRS_ADAPTIVETESS_W,
    D3DRS_ENABLEADAPTIVETESSELLATION,
};

constexpr D3DTEXTURESTAGESTATETYPE vertex_stage_states[] = {D3DTSS_TEXCOORDINDEX, D3DTSS_TEXTURETRANSFORMFLAGS};

constexpr int pixel_samplers = 16;  // slots 0..15; the displacement-map and vertex samplers follow

DWORD sampler_number(size_t slot) { return slot < pixel_samplers ? DWORD(slot) : DWORD(D3DDMAPSAMPLER + slot - 16); }

D3DTRANSFORMSTATETYPE transform_kind(size_t index) {
    if (index == 0) return D3DTS_VIEW;
    if (index == 1) return D3DTS_PROJECTION;
    if (index < 10) return D3DTRANSFORMSTATETYPE(D3DTS_TEXTURE0 + index - 2);
    return D3DTS_WORLDMATRIX(index - 10);
}

// Replaces a held reference: the new one first, so that holding the same object twice is safe.
template <typename T>
void hold(T*& slot, T* object) {
    if (object != nullptr) object->AddRef();
    if (slot != nullptr) slot->Release();
    slot = object;
}

template <typename T>
void let_go(T*& slot) {
    if (slot != nullptr) slot->Release();
    slot = nullptr;
}

}  // namespace

int d3d9_transform_index(DWORD kind) {
    if (kind == D3DTS_VIEW) return 0;
    if (kind == D3DTS_PROJECTION) return 1;
    if (kind >= D3DTS_TEXTURE0 && kind <= D3DTS_TEXTURE7) return int(kind - D3DTS_TEXTURE0) + 2;
    if (kind >= 256 && kind < 512) return int(kind - 256) + 10;
    return -1;
}

// ---- the set ------------------------------------------------------------------------------------

d3d9_state_set::~d3d9_state_set() {
    for (IDirect3DBaseTexture9*& t : textures) let_go(t);
    for (stream_binding& s : streams) let_go(s.buffer);
    let_go(indices);
    let_go(declaration);
}

bool d3d9_state_set::select(D3DSTATEBLOCKTYPE type, IDirect3DDevice9* device) {
    const int32_t kind = d3d9_stored_value(type);
    if (kind != D3DSBT_ALL && kind != D3DSBT_PIXELSTATE && kind != D3DSBT_VERTEXSTATE) return false;
    const bool all = kind == D3DSBT_ALL, pixel = all || kind == D3DSBT_PIXELSTATE,
               vertex = all || kind == D3DSBT_VERTEXSTATE;
    for (DWORD s = 0; all && s < d3d9_render_state_slots; ++s) has_render[s] = d3d9_render_state_known(s);
    for (D3DRENDERSTATETYPE s : pixel_render_states) has_render[s] = has_render[s] || pixel;
    for (D3DRENDERSTATETYPE s : vertex_render_states) has_render[s] = has_render[s] || vertex;
    for (auto& states : has_stage) {
        for (DWORD t = 0; pixel && t < d3d9_stage_state_slots; ++t) states[t] = d3d9_stage_state_known(t);
        for (D3DTEXTURESTAGESTATETYPE t : vertex_stage_states) states[t] = states[t] || vertex;
    }
    for (size_t slot = 0; slot < has_sampler.size(); ++slot) {
        if (slot < pixel_samplers ? pixel : vertex) has_sampler[slot].set().reset(0);
    }
    for (DWORD i = 0; vertex && i < DWORD(tnl_max_lights); ++i) {
        D3DLIGHT9 light;
        has_light[i] = has_light_enable[i] = device->GetLight(i, &light) == D3D_OK;
    }
    has_fvf = has_declaration = vertex;
    if (all) {
        has_transform.set();
        has_material = has_viewport = has_scissor = has_indices = true;
        has_texture.set();
        has_clip_plane.set();
        has_stream.set();
    }
    return true;
}

void d3d9_state_set::capture(IDirect3DDevice9* device) {
    for (size_t s = 0; s < render.size(); ++s) {
        if (has_render[s]) device->GetRenderState(D3DRENDERSTATETYPE(s), &render[s]);
    }
    for (size_t st = 0; st < stage.size(); ++st) {
        for (size_t t = 0; t < stage[st].size(); ++t) {
            if (has_stage[st][t]) device->GetTextureStageState(DWORD(st), D3DTEXTURESTAGESTATETYPE(t), &stage[st][t]);
        }
    }
    for (size_t slot = 0; slot < sampler.size(); ++slot) {
        for (size_t t = 0; t < sampler[slot].size(); ++t) {
            if (has_sampler[slot][t]) {
                device->GetSamplerState(sampler_number(slot), D3DSAMPLERSTATETYPE(t), &sampler[slot][t]);
            }
        }
    }
    for (size_t i = 0; i < transforms.size(); ++i) {
        if (has_transform[i]) device->GetTransform(transform_kind(i), &transforms[i]);
    }
    for (DWORD i = 0; i < DWORD(tnl_max_lights); ++i) {
        if (has_light[i]) device->GetLight(i, &lights[i]);
        if (has_light_enable[i]) device->GetLightEnable(i, &light_enables[i]);
    }
    if (has_material) device->GetMaterial(&material);
    for (DWORD i = 0; i < DWORD(d3d9_texture_stages); ++i) {
        IDirect3DBaseTexture9* texture = nullptr;
        if (has_texture[i] && device->GetTexture(i, &texture) == D3D_OK) {
            let_go(textures[i]);
            textures[i] = texture;  // GetTexture's reference becomes the set's
        }
    }
    for (DWORD i = 0; i < DWORD(d3d9_clip_planes); ++i) {
        if (has_clip_plane[i]) device->GetClipPlane(i, clip_planes[i].data());
    }
    if (has_viewport) device->GetViewport(&viewport);
    if (has_scissor) device->GetScissorRect(&scissor);
    for (UINT i = 0; i < UINT(d3d9_streams); ++i) {
        stream_binding read;
        if (has_stream[i] && device->GetStreamSource(i, &read.buffer, &read.offset, &read.stride) == D3D_OK) {
            let_go(streams[i].buffer);
            streams[i] = read;
        }
    }
    IDirect3DIndexBuffer9* read_indices = nullptr;
    if (has_indices && device->GetIndices(&read_indices) == D3D_OK) {
        let_go(indices);
        indices = read_indices;
    }
    if (has_fvf) device->GetFVF(&fvf);
    IDirect3DVertexDeclaration9* read_declaration = nullptr;
    if (has_declaration && device->GetVertexDeclaration(&read_declaration) == D3D_OK) {
        let_go(declaration);
        declaration = read_declaration;
    }
}

void d3d9_state_set::apply(IDirect3DDevice9* device) const {
    for (size_t s = 0; s < render.size(); ++s) {
        if (has_render[s]) device->SetRenderState(D3DRENDERSTATETYPE(s), render[s]);
    }
    for (size_t st = 0; st < stage.size(); ++st) {
        for (size_t t = 0; t < stage[st].size(); ++t) {
            if (has_stage[st][t]) device->SetTextureStageState(DWORD(st), D3DTEXTURESTAGESTATETYPE(t), stage[st][t]);
        }
    }
    for (size_t slot = 0; slot < sampler.size(); ++slot) {
        for (size_t t = 0; t < sampler[slot].size(); ++t) {
            if (has_sampler[slot][t])
                device->SetSamplerState(sampler_number(slot), D3DSAMPLERSTATETYPE(t), sampler[slot][t]);
        }
    }
    for (size_t i = 0; i < transforms.size(); ++i) {
        if (has_transform[i]) device->SetTransform(transform_kind(i), &transforms[i]);
    }
    for (DWORD i = 0; i < DWORD(tnl_max_lights); ++i) {
        if (has_light[i]) device->SetLight(i, &lights[i]);
        if (has_light_enable[i]) device->LightEnable(i, light_enables[i]);
    }
    if (has_material) device->SetMaterial(&material);
    for (DWORD i = 0; i < DWORD(d3d9_texture_stages); ++i) {
        if (has_texture[i]) device->SetTexture(i, textures[i]);
    }
    for (DWORD i = 0; i < DWORD(d3d9_clip_planes); ++i) {
        if (has_clip_plane[i]) device->SetClipPlane(i, clip_planes[i].data());
    }
    if (has_viewport) device->SetViewport(&viewport);
    if (has_scissor) device->SetScissorRect(&scissor);
    for (UINT i = 0; i < UINT(d3d9_streams); ++i) {
        if (has_stream[i]) device->SetStreamSource(i, streams[i].buffer, streams[i].offset, streams[i].stride);
    }
    if (has_indices) device->SetIndices(indices);
    // A captured pair: a non-zero FVF describes the vertices, otherwise the declaration does.
    const bool declaration_rules = has_declaration && (!has_fvf || (fvf == 0 && declaration != nullptr));
    if (declaration_rules) {
        device->SetVertexDeclaration(declaration);
    } else if (has_fvf) {
        device->SetFVF(fvf);
    }
}

HRESULT d3d9_state_set::record_render_state(DWORD state, DWORD value) {
    has_render[state] = true;
    render[state] = value;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_stage_state(DWORD st, DWORD type, DWORD value) {
    has_stage[st][type] = true;
    stage[st][type] = value;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_sampler_state(int slot, DWORD type, DWORD value) {
    has_sampler[size_t(slot)][type] = true;
    sampler[size_t(slot)][type] = value;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_transform(int index, const D3DMATRIX& matrix) {
    has_transform[size_t(index)] = true;
    transforms[size_t(index)] = matrix;
    return D3D_OK;
}

const D3DMATRIX* d3d9_state_set::recorded_transform(int index) const {
    return has_transform[size_t(index)] ? &transforms[size_t(index)] : nullptr;
}

HRESULT d3d9_state_set::record_light(DWORD index, const D3DLIGHT9& light) {
    has_light[index] = true;
    lights[index] = light;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_light_enable(DWORD index, BOOL enable) {
    has_light_enable[index] = true;
    light_enables[index] = enable;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_material(const D3DMATERIAL9& m) {
    has_material = true;
    material = m;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_texture(DWORD st, IDirect3DBaseTexture9* texture) {
    has_texture[st] = true;
    hold(textures[st], texture);
    return D3D_OK;
}

HRESULT d3d9_state_set::record_clip_plane(DWORD index, const float* plane) {
    has_clip_plane[index] = true;
    std::copy(plane, plane + 4, clip_planes[index].begin());
    return D3D_OK;
}

HRESULT d3d9_state_set::record_viewport(const D3DVIEWPORT9& v) {
    has_viewport = true;
    viewport = v;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_scissor(const RECT& rect) {
    has_scissor = true;
    scissor = rect;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_stream_source(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    has_stream[stream] = true;
    hold(streams[stream].buffer, buffer);
    streams[stream].offset = offset;
    streams[stream].stride = stride;
    return D3D_OK;
}

HRESULT d3d9_state_set::record_indices(IDirect3DIndexBuffer9* buffer) {
    has_indices = true;
    hold(indices, buffer);
    return D3D_OK;
}

HRESULT d3d9_state_set::record_fvf(DWORD value) {
    has_fvf = true;
    fvf = value;
    has_declaration = false;
    let_go(declaration);
    return D3D_OK;
}

HRESULT d3d9_state_set::record_declaration(IDirect3DVertexDeclaration9* value) {
    has_declaration = true;
    hold(declaration, value);
    has_fvf = false;
    return D3D_OK;
}

// ---- the block ----------------------------------------------------------------------------------

d3d9_state_block::d3d9_state_block(IDirect3DDevice9* device, std::unique_ptr<d3d9_state_set> set)
    : device_(device), set_(std::move(set)) {
    device_->AddRef();
    d3d9_device_count_reset_blocker(device_, +1);
}

d3d9_state_block::~d3d9_state_block() {
    set_.reset();  // its textures and buffers first, while the device still lives
    d3d9_device_count_reset_blocker(device_, -1);
    device_->Release();
}

bool d3d9_state_block::answers(REFIID riid) const { return IsEqualGUID(riid, IID_IDirect3DStateBlock9); }

HRESULT d3d9_state_block::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT d3d9_state_block::Capture() {
    set_->capture(device_);
    return D3D_OK;
}

HRESULT d3d9_state_block::Apply() {
    set_->apply(device_);
    return D3D_OK;
}

// ---- the device's side --------------------------------------------------------------------------

namespace {

// The set moves into the block only once the block's memory is there: on failure it stays put.
HRESULT hand_out(IDirect3DDevice9* device, std::unique_ptr<d3d9_state_set>& set, IDirect3DStateBlock9** block) {
    d3d9_state_block* made = new (std::nothrow) d3d9_state_block(device, std::move(set));
    if (made == nullptr) return E_OUTOFMEMORY;
    *block = made;
    return D3D_OK;
}

}  // namespace

HRESULT d3d9_device::CreateStateBlock(D3DSTATEBLOCKTYPE type, IDirect3DStateBlock9** block) {
    if (block == nullptr) return D3DERR_INVALIDCALL;
    *block = nullptr;
    if (recording_ != nullptr) return D3DERR_INVALIDCALL;
    std::unique_ptr<d3d9_state_set> set(new (std::nothrow) d3d9_state_set);
    if (set == nullptr) return E_OUTOFMEMORY;
    if (!set->select(type, this)) return D3DERR_INVALIDCALL;
    set->capture(this);
    return hand_out(this, set, block);
}

HRESULT d3d9_device::BeginStateBlock() {
    if (recording_ != nullptr) return D3DERR_INVALIDCALL;
    recording_.reset(new (std::nothrow) d3d9_state_set);
    return recording_ != nullptr ? D3D_OK : E_OUTOFMEMORY;
}

HRESULT d3d9_device::EndStateBlock(IDirect3DStateBlock9** block) {
    if (block == nullptr) return D3DERR_INVALIDCALL;
    *block = nullptr;
    if (recording_ == nullptr) return D3DERR_INVALIDCALL;
    return hand_out(this, recording_, block);
}
