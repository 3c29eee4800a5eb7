// font_draw.cpp - ID3DXFont::DrawText: the text laid out (font_layout.h), its glyphs taken from
// the atlas (font_glyph_cache.h), clipped to the rectangle and drawn as pre-transformed textured
// quads, or handed to the caller's sprite.
//
// Choices: a null rectangle lays the text out from (0, 0), left and top aligned, unclipped and
// unwrapped (DT_CALCRECT then has nothing to write). DT_CALCRECT without DT_WORDBREAK moves the
// rectangle's right edge to the end of its widest line; with it, the width stays. Both move the
// bottom to the last line's. Empty text draws nothing and returns 0. Text is drawn with the
// device's own depth states (z = 0), as D3DX's sprites are.
#include "platform/d3dx9/font.h"

#include "platform/d3dx9/font_text.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

struct state_value {
    DWORD state;
    DWORD value;
};

constexpr state_value render_states[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
    {D3DRS_ALPHATESTENABLE, TRUE},
    {D3DRS_ALPHAFUNC, D3DCMP_GREATER},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_SCISSORTESTENABLE, FALSE},
};

struct stage_value {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};

constexpr stage_value stage_states[] = {
    {0, D3DTSS_COLOROP, D3DTOP_MODULATE}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}, {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
    {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_TEXCOORDINDEX, 0},         {0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
    {1, D3DTSS_COLOROP, D3DTOP_DISABLE},  {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
};

struct sampler_value {
    D3DSAMPLERSTATETYPE type;
    DWORD value;
};

constexpr sampler_value sampler_states[] = {
    {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP}, {D3DSAMP_MAGFILTER, D3DTEXF_POINT},
    {D3DSAMP_MINFILTER, D3DTEXF_POINT},    {D3DSAMP_MIPFILTER, D3DTEXF_NONE},     {D3DSAMP_MAXMIPLEVEL, 0},
};

bool control_character(char32_t c) { return c == U'\t' || c == U'\r' || c == U'\n'; }

long long clamp_to_int(long long v) { return std::clamp<long long>(v, INT_MIN, INT_MAX); }

}  // namespace

void font_set_draw_states(IDirect3DDevice9* device, IDirect3DTexture9* atlas) {
    for (const state_value& s : render_states) device->SetRenderState(D3DRENDERSTATETYPE(s.state), s.value);
    for (const stage_value& s : stage_states) device->SetTextureStageState(s.stage, s.type, s.value);
    for (const sampler_value& s : sampler_states) device->SetSamplerState(0, s.type, s.value);
    device->SetTexture(0, atlas);
}

INT d3dx_font::DrawTextA(LPD3DXSPRITE sprite, LPCSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR colour) {
    try {
        if (!font_decode_ansi(text, count, text_)) return 0;
        return draw_text(sprite, rect, format, colour);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

INT d3dx_font::DrawTextW(LPD3DXSPRITE sprite, LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR colour) {
    try {
        if (!font_decode_wide(text, count, text_)) return 0;
        return draw_text(sprite, rect, format, colour);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

INT d3dx_font::draw_text(LPD3DXSPRITE sprite, LPRECT rect, DWORD format, D3DCOLOR colour) {
    if (text_.empty()) {
        if (rect != nullptr && (format & DT_CALCRECT)) {
            rect->right = rect->left;
            rect->bottom = rect->top;
        }
        return 0;
    }
    const font_face_metrics& m = face_->metrics();
    const int n = int(std::min<size_t>(text_.size(), INT_MAX));
    advances_.resize(size_t(n));
    const int space = cache_->for_character(U' ').advance;
    for (int i = 0; i < n; ++i) {
        const char32_t c = text_[size_t(i)];
        advances_[size_t(i)] = c == U'\t' ? space : control_character(c) ? 0 : cache_->for_character(c).advance;
    }

    const RECT area = rect != nullptr ? *rect : RECT{0, 0, 0, 0};
    if (rect == nullptr) {
        format &= ~DWORD(DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_WORDBREAK);
        format |= DT_NOCLIP;
    }
    font_layout_input in;
    in.text = text_.data();
    in.advances = advances_.data();
    in.count = n;
    in.format = format;
    in.width = int(clamp_to_int((long long)area.right - area.left));
    in.height = int(clamp_to_int((long long)area.bottom - area.top));
    in.line_height = m.height;
    in.tab_width = 8 * m.average_width;
    font_layout(in, layout_);

    if (format & DT_CALCRECT) {
        if (rect == nullptr) return layout_.height;
        if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) {
            rect->right = LONG(clamp_to_int((long long)rect->left + layout_.widest));
        }
        rect->bottom = LONG(clamp_to_int((long long)rect->top + layout_.height));
        return layout_.height;
    }

    // The glyphs' parts inside the rectangle (or all of them with DT_NOCLIP).
    const bool clip = (format & DT_NOCLIP) == 0;
    quads_.clear();
    for (size_t l = 0; l < layout_.lines.size(); ++l) {
        const font_line& line = layout_.lines[l];
        const long long baseline = (long long)area.top + layout_.top + (long long)l * m.height + m.ascent;
        for (int i = line.begin; i < line.end; ++i) {
            const int pen = layout_.pen[size_t(i)];
            const char32_t c = text_[size_t(i)];
            if (pen < 0 || control_character(c)) continue;
            const font_glyph& g = cache_->for_character(c);
            if (g.width == 0 || g.height == 0) continue;
            font_quad q;
            q.x0 = (long long)area.left + line.x + pen + g.left;
            q.y0 = baseline - g.top;
            q.x1 = q.x0 + g.width;
            q.y1 = q.y0 + g.height;
            q.u0 = g.atlas_x;
            q.v0 = g.atlas_y;
            if (clip) {
                const long long cx0 = std::max<long long>(q.x0, area.left), cy0 = std::max<long long>(q.y0, area.top);
                const long long cx1 = std::min<long long>(q.x1, area.right),
                                cy1 = std::min<long long>(q.y1, area.bottom);
                if (cx0 >= cx1 || cy0 >= cy1) continue;
                q.u0 += int(cx0 - q.x0);
                q.v0 += int(cy0 - q.y0);
                q = font_quad{cx0, cy0, cx1, cy1, q.u0, q.v0};
            }
            quads_.push_back(q);
        }
    }

    if (!quads_.empty()) {
        IDirect3DTexture9* atlas = cache_->texture();
        if (atlas != nullptr) {
            if (sprite != nullptr) {
                draw_through_sprite(sprite, atlas, colour);
            } else {
                draw_through_device(atlas, colour);
            }
        }
    }
    return (format & (DT_VCENTER | DT_BOTTOM)) ? INT(clamp_to_int((long long)layout_.top + layout_.height))
                                               : layout_.height;
}

void d3dx_font::draw_through_sprite(LPD3DXSPRITE sprite, IDirect3DTexture9* atlas, D3DCOLOR colour) {
    for (const font_quad& q : quads_) {
        const RECT source{q.u0, q.v0, q.u0 + LONG(q.x1 - q.x0), q.v0 + LONG(q.y1 - q.y0)};
        const D3DXVECTOR3 position(float(q.x0), float(q.y0), 0.0f);
        sprite->Draw(atlas, &source, nullptr, &position, colour);
    }
}

void d3dx_font::draw_through_device(IDirect3DTexture9* atlas, D3DCOLOR colour) {
    const float inv_w = 1.0f / float(cache_->atlas_width());
    const float inv_h = 1.0f / float(cache_->atlas_height());
    vertices_.clear();
    for (const font_quad& q : quads_) {
        // Pixel centres sit on whole coordinates: the quad's edges are half a pixel before them,
        // so that each pixel samples its own texel.
        const float x0 = float(q.x0) - 0.5f, y0 = float(q.y0) - 0.5f;
        const float x1 = float(q.x1) - 0.5f, y1 = float(q.y1) - 0.5f;
        const float u0 = float(q.u0) * inv_w, v0 = float(q.v0) * inv_h;
        const float u1 = float(q.u0 + (q.x1 - q.x0)) * inv_w, v1 = float(q.v0 + (q.y1 - q.y0)) * inv_h;
        const font_vertex a{x0, y0, 0.0f, 1.0f, colour, u0, v0}, b{x1, y0, 0.0f, 1.0f, colour, u1, v0};
        const font_vertex c{x0, y1, 0.0f, 1.0f, colour, u0, v1}, d{x1, y1, 0.0f, 1.0f, colour, u1, v1};
        vertices_.insert(vertices_.end(), {a, b, c, c, b, d});
    }

    DWORD fvf = 0;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    device_->GetFVF(&fvf);
    device_->GetVertexDeclaration(&declaration);
    saved_states_->Capture();
    font_set_draw_states(device_, atlas);
    device_->SetFVF(font_vertex_fvf);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(vertices_.size() / 3), vertices_.data(), sizeof(font_vertex));
    saved_states_->Apply();
    if (declaration != nullptr) {
        device_->SetVertexDeclaration(declaration);
        declaration->Release();
    } else if (fvf != 0) {
        device_->SetFVF(fvf);
    } else {
        device_->SetVertexDeclaration(nullptr);
    }
}
