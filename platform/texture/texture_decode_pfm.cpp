// texture_decode_pfm.cpp - PFM images to texels; see texture_decode_pfm.h.
//
// Layout: "PF" or "Pf", then width, height and scale as text separated by white space, one
// white-space character, and width x height x channels floats, the bottom row first.
#include "platform/texture/texture_decode_pfm.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Large enough to show any absurd header value in a reason, small enough never to overflow.
constexpr uint64_t pfm_number_cap = 0xFFFFFFFFu;

// A cursor over the file that never reads past its end.
struct pfm_cursor {
    const unsigned char* data;
    size_t size;
    size_t at = 0;

    bool done() const { return at >= size; }
    unsigned char peek() const { return at < size ? data[at] : 0; }
};

bool pfm_space(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Skips the white space before a field, of which there must be some.
bool pfm_separator(pfm_cursor& in) {
    if (!pfm_space(in.peek())) return false;
    while (pfm_space(in.peek())) ++in.at;
    return true;
}

bool pfm_size_field(pfm_cursor& in, uint64_t& value) {
    if (!pfm_separator(in) || !(in.peek() >= '0' && in.peek() <= '9')) return false;
    value = 0;
    for (; in.peek() >= '0' && in.peek() <= '9'; ++in.at)
        value = std::min(value * 10 + (in.peek() - '0'), pfm_number_cap);
    return true;
}

// The scale: a non-zero finite number, whose sign gives the byte order.
bool pfm_scale_field(pfm_cursor& in, double& scale) {
    if (!pfm_separator(in)) return false;
    const size_t start = in.at;
    while (!in.done() && !pfm_space(in.peek())) ++in.at;
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
        !pfm_space(in.peek())) {
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
    if (!texture_size_allowed(static_cast<long long>(header.width), static_cast<long long>(header.height), error)) {
        return false;
    }
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
