// texture_decode_pfm.cpp - PFM images to texels; see texture_decode_pfm.h.
//
// Layout: "PF" or "Pf", then width, height and scale as text separated by white space, one
// white-space character, and width x height x channels floats, the bottom row first.
#include "platform/texture/texture_decode_pfm.h"

#include "platform/texture/texture_header_cursor.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using pfm_cursor = texture_header_cursor;

// Skips the white space before a field, of which there must be some.
bool pfm_separator(pfm_cursor& in) {
    if (!texture_header_space(in.peek())) return false;
    while (texture_header_space(in.peek())) ++in.at;
    return true;
}

bool pfm_size_field(pfm_cursor& in, uint64_t& value) { return pfm_separator(in) && texture_header_digits(in, value); }

// The scale: a non-zero finite number, whose sign gives the byte order.
bool pfm_scale_field(pfm_cursor& in, double& scale) {
    if (!pfm_separator(in)) return false;
    const size_t start = in.at;
    while (!in.done() && !texture_header_space(in.peek())) ++in.at;
    const auto* first = reinterpret_cast<const char*>(in.data + start);
    const auto* last = reinterpret_cast<const char*>(in.data + in.at);
    const auto [end, failure] = std::from_chars(first, last, scale);
    return failure == std::errc() && end == last && std::isfinite(scale) && scale != 0.0;
}

struct pfm_header {
    int channels = 0;
    uint64_t width = 0;
    uint64_t height = 0;
    bool little_endian = false;
};

bool pfm_read_header(pfm_cursor& in, pfm_header& header, texture_error* error) {
    header.channels = in.data[1] == 'F' ? 3 : 1;
    in.at = 2;
    double scale = 0.0;
    if (!pfm_size_field(in, header.width) || !pfm_size_field(in, header.height) || !pfm_scale_field(in, scale) ||
        !texture_header_space(in.peek())) {
        return texture_invalid(error, in.done() ? "truncated" : "malformed PFM header");
    }
    ++in.at;  // exactly one white-space character before the raster
    header.little_endian = scale < 0.0;
    return true;
}

// A sample of 4 bytes, of which the file's byte order is swapped when it is not the machine's.
float pfm_sample(const unsigned char* p, bool swapped) {
    uint32_t bits;
    std::memcpy(&bits, p, 4);
    return std::bit_cast<float>(swapped ? __builtin_bswap32(bits) : bits);
}

}  // namespace

bool texture_pfm_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error) {
    pfm_cursor in{data, size};
    pfm_header header;
    if (!pfm_read_header(in, header, error)) return false;
    if (!texture_header_size_allowed(header.width, header.height, error)) return false;
    const bool swapped = header.little_endian != (std::endian::native == std::endian::little);
    const uint64_t row_bytes = header.width * uint64_t(header.channels) * 4;
    if (row_bytes * header.height > in.size - in.at) return texture_invalid(error, "truncated");

    image->width = static_cast<UINT>(header.width);
    image->height = static_cast<UINT>(header.height);
    image->texels.resize(static_cast<size_t>(header.width * header.height));
    for (UINT y = 0; y < image->height; ++y) {
        const unsigned char* sample = data + in.at + (image->height - 1 - y) * row_bytes;
        D3DCOLOR* out = &image->texels[size_t(y) * image->width];
        for (UINT x = 0; x < image->width; ++x) {
            uint32_t rgb[3];
            for (int c = 0; c < header.channels; ++c, sample += 4) {
                rgb[c] = texture_unit_to_8_bits(pfm_sample(sample, swapped));
            }
            if (header.channels == 1) rgb[1] = rgb[2] = rgb[0];
            out[x] = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
        }
    }
    return true;
}
