// vertex_buffer.h - IDirect3DVertexBuffer9: vertex data a program fills through Lock and the
// device reads through its stream bindings (buffer_resource.h has the lock protocol).
#pragma once

#include <d3d9.h>

#include <cstddef>
#include <cstdint>

// The bytes of a buffer, for the draw path. Empty (null, 0) for null or an object not ours.
struct d3d9_buffer_view {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Makes a vertex buffer of `device` after checking the arguments as CreateVertexBuffer documents
// them: D3DERR_INVALIDCALL for length 0, a length below one vertex of a non-zero FVF, an invalid
// FVF, unknown usage bits, an unknown pool or MANAGED with DYNAMIC, a shared handle, a null output;
// out of memory (D3DERR_OUTOFVIDEOMEMORY for DEFAULT, else E_OUTOFMEMORY) also for a length above
// d3d9_max_buffer_length. *buffer is null on failure.
HRESULT d3d9_create_vertex_buffer(IDirect3DDevice9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                  IDirect3DVertexBuffer9** buffer, HANDLE* shared);

d3d9_buffer_view d3d9_vertex_buffer_bytes(IDirect3DVertexBuffer9* buffer);
