// device_draw.cpp - the draw calls: DrawPrimitive, DrawIndexedPrimitive and their UP forms.
//
// Each call checks everything it will read before drawing anything: the primitive count, the
// vertex layout (a position is required), every stream the layout reads (bound, its stride at
// least the layout's vertex, the vertices the draw needs inside the buffer) and the indices (inside
// the index buffer; every index plus the base vertex inside the streams). A draw that fails changes
// nothing. The vertex indices of every draw are gathered into one array of 32-bit indices
// (sequential for DrawPrimitive); the route is then chosen once per draw:
//   - the fast route (device_draw_fast.cpp) for triangles with the vertex formats and states the
//     specialised stages cover (float positions, solid Gouraud fill, vertex fog but no pixel fog,
//     no alpha test, blending off or SRCALPHA / INVSRCALPHA or ONE / ONE with ADD, no stencil or
//     depth bias, 16-bit depth, the whole target, at most stage 0's texture, sampled with any
//     sampler states, times the diffuse colour);
//   - the general route (device_draw_general.cpp) for everything else.
//
// Choices: PrimitiveCount 0 draws nothing and succeeds; a count above MaxPrimitiveCount fails; an
// index outside the streams fails the whole draw; DrawPrimitiveUP leaves stream 0 unbound and
// DrawIndexedPrimitiveUP also the index buffer, as documented, whether the draw succeeded or not
// once its arguments were accepted.
#include "platform/d3d9/device.h"

#include "platform/d3d9/index_buffer.h"
#include "platform/d3d9/sampler.h"
#include "platform/d3d9/texture.h"
#include "platform/d3d9/vertex_buffer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr UINT max_primitive_count = 0xFFFFF;
// The smallest index from which a draw's indices are made relative to it.
constexpr uint32_t rebase_from = 0x10000;

// The number of vertices (or indices) `count` primitives of `type` read; false for an unknown type.
bool primitive_vertices(D3DPRIMITIVETYPE type, UINT count, size_t* n) {
    switch (d3d9_stored_value(type)) {
    case D3DPT_POINTLIST: *n = count; return true;
    case D3DPT_LINELIST: *n = size_t(count) * 2; return true;
    case D3DPT_LINESTRIP: *n = size_t(count) + 1; return true;
    case D3DPT_TRIANGLELIST: *n = size_t(count) * 3; return true;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: *n = size_t(count) + 2; return true;
    default: return false;
    }
}

}  // namespace

// The streams the current layout reads, with the number of whole vertices they all hold.
HRESULT d3d9_device::bound_source(draw_source* source) const {
    const vertex_layout& layout = current_layout();
    if (!layout.position.present) return D3DERR_INVALIDCALL;
    size_t limit = std::numeric_limits<size_t>::max();
    for (int s = 0; s < vl_max_streams; ++s) {
        source->streams[s] = vi_stream{};
        if ((layout.stream_mask & (1u << s)) == 0) continue;
        const stream_source& binding = streams_[s];
        const d3d9_buffer_view contents = d3d9_vertex_buffer_bytes(binding.buffer);
        if (contents.data == nullptr || binding.offset > contents.size) return D3DERR_INVALIDCALL;
        source->streams[s] = vi_stream{contents.data + binding.offset, contents.size - binding.offset, binding.stride};
        limit = std::min(limit, vi_stream_vertex_limit(layout, s, source->streams[s]));
    }
    source->vertex_limit = limit;
    return D3D_OK;
}

// Makes vertex `first` (< vertex_limit) the streams' vertex 0, so that the draw's scratch arrays
// cover only the vertices from there on.
void d3d9_device::draw_source::skip(size_t first) {
    for (vi_stream& s : streams) {
        if (s.data == nullptr) continue;
        s.data += first * s.stride;
        s.size -= first * s.stride;
    }
    vertex_limit -= first;
}

HRESULT d3d9_device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) {
    size_t n = 0;
    if (!primitive_vertices(type, count, &n) || count > max_primitive_count) return D3DERR_INVALIDCALL;
    if (count == 0) return D3D_OK;
    draw_source source;
    if (const HRESULT hr = bound_source(&source); FAILED(hr)) return hr;
    if (uint64_t(start) + n > source.vertex_limit) return D3DERR_INVALIDCALL;
    source.skip(start);
    return draw_sequential(type, count, n, source);
}

// Room for `n` indices in draw_indices_.
HRESULT d3d9_device::reserve_draw_indices(size_t n) {
    try {
        if (draw_indices_.size() < n) draw_indices_.resize(n);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    return D3D_OK;
}

// Draws vertices 0 ... n - 1 of `source` in order.
HRESULT d3d9_device::draw_sequential(D3DPRIMITIVETYPE type, UINT count, size_t n, const draw_source& source) {
    if (const HRESULT hr = reserve_draw_indices(n); FAILED(hr)) return hr;
    for (size_t i = 0; i < n; ++i) draw_indices_[i] = uint32_t(i);
    return draw(type, count, draw_indices_.data(), n, uint32_t(n), source);
}

// Widens `n` indices of `format` into draw_indices_, made relative to the smallest when that is
// large; that vertex (with `base` added, or `base` alone) becomes *first_vertex, and *vertex_end is
// one past the largest relative index. Fails when an index plus `base` lands outside
// [0, vertex_limit).
HRESULT d3d9_device::gather_indices(const unsigned char* data, D3DFORMAT format, size_t n, int64_t base,
                                    size_t vertex_limit, const uint32_t** indices, size_t* first_vertex,
                                    uint32_t* vertex_end) {
    if (const HRESULT hr = reserve_draw_indices(n); FAILED(hr)) return hr;
    // Separate passes, each of which the vectoriser takes.
    uint32_t* out = draw_indices_.data();
    if (format == D3DFMT_INDEX16) {
        for (size_t i = 0; i < n; ++i) {
            uint16_t v;
            std::memcpy(&v, data + 2 * i, 2);
            out[i] = v;
        }
    } else {
        std::memcpy(out, data, 4 * n);
    }
    uint32_t largest = 0, smallest = UINT32_MAX;
    for (size_t i = 0; i < n; ++i) {
        largest = std::max(largest, out[i]);
        smallest = std::min(smallest, out[i]);
    }
    if (int64_t(smallest) + base < 0 || uint64_t(int64_t(largest) + base) >= vertex_limit) return D3DERR_INVALIDCALL;
    // Indices are rebased only when the scratch arrays would otherwise grow well beyond the draw.
    const uint32_t rebase = smallest >= rebase_from ? smallest : 0u;
    if (rebase != 0) {
        for (size_t i = 0; i < n; ++i) out[i] -= rebase;
    }
    *indices = out;
    *first_vertex = size_t(int64_t(rebase) + base);
    *vertex_end = largest - rebase + 1;
    return D3D_OK;
}

HRESULT d3d9_device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT base_vertex, UINT, UINT, UINT start_index,
                                          UINT count) {
    size_t n = 0;
    if (!primitive_vertices(type, count, &n) || count > max_primitive_count) return D3DERR_INVALIDCALL;
    if (count == 0) return D3D_OK;
    if (indices_ == nullptr) return D3DERR_INVALIDCALL;
    const d3d9_index_summary* all = d3d9_index_buffer_summary(indices_);
    if (all == nullptr) return D3DERR_OUTOFVIDEOMEMORY;
    if (uint64_t(start_index) + n > all->count) return D3DERR_INVALIDCALL;
    draw_source source;
    if (const HRESULT hr = bound_source(&source); FAILED(hr)) return hr;
    const uint32_t* range = all->indices + start_index;
    // When every index of the buffer lands inside the streams and there is no base to add, the
    // draw reads the buffer's own indices, unchecked one by one.
    if (base_vertex == 0 && uint64_t(all->largest) < source.vertex_limit && all->largest < rebase_from) {
        return draw(type, count, range, n, all->largest + 1, source);
    }
    const uint32_t* indices = nullptr;
    size_t first = 0;
    uint32_t vertex_end = 0;
    if (const HRESULT hr = gather_indices(reinterpret_cast<const unsigned char*>(range), D3DFMT_INDEX32, n, base_vertex,
                                          source.vertex_limit, &indices, &first, &vertex_end);
        FAILED(hr)) {
        return hr;
    }
    source.skip(first);
    return draw(type, count, indices, n, vertex_end, source);
}

// Stream 0 as the UP calls describe it: `vertices` vertices `stride` bytes apart from `data`.
HRESULT d3d9_device::user_source(const void* data, UINT stride, size_t vertices, draw_source* source) const {
    const vertex_layout& layout = current_layout();
    if (data == nullptr || stride == 0 || !layout.position.present || layout.stream_mask != 1u) {
        return D3DERR_INVALIDCALL;
    }
    if (stride < layout.vertex_size[0] || vertices == 0) return D3DERR_INVALIDCALL;
    for (vi_stream& s : source->streams) s = vi_stream{};
    source->streams[0] =
        vi_stream{static_cast<const uint8_t*>(data), (vertices - 1) * size_t(stride) + layout.vertex_size[0], stride};
    source->vertex_limit = vertices;
    return D3D_OK;
}

HRESULT d3d9_device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, const void* vertices, UINT stride) {
    size_t n = 0;
    if (!primitive_vertices(type, count, &n) || count > max_primitive_count) return D3DERR_INVALIDCALL;
    HRESULT hr = D3D_OK;
    if (count != 0) {
        draw_source source;
        hr = user_source(vertices, stride, n, &source);
        if (FAILED(hr)) return hr;
        hr = draw_sequential(type, count, n, source);
    }
    unbind_user_source(false);
    return hr;
}

HRESULT d3d9_device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT min_vertex, UINT vertex_count, UINT count,
                                            const void* index_data, D3DFORMAT format, const void* vertices,
                                            UINT stride) {
    size_t n = 0;
    if (!primitive_vertices(type, count, &n) || count > max_primitive_count) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
    HRESULT hr = D3D_OK;
    if (count != 0) {
        if (index_data == nullptr) return D3DERR_INVALIDCALL;
        draw_source source;
        hr = user_source(vertices, stride, size_t(min_vertex) + vertex_count, &source);
        if (FAILED(hr)) return hr;
        const uint32_t* indices = nullptr;
        size_t first = 0;
        uint32_t vertex_end = 0;
        hr = gather_indices(static_cast<const unsigned char*>(index_data), format, n, 0, source.vertex_limit, &indices,
                            &first, &vertex_end);
        if (FAILED(hr)) return hr;
        source.skip(first);
        hr = draw(type, count, indices, n, vertex_end, source);
    }
    unbind_user_source(true);
    return hr;
}

// ---- routing -----------------------------------------------------------------------------------

namespace {

bool is_float_zero(DWORD bits) { return (bits & 0x7FFFFFFFu) == 0; }

}  // namespace

// The fast route's texture stages: stage 0 modulating its texture (sampled with any sampler
// states, coordinate set 0 as given) by the diffuse colour, or no texture at all; then stage 1 off,
// or modulating CURRENT by its texture at coordinate set 1 as given (fast_two_stages); the later
// stages off. Alpha leaves no trace on that route (no alpha test, no blending, a target without
// alpha) unless blending reads it (fast_source_alpha), so the alpha operations do not matter
// otherwise.
bool d3d9_device::fast_texture_stages() const {
    const auto& s0 = stage_states_[0];
    if (s0[D3DTSS_COLOROP] == D3DTOP_DISABLE) return textures_[0] == nullptr;
    // At stage 0 CURRENT is the diffuse colour; MODULATE takes its arguments in either order.
    const auto diffuse = [](DWORD a) { return a == D3DTA_DIFFUSE || a == D3DTA_CURRENT; };
    const DWORD a1 = s0[D3DTSS_COLORARG1], a2 = s0[D3DTSS_COLORARG2];
    const bool modulates = s0[D3DTSS_COLOROP] == D3DTOP_MODULATE && s0[D3DTSS_RESULTARG] == D3DTA_CURRENT &&
                           ((a1 == D3DTA_TEXTURE && diffuse(a2)) || (diffuse(a1) && a2 == D3DTA_TEXTURE));
    if (!modulates) return false;
    if (textures_[0] == nullptr) return true;  // the cascade ends before stage 0: the diffuse colour
    if (s0[D3DTSS_TEXCOORDINDEX] != 0 || s0[D3DTSS_TEXTURETRANSFORMFLAGS] != D3DTTFF_DISABLE ||
        (state(D3DRS_WRAP0) & 0xFu) != 0) {
        return false;
    }
    const auto& s1 = stage_states_[1];
    if (s1[D3DTSS_COLOROP] == D3DTOP_DISABLE) return true;
    const DWORD b1 = s1[D3DTSS_COLORARG1], b2 = s1[D3DTSS_COLORARG2];
    const bool second = s1[D3DTSS_COLOROP] == D3DTOP_MODULATE && s1[D3DTSS_RESULTARG] == D3DTA_CURRENT &&
                        ((b1 == D3DTA_TEXTURE && b2 == D3DTA_CURRENT) || (b1 == D3DTA_CURRENT && b2 == D3DTA_TEXTURE));
    if (!second) return false;
    if (textures_[1] == nullptr) return true;  // the cascade ends before stage 1
    return s1[D3DTSS_TEXCOORDINDEX] == 1 && s1[D3DTSS_TEXTURETRANSFORMFLAGS] == D3DTTFF_DISABLE &&
           (state(D3DRS_WRAP1) & 0xFu) == 0 && stage_states_[2][D3DTSS_COLOROP] == D3DTOP_DISABLE;
}

// Whether a fast draw (fast_texture_stages) runs stage 1 too.
bool d3d9_device::fast_two_stages() const {
    return textures_[0] != nullptr && textures_[1] != nullptr && stage_states_[0][D3DTSS_COLOROP] != D3DTOP_DISABLE &&
           stage_states_[1][D3DTSS_COLOROP] != D3DTOP_DISABLE;
}

// Blending by source alpha reads the alpha the stages make. The fast kernels make the texture's
// alpha times the diffuse alpha when textured, the diffuse alpha otherwise: stage 0 must modulate
// alpha the same way, from a texture whose memory holds alpha.
bool d3d9_device::fast_source_alpha() const {
    if (textures_[0] == nullptr) return true;
    if (fast_two_stages()) return false;  // the kernels blend by stage 0's alpha only
    const auto& s0 = stage_states_[0];
    if (s0[D3DTSS_ALPHAOP] != D3DTOP_MODULATE) return false;
    const DWORD a1 = s0[D3DTSS_ALPHAARG1], a2 = s0[D3DTSS_ALPHAARG2];
    const auto diffuse = [](DWORD a) { return a == D3DTA_DIFFUSE || a == D3DTA_CURRENT; };
    if (!(a1 == D3DTA_TEXTURE && diffuse(a2)) && !(diffuse(a1) && a2 == D3DTA_TEXTURE)) return false;
    sampler_level levels[sampler_max_levels];
    int count = 0;
    return d3d9_texture_sampled_levels(textures_[0], levels, &count) && count > 0 && levels[0].alpha_or == 0;
}

bool d3d9_device::fast_route(D3DPRIMITIVETYPE type, const vertex_layout& layout) const {
    const int t = d3d9_stored_value(type);
    if (t != D3DPT_TRIANGLELIST && t != D3DPT_TRIANGLESTRIP && t != D3DPT_TRIANGLEFAN) return false;
    if (layout.position.type != (layout.pretransformed ? D3DDECLTYPE_FLOAT4 : D3DDECLTYPE_FLOAT3)) return false;
    if (layout.normal.present && layout.normal.type != D3DDECLTYPE_FLOAT3) return false;
    if (layout.diffuse.present && layout.diffuse.type != D3DDECLTYPE_D3DCOLOR) return false;
    if (layout.specular.present) return false;
    if (layout.texcoord[0].present && layout.texcoord[0].type != D3DDECLTYPE_FLOAT2) return false;
    if (state(D3DRS_FILLMODE) != D3DFILL_SOLID || state(D3DRS_SHADEMODE) == D3DSHADE_FLAT) return false;
    if (!fast_texture_stages()) return false;
    if (fast_two_stages() && layout.texcoord[1].present && layout.texcoord[1].type != D3DDECLTYPE_FLOAT2) return false;
    if (state(D3DRS_FOGENABLE) != FALSE && state(D3DRS_FOGTABLEMODE) != D3DFOG_NONE) return false;
    raster_blend blend;
    if (state(D3DRS_ALPHATESTENABLE) != FALSE || !fast_blend(&blend)) return false;
    if (blend == raster_blend::source_alpha && !fast_source_alpha()) return false;
    if ((state(D3DRS_COLORWRITEENABLE) & 7u) != 7u || target_alpha_) return false;
    if (fb_.depth_format != fb_depth_format::none && fb_.depth_format != fb_depth_format::d16) return false;
    if (fb_has_stencil(fb_) && state(D3DRS_STENCILENABLE) != FALSE) return false;
    if (!is_float_zero(state(D3DRS_DEPTHBIAS)) || !is_float_zero(state(D3DRS_SLOPESCALEDEPTHBIAS))) return false;
    if (state(D3DRS_CLIPPING) != FALSE && (state(D3DRS_CLIPPLANEENABLE) & 0x3Fu) != 0) return false;
    const D3DVIEWPORT9& v = viewport_rect_;
    if (v.X != 0 || v.Y != 0 || v.Width != DWORD(fb_.width) || v.Height != DWORD(fb_.height)) return false;
    if (v.MinZ != 0.0f || v.MaxZ != 1.0f) return false;
    return state(D3DRS_SCISSORTESTENABLE) == FALSE ||
           (scissor_.left <= 0 && scissor_.top <= 0 && scissor_.right >= fb_.width && scissor_.bottom >= fb_.height);
}

HRESULT d3d9_device::draw(D3DPRIMITIVETYPE type, UINT count, const uint32_t* indices, size_t n, uint32_t vertex_end,
                          const draw_source& source) {
    if (target_level_ && note_target_drawn()) return draw_beside_target(type, count, indices, n, vertex_end, source);
    return draw_routed(type, count, indices, n, vertex_end, source);
}

HRESULT d3d9_device::draw_routed(D3DPRIMITIVETYPE type, UINT count, const uint32_t* indices, size_t n,
                                 uint32_t vertex_end, const draw_source& source) {
    if (matrices_dirty_) {
        tnl_build_matrices(world_, view_, projection_, &matrices_);
        matrices_dirty_ = false;
    }
    const vertex_layout& layout = current_layout();
    if (!fast_route(type, layout)) return draw_general(type, count, indices, n, vertex_end, source);
    tnl_streams streams;
    const auto element = [&source](const vl_element& e) {
        if (!e.present) return tnl_element{};
        const vi_stream& s = source.streams[e.stream];
        return tnl_element{s.data + e.offset, s.stride};
    };
    streams.positions = element(layout.position);
    streams.normals = element(layout.normal);
    streams.diffuse = element(layout.diffuse);
    streams.texcoords = element(layout.texcoord[0]);
    if (fast_two_stages()) streams.texcoords1 = element(layout.texcoord[1]);
    const int t = d3d9_stored_value(type);
    const auto fast = [&](const uint32_t* triangles) {
        if (!layout.pretransformed) return draw_fast(streams, vertex_end, triangles, count);
        const HRESULT hr = draw_fast_pretransformed(streams, vertex_end, triangles, count);
        return hr == S_FALSE ? draw_general(type, count, indices, n, vertex_end, source) : hr;
    };
    if (t == D3DPT_TRIANGLELIST) return fast(indices);
    // Strips and fans as lists: odd strip triangles swap their last two vertices, so that every
    // triangle keeps the first one's winding; fan triangle i is (v[i+1], v[i+2], v[0]).
    try {
        if (triangle_indices_.size() < size_t(count) * 3) triangle_indices_.resize(size_t(count) * 3);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    uint32_t* out = triangle_indices_.data();
    for (UINT i = 0; i < count; ++i, out += 3) {
        if (t == D3DPT_TRIANGLESTRIP) {
            out[0] = indices[i];
            out[1] = indices[i + 1 + (i & 1)];
            out[2] = indices[i + 2 - (i & 1)];
        } else {
            out[0] = indices[i + 1];
            out[1] = indices[i + 2];
            out[2] = indices[0];
        }
    }
    return fast(triangle_indices_.data());
}
