// texture_encode.cpp - image files written through stb_image_write, DDS by hand; see texture_encode.h.
#include "platform/texture/texture_encode.h"

#include <stb/stb_image_write.h>

#include <cstring>

namespace {

void texture_append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void texture_put32(std::vector<unsigned char>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

void texture_dds(const uint32_t* texels, UINT width, UINT height, bool alpha, std::vector<unsigned char>* out) {
    const size_t header = 128, count = size_t(width) * height;
    out->assign(header + count * 4, 0);
    std::memcpy(out->data(), "DDS ", 4);
    texture_put32(*out, 4, 124);                             // header size
    texture_put32(*out, 8, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000);  // caps, height, width, pitch, pixel format
    texture_put32(*out, 12, height);
    texture_put32(*out, 16, width);
    texture_put32(*out, 20, width * 4);
    texture_put32(*out, 76, 32);                        // pixel format size
    texture_put32(*out, 80, 0x40 | (alpha ? 0x1 : 0));  // RGB, alpha pixels
    texture_put32(*out, 88, 32);
    texture_put32(*out, 92, 0x00FF0000);
    texture_put32(*out, 96, 0x0000FF00);
    texture_put32(*out, 100, 0x000000FF);
    texture_put32(*out, 104, alpha ? 0xFF000000 : 0);
    texture_put32(*out, 108, 0x1000);  // DDSCAPS_TEXTURE
    for (size_t i = 0; i < count; ++i) texture_put32(*out, header + i * 4, alpha ? texels[i] : texels[i] | 0xFF000000);
}

}  // namespace

bool texture_encode(D3DXIMAGE_FILEFORMAT format, const uint32_t* texels, UINT width, UINT height, bool alpha,
                    std::vector<unsigned char>* out) {
    out->clear();
    if (format == D3DXIFF_DDS) {
        texture_dds(texels, width, height, alpha, out);
        return true;
    }
    const bool keeps_alpha = alpha && format != D3DXIFF_JPG;
    const int channels = keeps_alpha ? 4 : 3;
    std::vector<unsigned char> pixels(size_t(width) * height * channels);
    for (size_t i = 0, n = size_t(width) * height; i < n; ++i) {
        unsigned char* p = pixels.data() + i * channels;
        p[0] = static_cast<unsigned char>(texels[i] >> 16);
        p[1] = static_cast<unsigned char>(texels[i] >> 8);
        p[2] = static_cast<unsigned char>(texels[i]);
        if (keeps_alpha) p[3] = static_cast<unsigned char>(texels[i] >> 24);
    }
    const int w = int(width), h = int(height);
    int written = 0;
    switch (format) {
    case D3DXIFF_BMP: written = stbi_write_bmp_to_func(texture_append, out, w, h, channels, pixels.data()); break;
    case D3DXIFF_PNG:
        written = stbi_write_png_to_func(texture_append, out, w, h, channels, pixels.data(), w * channels);
        break;
    case D3DXIFF_TGA: written = stbi_write_tga_to_func(texture_append, out, w, h, channels, pixels.data()); break;
    case D3DXIFF_JPG: written = stbi_write_jpg_to_func(texture_append, out, w, h, channels, pixels.data(), 90); break;
    default: return false;
    }
    if (written == 0) throw std::bad_alloc();  // the writers fail only when they cannot allocate
    return true;
}
