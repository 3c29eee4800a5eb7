// vertex_layout.h - where each fixed-function input of a vertex lies in the vertex streams, decoded
// once from an FVF code or a vertex declaration.
//
// An element names its stream, its byte offset inside that stream's vertex and its storage type (a
// D3DDECLTYPE value). FVF layouts always read stream 0, fields tightly packed in the documented
// order (position, normal, point size, diffuse, specular, texture coordinate sets). Pre-transformed
// positions (XYZRHW, POSITIONT) are four floats x, y, z, rhw.
//
// DOES NOT: read vertex data (vertex_input.h does), or bind streams.
#pragma once

#include <d3d9.h>

#include <cstdint>

inline constexpr int vl_max_streams = 16;
inline constexpr int vl_texcoord_sets = 8;

struct vl_element {
    bool present = false;
    uint8_t stream = 0;
    uint8_t type = D3DDECLTYPE_UNUSED;  // D3DDECLTYPE
    uint16_t offset = 0;
};

struct vertex_layout {
    vl_element position;  // FLOAT3 for XYZ, FLOAT4 for XYZW and pre-transformed positions
    bool pretransformed = false;
    vl_element blend_weights;  // read by no stage yet (vertex blending is not offered)
    vl_element blend_indices;
    vl_element normal;
    vl_element point_size;
    vl_element diffuse;
    vl_element specular;
    vl_element texcoord[vl_texcoord_sets];
    uint16_t stream_mask = 0;                   // bit s: some element lives in stream s
    uint16_t vertex_size[vl_max_streams] = {};  // bytes of stream s one vertex needs: the end of its last element
};

// Bytes a D3DDECLTYPE occupies; 0 for UNUSED and unknown types.
UINT vl_type_size(int type);

// Whether an FVF code is one SetFVF accepts: no reserved bit, a known position field, at most
// eight texture coordinate sets. 0 is valid (a layout without a position).
bool vl_fvf_valid(DWORD fvf);

// The size of one vertex of a valid FVF code (0 for an invalid one).
UINT vl_fvf_size(DWORD fvf);

// The layout of a valid FVF code; false (and *out unchanged) for an invalid one.
bool vl_from_fvf(DWORD fvf, vertex_layout* out);

// The layout of a declaration ending with D3DDECL_END(); false (and *out unchanged) when the
// declaration is one the fixed-function device rejects. *element_count receives the number of
// elements including the end marker.
bool vl_from_elements(const D3DVERTEXELEMENT9* elements, vertex_layout* out, UINT* element_count);
