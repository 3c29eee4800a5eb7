// vertex_declaration.cpp - IDirect3DVertexDeclaration9 (see vertex_declaration.h).
#include "platform/d3d9/vertex_declaration.h"

#include "platform/d3d9/device_resource.h"

#include <algorithm>
#include <new>

namespace {

class vertex_declaration final : public d3d9_device_child<IDirect3DVertexDeclaration9> {
public:
    vertex_declaration(IDirect3DDevice9* device, const vertex_layout& layout, const D3DVERTEXELEMENT9* elements,
                       UINT count)
        : d3d9_device_child(device), layout_(layout), count_(count) {
        std::copy(elements, elements + count, elements_);
    }
    const vertex_layout& layout() const { return layout_; }

    // The elements with their end marker. Null elements ask for the count only; otherwise the
    // caller's count is not read: the array must hold all of them (MAXD3DDECLLENGTH + 1 always do).
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override {
        if (count == nullptr) return D3DERR_INVALIDCALL;
        if (elements != nullptr) std::copy(elements_, elements_ + count_, elements);
        *count = count_;
        return D3D_OK;
    }

protected:
    bool answers(REFIID riid) const override { return IsEqualGUID(riid, IID_IDirect3DVertexDeclaration9); }

private:
    ~vertex_declaration() override = default;
    vertex_layout layout_;
    D3DVERTEXELEMENT9 elements_[MAXD3DDECLLENGTH + 1];
    UINT count_;
};

}  // namespace

HRESULT d3d9_create_vertex_declaration(IDirect3DDevice9* device, const D3DVERTEXELEMENT9* elements,
                                       IDirect3DVertexDeclaration9** declaration) {
    if (declaration == nullptr) return D3DERR_INVALIDCALL;
    *declaration = nullptr;
    vertex_layout layout;
    UINT count = 0;
    if (device == nullptr || !vl_from_elements(elements, &layout, &count)) return D3DERR_INVALIDCALL;
    auto* made = new (std::nothrow) vertex_declaration(device, layout, elements, count);
    if (made == nullptr) return E_OUTOFMEMORY;
    if (!d3d9_device_remember(device, static_cast<IDirect3DVertexDeclaration9*>(made), d3d9_object_kind::declaration)) {
        made->Release();
        return E_OUTOFMEMORY;
    }
    *declaration = made;
    return D3D_OK;
}

const vertex_layout* d3d9_declaration_layout(IDirect3DVertexDeclaration9* declaration) {
    const auto* ours = dynamic_cast<const vertex_declaration*>(declaration);
    return ours != nullptr ? &ours->layout() : nullptr;
}
