// ID3DXFont on the headless device: faces found by name, sizes, layout rectangles of DT_CALCRECT,
// DrawText's return value, text that is not well-formed, and what a drawn string covers.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "counting_allocator.h"
#include "headless_device_test.h"
#include "platform/d3dx9/font.h"
#include "platform/win32/win_headless.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

class FontTest : public HeadlessDeviceTest {
protected:
    void TearDown() override {
        if (font_ != nullptr) {
            EXPECT_EQ(font_->Release(), 0u);
        }
        HeadlessDeviceTest::TearDown();
    }
    ID3DXFont* make(INT height, const char* face, UINT weight = FW_NORMAL, DWORD pitch_and_family = 0) {
        if (font_ != nullptr) font_->Release();
        font_ = nullptr;
        EXPECT_EQ(D3DXCreateFontA(device_, height, 0, weight, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, pitch_and_family, face, &font_),
                  D3D_OK);
        return font_;
    }
    const d3dx_font& ours() const { return *static_cast<const d3dx_font*>(font_); }
    // DT_CALCRECT from (10, 20, 10 + width, 20 + 100).
    RECT measure(const char* text, DWORD format, LONG width = 1000, INT* returned = nullptr) {
        RECT r{10, 20, 10 + width, 120};
        const INT height = font_->DrawTextA(nullptr, text, -1, &r, format | DT_CALCRECT, 0xFFFFFFFF);
        if (returned != nullptr) *returned = height;
        return r;
    }

    ID3DXFont* font_ = nullptr;
};

TEST_F(FontTest, FindsFacesAndSizesThem) {
    struct face_case {
        INT height;
        const char* face;
        DWORD pitch_and_family;
        const char* family;
        LONG line_height;  // 0: |height| < line height
    } const cases[] = {
        {20, "Arial", 0, "Liberation Sans", 20},
        {-20, "Times New Roman", 0, "Liberation Serif", 0},
        {0, "Courier New", 0, "Liberation Mono", 16},
        {20, "No Such Face", 0, "DejaVu Sans", 20},
        {20, "", FF_ROMAN, "DejaVu Serif", 20},
        {20, "No Such Face", FIXED_PITCH, "DejaVu Sans Mono", 20},
        {20, "No Such Face", FF_MODERN, "DejaVu Sans Mono", 20},
        {20, "Consolas", 0, "DejaVu Sans Mono", 20},
    };
    for (const face_case& c : cases) {
        SCOPED_TRACE(c.face);
        ASSERT_NE(make(c.height, c.face, FW_NORMAL, c.pitch_and_family), nullptr);
        EXPECT_EQ(ours().face().family(), c.family);
        TEXTMETRICA tm{};
        ASSERT_TRUE(font_->GetTextMetricsA(&tm));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        if (c.line_height != 0) {
            EXPECT_EQ(tm.tmHeight, c.line_height);
        } else {
            EXPECT_GT(tm.tmHeight, -c.height);
            EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight + c.height);
        }
    }
    setenv("WIN32_STANDIN_DEJAVU_FONTS", "1", 1);
    make(20, "Arial");
    unsetenv("WIN32_STANDIN_DEJAVU_FONTS");
    EXPECT_EQ(ours().face().family(), "DejaVu Sans");
}

TEST_F(FontTest, CreationFailsAsDocumentedAndLeavesNoFont) {
    struct bad_case {
        IDirect3DDevice9* device;
        INT height;
        UINT width;
        bool output;
        HRESULT expected;
    } const cases[] = {
        {nullptr, 20, 0, true, D3DERR_INVALIDCALL},      {device_, 20, 0, false, D3DERR_INVALIDCALL},
        {device_, 513, 0, true, D3DERR_INVALIDCALL},     {device_, INT_MIN, 0, true, D3DERR_INVALIDCALL},
        {device_, 20, 100000, true, D3DERR_INVALIDCALL},
    };
    for (const bad_case& c : cases) {
        ID3DXFont* font = reinterpret_cast<ID3DXFont*>(this);
        EXPECT_EQ(
            D3DXCreateFontW(c.device, c.height, c.width, 0, 1, FALSE, 0, 0, 0, 0, L"Arial", c.output ? &font : nullptr),
            c.expected);
        if (c.output) {
            EXPECT_EQ(font, nullptr);
        }
    }
    EXPECT_EQ(D3DXCreateFontIndirectA(device_, nullptr, &font_), D3DERR_INVALIDCALL);
    // A device recording a state block cannot lend the font one.
    ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
    EXPECT_EQ(D3DXCreateFontA(device_, 20, 0, 0, 1, FALSE, 0, 0, 0, 0, "Arial", &font_), D3DERR_INVALIDCALL);
    IDirect3DStateBlock9* block = nullptr;
    ASSERT_EQ(device_->EndStateBlock(&block), D3D_OK);
    block->Release();
}

TEST_F(FontTest, DescribesItselfInBothForms) {
    D3DXFONT_DESCW asked{};
    asked.Height = -15;
    asked.Weight = FW_BOLD;
    asked.Italic = TRUE;
    asked.Quality = NONANTIALIASED_QUALITY;
    wcscpy(asked.FaceName, L"Łódź Sans");
    ASSERT_EQ(D3DXCreateFontIndirectW(device_, &asked, &font_), D3D_OK);
    D3DXFONT_DESCW wide{};
    D3DXFONT_DESCA narrow{};
    ASSERT_EQ(font_->GetDescW(&wide), D3D_OK);
    ASSERT_EQ(font_->GetDescA(&narrow), D3D_OK);
    EXPECT_EQ(std::wstring(wide.FaceName), L"Łódź Sans");
    EXPECT_EQ(std::string(narrow.FaceName), "Łódź Sans");
    EXPECT_EQ(narrow.Height, -15);
    EXPECT_EQ(wide.Weight, UINT(FW_BOLD));
    EXPECT_EQ(font_->GetDC(), nullptr);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(font_->GetDevice(&device), D3D_OK);
    EXPECT_EQ(device, device_);
    device->Release();
    EXPECT_EQ(font_->OnLostDevice(), D3D_OK);
    EXPECT_EQ(font_->OnResetDevice(), D3D_OK);
}

TEST_F(FontTest, CalcRectLaysTextOut) {
    make(-16, "DejaVu Sans Mono");
    TEXTMETRICA tm{};
    font_->GetTextMetricsA(&tm);
    const LONG h = tm.tmHeight;
    const LONG a = measure("x", DT_SINGLELINE).right - 10;  // one advance
    ASSERT_GT(a, 0);
    struct layout_case {
        const char* text;
        DWORD format;
        LONG width;   // of the rectangle
        LONG right;   // expected, from the left edge
        LONG bottom;  // expected, from the top edge
    } const cases[] = {
        {"abc", DT_SINGLELINE, 1000, 3 * a, h},
        {"abc", DT_CENTER | DT_VCENTER | DT_SINGLELINE, 1000, 3 * a, h},
        {"abc\ndef", 0, 1000, 3 * a, 2 * h},
        {"a\r\nbb\rc\n", 0, 1000, 2 * a, 3 * h},
        {"a\n\nb", 0, 1000, a, 3 * h},
        {"a\nb", DT_SINGLELINE, 1000, 2 * a, h},
        {"ab cd ef", DT_WORDBREAK, 5 * a, 5 * a, 2 * h},
        {"ab cd ef", DT_WORDBREAK, 100 * a, 100 * a, h},
        {"abcdefgh ij", DT_WORDBREAK, 3 * a, 3 * a, 2 * h},
        {"ab   cd", DT_WORDBREAK, 3 * a, 3 * a, 2 * h},
        {"ab cd", DT_WORDBREAK | DT_SINGLELINE, 3 * a, 5 * a, h},
        {"\tx", DT_EXPANDTABS, 1000, 8 * tm.tmAveCharWidth + a, h},
        {"x\tx", DT_EXPANDTABS, 1000, 8 * tm.tmAveCharWidth + a, h},
        {"\tx", 0, 1000, 2 * a, h},
        {"", 0, 1000, 0, 0},
    };
    for (const layout_case& c : cases) {
        SCOPED_TRACE(c.text);
        INT returned = -1;
        const RECT r = measure(c.text, c.format, c.width, &returned);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.right - 10, c.right);
        EXPECT_EQ(r.bottom - 20, c.bottom);
        EXPECT_EQ(returned, c.bottom);
    }
}

TEST_F(FontTest, ReturnsTheTextHeightOrItsBottomFromTheTop) {
    make(20, "Arial");
    struct return_case {
        const char* text;
        DWORD format;
        INT expected;
    } const cases[] = {
        {"Hello", DT_CENTER | DT_VCENTER | DT_SINGLELINE, 250},  // the block spans y 230 ... 250
        {"Hello", DT_BOTTOM | DT_SINGLELINE, 480},
        {"Hello", DT_RIGHT, 20},
        {"Hello\nworld", DT_VCENTER, 260},
        {"Hello", DT_NOCLIP, 20},
    };
    device_->BeginScene();
    for (const return_case& c : cases) {
        RECT r{0, 0, 640, 480};
        EXPECT_EQ(font_->DrawTextA(nullptr, c.text, -1, &r, c.format, 0xFFFFFF00), c.expected) << c.text;
        EXPECT_EQ(r.right, 640);  // drawing leaves the rectangle alone
    }
    // Extreme and inverted rectangles: nothing overflows, nothing is drawn outside.
    struct extreme_case {
        RECT rect;
        DWORD format;
        INT expected;
    } const extremes[] = {
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, DT_CENTER | DT_VCENTER | DT_SINGLELINE, (INT_MAX - 20) / 2 + 20},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_WORDBREAK, INT_MAX},
        {{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, DT_CENTER | DT_WORDBREAK, 2 * 20},
        {{100, 100, 0, 0}, DT_BOTTOM | DT_SINGLELINE, -100 - 20 + 20},
    };
    for (const extreme_case& c : extremes) {
        RECT r = c.rect;
        EXPECT_EQ(font_->DrawTextA(nullptr, "Hello you", -1, &r, c.format, 0xFFFFFFFF), c.expected);
    }
    EXPECT_EQ(font_->DrawTextA(nullptr, "Hello", -1, nullptr, DT_CENTER, 0xFFFFFFFF), 20);
    EXPECT_EQ(font_->DrawTextA(nullptr, "Hello", -1, nullptr, DT_CALCRECT, 0xFFFFFFFF), 20);
    device_->EndScene();
}

TEST_F(FontTest, ReadsTextAsTheEncodingsSay) {
    make(-16, "DejaVu Sans Mono");
    const auto width_a = [this](const char* text, INT count) {
        RECT r{0, 0, 1000, 100};
        return font_->DrawTextA(nullptr, text, count, &r, DT_CALCRECT | DT_SINGLELINE, 0) > 0 ? r.right : -1;
    };
    const auto width_w = [this](const wchar_t* text, INT count) {
        RECT r{0, 0, 1000, 100};
        return font_->DrawTextW(nullptr, text, count, &r, DT_CALCRECT | DT_SINGLELINE, 0) > 0 ? r.right : -1;
    };
    const LONG a = width_a("x", -1);
    const wchar_t surrogate[] = {0xD800, L'x', 0};
    const wchar_t beyond[] = {wchar_t(0x110000), L'x', 0};
    struct text_case {
        LONG got;
        LONG expected;
    } const cases[] = {
        {width_a("za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", -1), 6 * a},  // "zażółć" in UTF-8: 6 characters
        {width_a("za\xBF\xF3\xB3\xE6", -1), 6 * a},                  // the same in Windows-1250
        {width_a("\xC0\x80x", -1), 3 * a},                           // an overlong NUL: two 1250 bytes
        {width_a("ab\0cd", 5), 2 * a},                               // text ends at a NUL
        {width_a("abcd", 2), 2 * a},
        {width_w(L"zażółć", -1), 6 * a},
        {width_w(surrogate, -1), width_w(L"\uFFFDx", -1)},
        {width_w(beyond, -1), width_w(L"\uFFFDx", -1)},
        {width_a(nullptr, -1), -1},
        {width_a("x", -2), -1},
        {width_w(nullptr, 3), -1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
}

// The frame's pixels inside and outside `r` whose red channel is above `level`.
struct coverage {
    int inside = 0, outside = 0, brightest = 0;
    long long x_sum = 0;
};
coverage covered(const RECT& r, int level) {
    const win_headless_frame& frame = win_headless_last_frame();
    coverage c;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const int red = int((frame.pixels[size_t(y) * size_t(frame.width) + size_t(x)] >> 16) & 0xFF);
            c.brightest = std::max(c.brightest, red);
            if (red <= level) continue;
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
                ++c.inside;
                c.x_sum += x;
            } else {
                ++c.outside;
            }
        }
    }
    return c;
}

TEST_F(FontTest, DrawsAntialiasedGlyphsInsideTheRectangleAndRestoresStates) {
    make(40, "Arial", FW_BOLD);
    struct draw_case {
        RECT rect;
        DWORD format;
        D3DCOLOR colour;
        int brightest;  // at most
        bool clipped;
    } const cases[] = {
        {{0, 0, 624, 441}, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0xFFFFFFFF, 255, false},
        {{0, 0, 624, 441}, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0x80FFFFFF, 129, false},
        {{300, 200, 330, 215}, DT_NOCLIP, 0xFFFFFFFF, 255, false},
        {{300, 200, 330, 215}, 0, 0xFFFFFFFF, 255, true},
    };
    for (const draw_case& c : cases) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device_->BeginScene();
        RECT r = c.rect;
        EXPECT_GT(font_->DrawTextW(nullptr, L"Żółw", -1, &r, c.format, c.colour), 0);
        device_->EndScene();
        device_->Present(nullptr, nullptr, nullptr, nullptr);
        const coverage got = covered(c.rect, 0);
        EXPECT_GT(got.inside, 40);
        EXPECT_LE(got.brightest, c.brightest);
        EXPECT_GE(got.brightest, c.brightest - 2);
        if (c.clipped || c.format == (DT_CENTER | DT_VCENTER | DT_SINGLELINE)) {
            EXPECT_EQ(got.outside, 0);
        }
        if (!c.clipped && c.format == DT_NOCLIP) {
            EXPECT_GT(got.outside, 0);
        }
        if (c.format & DT_CENTER) {
            EXPECT_NEAR(double(got.x_sum) / got.inside, 312.0, 12.0);
        }
    }
    // Anti-aliased: edges have levels between black and white.
    DWORD value = 0;
    device_->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, DWORD(FALSE));
    device_->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_CCW));
    device_->GetFVF(&value);
    EXPECT_EQ(value, 0u);
    IDirect3DBaseTexture9* texture = reinterpret_cast<IDirect3DBaseTexture9*>(this);
    device_->GetTexture(0, &texture);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(FontTest, NonAntialiasedQualityDrawsOnlyWholePixels) {
    ASSERT_EQ(D3DXCreateFontA(device_, 24, 0, FW_NORMAL, 1, TRUE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Times New Roman", &font_),
              D3D_OK);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device_->BeginScene();
    RECT r{0, 0, 624, 441};
    font_->DrawTextA(nullptr, "Mono gęś", -1, &r, DT_LEFT, 0xFFFFFFFF);
    device_->EndScene();
    device_->Present(nullptr, nullptr, nullptr, nullptr);
    const coverage all = covered(r, 0), full = covered(r, 254);
    EXPECT_GT(all.inside, 40);
    EXPECT_EQ(all.inside, full.inside);
}

TEST_F(FontTest, DrawnTextRasterisesEachGlyphOnceAndThenAllocatesNothing) {
    make(20, "Arial");
    RECT r{0, 0, 624, 441};
    device_->BeginScene();
    font_->DrawTextA(nullptr, "FPS: 60.0 ąę", -1, &r, DT_LEFT, 0xFFFFFFFF);
    const size_t glyphs = ours().glyphs().rasterised(), textures = ours().glyphs().textures_made();
    const size_t before = allocations_counted();
    for (int frame = 0; frame < 3; ++frame) font_->DrawTextA(nullptr, "FPS: 60.0 ąę", -1, &r, DT_LEFT, 0xFFFFFFFF);
    EXPECT_EQ(allocations_counted(), before);
    device_->EndScene();
    EXPECT_EQ(ours().glyphs().rasterised(), glyphs);
    EXPECT_EQ(ours().glyphs().textures_made(), textures);
    EXPECT_EQ(font_->PreloadTextA("ąę", -1), D3D_OK);
    EXPECT_EQ(ours().glyphs().rasterised(), glyphs);
    EXPECT_EQ(font_->PreloadCharacters(0x100, 0x17F), D3D_OK);
    EXPECT_GT(ours().glyphs().rasterised(), glyphs);
}

// A sprite that records what it is asked to draw.
class recording_sprite final : public ID3DXSprite {
public:
    struct call {
        RECT source;
        D3DXVECTOR3 position;
        D3DCOLOR colour;
    };
    std::vector<call> calls;
    IDirect3DTexture9* texture = nullptr;

    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetDevice(LPDIRECT3DDEVICE9*) override { return E_NOTIMPL; }
    HRESULT GetTransform(D3DXMATRIX*) override { return E_NOTIMPL; }
    HRESULT SetTransform(const D3DXMATRIX*) override { return E_NOTIMPL; }
    HRESULT SetWorldViewRH(const D3DXMATRIX*, const D3DXMATRIX*) override { return E_NOTIMPL; }
    HRESULT SetWorldViewLH(const D3DXMATRIX*, const D3DXMATRIX*) override { return E_NOTIMPL; }
    HRESULT Begin(DWORD) override { return D3D_OK; }
    HRESULT Draw(LPDIRECT3DTEXTURE9 t, const RECT* source, const D3DXVECTOR3* centre, const D3DXVECTOR3* position,
                 D3DCOLOR colour) override {
        EXPECT_EQ(centre, nullptr);
        texture = t;
        calls.push_back({*source, *position, colour});
        return D3D_OK;
    }
    HRESULT Flush() override { return D3D_OK; }
    HRESULT End() override { return D3D_OK; }
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }
};

TEST_F(FontTest, HandsGlyphsToTheCallersSpriteClippedToTheRectangle) {
    make(20, "Arial");
    recording_sprite sprite;
    RECT r{100, 50, 140, 60};  // the line is taller than the rectangle: clipped below
    EXPECT_EQ(font_->DrawTextA(&sprite, "Hi there", -1, &r, DT_LEFT, 0xFF00FF00), 20);
    ASSERT_FALSE(sprite.calls.empty());
    EXPECT_LT(sprite.calls.size(), 7u);  // "there" does not fit in 40 pixels
    for (const recording_sprite::call& c : sprite.calls) {
        EXPECT_EQ(c.colour, 0xFF00FF00u);
        EXPECT_GE(c.position.x, 100.0f);
        EXPECT_GE(c.position.y, 50.0f);
        EXPECT_LE(c.position.x + float(c.source.right - c.source.left), 140.0f);
        EXPECT_LE(c.position.y + float(c.source.bottom - c.source.top), 60.0f);
    }
    IDirect3DTexture9* atlas = nullptr;
    RECT box{};
    POINT advance{};
    EXPECT_EQ(font_->GetGlyphData(ours().face().glyph_index(U'H'), &atlas, &box, &advance), D3D_OK);
    EXPECT_EQ(atlas, sprite.texture);
    EXPECT_GT(advance.x, 0);
    if (atlas != nullptr) atlas->Release();
    EXPECT_EQ(font_->GetGlyphData(0xFFFFFF, &atlas, &box, &advance), D3DERR_INVALIDCALL);
    EXPECT_EQ(atlas, nullptr);
}

}  // namespace
