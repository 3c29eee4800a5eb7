// font_glyph_cache.h - the glyphs a font has drawn, each rasterised once into one atlas texture.
//
// The atlas holds white texels whose alpha is the glyph's coverage (A8R8G8B8), so that modulating
// by the text colour gives the colour with coverage times its alpha. Glyphs are packed in rows
// ("shelves") with a pixel of space around each; when the atlas is full it grows taller (up to
// 4096 rows), keeping every glyph where it is. A glyph that no longer fits is kept
// with its advance and drawn as nothing. The texture is made again only when glyphs were added
// since it was last made, never per frame.
#pragma once

#include <d3d9.h>

#include "platform/d3dx9/font_face.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

struct font_glyph {
    int16_t atlas_x = 0, atlas_y = 0;  // top-left in the atlas
    int16_t width = 0, height = 0;     // 0: nothing to draw
    int16_t left = 0, top = 0;         // from the pen on the baseline (top: above it)
    int32_t advance = 0;
};

class font_glyph_cache {
public:
    explicit font_glyph_cache(font_face& face);
    ~font_glyph_cache();
    font_glyph_cache(const font_glyph_cache&) = delete;
    font_glyph_cache& operator=(const font_glyph_cache&) = delete;

    // The glyph of a character / of a glyph index, rasterised on first use.
    const font_glyph& for_character(char32_t code);
    const font_glyph& for_index(uint32_t index);

    // The atlas as a texture (made again when glyphs were added); null when it cannot be made.
    // The cache keeps its reference.
    IDirect3DTexture9* texture();
    int atlas_width() const { return width_; }
    int atlas_height() const { return height_; }
    // How many glyphs were rasterised, and how many textures made, so far.
    size_t rasterised() const { return glyphs_.size(); }
    size_t textures_made() const { return textures_made_; }

private:
    font_glyph add(uint32_t index);
    bool place(int width, int height, int& x, int& y);

    font_face& face_;
    std::unordered_map<uint32_t, font_glyph> glyphs_;
    std::array<const font_glyph*, 128> ascii_{};
    font_glyph_image scratch_;
    std::vector<D3DCOLOR> texels_;
    int width_ = 0, height_ = 0;
    int shelf_x_ = 0, shelf_y_ = 0, shelf_height_ = 0;
    bool changed_ = true;
    IDirect3DTexture9* texture_ = nullptr;
    size_t textures_made_ = 0;
};
