// texture_decode.cpp - texture_decode: picks the decoder by the file's signature; the size bounds
// shared by the decoders.
#include "platform/texture/texture_decode.h"

#include "platform/texture/texture_decode_pnm.h"
#include "platform/texture/texture_decode_stb.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

// No format we read packs more texels into one byte than this (1-bit PNG under deflate, the
// densest, stays near 8,300), so a tiny file announcing a huge image is refused before anything
// is allocated for it.
constexpr uint64_t texture_max_texels_per_byte = 16384;

struct texture_signature {
    const char* magic;
    size_t length;
    const char* format;
    bool supported;
};

// Formats known by their first bytes; a file matching none may still be a TGA, which has no
// signature. PNM is told apart by texture_is_pnm.
const texture_signature texture_signatures[] = {
    {"\x89PNG", 4, "PNG", true}, {"\xFF\xD8", 2, "JPEG", true}, {"BM", 2, "BMP", true},
    {"GIF8", 4, "GIF", true},    {"8BPS", 4, "PSD", true},      {"\x53\x80\xF6\x34", 4, "PIC", true},
    {"#?", 2, "HDR", true},      {"DDS ", 4, "DDS", false},     {"PF", 2, "PFM", false},
    {"Pf", 2, "PFM", false},
};

const texture_signature* texture_find_signature(const unsigned char* data, size_t size) {
    for (const texture_signature& signature : texture_signatures) {
        if (size >= signature.length && std::memcmp(data, signature.magic, signature.length) == 0) return &signature;
    }
    return nullptr;
}

bool texture_decode_by_format(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error) {
    if (size == 0) return texture_invalid(error, "empty file");
    if (texture_is_pnm(data, size)) return texture_pnm_decode(data, size, image, error);
    const texture_signature* signature = texture_find_signature(data, size);
    if (signature != nullptr && !signature->supported) {
        return texture_invalid(error, std::string(signature->format) + " files are not supported");
    }
    return texture_stb_decode(data, size, signature != nullptr ? signature->format : nullptr, image, error);
}

std::string texture_size_text(long long width, long long height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

bool texture_invalid(texture_error* error, std::string reason) {
    error->result = D3DXERR_INVALIDDATA;
    error->reason = std::move(reason);
    return false;
}

bool texture_size_allowed(long long width, long long height, texture_error* error) {
    if (width <= 0 || height <= 0)
        return texture_invalid(error, "implausible size " + texture_size_text(width, height));
    if (width > texture_max_side || height > texture_max_side) {
        return texture_invalid(error, "too large: " + texture_size_text(width, height) + " (at most " +
                                          std::to_string(texture_max_side) + " per side)");
    }
    return true;
}

bool texture_size_plausible(long long width, long long height, size_t file_bytes, texture_error* error) {
    if (!texture_size_allowed(width, height, error)) return false;
    if (uint64_t(width) * uint64_t(height) > uint64_t(file_bytes) * texture_max_texels_per_byte) {
        return texture_invalid(error, "implausible size " + texture_size_text(width, height) + " for a file of " +
                                          std::to_string(file_bytes) + " bytes");
    }
    return true;
}

bool texture_decode(const unsigned char* data, size_t size, d3d9_texture_image* image, texture_error* error) {
    try {
        return texture_decode_by_format(data, size, image, error);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    error->result = E_OUTOFMEMORY;
    error->reason = "out of memory";  // short enough to need no allocation
    return false;
}
