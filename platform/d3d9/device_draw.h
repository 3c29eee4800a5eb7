// device_draw.h - the device's internal draw entry for vertex data held as separate arrays, which
// the D3DX meshes, the tests and the benchmarks use; programs draw through the public interface.
//
// The entry is reached through d3d9_stream_draw, an interface our device implements beside
// IDirect3DDevice9 (and so may a test's wrapper around it); any other device refuses the draw.
#pragma once

#include <d3d9.h>

// The vertex data of an indexed triangle draw. Positions are required; a null normal stream lights
// the vertices by ambient and emissive only; a null diffuse stream takes the material colours; a
// null texture-coordinate stream samples at (0, 0).
struct d3d9_vertex_streams {
    const D3DVECTOR* positions;
    const D3DVECTOR* normals;  // may be null
    const D3DCOLOR* diffuse;   // may be null; 0xAARRGGBB per vertex
    const float* texcoords;    // may be null; (u, v) pairs per vertex
    UINT vertex_count;
};

struct d3d9_stream_draw {
    // Draws `triangle_count` triangles, three indices each, with the current state. Indices not
    // below streams.vertex_count make the call fail with D3DERR_INVALIDCALL and draw nothing.
    virtual HRESULT draw_indexed_triangles(const d3d9_vertex_streams& streams, const UINT* indices,
                                           UINT triangle_count) = 0;

protected:
    ~d3d9_stream_draw() = default;
};

// The draw on `device` when it offers d3d9_stream_draw; D3DERR_INVALIDCALL otherwise.
inline HRESULT d3d9_draw_indexed_triangles(IDirect3DDevice9* device, const d3d9_vertex_streams& streams,
                                           const UINT* indices, UINT triangle_count) {
    auto* target = dynamic_cast<d3d9_stream_draw*>(device);
    if (target == nullptr) return D3DERR_INVALIDCALL;
    return target->draw_indexed_triangles(streams, indices, triangle_count);
}
