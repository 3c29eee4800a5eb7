// vertex_format.cpp - flexible vertex formats (FVF) and vertex declarations: sizes and the
// conversions between the two.
//
// An FVF lays out, in this order: the position (XYZ, XYZRHW, XYZW or XYZ with 1-5 blend values,
// the last of which may be UBYTE4 or D3DCOLOR indices), normal, point size, diffuse, specular, and
// 0-8 texture coordinate sets of 1-4 floats each. A declaration lists 8-byte elements (stream,
// offset, type, method, usage, usage index) up to a terminator whose stream is 0xFF; here they are
// read and written through that documented layout.
#include <d3dx9.h>

#include "platform/d3dx9/unavailable.h"

#include <cstring>

namespace {

constexpr DWORD fvf_position_mask = 0x400E;
constexpr DWORD fvf_xyz = 0x002, fvf_xyzrhw = 0x004, fvf_xyzb1 = 0x006, fvf_xyzb5 = 0x00E, fvf_xyzw = 0x4002;
constexpr DWORD fvf_normal = 0x010, fvf_psize = 0x020, fvf_diffuse = 0x040, fvf_specular = 0x080;
constexpr DWORD fvf_texcount_mask = 0xF00, fvf_texcount_shift = 8;
constexpr DWORD fvf_lastbeta_ubyte4 = 0x1000, fvf_lastbeta_d3dcolor = 0x8000;
constexpr DWORD fvf_known = fvf_position_mask | fvf_normal | fvf_psize | fvf_diffuse | fvf_specular |
                            fvf_texcount_mask | fvf_lastbeta_ubyte4 | fvf_lastbeta_d3dcolor | 0xFFFF0000u;

constexpr int max_elements = 65;  // MAX_FVF_DECL_SIZE, the terminator included

enum : BYTE { type_float1 = 0, type_float2 = 1, type_float3 = 2, type_float4 = 3, type_d3dcolor = 4, type_ubyte4 = 5 };
constexpr BYTE type_unused = 17;
enum : BYTE {
    usage_position = 0,
    usage_blendweight = 1,
    usage_blendindices = 2,
    usage_normal = 3,
    usage_psize = 4,
    usage_texcoord = 5,
    usage_positiont = 9,
    usage_color = 10
};

struct element {
    WORD stream;
    WORD offset;
    BYTE type;
    BYTE method;
    BYTE usage;
    BYTE usage_index;
};
static_assert(sizeof(element) == 8);

constexpr element end_element{0xFF, 0, type_unused, 0, 0, 0};

UINT type_size(BYTE type) {
    switch (type) {
    case type_float1: return 4;
    case type_float2: return 8;
    case type_float3: return 12;
    case type_float4: return 16;
    case type_d3dcolor:
    case type_ubyte4: return 4;
    case 6: return 8;   // SHORT2
    case 7: return 8;   // SHORT4
    case 8: return 4;   // UBYTE4N
    case 9: return 4;   // SHORT2N
    case 10: return 8;  // SHORT4N
    case 11: return 4;  // USHORT2N
    case 12: return 8;  // USHORT4N
    case 13: return 4;  // UDEC3
    case 14: return 4;  // DEC3N
    case 15: return 4;  // FLOAT16_2
    case 16: return 8;  // FLOAT16_4
    default: return 0;
    }
}

// The elements of `fvf` without the terminator; false for an FVF that describes no layout.
bool elements_of(DWORD fvf, element* out, int* count) {
    if ((fvf & ~fvf_known) != 0) return false;
    const DWORD textures = (fvf & fvf_texcount_mask) >> fvf_texcount_shift;
    if (textures > 8) return false;
    int n = 0;
    WORD offset = 0;
    auto add = [&](BYTE type, BYTE usage, BYTE index) {
        out[n++] = {0, offset, type, 0, usage, index};
        offset = WORD(offset + type_size(type));
    };
    const DWORD position = fvf & fvf_position_mask;
    if (position == fvf_xyz) {
        add(type_float3, usage_position, 0);
    } else if (position == fvf_xyzrhw) {
        add(type_float4, usage_positiont, 0);
    } else if (position == fvf_xyzw) {
        add(type_float4, usage_position, 0);
    } else if (position >= fvf_xyzb1 && position <= fvf_xyzb5 && (position & 0x4000) == 0) {
        add(type_float3, usage_position, 0);
        int weights = int((position - fvf_xyzb1) / 2 + 1);
        const DWORD last_beta = fvf & (fvf_lastbeta_ubyte4 | fvf_lastbeta_d3dcolor);
        if (last_beta == (fvf_lastbeta_ubyte4 | fvf_lastbeta_d3dcolor)) return false;
        if (last_beta != 0) --weights;
        if (weights > 4) return false;
        if (weights > 0) add(BYTE(type_float1 + weights - 1), usage_blendweight, 0);
        if (last_beta != 0) add(last_beta == fvf_lastbeta_ubyte4 ? type_ubyte4 : type_d3dcolor, usage_blendindices, 0);
    } else if (position != 0) {
        return false;
    }
    if (position == 0 || position == fvf_xyzrhw || position == fvf_xyzw || position == fvf_xyz) {
        if ((fvf & (fvf_lastbeta_ubyte4 | fvf_lastbeta_d3dcolor)) != 0) return false;
    }
    if (fvf & fvf_normal) add(type_float3, usage_normal, 0);
    if (fvf & fvf_psize) add(type_float1, usage_psize, 0);
    if (fvf & fvf_diffuse) add(type_d3dcolor, usage_color, 0);
    if (fvf & fvf_specular) add(type_d3dcolor, usage_color, 1);
    for (DWORD t = 0; t < textures; ++t) {
        static constexpr BYTE size_types[4] = {type_float2, type_float3, type_float4, type_float1};
        add(size_types[(fvf >> (16 + 2 * t)) & 3], usage_texcoord, BYTE(t));
    }
    *count = n;
    return true;
}

// Reads a declaration up to its terminator; false when there is none within max_elements.
bool read_declaration(const D3DVERTEXELEMENT9* declaration, element* out, int* count) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(declaration);
    for (int i = 0; i < max_elements; ++i) {
        std::memcpy(&out[i], bytes + i * sizeof(element), sizeof(element));
        if (out[i].stream == 0xFF) {
            *count = i;
            return true;
        }
    }
    return false;
}

bool same(const element& a, const element& b) {
    return a.stream == b.stream && a.offset == b.offset && a.type == b.type && a.method == b.method &&
           a.usage == b.usage && a.usage_index == b.usage_index;
}

}  // namespace

UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf) {
    element elements[max_elements];
    int count = 0;
    if (!elements_of(fvf, elements, &count)) return 0;
    UINT size = 0;
    for (int i = 0; i < count; ++i) size += type_size(elements[i].type);
    return size;
}

HRESULT WINAPI D3DXDeclaratorFromFVF(DWORD fvf, D3DVERTEXELEMENT9* declaration) {
    element elements[max_elements];
    int count = 0;
    if (declaration == nullptr || !elements_of(fvf, elements, &count)) return D3DERR_INVALIDCALL;
    elements[count++] = end_element;
    std::memcpy(static_cast<void*>(declaration), elements, count * sizeof(element));
    return D3D_OK;
}

// Builds the FVF the elements suggest, then accepts it only when it lays out exactly those
// elements.
HRESULT WINAPI D3DXFVFFromDeclarator(const D3DVERTEXELEMENT9* declaration, DWORD* fvf) {
    if (declaration == nullptr || fvf == nullptr) return D3DERR_INVALIDCALL;
    element given[max_elements];
    int count = 0;
    if (!read_declaration(declaration, given, &count)) return D3DERR_INVALIDCALL;
    DWORD result = 0;
    int blend_values = 0;
    DWORD textures = 0;
    for (int i = 0; i < count; ++i) {
        const element& e = given[i];
        switch (e.usage) {
        case usage_position: result |= e.type == type_float4 ? fvf_xyzw : fvf_xyz; break;
        case usage_positiont: result |= fvf_xyzrhw; break;
        case usage_blendweight: blend_values += int(e.type) - type_float1 + 1; break;
        case usage_blendindices:
            ++blend_values;
            result |= e.type == type_ubyte4 ? fvf_lastbeta_ubyte4 : fvf_lastbeta_d3dcolor;
            break;
        case usage_normal: result |= fvf_normal; break;
        case usage_psize: result |= fvf_psize; break;
        case usage_color: result |= e.usage_index == 0 ? fvf_diffuse : fvf_specular; break;
        case usage_texcoord:
            if (e.usage_index >= 8 || e.type > type_float4) return D3DERR_INVALIDCALL;
            textures = DWORD(e.usage_index) + 1 > textures ? DWORD(e.usage_index) + 1 : textures;
            result |= DWORD(e.type == type_float1 ? 3 : e.type - type_float2) << (16 + 2 * e.usage_index);
            break;
        default: return D3DERR_INVALIDCALL;
        }
    }
    if (blend_values > 0) {
        if ((result & fvf_position_mask) != fvf_xyz || blend_values > 5) return D3DERR_INVALIDCALL;
        result = (result & ~fvf_position_mask) | DWORD(fvf_xyzb1 + 2 * (blend_values - 1));
    }
    result |= textures << fvf_texcount_shift;
    element expected[max_elements];
    int expected_count = 0;
    if (!elements_of(result, expected, &expected_count) || expected_count != count) return D3DERR_INVALIDCALL;
    for (int i = 0; i < count; ++i) {
        if (!same(given[i], expected[i])) return D3DERR_INVALIDCALL;
    }
    *fvf = result;
    return D3D_OK;
}

UINT WINAPI D3DXGetDeclLength(const D3DVERTEXELEMENT9* declaration) {
    element elements[max_elements];
    int count = 0;
    if (declaration == nullptr || !read_declaration(declaration, elements, &count)) return 0;
    return UINT(count);
}

// The end of the furthest element of `stream`.
UINT WINAPI D3DXGetDeclVertexSize(const D3DVERTEXELEMENT9* declaration, DWORD stream) {
    element elements[max_elements];
    int count = 0;
    if (declaration == nullptr || !read_declaration(declaration, elements, &count)) return 0;
    UINT size = 0;
    for (int i = 0; i < count; ++i) {
        if (elements[i].stream != stream) continue;
        const UINT end = elements[i].offset + type_size(elements[i].type);
        size = end > size ? end : size;
    }
    return size;
}
