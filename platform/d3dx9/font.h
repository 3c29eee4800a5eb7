// font.h - ID3DXFont: text drawn with a FreeType face through the device (font.cpp: creation,
// description, metrics, preloading; font_draw.cpp: DrawText).
//
// A font keeps a reference to its device, the face (font_face.h), the glyph atlas
// (font_glyph_cache.h) and a state block holding the states DrawText changes, captured before
// and applied after each draw. The buffers DrawText works in are kept and reused, so that text
// whose glyphs were drawn before allocates nothing.
#pragma once

#include <d3dx9.h>

#include "platform/d3d9/com_object.h"
#include "platform/d3dx9/font_face.h"
#include "platform/d3dx9/font_glyph_cache.h"
#include "platform/d3dx9/font_layout.h"

#include <memory>
#include <string>
#include <vector>

struct font_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
inline constexpr DWORD font_vertex_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A glyph's part to draw: pixels [x0, x1) x [y0, y1) of the target from the atlas texels at
// (u0, v0).
struct font_quad {
    long long x0, y0, x1, y1;
    int u0, v0;
};

// What D3DXCreateFont* was asked for (the face name as code points, at most 31).
struct font_description {
    INT height = 0;
    UINT width = 0;
    UINT weight = 0;
    UINT mip_levels = 0;
    BOOL italic = FALSE;
    BYTE char_set = 0;
    BYTE output_precision = 0;
    BYTE quality = 0;
    BYTE pitch_and_family = 0;
    std::u32string face_name;
};

class d3dx_font final : public com_object<ID3DXFont> {
public:
    // D3DERR_INVALIDCALL for sizes out of range or a device that is recording a state block,
    // D3DERR_NOTAVAILABLE when no face can be loaded, E_OUTOFMEMORY.
    static HRESULT create(IDirect3DDevice9* device, const font_description& description, ID3DXFont** font);

    HRESULT GetDevice(LPDIRECT3DDEVICE9* device) override;
    HRESULT GetDescA(D3DXFONT_DESCA* description) override;
    HRESULT GetDescW(D3DXFONT_DESCW* description) override;
    BOOL GetTextMetricsA(TEXTMETRICA* metrics) override;
    BOOL GetTextMetricsW(TEXTMETRICW* metrics) override;
    HDC GetDC() override;
    HRESULT GetGlyphData(UINT glyph, LPDIRECT3DTEXTURE9* texture, RECT* black_box, POINT* cell_increment) override;
    HRESULT PreloadCharacters(UINT first, UINT last) override;
    HRESULT PreloadGlyphs(UINT first, UINT last) override;
    HRESULT PreloadTextA(LPCSTR text, INT count) override;
    HRESULT PreloadTextW(LPCWSTR text, INT count) override;
    INT DrawTextA(LPD3DXSPRITE sprite, LPCSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR colour) override;
    INT DrawTextW(LPD3DXSPRITE sprite, LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR colour) override;
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

    // For tests: the face found and the atlas.
    const font_face& face() const { return *face_; }
    const font_glyph_cache& glyphs() const { return *cache_; }

private:
    d3dx_font() = default;
    ~d3dx_font() override;

    // Lays out and draws (or measures) text_.
    INT draw_text(LPD3DXSPRITE sprite, LPRECT rect, DWORD format, D3DCOLOR colour);
    void draw_through_device(IDirect3DTexture9* atlas, D3DCOLOR colour);
    void draw_through_sprite(LPD3DXSPRITE sprite, IDirect3DTexture9* atlas, D3DCOLOR colour);

    IDirect3DDevice9* device_ = nullptr;
    IDirect3DStateBlock9* saved_states_ = nullptr;
    font_description description_;
    std::unique_ptr<font_face> face_;
    std::unique_ptr<font_glyph_cache> cache_;

    // Reused by every DrawText.
    std::u32string text_;
    std::vector<int> advances_;
    font_layout_result layout_;
    std::vector<font_quad> quads_;
    std::vector<font_vertex> vertices_;
};

// Records into a state block the states DrawText sets (values as `atlas` would need them).
void font_set_draw_states(IDirect3DDevice9* device, IDirect3DTexture9* atlas);
