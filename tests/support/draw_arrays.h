// draw_arrays.h - indexed triangles from separate position, normal, colour and texture-coordinate
// arrays, drawn through DrawIndexedPrimitiveUP in the FVF layout those arrays make, for tests and
// benchmarks that build their geometry that way.
#pragma once

#include <d3d9.h>

#include <cstring>
#include <vector>

struct vertex_arrays {
    const D3DVECTOR* positions = nullptr;  // required
    const D3DVECTOR* normals = nullptr;
    const D3DCOLOR* diffuse = nullptr;
    const float* texcoords = nullptr;  // (u, v) per vertex
    UINT vertex_count = 0;
};

inline DWORD vertex_arrays_fvf(const vertex_arrays& a) {
    return D3DFVF_XYZ | (a.normals ? D3DFVF_NORMAL : 0) | (a.diffuse ? D3DFVF_DIFFUSE : 0) |
           (a.texcoords ? D3DFVF_TEX1 : 0);
}

// The arrays interleaved into `out`; returns the stride.
inline UINT interleave_vertex_arrays(const vertex_arrays& a, std::vector<unsigned char>* out) {
    const UINT stride = 12 + (a.normals ? 12 : 0) + (a.diffuse ? 4 : 0) + (a.texcoords ? 8 : 0);
    out->resize(size_t(stride) * a.vertex_count);
    unsigned char* p = out->data();
    for (UINT v = 0; v < a.vertex_count; ++v) {
        std::memcpy(p, &a.positions[v], 12), p += 12;
        if (a.normals) std::memcpy(p, &a.normals[v], 12), p += 12;
        if (a.diffuse) std::memcpy(p, &a.diffuse[v], 4), p += 4;
        if (a.texcoords) std::memcpy(p, &a.texcoords[2 * v], 8), p += 8;
    }
    return stride;
}

// `scratch` (reused from draw to draw, so that steady frames allocate nothing) receives the
// interleaved vertices.
inline HRESULT draw_vertex_arrays(IDirect3DDevice9* device, const vertex_arrays& a, const UINT* indices,
                                  UINT triangle_count, std::vector<unsigned char>* scratch = nullptr) {
    std::vector<unsigned char> local;
    std::vector<unsigned char>& vertices = scratch != nullptr ? *scratch : local;
    const UINT stride = interleave_vertex_arrays(a, &vertices);
    const HRESULT hr = device->SetFVF(vertex_arrays_fvf(a));
    if (FAILED(hr)) return hr;
    return device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, a.vertex_count, triangle_count, indices,
                                          D3DFMT_INDEX32, vertices.data(), stride);
}
