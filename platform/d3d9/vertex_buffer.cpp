// vertex_buffer.cpp - IDirect3DVertexBuffer9 over d3d9_buffer (see vertex_buffer.h).
#include "platform/d3d9/vertex_buffer.h"

#include "platform/d3d9/buffer_resource.h"
#include "platform/d3d9/vertex_layout.h"

#include <new>

namespace {

class vertex_buffer final : public d3d9_buffer<IDirect3DVertexBuffer9> {
public:
    vertex_buffer(IDirect3DDevice9* device, DWORD usage, D3DPOOL pool, DWORD fvf)
        : d3d9_buffer(device, usage, pool), fvf_(fvf) {}
    using d3d9_buffer::allocate;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override {
        if (desc == nullptr) return D3DERR_INVALIDCALL;
        desc->Format = D3DFMT_VERTEXDATA;
        desc->Type = D3DRTYPE_VERTEXBUFFER;
        desc->Usage = usage();
        desc->Pool = pool();
        desc->Size = length();
        desc->FVF = fvf_;
        return D3D_OK;
    }

protected:
    bool answers(REFIID riid) const override {
        return IsEqualGUID(riid, IID_IDirect3DVertexBuffer9) || IsEqualGUID(riid, IID_IDirect3DResource9);
    }

private:
    ~vertex_buffer() override = default;
    DWORD fvf_;
};

}  // namespace

HRESULT d3d9_create_vertex_buffer(IDirect3DDevice9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                  IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
    if (buffer == nullptr) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (device == nullptr || length == 0 || shared != nullptr || !d3d9_buffer_usage_valid(usage, pool)) {
        return D3DERR_INVALIDCALL;
    }
    if (fvf != 0 && (!vl_fvf_valid(fvf) || length < vl_fvf_size(fvf))) return D3DERR_INVALIDCALL;
    if (length > d3d9_max_buffer_length) return d3d9_out_of_memory(pool);
    auto* made = new (std::nothrow) vertex_buffer(device, usage, pool, fvf);
    if (made == nullptr) return d3d9_out_of_memory(pool);
    if (!made->allocate(length) ||
        !d3d9_device_remember(device, static_cast<IDirect3DVertexBuffer9*>(made), d3d9_object_kind::vertex_buffer)) {
        made->Release();
        return d3d9_out_of_memory(pool);
    }
    *buffer = made;
    return D3D_OK;
}

d3d9_buffer_view d3d9_vertex_buffer_bytes(IDirect3DVertexBuffer9* buffer) {
    const auto* ours = dynamic_cast<const vertex_buffer*>(buffer);
    if (ours == nullptr) return {};
    return {ours->bytes(), ours->length()};
}
