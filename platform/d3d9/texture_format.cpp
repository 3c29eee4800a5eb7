// texture_format.cpp - texture layouts and the conversions of texture_format.h.
#include "platform/d3d9/texture_format.h"

#include <algorithm>
#include <cstring>

namespace {

// An n-bit channel value (max = 2^n - 1) as 8 bits, rounded half up, and back.
constexpr uint32_t widen(uint32_t v, uint32_t max) { return (2 * v * 255 + max) / (2 * max); }
constexpr uint32_t narrow(uint32_t v, uint32_t max) { return (2 * v * max + 255) / 510; }

constexpr uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

uint32_t load(const uint8_t* p, UINT bytes) {
    uint32_t v = 0;
    for (UINT i = 0; i < bytes; ++i) v |= uint32_t(p[i]) << (8 * i);
    return v;
}

void store(uint8_t* p, UINT bytes, uint32_t v) {
    for (UINT i = 0; i < bytes; ++i) p[i] = uint8_t(v >> (8 * i));
}

// ---- DXT blocks ----

// The four colours of a colour block; `four` forces the four-colour mode (DXT2-5).
void colour_palette(const uint8_t* block, bool four, uint32_t palette[4]) {
    const uint32_t c0 = uint32_t(block[0]) | uint32_t(block[1]) << 8, c1 = uint32_t(block[2]) | uint32_t(block[3]) << 8;
    uint32_t r[4], g[4], b[4];
    r[0] = widen(c0 >> 11, 31), g[0] = widen((c0 >> 5) & 63, 63), b[0] = widen(c0 & 31, 31);
    r[1] = widen(c1 >> 11, 31), g[1] = widen((c1 >> 5) & 63, 63), b[1] = widen(c1 & 31, 31);
    palette[0] = argb(255, r[0], g[0], b[0]);
    palette[1] = argb(255, r[1], g[1], b[1]);
    if (four || c0 > c1) {
        palette[2] = argb(255, (2 * r[0] + r[1] + 1) / 3, (2 * g[0] + g[1] + 1) / 3, (2 * b[0] + b[1] + 1) / 3);
        palette[3] = argb(255, (r[0] + 2 * r[1] + 1) / 3, (g[0] + 2 * g[1] + 1) / 3, (b[0] + 2 * b[1] + 1) / 3);
    } else {
        palette[2] = argb(255, (r[0] + r[1] + 1) / 2, (g[0] + g[1] + 1) / 2, (b[0] + b[1] + 1) / 2);
        palette[3] = 0;  // transparent black
    }
}

// The 16 texels of a block, row by row.
void decode_block(D3DFORMAT format, const uint8_t* block, uint32_t texels[16]) {
    const bool dxt1 = format == D3DFMT_DXT1;
    const uint8_t* colour = dxt1 ? block : block + 8;
    uint32_t palette[4];
    colour_palette(colour, !dxt1, palette);
    const uint32_t indices = load(colour + 4, 4);
    for (int i = 0; i < 16; ++i) texels[i] = palette[(indices >> (2 * i)) & 3];
    if (dxt1) return;
    uint32_t alpha[16];
    if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
        for (int i = 0; i < 16; ++i) alpha[i] = widen((block[i / 2] >> (4 * (i & 1))) & 15, 15);
    } else {
        const uint32_t a0 = block[0], a1 = block[1];
        uint32_t values[8] = {a0, a1};
        if (a0 > a1) {
            for (uint32_t i = 2; i < 8; ++i) values[i] = ((8 - i) * a0 + (i - 1) * a1 + 3) / 7;
        } else {
            for (uint32_t i = 2; i < 6; ++i) values[i] = ((6 - i) * a0 + (i - 1) * a1 + 2) / 5;
            values[6] = 0;
            values[7] = 255;
        }
        uint64_t bits = 0;
        for (int i = 0; i < 6; ++i) bits |= uint64_t(block[2 + i]) << (8 * i);
        for (int i = 0; i < 16; ++i) alpha[i] = values[(bits >> (3 * i)) & 7];
    }
    for (int i = 0; i < 16; ++i) texels[i] = (texels[i] & 0xFFFFFFu) | alpha[i] << 24;
}

void decode_blocks(D3DFORMAT format, UINT block_bytes, const uint8_t* bits, UINT pitch, UINT x, UINT y, UINT w, UINT h,
                   uint32_t* out, size_t out_stride) {
    uint32_t texels[16];
    for (UINT by = y / 4; by <= (y + h - 1) / 4; ++by) {
        for (UINT bx = x / 4; bx <= (x + w - 1) / 4; ++bx) {
            decode_block(format, bits + size_t(by) * pitch + size_t(bx) * block_bytes, texels);
            const UINT y0 = std::max(by * 4, y), y1 = std::min(by * 4 + 4, y + h);
            const UINT x0 = std::max(bx * 4, x), x1 = std::min(bx * 4 + 4, x + w);
            for (UINT ty = y0; ty < y1; ++ty) {
                for (UINT tx = x0; tx < x1; ++tx) {
                    out[size_t(ty - y) * out_stride + (tx - x)] = texels[(ty - by * 4) * 4 + (tx - bx * 4)];
                }
            }
        }
    }
}

}  // namespace

bool d3d9_texture_format(D3DFORMAT format, d3d9_format_info* info) {
    d3d9_format_info found;
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: found.texel_bytes = 4; break;
    case D3DFMT_R8G8B8: found.texel_bytes = 3; break;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8L8: found.texel_bytes = 2; break;
    case D3DFMT_A8:
    case D3DFMT_L8: found.texel_bytes = 1; break;
    case D3DFMT_DXT1: found.block_bytes = 8; break;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: found.block_bytes = 16; break;
    default: return false;
    }
    if (info != nullptr) *info = found;
    return true;
}

bool d3d9_format_is_dxt(D3DFORMAT format) {
    d3d9_format_info info;
    return d3d9_texture_format(format, &info) && info.block_bytes != 0;
}

UINT d3d9_format_pitch(D3DFORMAT format, UINT width) {
    d3d9_format_info info;
    if (!d3d9_texture_format(format, &info)) return 0;
    if (info.block_bytes != 0) return std::max(1u, (width + 3) / 4) * info.block_bytes;
    return (width * info.texel_bytes + 3) & ~3u;
}

UINT d3d9_format_rows(D3DFORMAT format, UINT height) {
    if (!d3d9_texture_format(format)) return 0;
    return d3d9_format_is_dxt(format) ? std::max(1u, (height + 3) / 4) : height;
}

uint64_t d3d9_format_level_bytes(D3DFORMAT format, UINT width, UINT height) {
    return uint64_t(d3d9_format_pitch(format, width)) * d3d9_format_rows(format, height);
}

UINT d3d9_full_level_count(UINT width, UINT height) {
    UINT side = std::max(width, height), levels = 1;
    while (side > 1) {
        side >>= 1;
        ++levels;
    }
    return levels;
}

D3DCOLOR d3d9_format_unpack(D3DFORMAT format, uint32_t v) {
    switch (format) {
    case D3DFMT_A8R8G8B8: return v;
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R8G8B8: return v | 0xFF000000u;
    case D3DFMT_R5G6B5: return argb(255, widen(v >> 11 & 31, 31), widen(v >> 5 & 63, 63), widen(v & 31, 31));
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
        const uint32_t a = format == D3DFMT_X1R5G5B5 || (v & 0x8000) != 0 ? 255 : 0;
        return argb(a, widen(v >> 10 & 31, 31), widen(v >> 5 & 31, 31), widen(v & 31, 31));
    }
    case D3DFMT_A4R4G4B4:
        return argb(widen(v >> 12 & 15, 15), widen(v >> 8 & 15, 15), widen(v >> 4 & 15, 15), widen(v & 15, 15));
    case D3DFMT_A8: return (v & 255) << 24;
    case D3DFMT_L8: return argb(255, v & 255, v & 255, v & 255);
    case D3DFMT_A8L8: return argb(v >> 8 & 255, v & 255, v & 255, v & 255);
    default: return 0;
    }
}

uint32_t d3d9_format_pack(D3DFORMAT format, D3DCOLOR c) {
    const uint32_t a = c >> 24, r = c >> 16 & 255, g = c >> 8 & 255, b = c & 255;
    switch (format) {
    case D3DFMT_A8R8G8B8: return c;
    case D3DFMT_X8R8G8B8:  // the unused byte written 0, as the device draws it
    case D3DFMT_R8G8B8: return c & 0xFFFFFFu;
    case D3DFMT_R5G6B5: return narrow(r, 31) << 11 | narrow(g, 63) << 5 | narrow(b, 31);
    case D3DFMT_X1R5G5B5: return narrow(r, 31) << 10 | narrow(g, 31) << 5 | narrow(b, 31);
    case D3DFMT_A1R5G5B5: return narrow(a, 1) << 15 | narrow(r, 31) << 10 | narrow(g, 31) << 5 | narrow(b, 31);
    case D3DFMT_A4R4G4B4: return narrow(a, 15) << 12 | narrow(r, 15) << 8 | narrow(g, 15) << 4 | narrow(b, 15);
    case D3DFMT_A8: return a;
    case D3DFMT_L8: return (r * 2126 + g * 7152 + b * 722 + 5000) / 10000;
    case D3DFMT_A8L8: return a << 8 | (r * 2126 + g * 7152 + b * 722 + 5000) / 10000;
    default: return 0;
    }
}

void d3d9_format_decode(D3DFORMAT format, const uint8_t* bits, UINT pitch, UINT x, UINT y, UINT w, UINT h,
                        uint32_t* out, size_t out_stride) {
    d3d9_format_info info;
    if (w == 0 || h == 0 || !d3d9_texture_format(format, &info)) return;
    if (info.block_bytes != 0) {
        decode_blocks(format, info.block_bytes, bits, pitch, x, y, w, h, out, out_stride);
        return;
    }
    for (UINT j = 0; j < h; ++j) {
        const uint8_t* row = bits + size_t(y + j) * pitch + size_t(x) * info.texel_bytes;
        uint32_t* to = out + size_t(j) * out_stride;
        if (format == D3DFMT_A8R8G8B8) {
            std::memcpy(to, row, size_t(w) * 4);
            continue;
        }
        for (UINT i = 0; i < w; ++i)
            to[i] = d3d9_format_unpack(format, load(row + size_t(i) * info.texel_bytes, info.texel_bytes));
    }
}

bool d3d9_format_encode(D3DFORMAT format, const uint32_t* in, size_t in_stride, UINT w, UINT h, uint8_t* bits,
                        UINT pitch) {
    d3d9_format_info info;
    if (!d3d9_texture_format(format, &info) || info.block_bytes != 0) return false;
    for (UINT j = 0; j < h; ++j) {
        const uint32_t* from = in + size_t(j) * in_stride;
        uint8_t* row = bits + size_t(j) * pitch;
        for (UINT i = 0; i < w; ++i)
            store(row + size_t(i) * info.texel_bytes, info.texel_bytes, d3d9_format_pack(format, from[i]));
    }
    return true;
}
