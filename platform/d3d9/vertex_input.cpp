// vertex_input.cpp - one vertex read out of its streams and expanded to floats (see vertex_input.h).
//
// Every read goes through memcpy: vertex data may lie at any alignment.
#include "platform/d3d9/vertex_input.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

template <typename T>
T load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

float half_to_float(uint16_t h) {
    const int exponent = (h >> 10) & 0x1F;
    const int mantissa = h & 0x3FF;
    float magnitude;
    if (exponent == 0) {
        magnitude = std::ldexp(float(mantissa), -24);  // zero and subnormals
    } else if (exponent == 31) {
        magnitude = mantissa == 0 ? std::numeric_limits<float>::infinity() : std::numeric_limits<float>::quiet_NaN();
    } else {
        magnitude = std::ldexp(float(mantissa | 0x400), exponent - 25);
    }
    return (h & 0x8000) ? -magnitude : magnitude;
}

// A signed normalised value: the most negative code is -1 like the one above it.
float snorm(int v, float scale) {
    const float f = float(v) / scale;
    return f < -1.0f ? -1.0f : f;
}

// The element of `type` at `p` as (x, y, z, w); absent components are (0, 0, 0, 1).
void expand(int type, const uint8_t* p, float out[4]) {
    out[0] = 0.0f;
    out[1] = 0.0f;
    out[2] = 0.0f;
    out[3] = 1.0f;
    switch (type) {
    case D3DDECLTYPE_FLOAT4: out[3] = load<float>(p + 12); [[fallthrough]];
    case D3DDECLTYPE_FLOAT3: out[2] = load<float>(p + 8); [[fallthrough]];
    case D3DDECLTYPE_FLOAT2: out[1] = load<float>(p + 4); [[fallthrough]];
    case D3DDECLTYPE_FLOAT1: out[0] = load<float>(p); break;
    case D3DDECLTYPE_D3DCOLOR:  // bytes B, G, R, A in memory
        out[0] = float(p[2]) / 255.0f;
        out[1] = float(p[1]) / 255.0f;
        out[2] = float(p[0]) / 255.0f;
        out[3] = float(p[3]) / 255.0f;
        break;
    case D3DDECLTYPE_UBYTE4:
        for (int i = 0; i < 4; ++i) out[i] = float(p[i]);
        break;
    case D3DDECLTYPE_UBYTE4N:
        for (int i = 0; i < 4; ++i) out[i] = float(p[i]) / 255.0f;
        break;
    case D3DDECLTYPE_SHORT4:
        out[2] = float(load<int16_t>(p + 4));
        out[3] = float(load<int16_t>(p + 6));
        [[fallthrough]];
    case D3DDECLTYPE_SHORT2:
        out[0] = float(load<int16_t>(p));
        out[1] = float(load<int16_t>(p + 2));
        break;
    case D3DDECLTYPE_SHORT4N:
        out[2] = snorm(load<int16_t>(p + 4), 32767.0f);
        out[3] = snorm(load<int16_t>(p + 6), 32767.0f);
        [[fallthrough]];
    case D3DDECLTYPE_SHORT2N:
        out[0] = snorm(load<int16_t>(p), 32767.0f);
        out[1] = snorm(load<int16_t>(p + 2), 32767.0f);
        break;
    case D3DDECLTYPE_USHORT4N:
        out[2] = float(load<uint16_t>(p + 4)) / 65535.0f;
        out[3] = float(load<uint16_t>(p + 6)) / 65535.0f;
        [[fallthrough]];
    case D3DDECLTYPE_USHORT2N:
        out[0] = float(load<uint16_t>(p)) / 65535.0f;
        out[1] = float(load<uint16_t>(p + 2)) / 65535.0f;
        break;
    case D3DDECLTYPE_UDEC3: {
        const uint32_t v = load<uint32_t>(p);
        for (int i = 0; i < 3; ++i) out[i] = float((v >> (10 * i)) & 0x3FF);
        break;
    }
    case D3DDECLTYPE_DEC3N: {
        const uint32_t v = load<uint32_t>(p);
        for (int i = 0; i < 3; ++i) {
            const int field = int((v >> (10 * i)) & 0x3FF);
            out[i] = snorm(field >= 512 ? field - 1024 : field, 511.0f);
        }
        break;
    }
    case D3DDECLTYPE_FLOAT16_4:
        out[2] = half_to_float(load<uint16_t>(p + 4));
        out[3] = half_to_float(load<uint16_t>(p + 6));
        [[fallthrough]];
    case D3DDECLTYPE_FLOAT16_2:
        out[0] = half_to_float(load<uint16_t>(p));
        out[1] = half_to_float(load<uint16_t>(p + 2));
        break;
    default: break;
    }
}

const uint8_t* at(const vl_element& e, const vi_stream streams[vl_max_streams], uint32_t index) {
    const vi_stream& s = streams[e.stream];
    return s.data + size_t(index) * s.stride + e.offset;
}

}  // namespace

// A stream the layout does not read limits nothing: SIZE_MAX.
size_t vi_stream_vertex_limit(const vertex_layout& layout, int s, const vi_stream& stream) {
    if (s < 0 || s >= vl_max_streams) return 0;
    if ((layout.stream_mask & (1u << s)) == 0) return std::numeric_limits<size_t>::max();
    const size_t need = layout.vertex_size[s];
    if (stream.data == nullptr || stream.stride < need || stream.size < need) return 0;
    return (stream.size - need) / stream.stride + 1;
}

void vi_fetch(const vertex_layout& layout, const vi_stream streams[vl_max_streams], uint32_t index, vi_vertex* out) {
    float v[4];
    if (layout.position.present) {
        expand(layout.position.type, at(layout.position, streams, index), out->position);
    } else {
        out->position[0] = out->position[1] = out->position[2] = 0.0f;
        out->position[3] = 1.0f;
    }

    out->has_normal = layout.normal.present;
    if (out->has_normal) {
        expand(layout.normal.type, at(layout.normal, streams, index), v);
        std::memcpy(out->normal, v, sizeof out->normal);
    } else {
        out->normal[0] = out->normal[1] = out->normal[2] = 0.0f;
    }

    out->has_point_size = layout.point_size.present;
    if (out->has_point_size) {
        expand(layout.point_size.type, at(layout.point_size, streams, index), v);
        out->point_size = v[0];
    } else {
        out->point_size = 0.0f;  // the caller's D3DRS_POINTSIZE applies
    }

    out->has_diffuse = layout.diffuse.present;
    if (out->has_diffuse) {
        expand(layout.diffuse.type, at(layout.diffuse, streams, index), out->diffuse);
    } else {
        out->diffuse[0] = out->diffuse[1] = out->diffuse[2] = out->diffuse[3] = 1.0f;
    }

    out->has_specular = layout.specular.present;
    if (out->has_specular) {
        expand(layout.specular.type, at(layout.specular, streams, index), out->specular);
    } else {
        out->specular[0] = out->specular[1] = out->specular[2] = out->specular[3] = 0.0f;
    }

    for (int t = 0; t < vl_texcoord_sets; ++t) {
        const vl_element& e = layout.texcoord[t];
        if (e.present) {
            expand(e.type, at(e, streams, index), out->texcoord[t]);
        } else {
            out->texcoord[t][0] = out->texcoord[t][1] = out->texcoord[t][2] = 0.0f;
            out->texcoord[t][3] = 1.0f;
        }
    }
}
