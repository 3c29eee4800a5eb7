// index_buffer.cpp - IDirect3DIndexBuffer9 over d3d9_buffer (see index_buffer.h).
#include "platform/d3d9/index_buffer.h"

#include "platform/d3d9/buffer_resource.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

class index_buffer final : public d3d9_buffer<IDirect3DIndexBuffer9> {
public:
    index_buffer(IDirect3DDevice9* device, DWORD usage, D3DPOOL pool, D3DFORMAT format)
        : d3d9_buffer(device, usage, pool), format_(format) {}
    using d3d9_buffer::allocate;
    D3DFORMAT format() const { return format_; }

    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override {
        const HRESULT hr = d3d9_buffer::Lock(offset, size, data, flags);
        if (SUCCEEDED(hr)) summary_current_ = false;
        return hr;
    }
    const d3d9_index_summary* summary();

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
    std::vector<uint32_t> wide_;  // 16-bit indices widened
    d3d9_index_summary summary_;
    bool summary_current_ = false;
};

const d3d9_index_summary* index_buffer::summary() {
    if (summary_current_) return &summary_;
    const size_t count = length() / (format_ == D3DFMT_INDEX16 ? 2 : 4);
    const uint32_t* indices = reinterpret_cast<const uint32_t*>(bytes());  // calloc'd: aligned for any type
    if (format_ == D3DFMT_INDEX16) {
        try {
            wide_.resize(count);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        const auto* narrow = reinterpret_cast<const uint16_t*>(bytes());
        for (size_t i = 0; i < count; ++i) wide_[i] = narrow[i];
        indices = wide_.data();
    }
    uint32_t smallest = UINT32_MAX, largest = 0;
    for (size_t i = 0; i < count; ++i) {
        smallest = std::min(smallest, indices[i]);
        largest = std::max(largest, indices[i]);
    }
    summary_ = {indices, count, count != 0 ? smallest : 0u, largest};
    summary_current_ = !locked();
    return &summary_;
}

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

const d3d9_index_summary* d3d9_index_buffer_summary(IDirect3DIndexBuffer9* buffer) {
    auto* ours = dynamic_cast<index_buffer*>(buffer);
    return ours != nullptr ? ours->summary() : nullptr;
}
