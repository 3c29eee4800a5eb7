// texture_decode_stb.cpp - images decoded by stb_image (compiled in third_party/stb); see texture_decode_stb.h.
//
// Samples are requested as RGBA in the file's own depth: 8 bits, 16 bits (PNG, PSD) or floats
// (HDR, read as stored rather than through stb_image's gamma curve), then packed to 0xAARRGGBB
// with rounding.
#include "platform/texture/texture_decode_stb.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// The file's bytes served to stb_image through callbacks. stb_image reads zeros past the end of
// its input and several of its decoders (BMP, TGA, JPEG) then finish without complaint; counting
// every read that finds no byte left lets a truncated file fail instead of showing black texels.
struct stb_source {
    const unsigned char* data;
    size_t size;
    size_t position = 0;
    bool overran = false;
};

int stb_source_read(void* user, char* out, int count) {
    auto& source = *static_cast<stb_source*>(user);
    const size_t left = source.size - source.position;
    if (count <= 0) return 0;
    if (left == 0) {
        source.overran = true;
        return 0;
    }
    const size_t taken = std::min(left, static_cast<size_t>(count));
    std::memcpy(out, source.data + source.position, taken);
    source.position += taken;
    return static_cast<int>(taken);
}

// Skipping never fails: skipped bytes are not image data (a missing pad after the last BMP row
// does no harm), and a skip past the end leaves the next read to report the overrun.
void stb_source_skip(void* user, int count) {
    auto& source = *static_cast<stb_source*>(user);
    if (count < 0) {
        const size_t back = static_cast<size_t>(-static_cast<long long>(count));
        source.position = back > source.position ? 0 : source.position - back;
    } else {
        source.position = std::min(source.size, source.position + static_cast<size_t>(count));
    }
}

int stb_source_eof(void* user) {
    const auto& source = *static_cast<const stb_source*>(user);
    return source.position >= source.size ? 1 : 0;
}

const stbi_io_callbacks stb_callbacks{stb_source_read, stb_source_skip, stb_source_eof};

// stb_image copies the pixel block of uncompressed true-colour TGA files without checking that
// the file holds all of it (the rest stays unset). The layout is fixed, so its length is checked
// here; every other format reads through stb_source, which notices a short file.
bool stb_tga_block_complete(const unsigned char* data, size_t size, int width, int height) {
    if (size < 18) return true;
    auto le16 = [&](size_t at) { return int(data[at]) | int(data[at + 1]) << 8; };
    const bool raw_true_colour = data[1] == 0 && (data[2] == 2 || data[2] == 3);
    const int bits = data[16];
    if (!raw_true_colour || le16(12) != width || le16(14) != height || (bits != 8 && bits != 24 && bits != 32)) {
        return true;
    }
    return 18 + uint64_t(data[0]) + uint64_t(width) * uint64_t(height) * uint64_t(bits / 8) <= size;
}

// stb_image sizes its buffer for a PNG's compressed data by each IDAT chunk's announced length
// before reading it, so a small file announcing a huge chunk would reserve gigabytes. Every chunk
// up to IEND must fit in the file (a PNG of fewer than 4 bytes is no PNG: its header failed).
bool stb_png_chunks_complete(const unsigned char* data, size_t size) {
    auto be32 = [&](size_t at) {
        return uint32_t{data[at]} << 24 | uint32_t{data[at + 1]} << 16 | uint32_t{data[at + 2]} << 8 | data[at + 3];
    };
    for (size_t at = 8; at + 8 <= size;) {
        const uint64_t chunk = 12 + uint64_t{be32(at)};
        if (chunk > size - at) return false;
        if (std::memcmp(data + at + 4, "IEND", 4) == 0) return true;
        at += chunk;
    }
    return false;
}

// The reason for a failed load: stb_image's own, or a read past the end of the file.
bool stb_load_failed(const texture_format& format, bool overran, texture_error* error) {
    if (overran) return texture_invalid(error, "truncated");
    const char* reason = stbi_failure_reason();
    if (reason != nullptr && std::strcmp(reason, "outofmem") == 0) {
        error->result = E_OUTOFMEMORY;
        error->reason = "out of memory";
        return false;
    }
    return texture_invalid(error, std::string(format.name) + ": " + (reason != nullptr ? reason : "corrupt"));
}

// The reason when not even the size could be read. stb_image then reports only that no format
// matched, so the signature tells a damaged header from a file of no known format.
bool stb_header_failed(const texture_format& format, bool by_signature, bool overran, texture_error* error) {
    if (overran) return texture_invalid(error, "truncated");
    if (!by_signature) return texture_invalid(error, "unknown format");
    return texture_invalid(error, std::string(format.name) + ": corrupt or unsupported header");
}

uint32_t stb_to_8_bits(stbi_uc sample) { return sample; }
uint32_t stb_to_8_bits(stbi_us sample) { return (uint32_t{sample} * 255 + 32767) / 65535; }
uint32_t stb_to_8_bits(float sample) { return texture_unit_to_8_bits(sample); }

template <class Sample>
using stb_loader = Sample* (*)(const stbi_io_callbacks*, void*, int*, int*, int*, int);

// Loads the image as RGBA samples of the given depth and packs them into *image.
template <class Sample>
bool stb_load(stb_loader<Sample> load, const unsigned char* data, size_t size, const texture_format& format,
              d3d9_texture_image* image, texture_error* error) {
    stb_source source{data, size};
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<Sample, void (*)(void*)> rgba(load(&stb_callbacks, &source, &width, &height, &channels, 4),
                                                  stbi_image_free);
    if (!rgba || source.overran) return stb_load_failed(format, source.overran, error);
    if (!texture_size_plausible(width, height, size, format, error)) return false;

    image->width = static_cast<UINT>(width);
    image->height = static_cast<UINT>(height);
    image->texels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const Sample* texel = rgba.get();
    for (D3DCOLOR& out : image->texels) {
        out = stb_to_8_bits(texel[3]) << 24 | stb_to_8_bits(texel[0]) << 16 | stb_to_8_bits(texel[1]) << 8 |
              stb_to_8_bits(texel[2]);
        texel += 4;
    }
    return true;
}

}  // namespace

bool texture_stb_decode(const unsigned char* data, size_t size, const texture_format& format, bool by_signature,
                        d3d9_texture_image* image, texture_error* error) {
    if (size > INT_MAX) return texture_invalid(error, "too large");
    stb_source source{data, size};
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_callbacks(&stb_callbacks, &source, &width, &height, &channels)) {
        return stb_header_failed(format, by_signature, source.overran, error);
    }
    // stb_image reports a top-down BMP's height as stored: negative.
    const long long announced_height = height < 0 ? -static_cast<long long>(height) : height;
    if (!texture_size_plausible(width, announced_height, size, format, error)) return false;
    const bool png = size >= 4 && std::memcmp(data, "\x89PNG", 4) == 0;
    if (!stb_tga_block_complete(data, size, width, height) || (png && !stb_png_chunks_complete(data, size))) {
        return texture_invalid(error, "truncated");
    }

    const int length = static_cast<int>(size);
    if (stbi_is_hdr_from_memory(data, length)) {
        return stb_load<float>(stbi_loadf_from_callbacks, data, size, format, image, error);
    }
    if (stbi_is_16_bit_from_memory(data, length)) {
        return stb_load<stbi_us>(stbi_load_16_from_callbacks, data, size, format, image, error);
    }
    return stb_load<stbi_uc>(stbi_load_from_callbacks, data, size, format, image, error);
}
