// Textures made from one file share one decoded image; a file changed on disk is decoded again.
#include "texture_files.h"

#include "platform/d3d9/texture.h"

#include <chrono>
#include <filesystem>

namespace {

IDirect3DTexture9* create(IDirect3DDevice9* device, const char* name) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, name, &texture), D3D_OK) << name;
    return texture;
}

TEST_F(TextureFile, TexturesFromOneFileShareTexelsUntilTheFileChanges) {
    const unsigned char red[] = {255, 0, 0}, blue[] = {0, 0, 255};
    write_file(folder_ / "skin.ppm", pnm_bytes("P6 1 1 255\n", red, 3));
    IDirect3DTexture9* first = create(device_.device, "skin.ppm");
    IDirect3DTexture9* second = create(device_.device, ".\\SKIN.PPM");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(d3d9_texture_texels(first).texels, d3d9_texture_texels(second).texels);

    // Same size and inode, new content and modification time.
    write_file(folder_ / "skin.ppm", pnm_bytes("P6 1 1 255\n", blue, 3));
    const auto modified = std::filesystem::last_write_time(folder_ / "skin.ppm");
    std::filesystem::last_write_time(folder_ / "skin.ppm", modified + std::chrono::seconds(2));
    IDirect3DTexture9* changed = create(device_.device, "skin.ppm");
    ASSERT_NE(changed, nullptr);
    EXPECT_NE(d3d9_texture_texels(changed).texels, d3d9_texture_texels(first).texels);
    EXPECT_EQ(d3d9_texture_texels(changed).texels[0], 0xFF0000FFu);
    EXPECT_EQ(d3d9_texture_texels(first).texels[0], 0xFFFF0000u);

    for (IDirect3DTexture9* texture : {first, second, changed}) texture->Release();
    IDirect3DTexture9* again = create(device_.device, "skin.ppm");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(d3d9_texture_texels(again).texels[0], 0xFF0000FFu);
    again->Release();
}

}  // namespace
