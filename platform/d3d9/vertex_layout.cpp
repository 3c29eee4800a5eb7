// vertex_layout.cpp - FVF codes and vertex declarations decoded into a vertex_layout (see
// vertex_layout.h for the conventions).
#include "platform/d3d9/vertex_layout.h"

namespace {

constexpr DWORD fvf_reserved_bits = D3DFVF_RESERVED0 | 0x2000;

// Floats of texture coordinate set `i` of an FVF code (1 to 4).
UINT fvf_texcoord_floats(DWORD fvf, int i) {
    switch ((fvf >> (16 + 2 * i)) & 3) {
    case D3DFVF_TEXTUREFORMAT1: return 1;
    case D3DFVF_TEXTUREFORMAT3: return 3;
    case D3DFVF_TEXTUREFORMAT4: return 4;
    default: return 2;
    }
}

// FLOAT1..FLOAT4 for 1..4 floats.
uint8_t float_type(UINT floats) { return uint8_t(D3DDECLTYPE_FLOAT1 + (floats - 1)); }

bool known_position(DWORD position) {
    return position == 0 || position == D3DFVF_XYZ || position == D3DFVF_XYZRHW || position == D3DFVF_XYZW ||
           (position >= D3DFVF_XYZB1 && position <= D3DFVF_XYZB5);
}

// Places an element of `size` bytes at `*offset` in stream 0 and advances the offset.
void place(vl_element* e, uint8_t type, UINT* offset) {
    e->present = true;
    e->stream = 0;
    e->type = type;
    e->offset = uint16_t(*offset);
    *offset += vl_type_size(type);
}

// The element a declaration usage feeds, or null for one the fixed-function pipeline ignores.
vl_element* element_for(vertex_layout* layout, BYTE usage, BYTE index) {
    switch (usage) {
    case D3DDECLUSAGE_POSITION:
    case D3DDECLUSAGE_POSITIONT: return index == 0 ? &layout->position : nullptr;
    case D3DDECLUSAGE_BLENDWEIGHT: return index == 0 ? &layout->blend_weights : nullptr;
    case D3DDECLUSAGE_BLENDINDICES: return index == 0 ? &layout->blend_indices : nullptr;
    case D3DDECLUSAGE_NORMAL: return index == 0 ? &layout->normal : nullptr;
    case D3DDECLUSAGE_PSIZE: return index == 0 ? &layout->point_size : nullptr;
    case D3DDECLUSAGE_TEXCOORD: return index < vl_texcoord_sets ? &layout->texcoord[index] : nullptr;
    case D3DDECLUSAGE_COLOR: return index == 0 ? &layout->diffuse : index == 1 ? &layout->specular : nullptr;
    default: return nullptr;  // tangent, binormal, tessellation factor, fog, depth, sample
    }
}

bool colour_type(BYTE type) {
    return type == D3DDECLTYPE_D3DCOLOR || type == D3DDECLTYPE_UBYTE4N || type == D3DDECLTYPE_FLOAT3 ||
           type == D3DDECLTYPE_FLOAT4;
}

// Whether one element (not the end marker) is acceptable on its own.
bool element_valid(const D3DVERTEXELEMENT9& e) {
    if (e.Stream >= vl_max_streams || e.Method != D3DDECLMETHOD_DEFAULT) return false;
    if (e.Type >= D3DDECLTYPE_UNUSED || e.Usage > D3DDECLUSAGE_SAMPLE) return false;
    if (e.Usage == D3DDECLUSAGE_COLOR && !colour_type(e.Type)) return false;
    return UINT(e.Offset) + vl_type_size(e.Type) <= 0xFFFF;  // its end must fit the layout's sizes
}

void note_stream(vertex_layout* layout, const vl_element& e) {
    layout->stream_mask = uint16_t(layout->stream_mask | (1u << e.stream));
    const UINT end = UINT(e.offset) + vl_type_size(e.type);
    if (end > layout->vertex_size[e.stream]) layout->vertex_size[e.stream] = uint16_t(end);
}

}  // namespace

UINT vl_type_size(int type) {
    switch (type) {
    case D3DDECLTYPE_FLOAT1: return 4;
    case D3DDECLTYPE_FLOAT2: return 8;
    case D3DDECLTYPE_FLOAT3: return 12;
    case D3DDECLTYPE_FLOAT4: return 16;
    case D3DDECLTYPE_D3DCOLOR:
    case D3DDECLTYPE_UBYTE4:
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_UBYTE4N:
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_USHORT2N:
    case D3DDECLTYPE_UDEC3:
    case D3DDECLTYPE_DEC3N:
    case D3DDECLTYPE_FLOAT16_2: return 4;
    case D3DDECLTYPE_SHORT4:
    case D3DDECLTYPE_SHORT4N:
    case D3DDECLTYPE_USHORT4N:
    case D3DDECLTYPE_FLOAT16_4: return 8;
    default: return 0;
    }
}

bool vl_fvf_valid(DWORD fvf) {
    if ((fvf & fvf_reserved_bits) != 0) return false;
    if (!known_position(fvf & D3DFVF_POSITION_MASK)) return false;
    return ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT) <= vl_texcoord_sets;
}

UINT vl_fvf_size(DWORD fvf) {
    vertex_layout layout;
    return vl_from_fvf(fvf, &layout) ? layout.vertex_size[0] : 0;
}

// Blend values of XYZBn: n DWORDs after x, y, z. With a LASTBETA flag the last of them holds the
// matrix indices (UBYTE4 or D3DCOLOR) and n - 1 weights remain; only four weights have a type, a
// fifth (XYZB5 without LASTBETA) counts towards the size but is not placed.
bool vl_from_fvf(DWORD fvf, vertex_layout* out) {
    if (out == nullptr || !vl_fvf_valid(fvf)) return false;
    vertex_layout layout;
    UINT offset = 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position == D3DFVF_XYZRHW || position == D3DFVF_XYZW) {
        place(&layout.position, D3DDECLTYPE_FLOAT4, &offset);
        layout.pretransformed = position == D3DFVF_XYZRHW;
    } else if (position != 0) {
        place(&layout.position, D3DDECLTYPE_FLOAT3, &offset);
        UINT betas = position == D3DFVF_XYZ ? 0 : (position - D3DFVF_XYZB1) / 2 + 1;
        const bool ubyte4 = (fvf & D3DFVF_LASTBETA_UBYTE4) != 0;
        const bool colour = (fvf & D3DFVF_LASTBETA_D3DCOLOR) != 0;
        const bool with_indices = betas > 0 && (ubyte4 || colour);
        const UINT weights = with_indices ? betas - 1 : betas;
        if (weights > 0) {
            place(&layout.blend_weights, float_type(weights > 4 ? 4 : weights), &offset);
            offset += weights > 4 ? 4 * (weights - 4) : 0;
        }
        if (with_indices) place(&layout.blend_indices, ubyte4 ? D3DDECLTYPE_UBYTE4 : D3DDECLTYPE_D3DCOLOR, &offset);
    }
    if (fvf & D3DFVF_NORMAL) place(&layout.normal, D3DDECLTYPE_FLOAT3, &offset);
    if (fvf & D3DFVF_PSIZE) place(&layout.point_size, D3DDECLTYPE_FLOAT1, &offset);
    if (fvf & D3DFVF_DIFFUSE) place(&layout.diffuse, D3DDECLTYPE_D3DCOLOR, &offset);
    if (fvf & D3DFVF_SPECULAR) place(&layout.specular, D3DDECLTYPE_D3DCOLOR, &offset);
    const int sets = int((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    for (int i = 0; i < sets; ++i) place(&layout.texcoord[i], float_type(fvf_texcoord_floats(fvf, i)), &offset);
    layout.stream_mask = offset > 0 ? 1 : 0;
    layout.vertex_size[0] = uint16_t(offset);
    *out = layout;
    return true;
}

// Usages the fixed-function pipeline ignores (tangents, fog, a position or normal of index 1, ...)
// are validated but not placed, and take no part in stream_mask or vertex_size: a draw needs only
// the streams it reads. POSITION and POSITIONT together are refused: a vertex has one position.
bool vl_from_elements(const D3DVERTEXELEMENT9* elements, vertex_layout* out, UINT* element_count) {
    if (elements == nullptr || out == nullptr || element_count == nullptr) return false;
    vertex_layout layout;
    bool seen[D3DDECLUSAGE_SAMPLE + 1][256] = {};
    UINT count = 0;
    for (;; ++count) {
        const D3DVERTEXELEMENT9& e = elements[count];
        if (e.Stream == 0xFF) {
            if (e.Type != D3DDECLTYPE_UNUSED) return false;
            break;
        }
        if (count == MAXD3DDECLLENGTH || !element_valid(e)) return false;
        if (seen[e.Usage][e.UsageIndex]) return false;
        seen[e.Usage][e.UsageIndex] = true;
        vl_element* target = element_for(&layout, e.Usage, e.UsageIndex);
        if (target == nullptr) continue;
        if (target == &layout.position) {
            if (target->present) return false;
            layout.pretransformed = e.Usage == D3DDECLUSAGE_POSITIONT;
        }
        *target = {true, uint8_t(e.Stream), e.Type, e.Offset};
    }
    const vl_element* placed[] = {
        &layout.position,    &layout.blend_weights, &layout.blend_indices, &layout.normal,      &layout.point_size,
        &layout.diffuse,     &layout.specular,      &layout.texcoord[0],   &layout.texcoord[1], &layout.texcoord[2],
        &layout.texcoord[3], &layout.texcoord[4],   &layout.texcoord[5],   &layout.texcoord[6], &layout.texcoord[7]};
    for (const vl_element* e : placed) {
        if (e->present) note_stream(&layout, *e);
    }
    *out = layout;
    *element_count = count + 1;
    return true;
}
