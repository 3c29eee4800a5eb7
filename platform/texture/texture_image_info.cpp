// texture_image_info.cpp - D3DXIMAGE_INFO from the headers of a decoded file; see texture_image_info.h.
#include "platform/texture/texture_image_info.h"

#include "platform/d3d9/texture_format.h"  // d3d9_max_texture_levels
#include "platform/texture/texture_decode.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t texture_le16(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t texture_le32(const unsigned char* p) { return texture_le16(p) | texture_le16(p + 2) << 16; }

bool texture_starts(const unsigned char* data, size_t size, const char* magic) {
    const size_t length = std::strlen(magic);
    return size >= length && std::memcmp(data, magic, length) == 0;
}

bool texture_has_alpha(const d3d9_texture_image& image) {
    return std::any_of(image.texels.begin(), image.texels.end(), [](D3DCOLOR t) { return (t >> 24) != 0xFF; });
}

// `info` is the bitmap information header (after the 14-byte file header of a BMP).
D3DFORMAT texture_bmp_format(const unsigned char* info, size_t size) {
    if (size < 16) return D3DFMT_X8R8G8B8;
    const uint32_t bits = texture_le16(info + 14);
    return bits == 24 ? D3DFMT_R8G8B8 : bits == 32 ? D3DFMT_A8R8G8B8 : bits == 16 ? D3DFMT_X1R5G5B5 : D3DFMT_P8;
}

D3DFORMAT texture_png_format(const unsigned char* data, size_t size) {
    if (size < 26) return D3DFMT_X8R8G8B8;
    switch (data[25]) {
    case 0: return D3DFMT_L8;
    case 3: return D3DFMT_P8;
    case 4: return D3DFMT_A8L8;
    case 6: return D3DFMT_A8R8G8B8;
    default: return D3DFMT_X8R8G8B8;
    }
}

D3DFORMAT texture_tga_format(const unsigned char* data, size_t size) {
    if (size < 18) return D3DFMT_X8R8G8B8;
    const unsigned type = data[2] & ~8u;  // 8: run-length encoded
    if (type == 1) return D3DFMT_P8;
    if (type == 3) return D3DFMT_L8;
    return data[16] == 32 ? D3DFMT_A8R8G8B8 : data[16] == 16 ? D3DFMT_A1R5G5B5 : D3DFMT_X8R8G8B8;
}

// The layout of a DDS header's pixel format (offsets from the file start).
D3DFORMAT texture_dds_format(const unsigned char* data, size_t size, bool alpha) {
    if (size < 128) return alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    const uint32_t flags = texture_le32(data + 80), four_cc = texture_le32(data + 84);
    const uint32_t bits = texture_le32(data + 88), red = texture_le32(data + 92), alpha_mask = texture_le32(data + 104);
    if ((flags & 0x4) != 0) {  // DDPF_FOURCC
        for (const D3DFORMAT dxt : {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5}) {
            if (four_cc == uint32_t(dxt)) return dxt;
        }
    }
    const bool has_alpha = (flags & 0x1) != 0 && alpha_mask != 0;  // DDPF_ALPHAPIXELS
    if (bits == 32) return has_alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (bits == 24) return D3DFMT_R8G8B8;
    if (bits == 16 && red == 0xF800) return D3DFMT_R5G6B5;
    if (bits == 16 && red == 0x0F00) return has_alpha ? D3DFMT_A4R4G4B4 : D3DFMT_X4R4G4B4;
    if (bits == 16 && red == 0x7C00) return has_alpha ? D3DFMT_A1R5G5B5 : D3DFMT_X1R5G5B5;
    if (bits == 16) return D3DFMT_A8L8;
    if (bits == 8) return has_alpha && red == 0 ? D3DFMT_A8 : D3DFMT_L8;
    return alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

UINT texture_dds_levels(const unsigned char* data, size_t size) {
    if (size < 32 || (texture_le32(data + 8) & 0x20000) == 0) return 1;  // DDSD_MIPMAPCOUNT
    return std::clamp<UINT>(texture_le32(data + 28), 1, d3d9_max_texture_levels);
}

// floor(log2(max(w, h))) + 1: the levels of a complete chain.
UINT texture_full_levels(UINT w, UINT h) {
    UINT levels = 1;
    for (UINT side = std::max(w, h); side > 1; side >>= 1) ++levels;
    return levels;
}

}  // namespace

D3DXIMAGE_INFO texture_image_info(const unsigned char* data, size_t size, const d3d9_texture_image& image) {
    D3DXIMAGE_INFO info{};
    info.Width = image.width;
    info.Height = image.height;
    info.Depth = 1;
    info.MipLevels = 1;
    info.ResourceType = D3DRTYPE_TEXTURE;
    info.ImageFileFormat = D3DXIFF_BMP;
    const bool alpha = texture_has_alpha(image);
    info.Format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (texture_starts(data, size, "BM") && size >= 14) {
        info.Format = texture_bmp_format(data + 14, size - 14);
    } else if (texture_starts(data, size, "\x89PNG")) {
        info.ImageFileFormat = D3DXIFF_PNG;
        info.Format = texture_png_format(data, size);
    } else if (texture_starts(data, size, "\xFF\xD8")) {
        info.ImageFileFormat = D3DXIFF_JPG;
    } else if (texture_starts(data, size, "DDS ")) {
        info.ImageFileFormat = D3DXIFF_DDS;
        info.Format = texture_dds_format(data, size, alpha);
        info.MipLevels = std::min(texture_dds_levels(data, size), texture_full_levels(image.width, image.height));
    } else if (texture_starts(data, size, "#?")) {
        info.ImageFileFormat = D3DXIFF_HDR;
        info.Format = D3DFMT_A32B32G32R32F;
    } else if (texture_starts(data, size, "PF") || texture_starts(data, size, "Pf")) {
        info.ImageFileFormat = D3DXIFF_PFM;
        info.Format = data[1] == 'f' ? D3DFMT_R32F : D3DFMT_A32B32G32R32F;
    } else if (size >= 2 && data[0] == 'P' && data[1] >= '2' && data[1] <= '6') {
        info.ImageFileFormat = D3DXIFF_PPM;
        info.Format = data[1] == '2' || data[1] == '5' ? D3DFMT_L8 : D3DFMT_X8R8G8B8;
    } else if (size >= 16 && (texture_le32(data) == 40 || texture_le32(data) == 108 || texture_le32(data) == 124)) {
        info.ImageFileFormat = D3DXIFF_DIB;  // a bitmap information header without the file header
        info.Format = texture_bmp_format(data, size);
    } else if (!texture_starts(data, size, "GIF") && !texture_starts(data, size, "8BPS") && size >= 18) {
        // TGA has no magic; GIF and PSD are what else stb_image reads
        info.ImageFileFormat = D3DXIFF_TGA;
        info.Format = texture_tga_format(data, size);
    }
    return info;
}
