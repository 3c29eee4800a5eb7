// D3DXCreateTextureFromFileA when memory runs out: every allocation the load makes, in turn, is
// made to fail. No exception may escape; the call fails with E_OUTOFMEMORY and creates nothing, or
// succeeds. And a small file announcing a huge image is refused before anything of the announced
// size is allocated. (A program of its own: it replaces the global operator new.)
#include "texture_files.h"

#include "counting_allocator.h"

namespace {

// Loads `name` with the allocation after `allowed` ones failing; the result of the call.
HRESULT load_failing_after(IDirect3DDevice9* device, const char* name, long allowed, IDirect3DTexture9** texture) {
    fail_allocations_after(allowed);
    HRESULT result = E_FAIL;
    try {
        result = D3DXCreateTextureFromFileA(device, name, texture);
    } catch (...) {
        fail_allocations_after(-1);
        ADD_FAILURE() << "an exception escaped with " << allowed << " allocations allowed";
    }
    fail_allocations_after(-1);
    return result;
}

TEST_F(TextureFile, RunningOutOfMemoryAnywhereFailsWithOutOfMemory) {
    const unsigned char pixels[4 * 4 * 3] = {1, 2, 3};
    write_file(folder_ / "skin.png", png_bytes(4, 4, 3, pixels));
    for (bool shared : {false, true}) {
        IDirect3DTexture9* kept = nullptr;  // with a texture alive, the next load finds its image
        if (shared) {
            ASSERT_EQ(D3DXCreateTextureFromFileA(device_.device, "skin.png", &kept), D3D_OK);
        }
        HRESULT result = E_OUTOFMEMORY;
        for (long allowed = 0; result == E_OUTOFMEMORY && allowed < 1000; ++allowed) {
            IDirect3DTexture9* texture = sentinel;
            result = load_failing_after(device_.device, "skin.png", allowed, &texture);
            if (result == D3D_OK) {
                texture->Release();
            } else {
                EXPECT_EQ(result, E_OUTOFMEMORY) << allowed << " allocations allowed";
                EXPECT_EQ(texture, sentinel);
            }
        }
        EXPECT_EQ(result, D3D_OK);
        if (kept != nullptr) kept->Release();
    }
}

// Headers claiming 8192 x 8192 texels (256 MiB decoded) in files of a few hundred bytes.
TEST_F(TextureFile, SmallFilesAnnouncingHugeImagesAllocateNothingOfThatSize) {
    auto le32 = [](byte_buffer& out, uint32_t value) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    auto dds = [&](uint32_t format_flags, uint32_t code, uint32_t bits) {
        byte_buffer out = {'D', 'D', 'S', ' '};
        for (uint32_t field : {124u, 0x1007u, 8192u, 8192u, 0u, 0u, 0u}) le32(out, field);
        out.resize(out.size() + 44);
        for (uint32_t field : {32u, format_flags, code, bits, 0xFF0000u, 0xFF00u, 0xFFu, 0u, 0x1000u, 0u, 0u, 0u, 0u}) {
            le32(out, field);
        }
        out.resize(out.size() + 256, 0x55);
        return out;
    };
    byte_buffer dib;
    for (uint32_t field : {40u, 8192u, 8192u, 0x00180001u, 0u, 0u, 0u, 0u, 0u, 0u}) le32(dib, field);
    dib.resize(dib.size() + 256, 0x55);
    byte_buffer pfm = text_bytes("PF\n8192 8192\n-1.0\n");
    pfm.resize(pfm.size() + 256);
    const struct {
        const char* what;
        byte_buffer file;
    } cases[] = {
        {"DXT1 DDS", dds(0x4, 0x31545844, 0)}, {"uncompressed DDS", dds(0x40, 0, 32)}, {"DIB", dib}, {"PFM", pfm}};
    for (const auto& c : cases) {
        reset_largest_allocation();
        EXPECT_TRUE(bytes_fail_cleanly(c.file)) << c.what;
        EXPECT_LT(largest_allocation(), size_t{1} << 20) << c.what;
    }
}

}  // namespace
