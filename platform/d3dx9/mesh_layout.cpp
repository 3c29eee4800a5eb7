// mesh_layout.cpp - the vertex layouts and creation options a D3DX mesh accepts: one stream,
// described by a declaration or an FVF.
#include "platform/d3dx9/mesh_object.h"

namespace {

constexpr DWORD known_options = 0x1FFFF;

bool layout_from_elements(const D3DVERTEXELEMENT9* elements, int count, d3dx_mesh_layout* layout) {
    UINT stride = 0;
    for (int i = 0; i < count; ++i) {
        const D3DVERTEXELEMENT9& e = elements[i];
        const UINT size = d3dx_declaration_type_size(e.Type);
        if (e.Stream != 0 || size == 0 || e.Method != D3DDECLMETHOD_DEFAULT || e.Usage > D3DDECLUSAGE_SAMPLE) {
            return false;
        }
        stride = e.Offset + size > stride ? e.Offset + size : stride;
    }
    if (stride == 0) return false;
    layout->elements.assign(elements, elements + count);
    layout->elements.push_back(D3DDECL_END());
    layout->stride = stride;
    DWORD fvf = 0;
    layout->fvf = D3DXFVFFromDeclarator(layout->elements.data(), &fvf) == D3D_OK ? fvf : 0;
    return true;
}

}  // namespace

UINT d3dx_declaration_type_size(BYTE type) {
    static constexpr UINT sizes[] = {4, 8, 12, 16, 4, 4, 4, 8, 4, 4, 8, 4, 8, 4, 4, 4, 8};
    return type < sizeof sizes / sizeof sizes[0] ? sizes[type] : 0;
}

bool d3dx_mesh_layout_from_declaration(const D3DVERTEXELEMENT9* declaration, d3dx_mesh_layout* layout) {
    if (declaration == nullptr) return false;
    for (int i = 0; i < MAX_FVF_DECL_SIZE; ++i) {
        if (declaration[i].Stream == 0xFF) return layout_from_elements(declaration, i, layout);
    }
    return false;
}

bool d3dx_mesh_layout_from_fvf(DWORD fvf, d3dx_mesh_layout* layout) {
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    if (D3DXDeclaratorFromFVF(fvf, elements) != D3D_OK) return false;
    return d3dx_mesh_layout_from_declaration(elements, layout);
}

const D3DVERTEXELEMENT9* d3dx_mesh_find_element(const d3dx_mesh_layout& layout, BYTE usage, BYTE index) {
    for (const D3DVERTEXELEMENT9& e : layout.elements) {
        if (e.Stream != 0xFF && e.Usage == usage && e.UsageIndex == index) return &e;
    }
    return nullptr;
}

bool d3dx_mesh_options_valid(DWORD options) {
    const auto both = [options](DWORD a, DWORD b) { return (options & a) != 0 && (options & b) != 0; };
    if ((options & ~known_options) != 0 || (options & D3DXMESH_VB_SHARE) != 0) return false;
    return !both(D3DXMESH_VB_SYSTEMMEM, D3DXMESH_VB_MANAGED) && !both(D3DXMESH_IB_SYSTEMMEM, D3DXMESH_IB_MANAGED) &&
           !both(D3DXMESH_VB_MANAGED, D3DXMESH_VB_DYNAMIC) && !both(D3DXMESH_IB_MANAGED, D3DXMESH_IB_DYNAMIC);
}
