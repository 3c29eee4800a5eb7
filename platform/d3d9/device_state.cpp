// device_state.cpp - the device's stored states (texture stages, samplers, clip planes, viewport,
// gamma ramp, vertex format) and its answers about itself (caps, display mode, creation
// parameters, memory, cursor, raster status).
//
// Choices: states the renderer does not honour yet are stored and read back all the same; a
// texture-stage state for a stage beyond 7 or of an unknown type is accepted and has no effect.
// A viewport must lie inside the target, be at least one pixel wide and high, and keep MinZ and
// MaxZ in [0, 1] (MinZ above MaxZ is allowed). A scissor rectangle is clipped to the target.
// Only the fixed-function pipeline exists, so setting a null shader, a null stream or null indices
// succeeds and reading them gives null. There is no device cursor: ShowCursor records the wish,
// the window's own cursor is what shows. The raster status says "not in vertical blank, line 0".
#include "platform/d3d9/device.h"
#include "platform/d3d9/state_block.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>

// ---- the device as a whole ----------------------------------------------------------------------

// Textures live in system memory: the physical memory, capped at what a UINT holds in whole MiB.
UINT d3d9_device::GetAvailableTextureMem() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page_size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return 0;
    const uint64_t bytes = std::min<uint64_t>(uint64_t(pages) * uint64_t(page_size), 0xFFF00000u);
    return UINT(bytes & ~uint64_t(0xFFFFF));
}

HRESULT d3d9_device::EvictManagedResources() { return D3D_OK; }

HRESULT d3d9_device::GetDirect3D(IDirect3D9** direct3d) {
    if (direct3d == nullptr) return D3DERR_INVALIDCALL;
    parent_->AddRef();
    *direct3d = parent_;
    return D3D_OK;
}

HRESULT d3d9_device::GetDeviceCaps(D3DCAPS9* caps) {
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    d3d9_device_caps(caps);
    return D3D_OK;
}

HRESULT d3d9_device::GetDisplayMode(UINT swap_chain, D3DDISPLAYMODE* mode) {
    if (mode == nullptr || swap_chain != 0) return D3DERR_INVALIDCALL;
    *mode = d3d9_desktop_display_mode();
    return D3D_OK;
}

HRESULT d3d9_device::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    if (parameters == nullptr) return D3DERR_INVALIDCALL;
    *parameters = creation_;
    return D3D_OK;
}

// A cursor image needs a surface, and the device makes none yet.
HRESULT d3d9_device::SetCursorProperties(UINT, UINT, IDirect3DSurface9*) { return D3DERR_INVALIDCALL; }

void d3d9_device::SetCursorPosition(int, int, DWORD) {}

BOOL d3d9_device::ShowCursor(BOOL show) {
    const BOOL was = cursor_shown_ ? TRUE : FALSE;
    cursor_shown_ = show != FALSE;
    return was;
}

UINT d3d9_device::GetNumberOfSwapChains() { return 1; }

HRESULT d3d9_device::GetRasterStatus(UINT swap_chain, D3DRASTER_STATUS* status) {
    if (status == nullptr || swap_chain != 0) return D3DERR_INVALIDCALL;
    status->InVBlank = FALSE;
    status->ScanLine = 0;
    return D3D_OK;
}

// The ramp is kept and read back; the window layer shows the back buffer as it is.
void d3d9_device::SetGammaRamp(UINT swap_chain, DWORD, const D3DGAMMARAMP* ramp) {
    if (swap_chain == 0 && ramp != nullptr) gamma_ = *ramp;
}

void d3d9_device::GetGammaRamp(UINT swap_chain, D3DGAMMARAMP* ramp) {
    if (swap_chain == 0 && ramp != nullptr) *ramp = gamma_;
}

// ---- viewport, clip planes, scissor -------------------------------------------------------------

// The draw path maps onto the whole target (viewport_); the rectangle set here bounds clears.
HRESULT d3d9_device::SetViewport(const D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) return D3DERR_INVALIDCALL;
    const D3DVIEWPORT9& v = *viewport;
    const bool inside = v.Width != 0 && v.Height != 0 && uint64_t(v.X) + v.Width <= uint64_t(fb_.width) &&
                        uint64_t(v.Y) + v.Height <= uint64_t(fb_.height);
    const bool depth_range = v.MinZ >= 0.0f && v.MinZ <= 1.0f && v.MaxZ >= 0.0f && v.MaxZ <= 1.0f;
    if (!inside || !depth_range) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_viewport(v);
    viewport_rect_ = v;
    return D3D_OK;
}

HRESULT d3d9_device::GetViewport(D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) return D3DERR_INVALIDCALL;
    *viewport = viewport_rect_;
    return D3D_OK;
}

HRESULT d3d9_device::SetClipPlane(DWORD index, const float* plane) {
    if (plane == nullptr || index >= DWORD(d3d9_clip_planes)) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_clip_plane(index, plane);
    std::copy(plane, plane + 4, clip_planes_[index].begin());
    return D3D_OK;
}

HRESULT d3d9_device::GetClipPlane(DWORD index, float* plane) {
    if (plane == nullptr || index >= DWORD(d3d9_clip_planes)) return D3DERR_INVALIDCALL;
    std::copy(clip_planes_[index].begin(), clip_planes_[index].end(), plane);
    return D3D_OK;
}

// Each edge is clamped to the target, so a rectangle reaching outside keeps only its inside part
// and one wholly outside (or inverted) becomes empty and lets nothing through.
HRESULT d3d9_device::SetScissorRect(const RECT* rect) {
    if (rect == nullptr) return D3DERR_INVALIDCALL;
    const auto clamp_x = [&](LONG x) { return std::clamp(x, LONG(0), LONG(fb_.width)); };
    const auto clamp_y = [&](LONG y) { return std::clamp(y, LONG(0), LONG(fb_.height)); };
    const RECT clipped{clamp_x(rect->left), clamp_y(rect->top), clamp_x(rect->right), clamp_y(rect->bottom)};
    if (recording_) return recording_->record_scissor(clipped);
    scissor_ = clipped;
    return D3D_OK;
}

HRESULT d3d9_device::GetScissorRect(RECT* rect) {
    if (rect == nullptr) return D3DERR_INVALIDCALL;
    *rect = scissor_;
    return D3D_OK;
}

// ---- texture stages and samplers ------------------------------------------------------------------

HRESULT d3d9_device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    const DWORD t = DWORD(d3d9_stored_value(type));
    if (value == nullptr || stage >= DWORD(d3d9_texture_stages) || !d3d9_stage_state_known(t)) {
        return D3DERR_INVALIDCALL;
    }
    *value = stage_states_[stage][t];
    return D3D_OK;
}

HRESULT d3d9_device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    const DWORD t = DWORD(d3d9_stored_value(type));
    if (stage >= DWORD(d3d9_texture_stages) || !d3d9_stage_state_known(t)) return D3D_OK;
    if (recording_) return recording_->record_stage_state(stage, t, value);
    stage_states_[stage][t] = value;
    return D3D_OK;
}

HRESULT d3d9_device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    const int slot = d3d9_sampler_slot(sampler);
    const DWORD t = DWORD(d3d9_stored_value(type));
    if (value == nullptr || slot < 0 || t == 0 || t >= d3d9_sampler_state_slots) return D3DERR_INVALIDCALL;
    *value = sampler_states_[size_t(slot)][t];
    return D3D_OK;
}

HRESULT d3d9_device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    const int slot = d3d9_sampler_slot(sampler);
    const DWORD t = DWORD(d3d9_stored_value(type));
    if (slot < 0 || t == 0 || t >= d3d9_sampler_state_slots) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_sampler_state(slot, t, value);
    sampler_states_[size_t(slot)][t] = value;
    return D3D_OK;
}

namespace {

// An argument the cascade reads: a register up to CONSTANT with the two modifiers.
bool known_argument(DWORD arg) {
    return (arg & ~DWORD(D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)) == 0 &&
           (arg & D3DTA_SELECTMASK) <= D3DTA_CONSTANT;
}

bool known_operation(DWORD op) {
    return op >= D3DTOP_DISABLE && op <= D3DTOP_LERP && op != D3DTOP_BUMPENVMAP && op != D3DTOP_BUMPENVMAPLUMINANCE;
}

}  // namespace

// The cascade runs every operation but the two bump-map ones, with every register and modifier,
// in one pass; the stages from the first COLOROP DISABLE on are not looked at.
HRESULT d3d9_device::ValidateDevice(DWORD* passes) {
    if (passes == nullptr) return D3DERR_INVALIDCALL;
    for (const auto& st : stage_states_) {
        if (st[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
        if (!known_operation(st[D3DTSS_COLOROP])) return D3DERR_UNSUPPORTEDCOLOROPERATION;
        if (!known_operation(st[D3DTSS_ALPHAOP])) return D3DERR_UNSUPPORTEDALPHAOPERATION;
        for (const auto type : {D3DTSS_COLORARG0, D3DTSS_COLORARG1, D3DTSS_COLORARG2, D3DTSS_RESULTARG}) {
            if (!known_argument(st[type])) return D3DERR_UNSUPPORTEDCOLORARG;
        }
        const DWORD result = st[D3DTSS_RESULTARG] & D3DTA_SELECTMASK;
        if (result != D3DTA_CURRENT && result != D3DTA_TEMP) return D3DERR_UNSUPPORTEDCOLORARG;
        for (const auto type : {D3DTSS_ALPHAARG0, D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2}) {
            if (!known_argument(st[type])) return D3DERR_UNSUPPORTEDALPHAARG;
        }
    }
    *passes = 1;
    return D3D_OK;
}

// ---- vertex processing and the fixed-function pipeline's inputs -------------------------------------

// A mixed device switches freely; a software or hardware device stays what it was created as.
HRESULT d3d9_device::SetSoftwareVertexProcessing(BOOL software) {
    const bool wanted = software != FALSE;
    if ((creation_.BehaviorFlags & D3DCREATE_MIXED_VERTEXPROCESSING) == 0 && wanted != software_vertex_processing_) {
        return D3DERR_INVALIDCALL;
    }
    software_vertex_processing_ = wanted;
    return D3D_OK;
}

BOOL d3d9_device::GetSoftwareVertexProcessing() { return software_vertex_processing_ ? TRUE : FALSE; }

HRESULT d3d9_device::SetVertexShader(IDirect3DVertexShader9* shader) {
    return shader == nullptr ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT d3d9_device::GetVertexShader(IDirect3DVertexShader9** shader) {
    if (shader == nullptr) return D3DERR_INVALIDCALL;
    *shader = nullptr;
    return D3D_OK;
}

HRESULT d3d9_device::SetPixelShader(IDirect3DPixelShader9* shader) {
    return shader == nullptr ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT d3d9_device::GetPixelShader(IDirect3DPixelShader9** shader) {
    if (shader == nullptr) return D3DERR_INVALIDCALL;
    *shader = nullptr;
    return D3D_OK;
}
