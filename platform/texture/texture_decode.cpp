// texture_decode.cpp - texture_decode: picks the decoder by the file's signature; the size bounds
// shared by the decoders.
#include "platform/texture/texture_decode.h"

#include "platform/texture/texture_decode_dds.h"
#include "platform/texture/texture_decode_dib.h"
#include "platform/texture/texture_decode_pfm.h"
#include "platform/texture/texture_decode_pnm.h"
#include "platform/texture/texture_decode_stb.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

using texture_decoder = bool (*)(const unsigned char*, size_t, d3d9_texture_image*, texture_error*);

struct texture_signature {
    const char* magic;
    size_t length;
    texture_format format;
    texture_decoder own_decoder;  // null for the formats stb_image reads
};

// Formats known by their first bytes; a file matching none may still be a headerless DIB (told
// apart by texture_is_dib, as PNM is by texture_is_pnm) or a TGA, which has no signature. Texels per byte (for
// stb_image's formats; our own readers know each raster's exact length), each about twice the most a valid file
// reaches: BMP stores at least one bit per texel; TGA, PSD and HDR runs cover at most 128 texels of a channel in two
// bytes; JPEG codes every 8 x 8 block of its first scan in at least one bit; a GIF code of 12 bits
// stands for at most 4,096 texels; 1-bit PNG under deflate reaches about 8,300, and PIC's 16-bit
// run lengths are allowed as much.
const texture_signature texture_signatures[] = {
    {"\x89PNG", 4, {"PNG", 16384}, nullptr},
    {"\xFF\xD8", 2, {"JPEG", 1024}, nullptr},
    {"BM", 2, {"BMP", 8}, nullptr},
    {"GIF8", 4, {"GIF", 4096}, nullptr},
    {"8BPS", 4, {"PSD", 64}, nullptr},
    {"\x53\x80\xF6\x34", 4, {"PIC", 16384}, nullptr},
    {"#?", 2, {"HDR", 64}, nullptr},
    {"DDS ", 4, {"DDS", 0}, texture_dds_decode},
    {"PF", 2, {"PFM", 0}, texture_pfm_decode},
    {"Pf", 2, {"PFM", 0}, texture_pfm_decode},
};
constexpr texture_format texture_tga = {"TGA", 64};

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
    if (signature == nullptr && texture_is_dib(data, size)) return texture_dib_decode(data, size, image, error);
    if (signature == nullptr) return texture_stb_decode(data, size, texture_tga, false, image, error);
    if (signature->own_decoder != nullptr) return signature->own_decoder(data, size, image, error);
    return texture_stb_decode(data, size, signature->format, true, image, error);
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

bool texture_size_plausible(long long width, long long height, size_t file_bytes, const texture_format& format,
                            texture_error* error) {
    if (!texture_size_allowed(width, height, error)) return false;
    if (uint64_t(width) * uint64_t(height) > uint64_t(file_bytes) * format.max_texels_per_byte) {
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
