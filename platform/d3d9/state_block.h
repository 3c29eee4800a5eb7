// state_block.h - state blocks (IDirect3DStateBlock9): a set of device states and their values.
//
// A state set names which states it holds (one flag per state) and keeps a value for each. It is
// filled either by recording (BeginStateBlock ... EndStateBlock: the device hands its Set* calls
// to the record_* functions instead of applying them; a state set twice keeps its last value) or
// by CreateStateBlock, which marks the members of the chosen kind (ALL, PIXELSTATE, VERTEXSTATE)
// and captures them. Capture re-reads the held states and Apply sets them, both through the
// device's public Get* and Set* calls, so they follow the device's own rules.
//
// References: the set holds one reference to each texture, vertex buffer, index buffer and vertex
// declaration it keeps; a block holds one reference to its device. The device holds no reference
// to any block (a recording set is a plain object the device owns), so nothing keeps itself alive.
//
// DOES NOT: hold shaders, shader constants or stream frequencies (the device has none but the
// defaults), or the FVF and declaration together: recording one drops the other, as setting one
// replaces the other on the device.
#pragma once

#include <d3d9.h>

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/device.h"

#include <array>
#include <bitset>
#include <memory>

inline constexpr int d3d9_streams = 16;
inline constexpr size_t d3d9_transform_slots = 2 + 8 + 256;  // VIEW, PROJECTION, TEXTURE0-7, WORLDMATRIX(0-255)

// The slot of a transform type, or -1 for a value that names no transform.
int d3d9_transform_index(DWORD kind);

struct d3d9_state_set {
    d3d9_state_set() = default;
    d3d9_state_set(const d3d9_state_set&) = delete;
    d3d9_state_set& operator=(const d3d9_state_set&) = delete;
    ~d3d9_state_set();

    // Marks the members of a block of `type` (the lights that exist on `device` among them);
    // false for an unknown type.
    bool select(D3DSTATEBLOCKTYPE type, IDirect3DDevice9* device);
    void capture(IDirect3DDevice9* device);
    void apply(IDirect3DDevice9* device) const;

    // Recording: the arguments are already checked by the device.
    HRESULT record_render_state(DWORD state, DWORD value);
    HRESULT record_stage_state(DWORD stage, DWORD type, DWORD value);
    HRESULT record_sampler_state(int slot, DWORD type, DWORD value);
    HRESULT record_transform(int index, const D3DMATRIX& matrix);
    // The recorded matrix of `index`, or null when the set holds none.
    const D3DMATRIX* recorded_transform(int index) const;
    HRESULT record_light(DWORD index, const D3DLIGHT9& light);
    HRESULT record_light_enable(DWORD index, BOOL enable);
    HRESULT record_material(const D3DMATERIAL9& material);
    HRESULT record_texture(DWORD stage, IDirect3DBaseTexture9* texture);
    HRESULT record_clip_plane(DWORD index, const float* plane);
    HRESULT record_viewport(const D3DVIEWPORT9& viewport);
    HRESULT record_scissor(const RECT& rect);
    HRESULT record_stream_source(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride);
    HRESULT record_indices(IDirect3DIndexBuffer9* indices);
    HRESULT record_fvf(DWORD fvf);
    HRESULT record_declaration(IDirect3DVertexDeclaration9* declaration);

    struct stream_binding {
        IDirect3DVertexBuffer9* buffer = nullptr;
        UINT offset = 0;
        UINT stride = 0;
    };

    std::bitset<d3d9_render_state_slots> has_render;
    std::array<DWORD, d3d9_render_state_slots> render{};
    std::array<std::bitset<d3d9_stage_state_slots>, d3d9_texture_stages> has_stage;
    std::array<std::array<DWORD, d3d9_stage_state_slots>, d3d9_texture_stages> stage{};
    std::array<std::bitset<d3d9_sampler_state_slots>, d3d9_samplers> has_sampler;
    std::array<std::array<DWORD, d3d9_sampler_state_slots>, d3d9_samplers> sampler{};
    std::bitset<d3d9_transform_slots> has_transform;
    std::array<D3DMATRIX, d3d9_transform_slots> transforms{};
    std::bitset<tnl_max_lights> has_light;
    std::array<D3DLIGHT9, tnl_max_lights> lights{};
    std::bitset<tnl_max_lights> has_light_enable;
    std::array<BOOL, tnl_max_lights> light_enables{};
    bool has_material = false;
    D3DMATERIAL9 material{};
    std::bitset<d3d9_texture_stages> has_texture;
    std::array<IDirect3DBaseTexture9*, d3d9_texture_stages> textures{};
    std::bitset<d3d9_clip_planes> has_clip_plane;
    std::array<std::array<float, 4>, d3d9_clip_planes> clip_planes{};
    bool has_viewport = false;
    D3DVIEWPORT9 viewport{};
    bool has_scissor = false;
    RECT scissor{};
    std::bitset<d3d9_streams> has_stream;
    std::array<stream_binding, d3d9_streams> streams{};
    bool has_indices = false;
    IDirect3DIndexBuffer9* indices = nullptr;
    bool has_fvf = false;
    DWORD fvf = 0;
    bool has_declaration = false;
    IDirect3DVertexDeclaration9* declaration = nullptr;
};

class d3d9_state_block final : public com_object<IDirect3DStateBlock9> {
public:
    // Takes a reference to `device` and ownership of `set`.
    d3d9_state_block(IDirect3DDevice9* device, std::unique_ptr<d3d9_state_set> set);

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT Capture() override;
    HRESULT Apply() override;

protected:
    bool answers(REFIID riid) const override;

private:
    ~d3d9_state_block() override;

    IDirect3DDevice9* device_;
    std::unique_ptr<d3d9_state_set> set_;
};
