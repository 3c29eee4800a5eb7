// texture_files.h - what the texture tests share: image files written in memory by stb_image_write
// or by hand, and a fixture with a headless device and a fresh folder per test (also the current
// directory).
#pragma once

#include "headless_device.h"

#include <d3dx9.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using byte_buffer = std::vector<unsigned char>;

byte_buffer png_bytes(int width, int height, int channels, const unsigned char* pixels);
byte_buffer tga_bytes(int width, int height, int channels, const unsigned char* pixels, bool run_length);
byte_buffer jpeg_bytes(int width, int height, const unsigned char* pixels);
byte_buffer bmp_writer_bytes(int width, int height, const unsigned char* rgb);
// A 24-bit BMP written by hand: rows padded to 4 bytes, bottom row first unless `top_down`
// (negative height), pixels stored as B, G, R.
byte_buffer bmp_bytes(int width, int height, const unsigned char* rgb, bool top_down);
byte_buffer pnm_bytes(const std::string& header, const unsigned char* pixels, size_t count);
byte_buffer text_bytes(const std::string& text);

void write_file(const std::filesystem::path& path, const byte_buffer& bytes);

// What a failed call must leave in the output.
extern IDirect3DTexture9* const sentinel;

class TextureFile : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Loads `name`; on success returns the texels (and sizes), failing the test otherwise.
    std::vector<D3DCOLOR> load(const char* name, UINT& width, UINT& height);
    // Writes `bytes` to a file and loads it, expecting the given size.
    std::vector<D3DCOLOR> load_file(const byte_buffer& bytes, UINT expected_width, UINT expected_height);
    // True when loading fails with a non-zero result and leaves the out pointer as it was.
    static bool fails_cleanly(const char* name);
    // The same for `bytes` written to a fresh file.
    bool bytes_fail_cleanly(const byte_buffer& bytes);
    // The reason the load of `name` fails; empty when it succeeds.
    static std::string failure_reason(const char* name);

    static headless_device device_;
    std::filesystem::path folder_;
    std::filesystem::path previous_;
    int files_ = 0;
};
