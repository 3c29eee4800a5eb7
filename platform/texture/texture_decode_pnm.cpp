// texture_decode_pnm.cpp - PNM images (P2, P3, P5, P6) to texels; see texture_decode_pnm.h.
#include "platform/texture/texture_decode_pnm.h"

#include "platform/texture/texture_header_cursor.h"

#include <algorithm>
#include <cstdint>

namespace {

using pnm_cursor = texture_header_cursor;

void pnm_skip_space_and_comments(pnm_cursor& in) {
    for (;;) {
        while (!in.done() && texture_header_space(in.peek())) ++in.at;
        if (in.peek() != '#') return;
        while (!in.done() && in.peek() != '\n' && in.peek() != '\r') ++in.at;
    }
}

// Reads a decimal number after white space and comments; false when no digit follows.
bool pnm_number(pnm_cursor& in, uint64_t& value) {
    pnm_skip_space_and_comments(in);
    return texture_header_digits(in, value);
}

struct pnm_header {
    bool ascii = false;
    int channels = 1;
    uint64_t width = 0;
    uint64_t height = 0;
    uint64_t maxval = 0;
};

bool pnm_read_header(pnm_cursor& in, pnm_header& header, texture_error* error) {
    const char type = static_cast<char>(in.data[1]);
    if (type != '2' && type != '3' && type != '5' && type != '6') {
        return texture_invalid(error, std::string("PNM type P") + type + " is not supported");
    }
    header.ascii = type == '2' || type == '3';
    header.channels = type == '3' || type == '6' ? 3 : 1;
    in.at = 2;
    if (!pnm_number(in, header.width) || !pnm_number(in, header.height) || !pnm_number(in, header.maxval)) {
        return texture_invalid(error, in.done() ? "truncated" : "malformed PNM header");
    }
    if (header.maxval == 0 || header.maxval > 65535) {
        return texture_invalid(error,
                               "PNM maximum value " + std::to_string(header.maxval) + " is not supported (1 to 65535)");
    }
    if (!header.ascii) {
        // Exactly one white-space character separates the header from a binary raster.
        if (!texture_header_space(in.peek()))
            return texture_invalid(error, in.done() ? "truncated" : "malformed PNM header");
        ++in.at;
    }
    return true;
}

// Maps a sample in 0..maxval (larger ones count as maxval) to 0..255, rounding to nearest.
uint32_t pnm_scale(uint64_t sample, uint64_t maxval) {
    return static_cast<uint32_t>((std::min(sample, maxval) * 255 + maxval / 2) / maxval);
}

// Reads the next sample of the raster; false when the file ends first or holds no number there.
bool pnm_sample(pnm_cursor& in, const pnm_header& header, uint64_t& sample, texture_error* error) {
    if (header.ascii) {
        if (pnm_number(in, sample)) return true;
        return texture_invalid(error, in.done() ? "truncated" : "malformed PNM sample");
    }
    const size_t bytes = header.maxval > 255 ? 2 : 1;
    if (in.size - in.at < bytes) return texture_invalid(error, "truncated");
    sample = bytes == 2 ? uint64_t{in.data[in.at]} << 8 | in.data[in.at + 1] : in.data[in.at];
    in.at += bytes;
    return true;
}

// Whether the rest of the file can hold the raster: a binary sample takes one or two bytes, an
// ASCII sample at least one digit and one separator (the last needs none).
bool pnm_raster_fits(const pnm_cursor& in, const pnm_header& header) {
    const uint64_t samples = header.width * header.height * uint64_t(header.channels);
    const uint64_t left = in.size - in.at;
    if (header.ascii) return samples <= (left + 1) / 2;
    return samples * (header.maxval > 255 ? 2 : 1) <= left;
}

}  // namespace

bool texture_is_pnm(const unsigned char* data, size_t size) {
    return size >= 2 && data[0] == 'P' && data[1] >= '1' && data[1] <= '7';
}

bool texture_pnm_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error) {
    pnm_cursor in{data, size};
    pnm_header header;
    if (!pnm_read_header(in, header, error)) return false;
    // The raster's length is known, so a short file is found exactly rather than by plausibility.
    if (!texture_header_size_allowed(header.width, header.height, error)) return false;
    if (!pnm_raster_fits(in, header)) return texture_invalid(error, "truncated");

    image->width = static_cast<UINT>(header.width);
    image->height = static_cast<UINT>(header.height);
    image->texels.resize(static_cast<size_t>(header.width * header.height));
    for (D3DCOLOR& texel : image->texels) {
        uint32_t rgb[3] = {};
        for (int c = 0; c < header.channels; ++c) {
            uint64_t sample = 0;
            if (!pnm_sample(in, header, sample, error)) return false;
            rgb[c] = pnm_scale(sample, header.maxval);
        }
        if (header.channels == 1) rgb[1] = rgb[2] = rgb[0];
        texel = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
    }
    return true;
}
