// texture_decode_dds.cpp - DDS images to texels; see texture_decode_dds.h.
//
// Layout: "DDS ", a 124-byte header holding a 32-byte pixel format, then the mip levels, largest
// first. A block-compressed level is ceil(w / 4) x ceil(h / 4) blocks of 8 (DXT1) or 16 bytes
// (DXT3, DXT5), row by row; an uncompressed level is h packed rows of w little-endian texels. The
// header's pitch field is ignored: writers disagree about it, and width and texel size fix the rows.
#include "platform/texture/texture_decode_dds.h"

#include <squish.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

constexpr size_t dds_header_end = 128;  // the magic and the header

// Header flags, pixel format flags and capability bits read here.
constexpr uint32_t dds_has_mip_count = 0x20000, dds_has_depth = 0x800000;
constexpr uint32_t dds_alpha_pixels = 0x1, dds_alpha_only = 0x2, dds_four_cc = 0x4, dds_rgb = 0x40, dds_yuv = 0x200,
                   dds_luminance = 0x20000;
constexpr uint32_t dds_cube_map = 0x200, dds_volume = 0x200000;

struct dds_header {
    uint32_t size, flags, height, width, depth, mip_count;
    uint32_t format_size, format_flags, four_cc, bit_count;
    uint32_t masks[4];  // red, green, blue, alpha
    uint32_t caps2;
};

uint32_t dds_le32(const unsigned char* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

constexpr uint32_t dds_code(const char (&name)[5]) {
    return uint32_t(name[0]) | uint32_t(name[1]) << 8 | uint32_t(name[2]) << 16 | uint32_t(name[3]) << 24;
}

// The header of a file of at least dds_header_end bytes.
dds_header dds_read_header(const unsigned char* data) {
    auto field = [data](size_t at) { return dds_le32(data + at); };
    dds_header header;
    header.size = field(4), header.flags = field(8), header.height = field(12), header.width = field(16);
    header.depth = field(24), header.mip_count = field(28);
    header.format_size = field(76), header.format_flags = field(80), header.four_cc = field(84);
    header.bit_count = field(88);
    for (int i = 0; i < 4; ++i) header.masks[i] = field(92 + 4 * size_t(i));
    header.caps2 = field(112);
    return header;
}

// How the top level's texels are stored: in blocks of `unit_bytes` that libsquish decodes with
// `squish_flags`, or, when those are 0, as texels of `unit_bytes`.
struct dds_layout {
    int squish_flags = 0;
    uint32_t unit_bytes = 0;
};

uint64_t dds_level_bytes(const dds_layout& layout, uint64_t width, uint64_t height) {
    if (layout.squish_flags == 0) return width * height * layout.unit_bytes;
    return (width + 3) / 4 * ((height + 3) / 4) * layout.unit_bytes;
}

// A four-character code for people: its letters when printable, its number otherwise.
std::string dds_code_text(uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(code >> (8 * i));
        if (c < 0x20 || c > 0x7E) return "code " + std::to_string(code);
        text += c;
    }
    return text;
}

bool dds_compressed_layout(uint32_t four_cc, dds_layout& layout, texture_error* error) {
    switch (four_cc) {
    case dds_code("DXT1"): layout = {squish::kDxt1, 8}; return true;
    case dds_code("DXT3"): layout = {squish::kDxt3, 16}; return true;
    case dds_code("DXT5"): layout = {squish::kDxt5, 16}; return true;
    }
    return texture_invalid(error, "DDS: pixel format " + dds_code_text(four_cc) + " is not supported");
}

// A channel mask must be one run of bits within the texel.
bool dds_mask_valid(uint32_t mask, uint32_t bit_count) {
    if (bit_count < 32 && mask >> bit_count != 0) return false;
    const uint64_t run = mask == 0 ? 0 : mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

bool dds_find_layout(const dds_header& header, dds_layout& layout, texture_error* error) {
    if (header.format_size != 32) {
        return texture_invalid(error, "DDS: pixel format size " + std::to_string(header.format_size) + ", not 32");
    }
    if (header.format_flags & dds_four_cc) return dds_compressed_layout(header.four_cc, layout, error);
    if (header.format_flags & dds_yuv) return texture_invalid(error, "DDS: YUV pixel formats are not supported");
    if (!(header.format_flags & (dds_rgb | dds_luminance | dds_alpha_only))) {
        return texture_invalid(error, "DDS: the pixel format describes no channels");
    }
    const uint32_t bits = header.bit_count;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return texture_invalid(error, "DDS: " + std::to_string(bits) + " bits per texel are not supported");
    }
    for (uint32_t mask : header.masks) {
        if (!dds_mask_valid(mask, bits)) return texture_invalid(error, "DDS: invalid channel mask");
    }
    layout = {0, bits / 8};
    return true;
}

// The file must hold every level the header announces: only the top one is decoded, but a file
// cut short anywhere is truncated.
bool dds_levels_fit(const dds_header& header, const dds_layout& layout, size_t data_bytes, texture_error* error) {
    const uint32_t announced = (header.flags & dds_has_mip_count) && header.mip_count > 1 ? header.mip_count : 1;
    uint64_t width = header.width, height = header.height, needed = 0;
    for (uint32_t level = 0; level < announced; ++level) {
        needed += dds_level_bytes(layout, width, height);
        if (width == 1 && height == 1 && level + 1 < announced) {
            return texture_invalid(error, "DDS: " + std::to_string(announced) + " mip levels for a " +
                                              std::to_string(header.width) + " x " + std::to_string(header.height) +
                                              " image");
        }
        width = std::max<uint64_t>(1, width / 2);
        height = std::max<uint64_t>(1, height / 2);
    }
    if (needed > data_bytes) return texture_invalid(error, "truncated");
    return true;
}

void dds_decode_blocks(const unsigned char* block, const dds_layout& layout, d3d9_texture_image* image) {
    const UINT width = image->width, height = image->height;
    squish::u8 rgba[16 * 4];
    for (UINT top = 0; top < height; top += 4) {
        for (UINT left = 0; left < width; left += 4, block += layout.unit_bytes) {
            squish::Decompress(rgba, block, layout.squish_flags);
            const UINT rows = std::min(4u, height - top), columns = std::min(4u, width - left);
            for (UINT y = 0; y < rows; ++y) {
                D3DCOLOR* out = &image->texels[size_t(top + y) * width + left];
                for (UINT x = 0; x < columns; ++x) {
                    const squish::u8* p = rgba + 4 * (4 * y + x);
                    out[x] = D3DCOLOR{p[3]} << 24 | D3DCOLOR{p[0]} << 16 | D3DCOLOR{p[1]} << 8 | p[2];
                }
            }
        }
    }
}

// One field of an uncompressed texel: its 8-bit value is to_8_bits[(texel & mask) >> shift] for
// fields of up to 8 bits, and for a field the texel lacks (mask 0), whose to_8_bits[0] is the
// value it takes then.
struct dds_channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;  // 2^n - 1 for an n-bit field
    unsigned char to_8_bits[256] = {};
};

uint32_t dds_scale(uint64_t value, uint64_t max) { return static_cast<uint32_t>((value * 255 + max / 2) / max); }

dds_channel dds_channel_of(uint32_t mask, unsigned char absent) {
    dds_channel channel;
    channel.to_8_bits[0] = absent;
    if (mask == 0) return channel;
    channel.mask = mask;
    channel.shift = std::countr_zero(mask);
    channel.max = mask >> channel.shift;
    for (uint32_t value = 0; value <= std::min(channel.max, 255u); ++value) {
        channel.to_8_bits[value] = static_cast<unsigned char>(dds_scale(value, channel.max));
    }
    return channel;
}

uint32_t dds_narrow_value(const dds_channel& channel, uint32_t texel) {
    return channel.to_8_bits[(texel & channel.mask) >> channel.shift];
}

uint32_t dds_any_value(const dds_channel& channel, uint32_t texel) {
    if (channel.max <= 255) return dds_narrow_value(channel, texel);
    return dds_scale((texel & channel.mask) >> channel.shift, channel.max);
}

// Converts texels of `bytes` bytes with the channels red, green, blue and alpha, through
// `value_of` each.
template <uint32_t bytes, uint32_t (*value_of)(const dds_channel&, uint32_t)>
void dds_convert(const unsigned char* at, const dds_channel (&channels)[4], std::vector<D3DCOLOR>& texels) {
    for (D3DCOLOR& texel : texels) {
        uint32_t value = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&value, at, bytes);  // one load, where assembling the bytes takes several
        } else {
            for (uint32_t i = 0; i < bytes; ++i) value |= uint32_t{at[i]} << (8 * i);
        }
        at += bytes;
        texel = value_of(channels[3], value) << 24 | value_of(channels[0], value) << 16 |
                value_of(channels[1], value) << 8 | value_of(channels[2], value);
    }
}

// Luminance goes to red, green and blue; a format of alpha alone has black texels; alpha is 255
// unless the format has it. Fields wider than 8 bits take a division each; the others are looked
// up.
void dds_decode_texels(const unsigned char* at, const dds_header& header, uint32_t texel_bytes,
                       d3d9_texture_image* image) {
    const uint32_t flags = header.format_flags;
    const bool luminance = flags & dds_luminance, alpha_only = flags & dds_alpha_only;
    const bool has_alpha = flags & (dds_alpha_pixels | dds_alpha_only);
    auto colour = [&](int index) { return dds_channel_of(alpha_only ? 0 : header.masks[luminance ? 0 : index], 0); };
    const dds_channel channels[4] = {colour(0), colour(1), colour(2),
                                     dds_channel_of(has_alpha ? header.masks[3] : 0, 255)};
    const bool wide =
        std::any_of(std::begin(channels), std::end(channels), [](const dds_channel& c) { return c.max > 255; });
    std::vector<D3DCOLOR>& texels = image->texels;
    switch (texel_bytes) {
    case 1: return dds_convert<1, dds_narrow_value>(at, channels, texels);
    case 2:
        return wide ? dds_convert<2, dds_any_value>(at, channels, texels)
                    : dds_convert<2, dds_narrow_value>(at, channels, texels);
    case 3:
        return wide ? dds_convert<3, dds_any_value>(at, channels, texels)
                    : dds_convert<3, dds_narrow_value>(at, channels, texels);
    default:
        return wide ? dds_convert<4, dds_any_value>(at, channels, texels)
                    : dds_convert<4, dds_narrow_value>(at, channels, texels);
    }
}

}  // namespace

bool texture_dds_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error) {
    if (size < dds_header_end) return texture_invalid(error, "truncated");
    const dds_header header = dds_read_header(data);
    if (header.size != 124) {
        return texture_invalid(error, "DDS: header size " + std::to_string(header.size) + ", not 124");
    }
    if (header.caps2 & dds_cube_map) return texture_invalid(error, "DDS: a cube map, not a 2D texture");
    if ((header.caps2 & dds_volume) || ((header.flags & dds_has_depth) && header.depth > 1)) {
        return texture_invalid(error, "DDS: a volume texture, not a 2D texture");
    }
    if (!texture_size_allowed(header.width, header.height, error)) return false;
    dds_layout layout;
    if (!dds_find_layout(header, layout, error)) return false;
    if (!dds_levels_fit(header, layout, size - dds_header_end, error)) return false;

    image->width = header.width;
    image->height = header.height;
    image->texels.resize(size_t(header.width) * header.height);
    if (layout.squish_flags != 0) {
        dds_decode_blocks(data + dds_header_end, layout, image);
    } else {
        dds_decode_texels(data + dds_header_end, header, layout.unit_bytes, image);
    }
    return true;
}
