// state_block_test.cpp - state blocks: what each kind holds, recording, Capture and Apply, the
// references a block keeps, and the calls refused.
#include "device_fixture.h"

#include "platform/d3d9/texture.h"

#include <functional>

namespace {

class StateBlockTest : public DeviceTest {
protected:
    void SetUp() override { create_device(); }

    DWORD render_state(D3DRENDERSTATETYPE s) {
        DWORD v = 0xDEADBEEF;
        EXPECT_EQ(device->GetRenderState(s, &v), D3D_OK);
        return v;
    }
    float world_scale() {
        D3DMATRIX m{};
        EXPECT_EQ(device->GetTransform(D3DTS_WORLD, &m), D3D_OK);
        return m._11;
    }
};

D3DMATRIX scaling(float s) {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = s;
    m._44 = 1.0f;
    return m;
}

// Each state is set to 1 and captured, then set to 2; Apply brings back 1 exactly when the kind of
// block holds the state.
TEST_F(StateBlockTest, EachKindOfBlockHoldsItsOwnStates) {
    struct entry {
        const char* name;
        bool pixel, vertex;  // every kind of block but ALL; ALL holds them all
        std::function<void(DWORD)> set;
        std::function<HRESULT(DWORD*)> get;
    };
    const auto render = [&](const char* name, bool pixel, bool vertex, D3DRENDERSTATETYPE s) {
        return entry{name, pixel, vertex, [=, this](DWORD x) { device->SetRenderState(s, x); },
                     [=, this](DWORD* v) { return device->GetRenderState(s, v); }};
    };
    const auto stage = [&](const char* name, bool pixel, bool vertex, D3DTEXTURESTAGESTATETYPE t) {
        return entry{name, pixel, vertex, [=, this](DWORD x) { device->SetTextureStageState(2, t, x); },
                     [=, this](DWORD* v) { return device->GetTextureStageState(2, t, v); }};
    };
    const auto sampler = [&](const char* name, bool pixel, bool vertex, DWORD s) {
        return entry{name, pixel, vertex, [=, this](DWORD x) { device->SetSamplerState(s, D3DSAMP_MAXMIPLEVEL, x); },
                     [=, this](DWORD* v) { return device->GetSamplerState(s, D3DSAMP_MAXMIPLEVEL, v); }};
    };
    const entry entries[] = {
        render("LIGHTING", false, true, D3DRS_LIGHTING),
        render("ALPHABLENDENABLE", true, false, D3DRS_ALPHABLENDENABLE),
        render("FOGSTART", true, true, D3DRS_FOGSTART),
        render("DEBUGMONITORTOKEN", false, false, D3DRS_DEBUGMONITORTOKEN),
        stage("COLOROP", true, false, D3DTSS_COLOROP),
        stage("TEXCOORDINDEX", true, true, D3DTSS_TEXCOORDINDEX),
        sampler("sampler 15", true, false, 15),
        sampler("vertex sampler 1", false, true, D3DVERTEXTEXTURESAMPLER1),
        {"WORLD", false, false,
         [this](DWORD x) {
             const D3DMATRIX m = scaling(float(x));
             device->SetTransform(D3DTS_WORLD, &m);
         },
         [this](DWORD* v) {
             *v = DWORD(world_scale());
             return D3D_OK;
         }},
        {"light enable", false, true, [this](DWORD x) { device->LightEnable(3, x == 1); },
         [this](DWORD* v) {
             BOOL on = FALSE;
             const HRESULT result = device->GetLightEnable(3, &on);
             *v = on ? 1u : 2u;
             return result;
         }},
        {"scissor", false, false,
         [this](DWORD x) {
             const RECT r{0, 0, LONG(x), LONG(x)};
             device->SetScissorRect(&r);
         },
         [this](DWORD* v) {
             RECT r{};
             *v = device->GetScissorRect(&r) == D3D_OK ? DWORD(r.right) : 0u;
             return D3D_OK;
         }},
    };
    for (D3DSTATEBLOCKTYPE type : {D3DSBT_ALL, D3DSBT_PIXELSTATE, D3DSBT_VERTEXSTATE}) {
        for (const entry& e : entries) e.set(1);
        IDirect3DStateBlock9* block = nullptr;
        ASSERT_EQ(device->CreateStateBlock(type, &block), D3D_OK);
        for (const entry& e : entries) e.set(2);
        ASSERT_EQ(block->Apply(), D3D_OK);
        for (const entry& e : entries) {
            const bool held = type == D3DSBT_ALL || (type == D3DSBT_PIXELSTATE ? e.pixel : e.vertex);
            DWORD v = 0;
            EXPECT_EQ(e.get(&v), D3D_OK) << e.name;
            EXPECT_EQ(v, held ? 1u : 2u) << e.name << " in block type " << type;
        }
        block->Release();
    }
}

// Recorded calls reach the block, not the device; the last value of a state wins; the block holds
// only what was recorded; MultiplyTransform records the product with the recorded matrix.
TEST_F(StateBlockTest, RecordingFillsTheBlockAndLeavesTheDeviceAlone) {
    ASSERT_EQ(device->BeginStateBlock(), D3D_OK);
    EXPECT_EQ(device->SetRenderState(D3DRS_ALPHAREF, 5), D3D_OK);
    EXPECT_EQ(device->SetRenderState(D3DRS_ALPHAREF, 6), D3D_OK);
    EXPECT_EQ(device->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
    D3DMATRIX translate = scaling(1.0f);
    translate._41 = 1.0f;
    EXPECT_EQ(device->SetTransform(D3DTS_WORLD, &translate), D3D_OK);
    const D3DMATRIX scale = scaling(2.0f);
    EXPECT_EQ(device->MultiplyTransform(D3DTS_WORLD, &scale), D3D_OK);
    EXPECT_EQ(render_state(D3DRS_ALPHAREF), 0u);
    EXPECT_EQ(render_state(D3DRS_LIGHTING), DWORD(TRUE));
    EXPECT_EQ(world_scale(), 1.0f);
    IDirect3DStateBlock9* block = nullptr;
    ASSERT_EQ(device->EndStateBlock(&block), D3D_OK);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS), D3D_OK);  // after recording: applied

    ASSERT_EQ(block->Apply(), D3D_OK);
    EXPECT_EQ(render_state(D3DRS_ALPHAREF), 6u);
    EXPECT_EQ(render_state(D3DRS_LIGHTING), DWORD(FALSE));
    EXPECT_EQ(render_state(D3DRS_ZFUNC), DWORD(D3DCMP_ALWAYS));
    D3DMATRIX world{};
    device->GetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(world._11, 2.0f);  // scale, then translate: (1, 0, 0) goes to (3, 0, 0)
    EXPECT_EQ(world._41, 1.0f);

    // Capture re-reads ALPHAREF and LIGHTING only.
    device->SetRenderState(D3DRS_ALPHAREF, 7);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    ASSERT_EQ(block->Capture(), D3D_OK);
    device->SetRenderState(D3DRS_ALPHAREF, 8);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
    block->Apply();
    EXPECT_EQ(render_state(D3DRS_ALPHAREF), 7u);
    EXPECT_EQ(render_state(D3DRS_ZFUNC), DWORD(D3DCMP_GREATER));
    block->Release();
}

// A block holds its device and the textures it keeps, one reference each; the device holds none
// of the block.
TEST_F(StateBlockTest, BlocksHoldOneReferenceToTheirDeviceAndTextures) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d3d9_create_texture(1, 1, std::vector<D3DCOLOR>{0xFFFFFFFF}, &texture), D3D_OK);
    ASSERT_EQ(device->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    IDirect3DStateBlock9* block = nullptr;
    ASSERT_EQ(device->EndStateBlock(&block), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u);  // ours, the block's and this one
    texture->Release();
    IDirect3DBaseTexture9* bound = nullptr;
    EXPECT_EQ(device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, nullptr);  // recorded, not set

    IDirect3DDevice9* owner = nullptr;
    ASSERT_EQ(block->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    EXPECT_EQ(owner->Release(), 2u);  // ours and the block's
    void* same = nullptr;
    ASSERT_EQ(block->QueryInterface(IID_IDirect3DStateBlock9, &same), S_OK);
    EXPECT_EQ(same, block);
    block->Release();
    EXPECT_EQ(block->Release(), 0u);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(device->AddRef(), 2u);
    device->Release();
}

TEST_F(StateBlockTest, CallsOutOfOrderOrWithBadArgumentsAreRefused) {
    IDirect3DStateBlock9* block = reinterpret_cast<IDirect3DStateBlock9*>(uintptr_t(0x1234));
    EXPECT_EQ(device->EndStateBlock(&block), D3DERR_INVALIDCALL);
    EXPECT_EQ(block, nullptr);
    for (DWORD bad : {0u, 4u, 0x7FFFFFFFu}) {
        EXPECT_EQ(device->CreateStateBlock(D3DSTATEBLOCKTYPE(bad), &block), D3DERR_INVALIDCALL) << bad;
        EXPECT_EQ(block, nullptr);
    }
    EXPECT_EQ(device->CreateStateBlock(D3DSBT_ALL, nullptr), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->BeginStateBlock(), D3D_OK);
    EXPECT_EQ(device->BeginStateBlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateStateBlock(D3DSBT_ALL, &block), D3DERR_INVALIDCALL);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATETYPE(10), 1), D3DERR_INVALIDCALL);  // checked while recording
    EXPECT_EQ(device->EndStateBlock(nullptr), D3DERR_INVALIDCALL);                     // still recording
    IDirect3DStateBlock9* recorded = nullptr;
    ASSERT_EQ(device->EndStateBlock(&recorded), D3D_OK);
    EXPECT_EQ(device->EndStateBlock(&block), D3DERR_INVALIDCALL);
    EXPECT_EQ(block, nullptr);
    recorded->Release();
}

}  // namespace
