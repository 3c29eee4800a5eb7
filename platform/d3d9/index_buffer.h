// index_buffer.h - IDirect3DIndexBuffer9: 16- or 32-bit indices a program fills through Lock and
// the device reads through SetIndices (buffer_resource.h has the lock protocol).
#pragma once

#include <d3d9.h>

#include "platform/d3d9/vertex_buffer.h"

// Makes an index buffer of `device` after checking the arguments as CreateIndexBuffer documents
// them: D3DERR_INVALIDCALL for length 0, a format other than INDEX16 or INDEX32, unknown usage
// bits, an unknown pool or MANAGED with DYNAMIC, a shared handle, a null output; out of memory as
// for vertex buffers. *buffer is null on failure.
HRESULT d3d9_create_index_buffer(IDirect3DDevice9* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                 IDirect3DIndexBuffer9** buffer, HANDLE* shared);

// The bytes and index format (D3DFMT_INDEX16 or D3DFMT_INDEX32) of one of our index buffers;
// empty with D3DFMT_UNKNOWN for null or an object not ours.
struct d3d9_index_view {
    d3d9_buffer_view bytes;
    D3DFORMAT format = D3DFMT_UNKNOWN;
};
d3d9_index_view d3d9_index_buffer_bytes(IDirect3DIndexBuffer9* buffer);

// Every index of one of our index buffers as 32-bit values, with the smallest and the largest, for
// the draw path: kept from one draw to the next until the buffer is locked again (while it stays
// locked, made afresh for each draw). Null for null, an object not ours, or when memory runs out.
struct d3d9_index_summary {
    const uint32_t* indices = nullptr;
    size_t count = 0;
    uint32_t smallest = 0, largest = 0;
};
const d3d9_index_summary* d3d9_index_buffer_summary(IDirect3DIndexBuffer9* buffer);
