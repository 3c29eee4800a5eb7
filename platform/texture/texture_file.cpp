// texture_file.cpp - D3DXCreateTextureFromFileA: decodes an image file into an A8R8G8B8 texture.
//
// Contract: the file is named by a Win32 path (resolved against the current directory, '\' or '/'
// separators, case-insensitive match when the exact name is absent), read whole into memory and
// decoded by content with stb_image: BMP, PNG, JPEG, TGA, PNM (PPM/PGM), GIF (first frame), PSD,
// HDR and PIC. The texture keeps the image's own size (at most 8192 per side), one level.
//
// Conventions: texels are 0xAARRGGBB, row 0 is the top of the image (v = 0) whatever the file's
// row order; images without alpha get alpha 255; grey images replicate grey into r, g and b.
//
// DOES NOT: read DDS or PFM, resample to powers of two, build mip levels, apply a colour key, or
// call into the device (the device pointer is only checked for null). A failed call creates
// nothing and leaves *texture untouched.
#include <d3dx9.h>

#include "platform/d3d9/texture.h"
#include "platform/win32/win_paths.h"

#include <stb/stb_image.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Bounds that keep every size computation far from overflow and every allocation reasonable: a
// file larger than this cannot be a texture we would want, no side may exceed texture_max_side,
// and no format stb_image reads packs more texels into one byte than texture_max_texels_per_byte
// (1-bit PNG under deflate, the densest, stays near 8,300), so a tiny file announcing a huge
// image is refused before anything is allocated for it.
constexpr long texture_max_file_bytes = 256L * 1024 * 1024;
constexpr int texture_max_side = 8192;
constexpr uint64_t texture_max_texels_per_byte = 16384;

using texture_file_handle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Reads the whole file; false when it is not a regular file, cannot be read, is empty or is too
// large (a folder or a pipe is refused before it is opened).
bool texture_read_file(const std::string& path, std::vector<unsigned char>& bytes) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    texture_file_handle file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file.get());
    if (size <= 0 || size > texture_max_file_bytes) return false;
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
    bytes.resize(static_cast<size_t>(size));
    return std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

struct texture_image {
    UINT width = 0;
    UINT height = 0;
    std::vector<D3DCOLOR> texels;
};

// The file's bytes served to stb_image through callbacks. stb_image reads zeros past the end of
// its input and several of its decoders (BMP, TGA, JPEG) then finish without complaint; counting
// every read that finds no byte left lets a truncated file fail instead of showing black texels.
struct texture_source {
    const unsigned char* data;
    size_t size;
    size_t position = 0;
    bool overran = false;
};

int texture_source_read(void* user, char* out, int count) {
    auto& source = *static_cast<texture_source*>(user);
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
void texture_source_skip(void* user, int count) {
    auto& source = *static_cast<texture_source*>(user);
    if (count < 0) {
        const size_t back = static_cast<size_t>(-static_cast<long long>(count));
        source.position = back > source.position ? 0 : source.position - back;
    } else {
        source.position = std::min(source.size, source.position + static_cast<size_t>(count));
    }
}

int texture_source_eof(void* user) {
    const auto& source = *static_cast<const texture_source*>(user);
    return source.position >= source.size ? 1 : 0;
}

bool texture_plausible_size(long long width, long long height, size_t file_bytes) {
    if (width <= 0 || height <= 0 || width > texture_max_side || height > texture_max_side) return false;
    return uint64_t(width) * uint64_t(height) <= uint64_t(file_bytes) * texture_max_texels_per_byte;
}

bool texture_pnm_space(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Length of the header of a binary PNM (P5/P6) file, whose pixel block follows the one white-space
// character after the maximum value; 0 when `bytes` is no binary PNM.
size_t texture_pnm_header_length(const std::vector<unsigned char>& bytes, uint64_t& sample_bytes) {
    const size_t n = bytes.size();
    if (n < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6')) return 0;
    size_t i = 2;
    auto skip_space_and_comments = [&] {
        for (;;) {
            while (i < n && texture_pnm_space(bytes[i])) ++i;
            if (i >= n || bytes[i] != '#') return;
            while (i < n && bytes[i] != '\n' && bytes[i] != '\r') ++i;
        }
    };
    auto number = [&] {
        uint64_t value = 0;
        for (; i < n && bytes[i] >= '0' && bytes[i] <= '9'; ++i) {
            value = std::min<uint64_t>(value * 10 + (bytes[i] - '0'), 1u << 20);
        }
        return value;
    };
    for (int field = 0; field < 3; ++field) {
        skip_space_and_comments();
        const uint64_t value = number();
        if (field == 2) sample_bytes = value > 255 ? 2 : 1;
    }
    return i + 1;
}

// stb_image copies the pixel block of binary PNM files and of uncompressed true-colour TGA files
// without checking that the file holds all of it (the rest stays unset). Both layouts are fixed,
// so their length is checked here; every other format reads through texture_source, which
// notices a short file.
bool texture_raw_block_complete(const std::vector<unsigned char>& bytes, int width, int height) {
    const uint64_t texels = uint64_t(width) * uint64_t(height);
    uint64_t sample_bytes = 1;
    if (const size_t header = texture_pnm_header_length(bytes, sample_bytes)) {
        const uint64_t channels = bytes[1] == '6' ? 3 : 1;
        return header + texels * channels * sample_bytes <= bytes.size();
    }
    if (bytes.size() < 18) return true;
    auto le16 = [&](size_t at) { return int(bytes[at]) | int(bytes[at + 1]) << 8; };
    const bool raw_true_colour = bytes[1] == 0 && (bytes[2] == 2 || bytes[2] == 3);
    const int bits = bytes[16];
    if (!raw_true_colour || le16(12) != width || le16(14) != height || (bits != 8 && bits != 24 && bits != 32)) {
        return true;
    }
    return 18 + uint64_t(bytes[0]) + texels * uint64_t(bits / 8) <= bytes.size();
}

// Decodes an image held in memory into top-down 0xAARRGGBB texels; false when the decoder fails,
// needed bytes beyond the end of the file, or the header announces an implausible size.
bool texture_decode(const std::vector<unsigned char>& bytes, texture_image& image) {
    const int length = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels)) return false;
    // stb_image reports a top-down BMP's height as stored: negative.
    const long long announced_height = height < 0 ? -static_cast<long long>(height) : height;
    if (!texture_plausible_size(width, announced_height, bytes.size())) return false;
    if (!texture_raw_block_complete(bytes, width, height)) return false;

    texture_source source{bytes.data(), bytes.size()};
    stbi_io_callbacks callbacks{texture_source_read, texture_source_skip, texture_source_eof};
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_callbacks(&callbacks, &source, &width, &height, &channels, 4), stbi_image_free);
    if (!rgba || source.overran || !texture_plausible_size(width, height, bytes.size())) return false;

    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    image.texels.resize(count);
    const stbi_uc* texel = rgba.get();
    for (size_t i = 0; i < count; ++i, texel += 4) {
        image.texels[i] = uint32_t{texel[3]} << 24 | uint32_t{texel[0]} << 16 | uint32_t{texel[1]} << 8 | texel[2];
    }
    image.width = static_cast<UINT>(width);
    image.height = static_cast<UINT>(height);
    return true;
}

}  // namespace

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR filename, IDirect3DTexture9** texture) {
    if (device == nullptr || filename == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;

    std::vector<unsigned char> bytes;
    if (!texture_read_file(win_native_path(filename), bytes)) return D3DXERR_INVALIDDATA;
    texture_image image;
    if (!texture_decode(bytes, image)) return D3DXERR_INVALIDDATA;

    IDirect3DTexture9* created = nullptr;
    const HRESULT result = d3d9_create_texture(image.width, image.height, std::move(image.texels), &created);
    if (result != D3D_OK) return result;
    *texture = created;
    return D3D_OK;
}
