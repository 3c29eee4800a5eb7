// vertex_input.h - reading one vertex out of the bound streams by its layout, every element
// expanded to floats.
//
// Missing elements take their defaults: diffuse opaque white, specular 0 (with has_specular false,
// so that fog can tell an absent specular from a black one), texture coordinates (0, 0, 0, 1),
// point size from the caller, normal absent. D3DCOLOR elements give (r, g, b, a) in [0, 1].
//
// DOES NOT: check bounds. The caller has made sure every element of vertex `index` lies inside its
// stream (vi_stream_vertex_limit).
#pragma once

#include "platform/d3d9/vertex_layout.h"

#include <cstddef>
#include <cstdint>

struct vi_stream {
    const uint8_t* data = nullptr;  // the stream's first vertex (buffer start plus the stream offset)
    size_t size = 0;                // bytes readable from `data` on
    uint32_t stride = 0;
};

struct vi_vertex {
    float position[4];  // x, y, z, and 1 (untransformed) or rhw (pre-transformed)
    float normal[3];
    bool has_normal;
    float point_size;
    bool has_point_size;
    float diffuse[4];   // r, g, b, a
    float specular[4];  // r, g, b, a
    bool has_diffuse, has_specular;
    float texcoord[vl_texcoord_sets][4];
};

// The number of whole vertices stream `s` of `layout` holds (0 when it cannot hold one, or the
// stride is smaller than the layout's vertex in that stream).
size_t vi_stream_vertex_limit(const vertex_layout& layout, int s, const vi_stream& stream);

void vi_fetch(const vertex_layout& layout, const vi_stream streams[vl_max_streams], uint32_t index, vi_vertex* out);
