// mesh_clone.cpp - ID3DXMesh::CloneMesh and CloneMeshFVF: the same faces, attributes and attribute
// table in a new vertex layout, index size, pool or device.
//
// Each element of the new layout takes the element of the same usage and usage index from the old
// one: copied as it is when the types match, component by component (the missing ones zero)
// between FLOAT1 ... FLOAT4, and zero otherwise; elements that only the new layout has are zero.
// D3DXMESH_VB_SHARE makes the clone use the very vertex buffer of the mesh, which needs the same
// layout and device.
#include "platform/d3dx9/mesh_object.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

bool is_float(BYTE type) { return type <= D3DDECLTYPE_FLOAT4; }

void convert_element(const uint8_t* from, BYTE from_type, uint8_t* to, BYTE to_type) {
    if (from_type == to_type) {
        std::memcpy(to, from, d3dx_declaration_type_size(to_type));
    } else if (is_float(from_type) && is_float(to_type)) {
        std::memcpy(to, from, 4 * size_t(std::min(from_type, to_type) + 1));
    }
}

bool same_layout(const d3dx_mesh_layout& a, const d3dx_mesh_layout& b) {
    return a.stride == b.stride && a.elements.size() == b.elements.size() &&
           std::memcmp(a.elements.data(), b.elements.data(), a.elements.size() * sizeof(D3DVERTEXELEMENT9)) == 0;
}

HRESULT clone_into(d3dx_mesh& source, DWORD options, const d3dx_mesh_layout& layout, IDirect3DDevice9* device,
                   ID3DXMesh** clone) {
    const bool share = (options & D3DXMESH_VB_SHARE) != 0;
    IDirect3DVertexBuffer9* shared = nullptr;
    if (share) {
        if (device != source.device() || !same_layout(layout, source.layout())) return D3DERR_INVALIDCALL;
        if (FAILED(source.GetVertexBuffer(&shared))) return D3DERR_INVALIDCALL;
        shared->Release();  // the source keeps it alive; create takes its own reference
    }
    std::vector<uint8_t> from, to;
    std::vector<uint32_t> indices;
    if ((!share && !source.read_vertices(&from)) || !source.read_indices(&indices)) return D3DERR_INVALIDCALL;
    d3dx_mesh* made = nullptr;
    const HRESULT hr =
        d3dx_mesh::create(device, options, layout, source.GetNumFaces(), source.GetNumVertices(), shared, &made);
    if (FAILED(hr)) return hr;
    if (!share) {
        const size_t vertices = source.GetNumVertices();
        const UINT from_stride = source.layout().stride;
        to.assign(vertices * layout.stride, 0);
        for (const D3DVERTEXELEMENT9& e : layout.elements) {
            if (e.Stream == 0xFF) break;
            const D3DVERTEXELEMENT9* old = d3dx_mesh_find_element(source.layout(), e.Usage, e.UsageIndex);
            if (old == nullptr) continue;
            for (size_t v = 0; v < vertices; ++v) {
                convert_element(&from[v * from_stride + old->Offset], old->Type, &to[v * layout.stride + e.Offset],
                                e.Type);
            }
        }
    }
    made->attributes() = source.attributes();
    made->attribute_table() = source.attribute_table();
    if ((!share && !made->write_vertices(to)) || !made->write_indices(indices)) {
        made->Release();
        return D3DERR_INVALIDCALL;
    }
    *clone = made;
    return D3D_OK;
}

HRESULT clone_checked(d3dx_mesh& source, DWORD options, const d3dx_mesh_layout* layout, IDirect3DDevice9* device,
                      ID3DXMesh** clone) {
    if (clone == nullptr) return D3DERR_INVALIDCALL;
    *clone = nullptr;
    if (layout == nullptr || device == nullptr) return D3DERR_INVALIDCALL;
    try {
        return clone_into(source, options, *layout, device, clone);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace

HRESULT d3dx_mesh::CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone) {
    try {
        d3dx_mesh_layout layout;
        const bool known = d3dx_mesh_layout_from_fvf(fvf, &layout);
        return clone_checked(*this, options, known ? &layout : nullptr, device, clone);
    } catch (const std::bad_alloc&) {
        if (clone != nullptr) *clone = nullptr;
        return E_OUTOFMEMORY;
    }
}

HRESULT d3dx_mesh::CloneMesh(DWORD options, const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                             ID3DXMesh** clone) {
    try {
        d3dx_mesh_layout layout;
        const bool known = d3dx_mesh_layout_from_declaration(declaration, &layout);
        return clone_checked(*this, options, known ? &layout : nullptr, device, clone);
    } catch (const std::bad_alloc&) {
        if (clone != nullptr) *clone = nullptr;
        return E_OUTOFMEMORY;
    }
}
