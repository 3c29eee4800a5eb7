// index_buffer.cpp - IDirect3DIndexBuffer9 over d3d9_buffer (see index_buffer.h).
#include "platform/d3d9/index_buffer.h"

#include "platform/d3d9/buffer_resource.h"

#include <new>

namespace {

class index_buffer final : public d3d9_buffer<IDirect3DIndexBuffer9> {
public:
    index_buffer(IDirect3DDevice9* device, DWORD usage, D3DPOOL pool, D3DFORMAT format)
        : d3d9_buffer(device, usage, pool), format_(format) {}
    using d3d9_buffer::allocate;
    D3DFORMAT format() const { return format_; }

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override {
        if (desc == nullptr) return D3DERR_INVALIDCALL;
        desc->Format = format_;
        desc->Type = D3DRTYPE_INDEXBUFFER;
        desc->Usage = usage();
        desc->Pool = pool();
        desc->Size = length();
        return D3D_OK;
    }

protected:
    bool answers(REFIID riid) const override {
        return IsEqualGUID(riid, IID_IDirect3DIndexBuffer9) || IsEqualGUID(riid, IID_IDirect3DResource9);
    }

private:
    ~index_buffer() override = default;
    D3DFORMAT format_;
};

}  // namespace

HRESULT d3d9_create_index_buffer(IDirect3DDevice9* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                 IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
    if (buffer == nullptr) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    const int32_t stored_format = int32_t(format);
    if (device == nullptr || length == 0 || shared != nullptr || !d3d9_buffer_usage_valid(usage, pool) ||
        (stored_format != D3DFMT_INDEX16 && stored_format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    if (length > d3d9_max_buffer_length) return d3d9_out_of_memory(pool);
    auto* made = new (std::nothrow) index_buffer(device, usage, pool, format);
    if (made == nullptr) return d3d9_out_of_memory(pool);
    if (!made->allocate(length) ||
        !d3d9_device_remember(device, static_cast<IDirect3DIndexBuffer9*>(made), d3d9_object_kind::index_buffer)) {
        made->Release();
        return d3d9_out_of_memory(pool);
    }
    *buffer = made;
    return D3D_OK;
}

d3d9_index_view d3d9_index_buffer_bytes(IDirect3DIndexBuffer9* buffer) {
    const auto* ours = dynamic_cast<const index_buffer*>(buffer);
    if (ours == nullptr) return {};
    return {{ours->bytes(), ours->length()}, ours->format()};
}
