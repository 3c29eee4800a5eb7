// device.h - the software device (IDirect3DDevice9) and the Direct3D object that creates it.
//
// The device owns every piece of renderer state: render, texture-stage and sampler states,
// transforms and their derived matrices, lights, material, clip planes, bound textures, the
// framebuffer and the scratch arrays of the vertex stage. Its methods live in files by concern:
// device.cpp (life cycle, transforms, lights, material, textures, clears, scenes, presents and the
// draw path), device_reset.cpp (TestCooperativeLevel, Reset), device_state.cpp (the stored states,
// viewport, gamma, cursor, queries about the device), device_streams.cpp (vertex and index buffers,
// declarations and their bindings: the vertex layout a draw reads), device_surface_copies.cpp
// (offscreen surfaces, fills and copies between surfaces), device_unsupported.cpp (the methods not
// offered yet, which fail
// without changing anything), direct3d.cpp (IDirect3D9: adapter, modes, format checks, device
// creation).
#pragma once

#include <d3d9.h>

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/device_resource.h"
#include "platform/d3d9/framebuffer.h"
#include "platform/d3d9/index_buffer.h"
#include "platform/d3d9/raster.h"
#include "platform/d3d9/raster_general.h"
#include "platform/d3d9/transform_light.h"
#include "platform/d3d9/vertex_general.h"
#include "platform/d3d9/vertex_input.h"
#include "platform/d3d9/vertex_layout.h"
#include "platform/d3d9/viewport.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <memory>
#include <vector>

struct d3d9_state_set;
class d3d9_surface;

inline constexpr int d3d9_texture_stages = 8;
inline constexpr size_t d3d9_render_state_slots = 256;
inline constexpr size_t d3d9_stage_state_slots = 33;    // D3DTSS_* values 1..32
inline constexpr size_t d3d9_sampler_state_slots = 14;  // D3DSAMP_* values 1..13
inline constexpr int d3d9_samplers = 21;                // 0..15, D3DDMAPSAMPLER, D3DVERTEXTEXTURESAMPLER0..3
inline constexpr int d3d9_clip_planes = 6;

// The integer stored in an enum-typed field that the caller may have filled with any value
// (reading it as the enum would be undefined for values outside the enumeration).
template <typename E>
int32_t d3d9_stored_value(const E& field) {
    static_assert(sizeof(E) == sizeof(int32_t));
    int32_t v;
    std::memcpy(&v, &field, sizeof v);
    return v;
}

// What a device is created with, checked by the Direct3D object.
struct d3d9_device_setup {
    HWND window;
    int width;
    int height;
    bool with_depth;
    fb_depth_format depth_format;  // none exactly when !with_depth
    D3DDEVICE_CREATION_PARAMETERS creation;
    D3DFORMAT format = D3DFMT_X8R8G8B8;  // of the back buffer: X8R8G8B8 or A8R8G8B8
    bool windowed = true;
    UINT interval = D3DPRESENT_INTERVAL_DEFAULT;
    UINT back_buffer_count = 1;
};

// presentation.cpp: the back buffer formats (X8R8G8B8, A8R8G8B8) and depth-stencil formats
// (none for a format that is not one) the device offers.
bool d3d9_back_buffer_format(D3DFORMAT format);
fb_depth_format d3d9_depth_stencil_format(D3DFORMAT format);
// Checks presentation parameters and fills the setup's window, sizes, formats and presentation
// (not `creation`); D3DERR_INVALIDCALL, leaving *setup unchanged, for what the device cannot do.
HRESULT d3d9_presentation_setup(const D3DPRESENT_PARAMETERS& parameters, HWND focus_window, d3d9_device_setup* setup);
// Prepares the device window for a checked setup (full screen, pacing) and writes the chosen values
// back into the parameters.
void d3d9_presentation_apply(const d3d9_device_setup& setup, D3DPRESENT_PARAMETERS* parameters);

class d3d9_device final : public com_object<IDirect3DDevice9> {
public:
    d3d9_device(IDirect3D9* parent, const d3d9_device_setup& setup);

    const d3d9_framebuffer& framebuffer() const { return fb_; }
    // The viewport as set (X, Y, Width, Height, MinZ, MaxZ) and the scissor rectangle, inside the target.
    const D3DVIEWPORT9& viewport_rect() const { return viewport_rect_; }
    const RECT& scissor_rect() const { return scissor_; }
    bool valid() const { return fb_.colour_pixels != nullptr && back_buffer_ != nullptr; }

    // ---- device.cpp
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT SetLight(DWORD Index, const D3DLIGHT9* pLight) override;
    HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override;
    HRESULT LightEnable(DWORD Index, BOOL Enable) override;
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override;
    HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override;
    HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override;
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override;
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override;
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override;
    HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const RGNDATA* pDirtyRegion) override;

    // ---- device_reset.cpp
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
    // The objects the program holds that it must release before Reset (device_resource.h).
    void count_reset_blocker(int change) { reset_blockers_ += size_t(int64_t(change)); }

    // ---- device_surface_copies.cpp
    // `surface`'s bytes changed (a copy, a fill, or a program's lock that could write ended).
    void surface_written(d3d9_surface* surface);

    // ---- device_state.cpp
    UINT GetAvailableTextureMem() override;
    HRESULT EvictManagedResources() override;
    HRESULT GetDirect3D(IDirect3D9** ppD3D9) override;
    HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override;
    HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override;
    HRESULT SetCursorProperties(UINT XHotSpot, UINT YHotSpot, IDirect3DSurface9* pCursorBitmap) override;
    void SetCursorPosition(int X, int Y, DWORD Flags) override;
    BOOL ShowCursor(BOOL bShow) override;
    UINT GetNumberOfSwapChains() override;
    HRESULT GetRasterStatus(UINT iSwapChain, D3DRASTER_STATUS* pRasterStatus) override;
    void SetGammaRamp(UINT iSwapChain, DWORD Flags, const D3DGAMMARAMP* pRamp) override;
    void GetGammaRamp(UINT iSwapChain, D3DGAMMARAMP* pRamp) override;
    HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* pViewport) override;
    HRESULT SetClipPlane(DWORD Index, const float* pPlane) override;
    HRESULT GetClipPlane(DWORD Index, float* pPlane) override;
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override;
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
    HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override;
    HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override;
    HRESULT ValidateDevice(DWORD* pNumPasses) override;
    HRESULT GetScissorRect(RECT* pRect) override;
    HRESULT SetScissorRect(const RECT* pRect) override;
    HRESULT SetSoftwareVertexProcessing(BOOL bSoftware) override;
    BOOL GetSoftwareVertexProcessing() override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* pShader) override;
    HRESULT GetVertexShader(IDirect3DVertexShader9** ppShader) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* pShader) override;
    HRESULT GetPixelShader(IDirect3DPixelShader9** ppShader) override;

    // ---- device_streams.cpp
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override;
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* pVertexElements,
                                    IDirect3DVertexDeclaration9** ppDecl) override;
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes,
                            UINT Stride) override;
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                            UINT* pStride) override;
    HRESULT SetStreamSourceFreq(UINT StreamNumber, UINT Setting) override;
    HRESULT GetStreamSourceFreq(UINT StreamNumber, UINT* pSetting) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override;
    HRESULT SetFVF(DWORD FVF) override;
    HRESULT GetFVF(DWORD* pFVF) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) override;

    // For the draw path: the layout of the current FVF or declaration, and what the streams and
    // the index binding hold (empty for an unbound stream or no index buffer).
    const vertex_layout& current_layout() const { return layout_; }
    bool layout_from_declaration() const { return layout_from_declaration_; }
    vi_stream stream_input(int stream) const;
    d3d9_index_view current_indices() const;
    // The objects this device made and that still exist (vertex_buffer.cpp & co. keep the list).
    bool remember(const void* object, d3d9_object_kind kind);
    void forget(const void* object) { resources_.erase(object); }
    bool made_here(const void* object, d3d9_object_kind kind) const {
        const auto found = resources_.find(object);
        return found != resources_.end() && found->second == kind;
    }

    // ---- device_draw.cpp
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                 UINT NumVertices, UINT startIndex, UINT primCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData,
                            UINT VertexStreamZeroStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices,
                                   UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                   const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override;

    // ---- state_block.cpp
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE Type, IDirect3DStateBlock9** ppSB) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(IDirect3DStateBlock9** ppSB) override;

    // ---- device_surface_copies.cpp
    HRESULT CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                        IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override;
    HRESULT ColorFill(IDirect3DSurface9* pSurface, const RECT* pRect, D3DCOLOR color) override;
    HRESULT UpdateSurface(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                          IDirect3DSurface9* pDestinationSurface, const POINT* pDestPoint) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9* pSourceTexture, IDirect3DBaseTexture9* pDestinationTexture) override;
    HRESULT StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect, IDirect3DSurface9* pDestSurface,
                        const RECT* pDestRect, D3DTEXTUREFILTERTYPE Filter) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override;

    // ---- device_targets.cpp
    HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                          IDirect3DSurface9** ppBackBuffer) override;
    HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                               DWORD MultisampleQuality, BOOL Lockable, IDirect3DSurface9** ppSurface,
                               HANDLE* pSharedHandle) override;
    HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                      DWORD MultisampleQuality, BOOL Discard, IDirect3DSurface9** ppSurface,
                                      HANDLE* pSharedHandle) override;
    HRESULT GetFrontBufferData(UINT iSwapChain, IDirect3DSurface9* pDestSurface) override;
    HRESULT SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override;
    HRESULT GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override;

    // ---- device_unsupported.cpp
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                      IDirect3DSwapChain9** pSwapChain) override;
    HRESULT GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** pSwapChain) override;
    HRESULT SetDialogBoxMode(BOOL bEnableDialogs) override;
    HRESULT CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage, D3DFORMAT Format,
                                D3DPOOL Pool, IDirect3DVolumeTexture9** ppVolumeTexture,
                                HANDLE* pSharedHandle) override;
    HRESULT CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle) override;
    HRESULT SetClipStatus(const D3DCLIPSTATUS9* pClipStatus) override;
    HRESULT GetClipStatus(D3DCLIPSTATUS9* pClipStatus) override;
    HRESULT SetPaletteEntries(UINT PaletteNumber, const PALETTEENTRY* pEntries) override;
    HRESULT GetPaletteEntries(UINT PaletteNumber, PALETTEENTRY* pEntries) override;
    HRESULT SetCurrentTexturePalette(UINT PaletteNumber) override;
    HRESULT GetCurrentTexturePalette(UINT* PaletteNumber) override;
    HRESULT SetNPatchMode(float nSegments) override;
    float GetNPatchMode() override;
    HRESULT ProcessVertices(UINT SrcStartIndex, UINT DestIndex, UINT VertexCount, IDirect3DVertexBuffer9* pDestBuffer,
                            IDirect3DVertexDeclaration9* pVertexDecl, DWORD Flags) override;
    HRESULT CreateVertexShader(const DWORD* pFunction, IDirect3DVertexShader9** ppShader) override;
    HRESULT SetVertexShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount) override;
    HRESULT GetVertexShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) override;
    HRESULT SetVertexShaderConstantI(UINT StartRegister, const int* pConstantData, UINT Vector4iCount) override;
    HRESULT GetVertexShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount) override;
    HRESULT SetVertexShaderConstantB(UINT StartRegister, const BOOL* pConstantData, UINT BoolCount) override;
    HRESULT GetVertexShaderConstantB(UINT StartRegister, BOOL* pConstantData, UINT BoolCount) override;
    HRESULT CreatePixelShader(const DWORD* pFunction, IDirect3DPixelShader9** ppShader) override;
    HRESULT SetPixelShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount) override;
    HRESULT GetPixelShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) override;
    HRESULT SetPixelShaderConstantI(UINT StartRegister, const int* pConstantData, UINT Vector4iCount) override;
    HRESULT GetPixelShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount) override;
    HRESULT SetPixelShaderConstantB(UINT StartRegister, const BOOL* pConstantData, UINT BoolCount) override;
    HRESULT GetPixelShaderConstantB(UINT StartRegister, BOOL* pConstantData, UINT BoolCount) override;
    HRESULT DrawRectPatch(UINT Handle, const float* pNumSegs, const D3DRECTPATCH_INFO* pRectPatchInfo) override;
    HRESULT DrawTriPatch(UINT Handle, const float* pNumSegs, const D3DTRIPATCH_INFO* pTriPatchInfo) override;
    HRESULT DeletePatch(UINT Handle) override;
    HRESULT CreateQuery(D3DQUERYTYPE Type, IDirect3DQuery9** ppQuery) override;

protected:
    bool answers(REFIID riid) const override;

private:
    ~d3d9_device() override;
    void set_default_states(bool with_depth);
    // Every state as at creation for a back buffer of width x height: render, stage and sampler
    // states, transforms, lights, material, clip planes, viewport and scissor; nothing bound.
    void restore_defaults(int width, int height, bool with_depth);

    // ---- device_targets.cpp
    // The back buffer and auto depth-stencil surfaces over fb_'s buffers, bound; false for lack of
    // memory.
    bool make_swap_chain_surfaces(bool with_depth);
    // Binds `surface` (null: none) in `*slot` in place of what was there, through the device's own
    // references.
    static void bind_surface(IDirect3DSurface9** slot, IDirect3DSurface9* surface);
    HRESULT switch_target(IDirect3DSurface9* colour, IDirect3DSurface9* depth);
    // Before a draw or clear into the bound target: a texture level that is also bound for sampling
    // takes what was drawn into it so far (so that the draw samples the contents as they were when
    // it began); afterwards the target counts as drawn into.
    void target_drawn() {
        if (target_level_) note_target_drawn();
    }
    // The same; true when the target's texture is also bound for sampling.
    bool note_target_drawn();
    // Tells a texture-level target that it was drawn into, when it was.
    void flush_target();
    D3DMATRIX* transform_slot(D3DTRANSFORMSTATETYPE kind);
    void release_stream_bindings();
    void store_transform(D3DMATRIX* slot, const D3DMATRIX& matrix);
    void fill_clear_rect(const RECT& r, DWORD flags, uint32_t colour, float z, uint8_t stencil);
    void hold_texture(IDirect3DBaseTexture9* texture);
    void release_texture(IDirect3DBaseTexture9* texture);
    DWORD state(D3DRENDERSTATETYPE s) const { return render_states_[s]; }

    // ---- device_draw.cpp: checking a draw's inputs and choosing its route
    struct draw_source {
        vi_stream streams[vl_max_streams];
        size_t vertex_limit = 0;  // whole vertices every stream the layout reads holds
        void skip(size_t first);
    };
    HRESULT bound_source(draw_source* source) const;
    HRESULT user_source(const void* data, UINT stride, size_t vertices, draw_source* source) const;
    void unbind_user_source(bool indices);
    HRESULT gather_indices(const unsigned char* data, D3DFORMAT format, size_t n, int64_t base, size_t vertex_limit,
                           const uint32_t** indices, size_t* first_vertex, uint32_t* vertex_end);
    HRESULT reserve_draw_indices(size_t n);
    HRESULT draw_sequential(D3DPRIMITIVETYPE type, UINT count, size_t n, const draw_source& source);
    bool fast_route(D3DPRIMITIVETYPE type, const vertex_layout& layout) const;
    HRESULT draw(D3DPRIMITIVETYPE type, UINT count, const uint32_t* indices, size_t n, uint32_t vertex_end,
                 const draw_source& source);
    HRESULT draw_routed(D3DPRIMITIVETYPE type, UINT count, const uint32_t* indices, size_t n, uint32_t vertex_end,
                        const draw_source& source);
    // A draw into a texture level that is also sampled: into a copy of the target, so that the
    // texture reads what it held when the draw began, then copied back.
    HRESULT draw_beside_target(D3DPRIMITIVETYPE type, UINT count, const uint32_t* indices, size_t n,
                               uint32_t vertex_end, const draw_source& source);

    // ---- device_draw_fast.cpp
    HRESULT draw_fast(const tnl_streams& streams, uint32_t vertex_end, const uint32_t* indices, UINT triangle_count);
    void draw_listed_triangles(const raster_program& program, const uint32_t* indices, size_t index_count);
    HRESULT draw_fast_pretransformed(const tnl_streams& streams, uint32_t vertex_end, const uint32_t* indices,
                                     UINT triangle_count);
    bool pretransformed_fast_vertices(const tnl_streams& s, const uint32_t* indices, size_t n);
    tnl_switches lighting_switches() const;
    tnl_light_slot* find_light(DWORD index);
    HRESULT add_light(DWORD index, tnl_light_slot** slot);
    raster_state raster_state_for_draw();
    bool fast_blend(raster_blend* blend) const;
    void reserve_stamps(UINT count);
    void reserve_vertices(UINT count);
    const tnl_vertex& vertex(const tnl_draw& draw, uint32_t index);
    void process_referenced_vertices(const UINT* indices, size_t index_count);
    void draw_triangle(const raster_program& program, const tnl_vertex& a, const tnl_vertex& b, const tnl_vertex& c);
    void flush_triangles(const raster_program& program);
    void draw_clipped(const raster_program& program, const tnl_vertex& a, const tnl_vertex& b, const tnl_vertex& c,
                      uint32_t needed);

    // ---- device_draw_general.cpp
    HRESULT draw_general(D3DPRIMITIVETYPE type, UINT count, const uint32_t* indices, size_t n, uint32_t vertex_end,
                         const draw_source& source);
    vg_inputs vertex_inputs(const vertex_layout& layout);
    gr_state pixel_state(const vertex_layout& layout);
    bool fast_texture_stages() const;
    bool fast_two_stages() const;
    bool fast_source_alpha() const;
    void texture_stages(const vertex_layout& layout, gr_texture_stage stages[gr_texture_stages]) const;
    void stage_sampler(int s, sampler_setup* out) const;
    const gv_clip_vertex& general_vertex(uint32_t index);
    void general_triangle(uint32_t a, uint32_t b, uint32_t c);
    void general_line(uint32_t a, uint32_t b);
    void general_point(uint32_t a);

    IDirect3D9* parent_;
    HWND window_;
    D3DDEVICE_CREATION_PARAMETERS creation_;
    bool in_scene_ = false;
    bool needs_reset_ = false;   // a Reset failed: TestCooperativeLevel says so until one succeeds
    size_t reset_blockers_ = 0;  // see count_reset_blocker
    D3DFORMAT back_buffer_format_ = D3DFMT_X8R8G8B8;
    int back_width_ = 0, back_height_ = 0;
    UINT back_buffer_count_ = 1;
    IDirect3DSurface9* back_buffer_ = nullptr;    // over the back buffer's memory
    IDirect3DSurface9* auto_depth_ = nullptr;     // the auto depth-stencil surface, or null
    IDirect3DSurface9* render_target_ = nullptr;  // what draws go into (back_buffer_ by default)
    IDirect3DSurface9* depth_stencil_ = nullptr;  // its depth-stencil surface, or null
    bool target_level_ = false;                   // render_target_ is a texture level
    bool target_alpha_ = false;                   // render_target_ keeps alpha (A8R8G8B8, not the back buffer)
    bool target_changed_ = false;                 // drawn into since the level was last told
    IDirect3DBaseTexture9* target_container_ = nullptr;
    std::vector<uint32_t> target_copy_;  // see draw_beside_target
    d3d9_framebuffer fb_;
    uint32_t* lent_colour_ = nullptr;  // from win_frame_memory, or null: the colour buffer is fb_'s own
    viewport_mapping viewport_;
    viewport_mapping draw_viewport_;  // viewport_ with the current draw's colour handling
    D3DVIEWPORT9 viewport_rect_{};
    RECT scissor_{};
    std::unique_ptr<d3d9_state_set> recording_;  // between BeginStateBlock and EndStateBlock

    std::array<DWORD, d3d9_render_state_slots> render_states_{};
    D3DMATRIX world_{};
    D3DMATRIX view_{};
    D3DMATRIX projection_{};
    std::array<D3DMATRIX, 255> more_worlds_{};  // WORLDMATRIX(1..255), for vertex blending
    std::array<D3DMATRIX, d3d9_texture_stages> texture_matrices_{};
    bool matrices_dirty_ = true;
    tnl_matrices matrices_{};
    D3DMATERIAL9 material_{};
    std::vector<tnl_light_slot> lights_;      // every light set or enabled, by ascending index
    std::vector<tnl_light> prepared_lights_;  // as many as lights_: a draw's camera-space lights
    std::array<IDirect3DBaseTexture9*, d3d9_texture_stages> textures_{};

    std::array<std::array<DWORD, d3d9_stage_state_slots>, d3d9_texture_stages> stage_states_{};
    std::array<std::array<DWORD, d3d9_sampler_state_slots>, d3d9_samplers> sampler_states_{};
    std::array<std::array<float, 4>, d3d9_clip_planes> clip_planes_{};
    D3DGAMMARAMP gamma_{};
    bool software_vertex_processing_ = false;
    bool cursor_shown_ = false;

    // ---- device_streams.cpp
    struct stream_source {
        IDirect3DVertexBuffer9* buffer = nullptr;
        UINT offset = 0;
        UINT stride = 0;
    };
    std::array<stream_source, vl_max_streams> streams_{};
    IDirect3DIndexBuffer9* indices_ = nullptr;
    DWORD fvf_ = 0;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    vertex_layout layout_{};
    bool layout_from_declaration_ = false;
    std::unordered_map<const void*, d3d9_object_kind> resources_;

    tnl_draw draw_{};
    std::vector<uint32_t> stamps_;
    std::vector<tnl_vertex> vertices_;
    std::vector<uint32_t> referenced_;                 // the vertices a draw uses, each once, for the batched stage
    std::array<raster_triangle_ref, 64> unclipped_{};  // triangles waiting to be set up together
    size_t unclipped_count_ = 0;
    uint32_t stamp_ = 0;
    sampler_setup fast_sampler_{};  // stage 0's and stage 1's samplers for a fast draw
    sampler_setup fast_sampler1_{};
    sampler_plan_storage fast_plan_{};  // and their compiled plans
    sampler_plan_storage fast_plan1_{};

    std::vector<uint32_t> draw_indices_;      // a draw's vertex indices, widened and based
    std::vector<uint32_t> triangle_indices_;  // strips and fans as lists, for the fast route
    struct general_slot {
        gv_clip_vertex vertex;
        gv_screen_vertex screen;  // projected once, when the vertex needs no clipping
        uint32_t outcode;
    };
    std::vector<general_slot> general_vertices_;
    struct general_draw {
        const vertex_layout* layout = nullptr;
        const draw_source* source = nullptr;
        const vg_draw* vertices = nullptr;
        const gr_program* pixels = nullptr;
        vg_viewport viewport{};
        bool flat = false, pretransformed = false, last_pixel = true, sprite = false;
        uint32_t fill = D3DFILL_SOLID, cull = D3DCULL_CCW;
    } general_{};
    vg_draw_storage vertex_program_{};
    gr_program_storage pixel_program_{};
};

// The capabilities of the software device as it is (the same for the device and the Direct3D
// object).
void d3d9_device_caps(D3DCAPS9* caps);

// The desktop's display mode as the adapter reports it: X8R8G8B8 at the window layer's size and
// refresh rate (60 Hz when unknown).
D3DDISPLAYMODE d3d9_desktop_display_mode();

// The documented defaults of the states.
DWORD d3d9_default_render_state(size_t state, bool with_depth);
DWORD d3d9_default_stage_state(int stage, size_t type);
DWORD d3d9_default_sampler_state(size_t type);
// Whether `state` names a member of D3DRENDERSTATETYPE.
bool d3d9_render_state_known(DWORD state);
// Whether `type` names a member of D3DTEXTURESTAGESTATETYPE.
bool d3d9_stage_state_known(DWORD type);
// The slot of a sampler number (0..15, D3DDMAPSAMPLER, D3DVERTEXTEXTURESAMPLER0..3), or -1.
int d3d9_sampler_slot(DWORD sampler);
