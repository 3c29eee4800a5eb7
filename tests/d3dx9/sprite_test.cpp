// ID3DXSprite on the software device: the Begin/End rules, the states it sets and puts back, and
// the pixels of drawn sprites (texel-exact placement, transforms, colour modulation, sort order).
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "headless_device_test.h"
#include "platform/d3d9/texture.h"
#include "platform/win32/win_headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr D3DCOLOR background = 0xFF204060;

class SpriteTest : public HeadlessDeviceTest {
protected:
    void SetUp() override {
        HeadlessDeviceTest::SetUp();
        ASSERT_EQ(D3DXCreateSprite(device_, &sprite_), D3D_OK);
        device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        checker_ = texture(4, 4, [](UINT x, UINT y) { return 0xFF000000u | (x * 60u) << 16 | (y * 60u) << 8 | 0x11u; });
    }
    void TearDown() override {
        for (IDirect3DTexture9* t : textures_) t->Release();
        if (sprite_ != nullptr) {
            EXPECT_EQ(sprite_->Release(), 0u);
        }
        HeadlessDeviceTest::TearDown();
    }

    template <typename Texel>
    IDirect3DTexture9* texture(UINT w, UINT h, Texel texel) {
        std::vector<D3DCOLOR> texels(size_t(w) * h);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x) texels[size_t(y) * w + x] = texel(x, y);
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(d3d9_create_texture(w, h, std::move(texels), &t), D3D_OK);
        textures_.push_back(t);
        return t;
    }
    IDirect3DTexture9* solid(D3DCOLOR colour) {
        return texture(2, 2, [colour](UINT, UINT) { return colour; });
    }

    // Clears, runs `draw` between BeginScene and EndScene, presents; the frame is then in frame().
    template <typename Draw>
    void frame_of(Draw draw) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
        device_->BeginScene();
        draw();
        device_->EndScene();
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }
    static uint32_t pixel(int x, int y) {
        const win_headless_frame& f = win_headless_last_frame();
        return f.pixels[size_t(y) * size_t(f.width) + size_t(x)] & 0xFFFFFFu;
    }
    // The bounding box of the pixels that differ from the background: {left, top, right, bottom}, inclusive.
    static RECT covered() {
        const win_headless_frame& f = win_headless_last_frame();
        RECT r{f.width, f.height, -1, -1};
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                if (pixel(x, y) != (background & 0xFFFFFFu)) {
                    r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x), r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;
    }

    ID3DXSprite* sprite_ = nullptr;
    IDirect3DTexture9* checker_ = nullptr;
    std::vector<IDirect3DTexture9*> textures_;
};

TEST_F(SpriteTest, CallsOutOfOrderOrWithBadArgumentsFailAndChangeNothing) {
    const D3DXVECTOR3 nowhere(NAN, 0, 0);
    const RECT outside{0, 0, 5, 4}, inverted{3, 0, 1, 4}, negative{-1, 0, 2, 2};
    struct step {
        const char* name;
        HRESULT (*call)(ID3DXSprite*, IDirect3DTexture9*, const void*);
        const void* argument;
        HRESULT expected;
    };
    const auto draw_rect = [](ID3DXSprite* s, IDirect3DTexture9* t, const void* r) {
        return s->Draw(t, static_cast<const RECT*>(r), nullptr, nullptr, 0xFFFFFFFF);
    };
    const step steps[] = {
        {"End before Begin", [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->End(); }, nullptr,
         D3DERR_INVALIDCALL},
        {"Flush before Begin", [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->Flush(); }, nullptr,
         D3DERR_INVALIDCALL},
        {"Draw before Begin", draw_rect, nullptr, D3DERR_INVALIDCALL},
        {"Begin with an unknown flag", [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->Begin(0x200); },
         nullptr, D3DERR_INVALIDCALL},
        {"Begin", [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->Begin(0); }, nullptr, D3D_OK},
        {"Begin twice", [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->Begin(0); }, nullptr,
         D3DERR_INVALIDCALL},
        {"Draw without texture",
         [](ID3DXSprite* s, IDirect3DTexture9*, const void*) {
             return s->Draw(nullptr, nullptr, nullptr, nullptr, 0xFFFFFFFF);
         },
         nullptr, D3DERR_INVALIDCALL},
        {"rectangle beyond the texture", draw_rect, &outside, D3DERR_INVALIDCALL},
        {"inverted rectangle", draw_rect, &inverted, D3DERR_INVALIDCALL},
        {"rectangle before the texture", draw_rect, &negative, D3DERR_INVALIDCALL},
        {"position not a number",
         [](ID3DXSprite* s, IDirect3DTexture9* t, const void* p) {
             return s->Draw(t, nullptr, nullptr, static_cast<const D3DXVECTOR3*>(p), 0xFFFFFFFF);
         },
         &nowhere, D3DERR_INVALIDCALL},
        {"SetTransform without matrix",
         [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->SetTransform(nullptr); }, nullptr,
         D3DERR_INVALIDCALL},
        {"Flush", [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->Flush(); }, nullptr, D3D_OK},
        {"End", [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->End(); }, nullptr, D3D_OK},
        {"End twice", [](ID3DXSprite* s, IDirect3DTexture9*, const void*) { return s->End(); }, nullptr,
         D3DERR_INVALIDCALL},
    };
    frame_of([&] {
        for (const step& s : steps) EXPECT_EQ(s.call(sprite_, checker_, s.argument), s.expected) << s.name;
    });
    EXPECT_EQ(covered().right, -1) << "a failed Draw drew something";
    ID3DXSprite* none = reinterpret_cast<ID3DXSprite*>(1);
    EXPECT_EQ(D3DXCreateSprite(nullptr, &none), D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(sprite_->GetDevice(&device), D3D_OK);
    EXPECT_EQ(device, device_);
    device->Release();
}

TEST_F(SpriteTest, BeginSetsItsStatesAndEndPutsBackTheProgramsOnes) {
    struct render_case {
        D3DRENDERSTATETYPE state;
        DWORD program, blended, opaque;  // the program's value; Begin's with and without ALPHABLEND
    };
    const render_case cases[] = {
        {D3DRS_ALPHABLENDENABLE, TRUE, TRUE, FALSE},
        {D3DRS_ALPHATESTENABLE, TRUE, TRUE, FALSE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE, D3DBLEND_SRCALPHA, D3DBLEND_SRCALPHA},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO, D3DBLEND_INVSRCALPHA, D3DBLEND_INVSRCALPHA},
        {D3DRS_ALPHAFUNC, D3DCMP_LESS, D3DCMP_GREATER, D3DCMP_GREATER},
        {D3DRS_CULLMODE, D3DCULL_CW, D3DCULL_NONE, D3DCULL_NONE},
        {D3DRS_LIGHTING, TRUE, FALSE, FALSE},
        {D3DRS_FOGENABLE, TRUE, FALSE, FALSE},
        {D3DRS_FILLMODE, D3DFILL_WIREFRAME, D3DFILL_SOLID, D3DFILL_SOLID},
        {D3DRS_STENCILENABLE, TRUE, FALSE, FALSE},
        {D3DRS_ZENABLE, D3DZB_TRUE, D3DZB_TRUE, D3DZB_TRUE},  // the program's depth state applies
    };
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.8f, 1.4f, 1.0f, 50.0f);
    const DWORD modes[] = {D3DXSPRITE_ALPHABLEND, 0, D3DXSPRITE_ALPHABLEND | D3DXSPRITE_DONOTSAVESTATE,
                           D3DXSPRITE_ALPHABLEND | D3DXSPRITE_DONOTMODIFY_RENDERSTATE,
                           D3DXSPRITE_ALPHABLEND | D3DXSPRITE_OBJECTSPACE};
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(96, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    for (DWORD flags : modes) {
        SCOPED_TRACE(testing::Message() << "flags " << flags);
        device_->SetStreamSource(0, buffer, 0, 24);
        for (const render_case& c : cases) device_->SetRenderState(c.state, c.program);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
        device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device_->SetTransform(D3DTS_PROJECTION, &projection);
        device_->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        const bool modifies = (flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE) == 0;
        frame_of([&] {
            ASSERT_EQ(sprite_->Begin(flags), D3D_OK);
            DWORD value = 0;
            for (const render_case& c : cases) {
                device_->GetRenderState(c.state, &value);
                const DWORD set = (flags & D3DXSPRITE_ALPHABLEND) != 0 ? c.blended : c.opaque;
                EXPECT_EQ(value, modifies ? set : c.program) << "during Begin, state " << c.state;
            }
            device_->GetSamplerState(0, D3DSAMP_ADDRESSU, &value);
            EXPECT_EQ(value, DWORD(modifies ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP));
            device_->GetTextureStageState(1, D3DTSS_COLOROP, &value);
            EXPECT_EQ(value, DWORD(modifies ? D3DTOP_DISABLE : D3DTOP_MODULATE));
            D3DXMATRIX seen;
            device_->GetTransform(D3DTS_PROJECTION, &seen);
            EXPECT_EQ(bool(seen == projection), (flags & D3DXSPRITE_OBJECTSPACE) != 0);
            EXPECT_EQ(sprite_->Draw(checker_, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3D_OK);
            EXPECT_EQ(sprite_->End(), D3D_OK);
        });
        const bool restored = (flags & D3DXSPRITE_DONOTSAVESTATE) == 0;
        DWORD value = 0;
        device_->GetRenderState(D3DRS_CULLMODE, &value);
        EXPECT_EQ(value, DWORD(restored ? D3DCULL_CW : D3DCULL_NONE));
        device_->GetRenderState(D3DRS_LIGHTING, &value);
        EXPECT_EQ(value, DWORD(restored ? TRUE : FALSE));
        device_->GetSamplerState(0, D3DSAMP_ADDRESSU, &value);
        EXPECT_EQ(value, DWORD(restored ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP));
        device_->GetFVF(&value);
        EXPECT_EQ(value,
                  restored ? DWORD(D3DFVF_XYZ | D3DFVF_NORMAL) : DWORD(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1));
        D3DXMATRIX seen;
        device_->GetTransform(D3DTS_PROJECTION, &seen);
        EXPECT_EQ(bool(seen == projection), restored || (flags & D3DXSPRITE_OBJECTSPACE) != 0);
        IDirect3DBaseTexture9* bound = nullptr;
        device_->GetTexture(0, &bound);
        EXPECT_EQ(bound, restored ? nullptr : checker_);
        if (bound != nullptr) bound->Release();
        device_->SetTexture(0, nullptr);
        IDirect3DVertexBuffer9* stream = nullptr;
        UINT offset = 0, stride = 0;
        device_->GetStreamSource(0, &stream, &offset, &stride);
        EXPECT_EQ(stream, restored ? buffer : nullptr) << "stream 0 (drawing from memory unbinds it)";
        if (stream != nullptr) stream->Release();
    }
    buffer->Release();
}

TEST_F(SpriteTest, PlacesTexelsOnPixelsOneToOne) {
    frame_of([&] {
        sprite_->Begin(0);
        const D3DXVECTOR3 position(10, 7, 0);
        sprite_->Draw(checker_, nullptr, nullptr, &position, 0xFFFFFFFF);
        sprite_->End();
    });
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixel(10 + x, 7 + y), uint32_t(x * 60 << 16 | y * 60 << 8 | 0x11)) << x << "," << y;
    const RECT r = covered();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 7);
    EXPECT_EQ(r.right, 13);
    EXPECT_EQ(r.bottom, 10);
}

TEST_F(SpriteTest, PlacementFollowsSourceCentrePositionAndTransform) {
    struct placement {
        const char* name;
        RECT source;
        D3DXVECTOR3 centre, position;
        float scale;
        RECT expected;      // inclusive pixel bounds
        uint32_t top_left;  // the pixel at the bounds' top-left corner
    };
    const placement cases[] = {
        {"whole", {0, 0, 4, 4}, {0, 0, 0}, {100, 50, 0}, 1, {100, 50, 103, 53}, 0x11},
        {"centred", {0, 0, 4, 4}, {2, 2, 0}, {100, 50, 0}, 1, {98, 48, 101, 51}, 0x11},
        {"scaled, position scaled too", {0, 0, 4, 4}, {0, 0, 0}, {100, 50, 0}, 2, {200, 100, 207, 107}, 0x11},
        {"part of the texture", {1, 2, 3, 3}, {0, 0, 0}, {30, 40, 0}, 1, {30, 40, 31, 40}, 60 << 16 | 120 << 8 | 0x11},
        {"off the left edge", {0, 0, 4, 4}, {0, 0, 0}, {-2, 5, 0}, 1, {0, 5, 1, 8}, 120 << 16 | 0x11},
    };
    for (const placement& c : cases) {
        D3DXMATRIX scaling;
        D3DXMatrixScaling(&scaling, c.scale, c.scale, 1);
        frame_of([&] {
            sprite_->SetTransform(&scaling);
            sprite_->Begin(0);
            sprite_->Draw(checker_, &c.source, &c.centre, &c.position, 0xFFFFFFFF);
            sprite_->End();
        });
        const RECT r = covered();
        EXPECT_EQ(r.left, c.expected.left) << c.name;
        EXPECT_EQ(r.top, c.expected.top) << c.name;
        EXPECT_EQ(r.right, c.expected.right) << c.name;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.name;
        EXPECT_EQ(pixel(c.expected.left, c.expected.top), c.top_left) << c.name;
    }
    D3DXMATRIX seen;
    sprite_->GetTransform(&seen);
    EXPECT_EQ(seen._11, 1.0f);
}

TEST_F(SpriteTest, ColourModulatesTexelsAndAlphaBlendsWithAlphaBlend) {
    struct colour_case {
        DWORD flags;
        D3DCOLOR texel, colour;
        uint32_t expected;
    };
    const colour_case cases[] = {
        {0, 0xFFFFFFFF, 0xFF808080, 0x808080},
        {0, 0xFF40C0FF, 0xFFFF0000, 0x400000},
        {D3DXSPRITE_ALPHABLEND, 0xFFFFFFFF, 0x80FFFFFF, 0x90A0B0},  // half over 0x204060
        {D3DXSPRITE_ALPHABLEND, 0x00FFFFFF, 0xFFFFFFFF, 0x204060},  // alpha 0 fails the alpha test
        {0, 0x00FFFFFF, 0xFFFFFFFF, 0xFFFFFF},                      // without ALPHABLEND alpha is ignored
    };
    for (const colour_case& c : cases) {
        IDirect3DTexture9* t = solid(c.texel);
        frame_of([&] {
            sprite_->Begin(c.flags);
            const D3DXVECTOR3 position(20, 20, 0);
            sprite_->Draw(t, nullptr, nullptr, &position, c.colour);
            sprite_->End();
        });
        const uint32_t p = pixel(20, 20);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int(p >> shift & 0xFF), int(c.expected >> shift & 0xFF), 1)
                << std::hex << c.texel << " * " << c.colour << " gave " << p;
    }
}

TEST_F(SpriteTest, SortsByDepthOrKeepsCallOrder) {
    IDirect3DTexture9* red = solid(0xFFFF0000);
    IDirect3DTexture9* green = solid(0xFF00FF00);
    const struct {
        DWORD flags;
        uint32_t on_top;
    } cases[] = {
        {0, 0x00FF00},                                  // last drawn
        {D3DXSPRITE_SORT_TEXTURE, 0x00FF00},            // call order kept
        {D3DXSPRITE_SORT_DEPTH_BACKTOFRONT, 0xFF0000},  // red is nearer, drawn last
        {D3DXSPRITE_SORT_DEPTH_FRONTTOBACK, 0x00FF00},  // green is farther, drawn last
    };
    for (const auto& c : cases) {
        frame_of([&] {
            sprite_->Begin(c.flags);
            const D3DXVECTOR3 near_spot(50, 50, 0.2f), far_spot(50, 50, 0.8f);
            sprite_->Draw(red, nullptr, nullptr, &near_spot, 0xFFFFFFFF);
            sprite_->Draw(green, nullptr, nullptr, &far_spot, 0xFFFFFFFF);
            sprite_->End();
        });
        EXPECT_EQ(pixel(50, 50), c.on_top) << "flags " << c.flags;
    }
}

TEST_F(SpriteTest, HoldsTexturesOnlyWhileItNeedsThem) {
    IDirect3DTexture9* bound = solid(0xFF00FF00);
    for (DWORD flags : {DWORD(0), DWORD(D3DXSPRITE_DO_NOT_ADDREF_TEXTURE)}) {
        device_->SetTexture(0, bound);  // the program's texture, put back by End
        frame_of([&] {
            sprite_->Begin(flags);
            sprite_->Draw(checker_, nullptr, nullptr, nullptr, 0xFFFFFFFF);
            checker_->AddRef();
            EXPECT_EQ(checker_->Release(), flags == 0 ? 2u : 1u) << "the batch's reference";
            sprite_->End();
        });
        IDirect3DBaseTexture9* seen = nullptr;
        device_->GetTexture(0, &seen);
        EXPECT_EQ(seen, bound);
        seen->Release();
        device_->SetTexture(0, nullptr);
        for (IDirect3DTexture9* t : {checker_, bound}) {
            t->AddRef();
            EXPECT_EQ(t->Release(), 1u) << "a reference left behind";
        }
    }
}

TEST_F(SpriteTest, ObjectSpaceSpritesGoThroughTheDeviceTransforms) {
    // A projection that maps object units to pixels with y up: the sprite shows upside down.
    const D3DXMATRIX to_pixels(2.0f / 624, 0, 0, 0, 0, 2.0f / 441, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device_->SetTransform(D3DTS_WORLD, &identity);
    device_->SetTransform(D3DTS_VIEW, &identity);
    device_->SetTransform(D3DTS_PROJECTION, &to_pixels);
    frame_of([&] {
        sprite_->Begin(D3DXSPRITE_OBJECTSPACE);
        const D3DXVECTOR3 position(20, 0, 0.5f);
        sprite_->Draw(checker_, nullptr, nullptr, &position, 0xFFFFFFFF);
        sprite_->End();
    });
    // Object (20..24, 0..-4) -> pixels x 332..335, y 221..224 (the centre of the target is (312, 220.5)).
    const RECT r = covered();
    EXPECT_EQ(r.right - r.left, 3);
    EXPECT_EQ(r.bottom - r.top, 3);
    EXPECT_EQ(pixel(r.left, r.top), uint32_t(180 << 8 | 0x11)) << "texel row 3 on top";
}

TEST_F(SpriteTest, BillboardsFaceTheViewerUpright) {
    // The camera at the origin looks along +x; a sprite in the xy plane is seen edge on.
    D3DXMATRIX world, view, projection;
    D3DXMatrixIdentity(&world);
    const D3DXVECTOR3 eye(0, 0, 0), at(1, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 1.5707964f, 624.0f / 441.0f, 1.0f, 100.0f);
    device_->SetTransform(D3DTS_WORLD, &world);
    device_->SetTransform(D3DTS_VIEW, &view);
    device_->SetTransform(D3DTS_PROJECTION, &projection);
    ASSERT_EQ(sprite_->SetWorldViewLH(&world, &view), D3D_OK);
    for (DWORD flags : {DWORD(D3DXSPRITE_OBJECTSPACE), DWORD(D3DXSPRITE_BILLBOARD)}) {
        frame_of([&] {
            sprite_->Begin(flags);
            const D3DXVECTOR3 centre(2, 2, 0), position(5, 0, 0);
            sprite_->Draw(checker_, nullptr, &centre, &position, 0xFFFFFFFF);
            sprite_->End();
        });
        if (flags == D3DXSPRITE_OBJECTSPACE) {
            EXPECT_EQ(covered().right, -1) << "edge on";
            continue;
        }
        const RECT r = covered();
        EXPECT_NEAR((r.left + r.right) / 2.0, 311.5, 1.0);
        EXPECT_NEAR((r.top + r.bottom) / 2.0, 220.0, 1.0);
        EXPECT_EQ(pixel(r.left + 2, r.top + 2) >> 8 & 0xFF, 0u) << "texel row 0 on top";
        EXPECT_EQ(pixel(r.left + 2, r.bottom - 2) >> 8 & 0xFF, 180u) << "texel row 3 at the bottom";
    }
    const D3DXMATRIX flat(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    EXPECT_EQ(sprite_->SetWorldViewRH(&flat, &view), D3DERR_INVALIDCALL);
}

}  // namespace
