// font.cpp - ID3DXFont's creation, description, metrics and preloading, and D3DXCreateFont*
// (see font.h; DrawText is font_draw.cpp's).
#include "platform/d3dx9/font.h"

#include "platform/d3dx9/font_text.h"
#include "platform/win32/win_text.h"

#include <algorithm>
#include <new>

namespace {

constexpr size_t face_name_limit = LF_FACESIZE - 1;

// The face name of a description: up to LF_FACESIZE - 1 characters, stopping at a NUL (a name
// that fills the array without one is read no further).
template <class Char>
std::u32string face_name_of(const Char* name, bool wide) {
    std::u32string codes;
    if (name == nullptr) return codes;
    size_t n = 0;
    while (n < face_name_limit && name[n] != 0) ++n;
    if (wide) {
        font_decode_wide(reinterpret_cast<const wchar_t*>(name), INT(n), codes);
    } else {
        font_decode_ansi(reinterpret_cast<const char*>(name), INT(n), codes);
    }
    return codes;
}

std::string utf8_of(const std::u32string& codes) {
    std::string out;
    for (const char32_t c : codes) win_append_utf8(out, c);
    return out;
}

template <class Desc>
void fill_common(const font_description& d, Desc* out) {
    out->Height = d.height;
    out->Width = d.width;
    out->Weight = d.weight;
    out->MipLevels = d.mip_levels;
    out->Italic = d.italic;
    out->CharSet = d.char_set;
    out->OutputPrecision = d.output_precision;
    out->Quality = d.quality;
    out->PitchAndFamily = d.pitch_and_family;
}

template <class Metrics>
void fill_metrics(const font_face_metrics& m, const font_description& d, Metrics* out) {
    out->tmHeight = m.height;
    out->tmAscent = m.ascent;
    out->tmDescent = m.descent;
    out->tmInternalLeading = m.internal_leading;
    out->tmExternalLeading = 0;
    out->tmAveCharWidth = m.average_width;
    out->tmMaxCharWidth = m.max_width;
    out->tmWeight = LONG(d.weight == FW_DONTCARE ? FW_NORMAL : std::min<UINT>(d.weight, 1000));
    out->tmOverhang = 0;
    out->tmDigitizedAspectX = 96;
    out->tmDigitizedAspectY = 96;
    out->tmItalic = d.italic ? 1 : 0;
    out->tmUnderlined = 0;
    out->tmStruckOut = 0;
    // As the platform has it, TMPF_FIXED_PITCH set means a variable-pitch font.
    out->tmPitchAndFamily =
        BYTE((d.pitch_and_family & 0xF0) | TMPF_TRUETYPE | TMPF_VECTOR | (m.fixed_pitch ? 0 : TMPF_FIXED_PITCH));
    out->tmCharSet = d.char_set;
}

}  // namespace

HRESULT d3dx_font::create(IDirect3DDevice9* device, const font_description& description, ID3DXFont** font) {
    font_face_request request;
    request.height = description.height == 0 ? 16 : description.height;
    request.width = description.width;
    request.weight = description.weight;
    request.italic = description.italic != FALSE;
    request.quality = description.quality;
    request.pitch_and_family = description.pitch_and_family;
    request.name = utf8_of(description.face_name);
    if (request.height > font_face_max_size || request.height < -font_face_max_size ||
        request.width > unsigned(font_face_max_size)) {
        return D3DERR_INVALIDCALL;
    }
    try {
        std::unique_ptr<font_face> face = font_face::open(request);
        if (face == nullptr) return D3DERR_NOTAVAILABLE;

        // The state block that saves and restores what DrawText changes.
        IDirect3DStateBlock9* saved = nullptr;
        if (FAILED(device->BeginStateBlock())) return D3DERR_INVALIDCALL;
        font_set_draw_states(device, nullptr);
        if (FAILED(device->EndStateBlock(&saved)) || saved == nullptr) return D3DERR_INVALIDCALL;

        auto* made = new (std::nothrow) d3dx_font;
        if (made == nullptr) {
            saved->Release();
            return E_OUTOFMEMORY;
        }
        made->device_ = device;
        device->AddRef();
        made->saved_states_ = saved;
        try {
            made->description_ = description;
            made->face_ = std::move(face);
            made->cache_ = std::make_unique<font_glyph_cache>(*made->face_);
        } catch (const std::bad_alloc&) {
            made->Release();
            return E_OUTOFMEMORY;
        }
        made->PreloadCharacters(0x20, 0x7E);
        *font = made;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

d3dx_font::~d3dx_font() {
    cache_.reset();
    if (saved_states_ != nullptr) saved_states_->Release();
    if (device_ != nullptr) device_->Release();
}

HRESULT d3dx_font::GetDevice(LPDIRECT3DDEVICE9* device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT d3dx_font::GetDescA(D3DXFONT_DESCA* out) {
    if (out == nullptr) return D3DERR_INVALIDCALL;
    fill_common(description_, out);
    // UTF-8, whole characters only, within the array.
    std::string name;
    for (const char32_t c : description_.face_name) {
        std::string one;
        win_append_utf8(one, c);
        if (name.size() + one.size() > face_name_limit) break;
        name += one;
    }
    std::fill(std::begin(out->FaceName), std::end(out->FaceName), '\0');
    std::copy(name.begin(), name.end(), out->FaceName);
    return D3D_OK;
}

HRESULT d3dx_font::GetDescW(D3DXFONT_DESCW* out) {
    if (out == nullptr) return D3DERR_INVALIDCALL;
    fill_common(description_, out);
    std::fill(std::begin(out->FaceName), std::end(out->FaceName), L'\0');
    std::copy(description_.face_name.begin(), description_.face_name.end(), out->FaceName);
    return D3D_OK;
}

BOOL d3dx_font::GetTextMetricsA(TEXTMETRICA* out) {
    if (out == nullptr) return FALSE;
    fill_metrics(face_->metrics(), description_, out);
    out->tmFirstChar = 0x1E;
    out->tmLastChar = 0xFF;
    out->tmDefaultChar = 0x1F;
    out->tmBreakChar = 0x20;
    return TRUE;
}

BOOL d3dx_font::GetTextMetricsW(TEXTMETRICW* out) {
    if (out == nullptr) return FALSE;
    const font_face_metrics& m = face_->metrics();
    fill_metrics(m, description_, out);
    out->tmFirstChar = WCHAR(m.first_char);
    out->tmLastChar = WCHAR(m.last_char);
    out->tmDefaultChar = 0x1F;
    out->tmBreakChar = 0x20;
    return TRUE;
}

// The font draws through the device, not through a device context: there is none to give.
HDC d3dx_font::GetDC() { return nullptr; }

HRESULT d3dx_font::GetGlyphData(UINT glyph, LPDIRECT3DTEXTURE9* texture, RECT* black_box, POINT* cell_increment) {
    if (texture != nullptr) *texture = nullptr;
    if (glyph >= face_->glyph_count()) return D3DERR_INVALIDCALL;
    try {
        const font_glyph& g = cache_->for_index(glyph);
        if (texture != nullptr) {
            IDirect3DTexture9* atlas = cache_->texture();
            if (atlas == nullptr) return E_OUTOFMEMORY;
            atlas->AddRef();
            *texture = atlas;
        }
        if (black_box != nullptr) *black_box = RECT{g.atlas_x, g.atlas_y, g.atlas_x + g.width, g.atlas_y + g.height};
        if (cell_increment != nullptr) *cell_increment = POINT{g.advance, 0};
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT d3dx_font::PreloadCharacters(UINT first, UINT last) {
    if (last < first) return D3D_OK;
    try {
        for (UINT c = first; c <= std::min<UINT>(last, 0x10FFFF); ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            cache_->for_character(char32_t(c));
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT d3dx_font::PreloadGlyphs(UINT first, UINT last) {
    if (last < first) return D3D_OK;
    const UINT count = face_->glyph_count();
    try {
        for (UINT g = first; g <= last && g < count; ++g) cache_->for_index(g);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT d3dx_font::PreloadTextA(LPCSTR text, INT count) {
    try {
        if (!font_decode_ansi(text, count, text_)) return D3DERR_INVALIDCALL;
        for (const char32_t c : text_) cache_->for_character(c);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT d3dx_font::PreloadTextW(LPCWSTR text, INT count) {
    try {
        if (!font_decode_wide(text, count, text_)) return D3DERR_INVALIDCALL;
        for (const char32_t c : text_) cache_->for_character(c);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

namespace {

font_description description_of(INT height, UINT width, UINT weight, UINT mip_levels, BOOL italic, DWORD char_set,
                                DWORD output_precision, DWORD quality, DWORD pitch_and_family) {
    font_description d;
    d.height = height;
    d.width = width;
    d.weight = weight;
    d.mip_levels = mip_levels;
    d.italic = italic;
    d.char_set = BYTE(char_set);
    d.output_precision = BYTE(output_precision);
    d.quality = BYTE(quality);
    d.pitch_and_family = BYTE(pitch_and_family);
    return d;
}

template <class Char>
HRESULT create_font(IDirect3DDevice9* device, font_description description, const Char* face_name, bool wide,
                    ID3DXFont** font) {
    if (font != nullptr) *font = nullptr;
    if (device == nullptr || font == nullptr) return D3DERR_INVALIDCALL;
    try {
        description.face_name = face_name_of(face_name, wide);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return d3dx_font::create(device, description, font);
}

}  // namespace

HRESULT WINAPI D3DXCreateFontA(LPDIRECT3DDEVICE9 device, INT height, UINT width, UINT weight, UINT mip_levels,
                               BOOL italic, DWORD char_set, DWORD output_precision, DWORD quality,
                               DWORD pitch_and_family, LPCSTR face_name, LPD3DXFONT* font) {
    return create_font(device,
                       description_of(height, width, weight, mip_levels, italic, char_set, output_precision, quality,
                                      pitch_and_family),
                       face_name, false, font);
}

HRESULT WINAPI D3DXCreateFontW(LPDIRECT3DDEVICE9 device, INT height, UINT width, UINT weight, UINT mip_levels,
                               BOOL italic, DWORD char_set, DWORD output_precision, DWORD quality,
                               DWORD pitch_and_family, LPCWSTR face_name, LPD3DXFONT* font) {
    return create_font(device,
                       description_of(height, width, weight, mip_levels, italic, char_set, output_precision, quality,
                                      pitch_and_family),
                       face_name, true, font);
}

HRESULT WINAPI D3DXCreateFontIndirectA(LPDIRECT3DDEVICE9 device, const D3DXFONT_DESCA* desc, LPD3DXFONT* font) {
    if (font != nullptr) *font = nullptr;
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    return create_font(device,
                       description_of(desc->Height, desc->Width, desc->Weight, desc->MipLevels, desc->Italic,
                                      desc->CharSet, desc->OutputPrecision, desc->Quality, desc->PitchAndFamily),
                       desc->FaceName, false, font);
}

HRESULT WINAPI D3DXCreateFontIndirectW(LPDIRECT3DDEVICE9 device, const D3DXFONT_DESCW* desc, LPD3DXFONT* font) {
    if (font != nullptr) *font = nullptr;
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    return create_font(device,
                       description_of(desc->Height, desc->Width, desc->Weight, desc->MipLevels, desc->Italic,
                                      desc->CharSet, desc->OutputPrecision, desc->Quality, desc->PitchAndFamily),
                       desc->FaceName, true, font);
}
