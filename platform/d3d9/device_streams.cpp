// device_streams.cpp - the device's vertex data: creating vertex and index buffers and
// declarations, binding them (stream sources, indices) and the vertex layout a draw reads.
//
// SetFVF and SetVertexDeclaration set the same state, the last call winning: GetFVF answers 0
// after a declaration and GetVertexDeclaration null after an FVF. Bindings accept only objects
// this device made (anything else is D3DERR_INVALIDCALL, never dereferenced), and hold them through
// the device's own count (device_resource.h), so that bound objects never keep the device alive.
// Every stream is read once per vertex: frequency 1 is the only stream setting (no instancing).
#include "platform/d3d9/device.h"
#include "platform/d3d9/state_block.h"

#include "platform/d3d9/buffer_resource.h"
#include "platform/d3d9/vertex_declaration.h"

#include <new>

namespace {

constexpr UINT max_stream_stride = 508;

template <typename Interface>
d3d9_device_child<Interface>* child(Interface* object) {
    return dynamic_cast<d3d9_device_child<Interface>*>(object);
}

// Binds `next` in `*slot` in place of what was there (either may be null).
template <typename Interface>
void rebind(Interface** slot, Interface* next) {
    if (next != nullptr) child(next)->bind();
    Interface* previous = *slot;
    *slot = next;
    if (previous != nullptr) child(previous)->unbind();
}

// A buffer the device may read: one of ours, not in the scratch pool.
template <typename Interface>
bool usable(const d3d9_device& device, Interface* buffer, d3d9_object_kind kind) {
    if (!device.made_here(static_cast<const void*>(buffer), kind)) return false;
    const auto* ours = dynamic_cast<const d3d9_buffer<Interface>*>(buffer);
    return ours != nullptr && ours->pool() != D3DPOOL_SCRATCH;
}

}  // namespace

bool d3d9_device_remember(IDirect3DDevice9* device, const void* object, d3d9_object_kind kind) {
    auto* ours = dynamic_cast<d3d9_device*>(device);
    return ours != nullptr && ours->remember(object, kind);
}

void d3d9_device_forget(IDirect3DDevice9* device, const void* object) {
    auto* ours = dynamic_cast<d3d9_device*>(device);
    if (ours != nullptr) ours->forget(object);
}

bool d3d9_device::remember(const void* object, d3d9_object_kind kind) {
    try {
        resources_.emplace(object, kind);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void d3d9_device::release_stream_bindings() {
    for (stream_source& s : streams_) rebind<IDirect3DVertexBuffer9>(&s.buffer, nullptr);
    rebind<IDirect3DIndexBuffer9>(&indices_, nullptr);
    rebind<IDirect3DVertexDeclaration9>(&declaration_, nullptr);
}

// After a UP draw: stream 0 unbound (offset and stride 0) and, for the indexed one, the index buffer.
void d3d9_device::unbind_user_source(bool indices) {
    rebind<IDirect3DVertexBuffer9>(&streams_[0].buffer, nullptr);
    streams_[0].offset = streams_[0].stride = 0;
    if (indices) rebind<IDirect3DIndexBuffer9>(&indices_, nullptr);
}

HRESULT d3d9_device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                        IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
    return d3d9_create_vertex_buffer(this, length, usage, fvf, pool, buffer, shared);
}

HRESULT d3d9_device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                       IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
    return d3d9_create_index_buffer(this, length, usage, format, pool, buffer, shared);
}

HRESULT d3d9_device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                             IDirect3DVertexDeclaration9** declaration) {
    return d3d9_create_vertex_declaration(this, elements, declaration);
}

// A null buffer unbinds the stream; offset and stride are kept as given either way.
HRESULT d3d9_device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    if (stream >= UINT(vl_max_streams) || stride > max_stream_stride) return D3DERR_INVALIDCALL;
    if (buffer != nullptr && !usable(*this, buffer, d3d9_object_kind::vertex_buffer)) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_stream_source(stream, buffer, offset, stride);
    stream_source& s = streams_[stream];
    rebind(&s.buffer, buffer);
    s.offset = offset;
    s.stride = stride;
    return D3D_OK;
}

HRESULT d3d9_device::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) {
    if (buffer == nullptr) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (offset == nullptr || stride == nullptr || stream >= UINT(vl_max_streams)) return D3DERR_INVALIDCALL;
    const stream_source& s = streams_[stream];
    if (s.buffer != nullptr) s.buffer->AddRef();
    *buffer = s.buffer;
    *offset = s.offset;
    *stride = s.stride;
    return D3D_OK;
}

HRESULT d3d9_device::SetStreamSourceFreq(UINT stream, UINT setting) {
    return stream < UINT(vl_max_streams) && setting == 1 ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT d3d9_device::GetStreamSourceFreq(UINT stream, UINT* setting) {
    if (setting == nullptr || stream >= UINT(vl_max_streams)) return D3DERR_INVALIDCALL;
    *setting = 1;
    return D3D_OK;
}

HRESULT d3d9_device::SetIndices(IDirect3DIndexBuffer9* indices) {
    if (indices != nullptr && !usable(*this, indices, d3d9_object_kind::index_buffer)) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_indices(indices);
    rebind(&indices_, indices);
    return D3D_OK;
}

HRESULT d3d9_device::GetIndices(IDirect3DIndexBuffer9** indices) {
    if (indices == nullptr) return D3DERR_INVALIDCALL;
    if (indices_ != nullptr) indices_->AddRef();
    *indices = indices_;
    return D3D_OK;
}

HRESULT d3d9_device::SetFVF(DWORD fvf) {
    vertex_layout layout;
    if (!vl_from_fvf(fvf, &layout)) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_fvf(fvf);
    rebind<IDirect3DVertexDeclaration9>(&declaration_, nullptr);
    fvf_ = fvf;
    layout_ = layout;
    layout_from_declaration_ = false;
    return D3D_OK;
}

HRESULT d3d9_device::GetFVF(DWORD* fvf) {
    if (fvf == nullptr) return D3DERR_INVALIDCALL;
    *fvf = fvf_;
    return D3D_OK;
}

// A null declaration is accepted and leaves no layout: draws fail until a format is set again.
HRESULT d3d9_device::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
    if (declaration != nullptr && !made_here(static_cast<const void*>(declaration), d3d9_object_kind::declaration))
        return D3DERR_INVALIDCALL;
    const vertex_layout* layout = d3d9_declaration_layout(declaration);
    if (declaration != nullptr && layout == nullptr) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_declaration(declaration);
    rebind(&declaration_, declaration);
    fvf_ = 0;
    layout_ = layout != nullptr ? *layout : vertex_layout{};
    layout_from_declaration_ = true;
    return D3D_OK;
}

HRESULT d3d9_device::GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) {
    if (declaration == nullptr) return D3DERR_INVALIDCALL;
    if (declaration_ != nullptr) declaration_->AddRef();
    *declaration = declaration_;
    return D3D_OK;
}

vi_stream d3d9_device::stream_input(int stream) const {
    if (stream < 0 || stream >= vl_max_streams) return {};
    const stream_source& s = streams_[size_t(stream)];
    const d3d9_buffer_view bytes = d3d9_vertex_buffer_bytes(s.buffer);
    if (bytes.data == nullptr || s.offset > bytes.size) return {nullptr, 0, s.stride};
    return {bytes.data + s.offset, bytes.size - s.offset, s.stride};
}

d3d9_index_view d3d9_device::current_indices() const { return d3d9_index_buffer_bytes(indices_); }
