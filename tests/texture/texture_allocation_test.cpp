// D3DXCreateTextureFromFileA when memory runs out: every allocation the load makes, in turn, is
// made to fail. No exception may escape; the call fails with E_OUTOFMEMORY and creates nothing, or
// succeeds. (A program of its own: it replaces the global operator new.)
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

}  // namespace
