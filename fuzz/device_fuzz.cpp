// device_fuzz.cpp - libFuzzer entry for the software device: the input is a little program of
// device calls (states, transforms, lights, buffers, locks, declarations, viewports, clears, every
// draw call, textures and surfaces: creation, level locks written through the pitch, level
// surfaces, fills and copies, binding) with arbitrary arguments, run on a fresh small device. Every call must either
// succeed or fail with its documented code; the sanitizers catch out-of-bounds access and
// undefined behaviour, and a call that answers with anything else traps.
#include <windows.h>
#include <d3d9.h>

#include "platform/win32/win_headless.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Reads the input front to back; past its end every read gives zeros.
class input {
public:
    input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return used_ >= size_; }
    uint8_t byte() { return used_ < size_ ? data_[used_++] : 0; }
    uint16_t word() { return uint16_t(byte() | byte() << 8); }
    uint32_t dword() { return uint32_t(word()) | uint32_t(word()) << 16; }
    float number() {
        const uint32_t bits = dword();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    void bytes(void* out, size_t n) {
        auto* p = static_cast<uint8_t*>(out);
        for (size_t i = 0; i < n; ++i) p[i] = byte();
    }
    // The rest of the input, for the UP draws' pointers (the harness never lets the device read
    // past it: the counts it passes fit).
    const uint8_t* rest(size_t* available) const {
        *available = used_ < size_ ? size_ - used_ : 0;
        return data_ + std::min(used_, size_);
    }
    void skip(size_t n) { used_ = std::min(size_, used_ + n); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t used_ = 0;
};

void expect(HRESULT hr) {
    if (hr != D3D_OK && hr != D3DERR_INVALIDCALL && hr != D3DERR_NOTAVAILABLE && hr != D3DERR_OUTOFVIDEOMEMORY &&
        hr != E_OUTOFMEMORY) {
        __builtin_trap();
    }
}

// The render states worth steering: the pipeline's switches, more often than a raw number.
constexpr D3DRENDERSTATETYPE steered[] = {D3DRS_ZENABLE,
                                          D3DRS_FILLMODE,
                                          D3DRS_SHADEMODE,
                                          D3DRS_ZWRITEENABLE,
                                          D3DRS_ALPHATESTENABLE,
                                          D3DRS_LASTPIXEL,
                                          D3DRS_SRCBLEND,
                                          D3DRS_DESTBLEND,
                                          D3DRS_CULLMODE,
                                          D3DRS_ZFUNC,
                                          D3DRS_ALPHAREF,
                                          D3DRS_ALPHAFUNC,
                                          D3DRS_ALPHABLENDENABLE,
                                          D3DRS_FOGENABLE,
                                          D3DRS_SPECULARENABLE,
                                          D3DRS_FOGCOLOR,
                                          D3DRS_FOGTABLEMODE,
                                          D3DRS_FOGSTART,
                                          D3DRS_FOGEND,
                                          D3DRS_FOGDENSITY,
                                          D3DRS_RANGEFOGENABLE,
                                          D3DRS_STENCILENABLE,
                                          D3DRS_STENCILFAIL,
                                          D3DRS_STENCILZFAIL,
                                          D3DRS_STENCILPASS,
                                          D3DRS_STENCILFUNC,
                                          D3DRS_STENCILREF,
                                          D3DRS_STENCILMASK,
                                          D3DRS_STENCILWRITEMASK,
                                          D3DRS_CLIPPING,
                                          D3DRS_LIGHTING,
                                          D3DRS_AMBIENT,
                                          D3DRS_FOGVERTEXMODE,
                                          D3DRS_COLORVERTEX,
                                          D3DRS_LOCALVIEWER,
                                          D3DRS_NORMALIZENORMALS,
                                          D3DRS_DIFFUSEMATERIALSOURCE,
                                          D3DRS_SPECULARMATERIALSOURCE,
                                          D3DRS_CLIPPLANEENABLE,
                                          D3DRS_POINTSIZE,
                                          D3DRS_POINTSIZE_MIN,
                                          D3DRS_POINTSPRITEENABLE,
                                          D3DRS_POINTSCALEENABLE,
                                          D3DRS_POINTSCALE_A,
                                          D3DRS_POINTSCALE_B,
                                          D3DRS_POINTSCALE_C,
                                          D3DRS_POINTSIZE_MAX,
                                          D3DRS_COLORWRITEENABLE,
                                          D3DRS_BLENDOP,
                                          D3DRS_SCISSORTESTENABLE,
                                          D3DRS_SLOPESCALEDEPTHBIAS,
                                          D3DRS_TWOSIDEDSTENCILMODE,
                                          D3DRS_CCW_STENCILFAIL,
                                          D3DRS_CCW_STENCILFUNC,
                                          D3DRS_BLENDFACTOR,
                                          D3DRS_DEPTHBIAS,
                                          D3DRS_SEPARATEALPHABLENDENABLE,
                                          D3DRS_SRCBLENDALPHA,
                                          D3DRS_DESTBLENDALPHA,
                                          D3DRS_BLENDOPALPHA};

constexpr int buffers = 4;
constexpr int textures = 4;
constexpr int surfaces = 4;

struct session {
    IDirect3DDevice9* device = nullptr;
    IDirect3DVertexBuffer9* vertex_buffers[buffers] = {};
    IDirect3DIndexBuffer9* index_buffers[buffers] = {};
    IDirect3DTexture9* textures[textures] = {};
    IDirect3DSurface9* surfaces[surfaces] = {};

    void release_resources() {
        for (auto*& b : vertex_buffers)
            if (b != nullptr) b->Release(), b = nullptr;
        for (auto*& b : index_buffers)
            if (b != nullptr) b->Release(), b = nullptr;
        for (auto*& t : textures)
            if (t != nullptr) t->Release(), t = nullptr;
        for (auto*& v : surfaces)
            if (v != nullptr) v->Release(), v = nullptr;
    }
    ~session() { release_resources(); }
};

// Formats worth creating: every texture format, a render-target one more often, and some that are
// refused.
constexpr D3DFORMAT texture_formats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R8G8B8,   D3DFMT_R5G6B5,
                                         D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_A8,
                                         D3DFMT_L8,       D3DFMT_A8L8,     D3DFMT_DXT1,     D3DFMT_DXT2,
                                         D3DFMT_DXT3,     D3DFMT_DXT4,     D3DFMT_DXT5,     D3DFMT_A8R8G8B8,
                                         D3DFMT_D16,      D3DFMT_UNKNOWN,  D3DFMT_P8,       D3DFMT_A2R10G10B10};

// The bytes of one row of a locked rectangle w texels wide, and its rows: what a program may write.
void locked_extent(D3DFORMAT format, UINT w, UINT h, UINT* row_bytes, UINT* rows) {
    switch (format) {
    case D3DFMT_DXT1: *row_bytes = (w + 3) / 4 * 8, *rows = (h + 3) / 4; return;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: *row_bytes = (w + 3) / 4 * 16, *rows = (h + 3) / 4; return;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: *row_bytes = w * 4; break;
    case D3DFMT_R8G8B8: *row_bytes = w * 3; break;
    case D3DFMT_A8:
    case D3DFMT_L8: *row_bytes = w; break;
    default: *row_bytes = w * 2; break;
    }
    *rows = h;
}

RECT small_rect(input& in) {
    return RECT{LONG(in.byte() % 72), LONG(in.byte() % 72), LONG(in.byte() % 72), LONG(in.byte() % 72)};
}

// Locks a surface (a rectangle or all of it), writes through the pitch and unlocks.
void lock_and_write(IDirect3DSurface9* surface, input& in) {
    D3DSURFACE_DESC desc;
    if (surface->GetDesc(&desc) != D3D_OK) __builtin_trap();
    const bool whole = in.byte() & 1;
    const RECT r = small_rect(in);
    D3DLOCKED_RECT lr;
    if (surface->LockRect(&lr, whole ? nullptr : &r, DWORD(in.byte()) << 4) != D3D_OK) return;
    const UINT w = whole ? desc.Width : UINT(r.right - r.left), h = whole ? desc.Height : UINT(r.bottom - r.top);
    UINT row_bytes, rows;
    locked_extent(desc.Format, w, h, &row_bytes, &rows);
    const uint8_t value = in.byte();
    for (UINT y = 0; y < rows; ++y)
        std::memset(static_cast<uint8_t*>(lr.pBits) + size_t(y) * lr.Pitch, value, row_bytes);
    expect(surface->UnlockRect());
}

// Textures and surfaces: creation, locks, level surfaces, copies and binding.
void texture_step(session& s, input& in) {
    IDirect3DDevice9* d = s.device;
    IDirect3DTexture9*& texture = s.textures[in.byte() % textures];
    IDirect3DSurface9*& surface = s.surfaces[in.byte() % surfaces];
    switch (in.byte() % 6) {
    case 0: {
        const UINT w = in.byte() < 250 ? 1 + in.byte() % 64 : in.word(),
                   h = in.byte() < 250 ? 1 + in.byte() % 64 : in.word();
        const UINT levels = in.byte() % 10;
        const DWORD usages[] = {0,
                                D3DUSAGE_RENDERTARGET,
                                D3DUSAGE_DYNAMIC,
                                D3DUSAGE_AUTOGENMIPMAP,
                                D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP,
                                in.dword()};
        const DWORD usage = usages[in.byte() % 6];
        const D3DFORMAT format = texture_formats[in.byte() % (sizeof texture_formats / sizeof texture_formats[0])];
        const D3DPOOL pool = D3DPOOL(in.byte() % 5);
        if (texture != nullptr) texture->Release(), texture = nullptr;
        expect(d->CreateTexture(w, h, levels, usage, format, pool, &texture, nullptr));
        break;
    }
    case 1: {
        if (texture == nullptr) break;
        IDirect3DSurface9* level = nullptr;
        const HRESULT hr = texture->GetSurfaceLevel(in.byte() % 8, &level);
        expect(hr);
        if (level == nullptr) break;
        lock_and_write(level, in);
        if (in.byte() & 1) {
            if (surface != nullptr) surface->Release();
            surface = level;  // keeps the texture alive after the program lets it go
            if (in.byte() & 1) texture->Release(), texture = nullptr;
        } else {
            level->Release();
        }
        break;
    }
    case 2: {
        const UINT w = 1 + in.byte() % 64, h = 1 + in.byte() % 64;
        const D3DFORMAT format = texture_formats[in.byte() % (sizeof texture_formats / sizeof texture_formats[0])];
        if (surface != nullptr) surface->Release(), surface = nullptr;
        expect(d->CreateOffscreenPlainSurface(w, h, format, D3DPOOL(in.byte() % 5), &surface, nullptr));
        if (surface != nullptr) lock_and_write(surface, in);
        break;
    }
    case 3: {
        IDirect3DSurface9* other = s.surfaces[in.byte() % surfaces];
        const RECT a = small_rect(in), b = small_rect(in);
        const POINT at{LONG(in.byte() % 72), LONG(in.byte() % 72)};
        const bool whole = in.byte() & 1;
        switch (in.byte() % 4) {
        case 0: expect(d->ColorFill(surface, whole ? nullptr : &a, in.dword())); break;
        case 1:
            expect(d->StretchRect(other, whole ? nullptr : &a, surface, whole ? nullptr : &b,
                                  D3DTEXTUREFILTERTYPE(in.byte() % 4)));
            break;
        case 2: expect(d->UpdateSurface(other, whole ? nullptr : &a, surface, whole ? nullptr : &at)); break;
        default: expect(d->GetRenderTargetData(other, surface)); break;
        }
        break;
    }
    case 4: expect(d->UpdateTexture(s.textures[in.byte() % textures], texture)); break;
    default: {
        expect(d->SetTexture(in.byte() % 9, in.byte() & 1 ? texture : nullptr));
        if (texture != nullptr && (in.byte() & 1)) texture->Release(), texture = nullptr;  // bound only
        break;
    }
    }
}

// A primitive type, mostly valid.
D3DPRIMITIVETYPE primitive(input& in) { return D3DPRIMITIVETYPE(in.byte() % 8); }

void fill(input& in, void* data, size_t size) { in.bytes(data, size); }

void step(session& s, input& in) {
    IDirect3DDevice9* d = s.device;
    switch (in.byte() % 22) {
    case 0: {
        const uint8_t pick = in.byte();
        const D3DRENDERSTATETYPE state =
            pick < 200 ? steered[pick % (sizeof steered / sizeof steered[0])] : D3DRENDERSTATETYPE(in.byte());
        const uint8_t how = in.byte();
        const DWORD value = how < 128 ? DWORD(how % 10) : in.dword();
        expect(d->SetRenderState(state, value));
        break;
    }
    case 1: {
        const int k = in.byte() % buffers;
        if (s.vertex_buffers[k] != nullptr) s.vertex_buffers[k]->Release(), s.vertex_buffers[k] = nullptr;
        const UINT length = in.word() % 8192;
        const DWORD fvf = in.byte() < 200 ? DWORD(in.word()) : in.dword();
        expect(d->CreateVertexBuffer(length, in.byte() < 128 ? 0 : D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, fvf,
                                     D3DPOOL(in.byte() % 5), &s.vertex_buffers[k], nullptr));
        if (s.vertex_buffers[k] != nullptr) {
            void* data = nullptr;
            if (s.vertex_buffers[k]->Lock(0, 0, &data, 0) == D3D_OK) {
                fill(in, data, length);
                s.vertex_buffers[k]->Unlock();
            }
        }
        break;
    }
    case 2: {
        const int k = in.byte() % buffers;
        if (s.index_buffers[k] != nullptr) s.index_buffers[k]->Release(), s.index_buffers[k] = nullptr;
        const UINT length = in.word() % 4096;
        const D3DFORMAT format = in.byte() < 128 ? D3DFMT_INDEX16 : D3DFORMAT(D3DFMT_INDEX32 + in.byte() % 2);
        expect(d->CreateIndexBuffer(length, 0, format, D3DPOOL(in.byte() % 4), &s.index_buffers[k], nullptr));
        if (s.index_buffers[k] != nullptr) {
            void* data = nullptr;
            if (s.index_buffers[k]->Lock(0, 0, &data, 0) == D3D_OK) {
                fill(in, data, length);
                s.index_buffers[k]->Unlock();
            }
        }
        break;
    }
    case 3: {
        const UINT stream = in.byte() % 18;
        IDirect3DVertexBuffer9* vb = s.vertex_buffers[in.byte() % buffers];
        const UINT offset = in.word() % 1024, stride = in.word() % 600;
        expect(d->SetStreamSource(stream, vb, offset, stride));
        break;
    }
    case 4: expect(d->SetIndices(s.index_buffers[in.byte() % buffers])); break;
    case 5: expect(d->SetFVF(in.byte() < 200 ? DWORD(in.word()) : in.dword())); break;
    case 6: {
        D3DVERTEXELEMENT9 elements[10];
        const int n = in.byte() % 9;
        for (int i = 0; i < n; ++i) {
            elements[i] = {WORD(in.byte() % 17),     WORD(in.byte()),      BYTE(in.byte() % 19),
                           BYTE(in.byte() % 8 == 0), BYTE(in.byte() % 14), BYTE(in.byte() % 9)};
        }
        elements[n] = D3DDECL_END();
        IDirect3DVertexDeclaration9* declaration = nullptr;
        expect(d->CreateVertexDeclaration(elements, &declaration));
        if (declaration != nullptr) {
            expect(d->SetVertexDeclaration(declaration));
            declaration->Release();
        }
        break;
    }
    case 7: {
        const D3DPRIMITIVETYPE type = primitive(in);
        const UINT start = in.word() % 2048, count = in.word() % 300;
        expect(d->DrawPrimitive(type, start, count));
        break;
    }
    case 8: {
        const D3DPRIMITIVETYPE type = primitive(in);
        const INT base = int16_t(in.word());
        const UINT min_index = in.word(), vertices = in.word(), start = in.word() % 4096, count = in.word() % 300;
        expect(d->DrawIndexedPrimitive(type, base, min_index, vertices, start, count));
        break;
    }
    case 9: {
        const D3DPRIMITIVETYPE type = primitive(in);
        const UINT stride = 1 + in.byte() % 64;
        size_t available = 0;
        const uint8_t* data = in.rest(&available);
        // As many primitives as the rest of the input holds whole vertices for (a list's count).
        const UINT vertices = UINT(std::min<size_t>(available / stride, 300));
        const UINT count = type == D3DPT_TRIANGLELIST ? vertices / 3
                           : type == D3DPT_LINELIST   ? vertices / 2
                           : type == D3DPT_POINTLIST  ? vertices
                           : vertices >= 2            ? vertices - 2
                                                      : 0;
        expect(d->DrawPrimitiveUP(type, count, data, stride));
        in.skip(size_t(vertices) * stride);
        break;
    }
    case 10: {
        const D3DPRIMITIVETYPE type = primitive(in);
        const UINT stride = 1 + in.byte() % 64;
        const bool wide = in.byte() & 1;
        uint32_t indices[96];
        const UINT index_count = in.byte() % 96;
        const UINT vertices = 1 + in.byte() % 32;
        for (UINT i = 0; i < index_count; ++i) indices[i] = in.byte() % (vertices + 2);
        uint16_t narrow[96];
        for (UINT i = 0; i < index_count; ++i) narrow[i] = uint16_t(indices[i]);
        size_t available = 0;
        const uint8_t* data = in.rest(&available);
        if (available < size_t(vertices) * stride) break;
        const UINT count = type == D3DPT_TRIANGLELIST ? index_count / 3
                           : type == D3DPT_LINELIST   ? index_count / 2
                           : type == D3DPT_POINTLIST  ? index_count
                           : index_count >= 2         ? index_count - 2
                                                      : 0;
        expect(d->DrawIndexedPrimitiveUP(type, 0, vertices, count, wide ? static_cast<const void*>(indices) : narrow,
                                         wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16, data, stride));
        in.skip(size_t(vertices) * stride);
        break;
    }
    case 11: {
        D3DMATRIX m;
        for (int i = 0; i < 16; ++i)
            m.m[i / 4][i % 4] = in.byte() < 200 ? float(int8_t(in.byte())) / 16.0f : in.number();
        const D3DTRANSFORMSTATETYPE kinds[] = {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0};
        expect(d->SetTransform(kinds[in.byte() % 4], &m));
        break;
    }
    case 12: {
        D3DLIGHT9 light;
        fill(in, &light, sizeof light);
        light.Type = D3DLIGHTTYPE(1 + in.byte() % 4);
        const DWORD index = in.byte() % 12;
        expect(d->SetLight(index, &light));
        expect(d->LightEnable(in.byte() % 12, in.byte() & 1));
        break;
    }
    case 13: {
        D3DMATERIAL9 material;
        fill(in, &material, sizeof material);
        expect(d->SetMaterial(&material));
        break;
    }
    case 14: {
        D3DVIEWPORT9 viewport{in.byte() % 80u, in.byte() % 80u,           in.byte() % 80u,
                              in.byte() % 80u, float(in.byte()) / 200.0f, float(in.byte()) / 200.0f};
        expect(d->SetViewport(&viewport));
        break;
    }
    case 15: {
        D3DRECT rects[3];
        const DWORD n = in.byte() % 4;
        for (DWORD i = 0; i < n && i < 3; ++i) {
            rects[i] = {LONG(int8_t(in.byte())), LONG(int8_t(in.byte())), LONG(in.byte()), LONG(in.byte())};
        }
        expect(d->Clear(std::min<DWORD>(n, 3), n != 0 ? rects : nullptr, 1 + in.byte() % 7, in.dword(),
                        float(in.byte()) / 200.0f, in.byte()));
        break;
    }
    case 16: {
        float plane[4];
        for (float& f : plane) f = float(int8_t(in.byte())) / 16.0f;
        expect(d->SetClipPlane(in.byte() % 8, plane));
        break;
    }
    case 17: {
        const RECT r{LONG(int8_t(in.byte())), LONG(int8_t(in.byte())), LONG(in.byte()), LONG(in.byte())};
        expect(d->SetScissorRect(&r));
        break;
    }
    case 18: {
        IDirect3DVertexBuffer9* vb = s.vertex_buffers[in.byte() % buffers];
        if (vb == nullptr) break;
        const UINT offset = in.word() % 9000, size = in.word() % 9000;
        void* data = nullptr;
        if (vb->Lock(offset, size, &data, DWORD(in.byte()) << 4) == D3D_OK) {
            D3DVERTEXBUFFER_DESC desc;
            if (vb->GetDesc(&desc) == D3D_OK) {
                const UINT locked = size != 0 ? size : desc.Size - offset;
                fill(in, data, std::min<UINT>(locked, 64));
            }
            vb->Unlock();
        }
        break;
    }
    case 20:
    case 21: texture_step(s, in); break;
    case 19: {
        IDirect3DStateBlock9* block = nullptr;
        if (in.byte() & 1) {
            expect(d->BeginStateBlock());
            expect(d->SetRenderState(steered[in.byte() % (sizeof steered / sizeof steered[0])], in.byte() % 10));
            expect(d->EndStateBlock(&block));
        } else {
            expect(d->CreateStateBlock(D3DSTATEBLOCKTYPE(in.byte() % 4), &block));
        }
        if (block != nullptr) {
            expect(block->Apply());
            block->Release();
        }
        break;
    }
    }
}

HWND fuzz_window() {
    static HWND window = [] {
        win_headless_enable();
        WNDCLASSEXA window_class{};
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = DefWindowProcA;
        window_class.lpszClassName = "DeviceFuzz";
        RegisterClassExA(&window_class);
        return CreateWindowExA(0, "DeviceFuzz", "fuzz", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    }();
    return window;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    const HWND window = fuzz_window();
    if (direct3d == nullptr || window == nullptr) __builtin_trap();
    input in(data, size);
    D3DPRESENT_PARAMETERS p{};
    p.Windowed = TRUE;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.EnableAutoDepthStencil = TRUE;
    const D3DFORMAT depth_formats[] = {D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D32};
    p.AutoDepthStencilFormat = depth_formats[in.byte() % 4];
    session s;
    if (direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p,
                               &s.device) != D3D_OK) {
        __builtin_trap();
    }
    for (int steps = 0; steps < 64 && !in.empty(); ++steps) step(s, in);
    s.release_resources();
    s.device->Release();
    return 0;
}
