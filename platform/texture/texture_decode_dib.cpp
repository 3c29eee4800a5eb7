// texture_decode_dib.cpp - headerless DIBs to texels; see texture_decode_dib.h.
#include "platform/texture/texture_decode_dib.h"

#include "platform/texture/texture_decode_stb.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr size_t dib_file_header_bytes = 14;
constexpr texture_format dib_format = {"DIB", 8};  // at least one bit per texel, as BMP

uint32_t dib_le16(const unsigned char* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
uint32_t dib_le32(const unsigned char* p) { return dib_le16(p) | dib_le16(p + 2) << 16; }

// Where the pixels start, counted from the start of a BMP file: after the file header, the info
// header, the three channel masks of a 40-byte header with bit fields, and the colour table (of
// 3-byte entries after a 12-byte header, 4-byte ones otherwise), which only images of at most 8
// bits per texel have. The file holds at least the info header.
uint64_t dib_pixel_offset(const unsigned char* data) {
    const uint32_t header_bytes = dib_le32(data);
    uint64_t offset = dib_file_header_bytes + header_bytes;
    if (header_bytes == 12) {
        const uint32_t bits = dib_le16(data + 10);
        return offset + (bits <= 8 ? 3ull << bits : 0);
    }
    const uint32_t bits = dib_le16(data + 14), compression = dib_le32(data + 16), colours = dib_le32(data + 32);
    if (header_bytes == 40 && compression == 3) offset += 12;
    if (bits < 16) offset += 4 * uint64_t(colours != 0 ? colours : 1u << bits);
    return offset;
}

void dib_put_le32(unsigned char* p, uint64_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

bool texture_is_dib(const unsigned char* data, size_t size) {
    if (size < 16) return false;
    const uint32_t header_bytes = dib_le32(data);
    if (header_bytes != 12 && header_bytes != 40 && header_bytes != 56 && header_bytes != 108 && header_bytes != 124) {
        return false;
    }
    const size_t planes_at = header_bytes == 12 ? 8 : 12;
    const uint32_t bits = dib_le16(data + planes_at + 2);
    return dib_le16(data + planes_at) == 1 &&
           (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
}

bool texture_dib_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error) {
    if (size < dib_le32(data)) return texture_invalid(error, "truncated");
    const uint64_t offset = dib_pixel_offset(data);
    if (offset > dib_file_header_bytes + size) return texture_invalid(error, "truncated");

    std::vector<unsigned char> bmp(dib_file_header_bytes + size);
    bmp[0] = 'B', bmp[1] = 'M';
    dib_put_le32(&bmp[2], bmp.size());
    dib_put_le32(&bmp[10], offset);
    std::memcpy(&bmp[dib_file_header_bytes], data, size);
    return texture_stb_decode(bmp.data(), bmp.size(), dib_format, true, image, error);
}
