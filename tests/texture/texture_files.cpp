// texture_files.cpp - image writers and the texture tests' fixture; see texture_files.h.
#include "texture_files.h"

#include "platform/d3d9/texture.h"
#include "platform/texture/texture_file.h"

#include <stb/stb_image_write.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>

namespace {

int sentinel_storage;

void append_bytes(void* context, void* data, int size) {
    auto* out = static_cast<byte_buffer*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void put_le(byte_buffer& out, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

IDirect3DTexture9* const sentinel = reinterpret_cast<IDirect3DTexture9*>(&sentinel_storage);

byte_buffer png_bytes(int width, int height, int channels, const unsigned char* pixels) {
    byte_buffer out;
    stbi_write_png_to_func(append_bytes, &out, width, height, channels, pixels, width * channels);
    return out;
}

byte_buffer tga_bytes(int width, int height, int channels, const unsigned char* pixels, bool run_length) {
    byte_buffer out;
    stbi_write_tga_with_rle = run_length ? 1 : 0;
    stbi_write_tga_to_func(append_bytes, &out, width, height, channels, pixels);
    return out;
}

byte_buffer jpeg_bytes(int width, int height, const unsigned char* pixels) {
    byte_buffer out;
    stbi_write_jpg_to_func(append_bytes, &out, width, height, 3, pixels, 95);
    return out;
}

byte_buffer bmp_writer_bytes(int width, int height, const unsigned char* rgb) {
    byte_buffer out;
    stbi_write_bmp_to_func(append_bytes, &out, width, height, 3, rgb);
    return out;
}

byte_buffer bmp_bytes(int width, int height, const unsigned char* rgb, bool top_down) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixel_bytes = stride * static_cast<uint32_t>(height);
    byte_buffer out = {'B', 'M'};
    put_le(out, 54 + pixel_bytes, 4);
    put_le(out, 0, 4);
    put_le(out, 54, 4);
    put_le(out, 40, 4);
    put_le(out, static_cast<uint32_t>(width), 4);
    put_le(out, static_cast<uint32_t>(top_down ? -height : height), 4);
    put_le(out, 1, 2);
    put_le(out, 24, 2);
    for (int i = 0; i < 6; ++i) put_le(out, 0, 4);
    for (int row = 0; row < height; ++row) {
        const int source_row = top_down ? row : height - 1 - row;
        const unsigned char* p = rgb + source_row * width * 3;
        for (int x = 0; x < width; ++x, p += 3) out.insert(out.end(), {p[2], p[1], p[0]});
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

byte_buffer pnm_bytes(const std::string& header, const unsigned char* pixels, size_t count) {
    byte_buffer out(header.begin(), header.end());
    out.insert(out.end(), pixels, pixels + count);
    return out;
}

byte_buffer text_bytes(const std::string& text) { return byte_buffer(text.begin(), text.end()); }

void write_file(const std::filesystem::path& path, const byte_buffer& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

headless_device TextureFile::device_;

void TextureFile::SetUpTestSuite() { device_ = create_headless_device(); }
void TextureFile::TearDownTestSuite() { release_headless_device(device_); }

void TextureFile::SetUp() {
    ASSERT_NE(device_.device, nullptr);
    char pattern[] = "/tmp/texture-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
}

void TextureFile::TearDown() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
}

std::vector<D3DCOLOR> TextureFile::load(const char* name, UINT& width, UINT& height) {
    IDirect3DTexture9* texture = nullptr;
    const HRESULT result = D3DXCreateTextureFromFileA(device_.device, name, &texture);
    EXPECT_EQ(result, D3D_OK) << name;
    if (result != D3D_OK || texture == nullptr) return {};
    width = d3d9_texture_texels(texture).width;
    height = d3d9_texture_texels(texture).height;
    std::vector<D3DCOLOR> texels(d3d9_texture_texels(texture).texels,
                                 d3d9_texture_texels(texture).texels + width * height);
    texture->Release();
    return texels;
}

std::vector<D3DCOLOR> TextureFile::load_file(const byte_buffer& bytes, UINT expected_width, UINT expected_height) {
    write_file(folder_ / "image", bytes);
    UINT width = 0, height = 0;
    auto texels = load("image", width, height);
    EXPECT_EQ(width, expected_width);
    EXPECT_EQ(height, expected_height);
    return texels;
}

bool TextureFile::fails_cleanly(const char* name) {
    IDirect3DTexture9* texture = sentinel;
    const HRESULT result = D3DXCreateTextureFromFileA(device_.device, name, &texture);
    if (result == D3D_OK && texture != nullptr && texture != sentinel) texture->Release();
    return result != D3D_OK && texture == sentinel;
}

// Each file gets a fresh name: rewriting one file over and over makes the file system flush it
// every time, which is slow.
bool TextureFile::bytes_fail_cleanly(const byte_buffer& bytes) {
    const std::string name = "bad" + std::to_string(++files_);
    write_file(folder_ / name, bytes);
    const bool failed = fails_cleanly(name.c_str());
    std::filesystem::remove(folder_ / name);
    return failed;
}

std::string TextureFile::failure_reason(const char* name) {
    IDirect3DTexture9* texture = nullptr;
    std::string reason;
    if (texture_create_from_file(device_.device, name, &texture, &reason) == D3D_OK) texture->Release();
    return reason;
}
