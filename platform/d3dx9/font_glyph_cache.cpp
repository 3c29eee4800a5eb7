// font_glyph_cache.cpp - rasterising glyphs once into a growing atlas (see font_glyph_cache.h).
#include "platform/d3dx9/font_glyph_cache.h"

#include "platform/d3d9/texture.h"

#include <algorithm>

namespace {

// The atlas's largest side: 64 MiB of texels at most.
constexpr int atlas_max_side = 4096;

int power_of_two_at_least(int value) {
    int p = 1;
    while (p < value) p *= 2;
    return p;
}

}  // namespace

font_glyph_cache::font_glyph_cache(font_face& face) : face_(face) {
    // Room for about sixteen cells in a row; rows are added as glyphs come.
    const font_face_metrics& m = face.metrics();
    const int cell = std::max(m.height, m.max_width) + 2;
    width_ = std::clamp(power_of_two_at_least(cell * 16), 256, atlas_max_side);
    height_ = std::clamp(power_of_two_at_least(cell), 64, atlas_max_side);
    texels_.assign(size_t(width_) * size_t(height_), 0x00FFFFFFu);
}

font_glyph_cache::~font_glyph_cache() {
    if (texture_ != nullptr) texture_->Release();
}

const font_glyph& font_glyph_cache::for_character(char32_t code) {
    if (code < ascii_.size() && ascii_[code] != nullptr) return *ascii_[code];
    const font_glyph& glyph = for_index(face_.glyph_index(code));
    if (code < ascii_.size()) ascii_[code] = &glyph;
    return glyph;
}

const font_glyph& font_glyph_cache::for_index(uint32_t index) {
    const auto found = glyphs_.find(index);
    if (found != glyphs_.end()) return found->second;
    return glyphs_.emplace(index, add(index)).first->second;
}

bool font_glyph_cache::place(int width, int height, int& x, int& y) {
    const int w = width + 1, h = height + 1;  // a pixel of space right of and below each glyph
    if (w + 1 > width_) return false;
    if (shelf_x_ + w + 1 > width_) {
        shelf_y_ += shelf_height_;
        shelf_x_ = 0;
        shelf_height_ = 0;
    }
    while (shelf_y_ + h + 1 > height_) {
        if (height_ >= atlas_max_side) return false;
        const int grown = std::min(height_ * 2, atlas_max_side);
        texels_.resize(size_t(width_) * size_t(grown), 0x00FFFFFFu);
        height_ = grown;
    }
    x = shelf_x_ + 1;
    y = shelf_y_ + 1;
    shelf_x_ += w;
    shelf_height_ = std::max(shelf_height_, h);
    return true;
}

font_glyph font_glyph_cache::add(uint32_t index) {
    font_glyph glyph;
    if (!face_.render(index, scratch_)) return glyph;
    glyph.advance = scratch_.advance;
    int x = 0, y = 0;
    if (scratch_.width <= 0 || scratch_.rows <= 0 || !place(scratch_.width, scratch_.rows, x, y)) return glyph;
    for (int row = 0; row < scratch_.rows; ++row) {
        const uint8_t* from = scratch_.coverage.data() + size_t(row) * size_t(scratch_.width);
        D3DCOLOR* to = texels_.data() + size_t(y + row) * size_t(width_) + size_t(x);
        for (int col = 0; col < scratch_.width; ++col) to[col] = (D3DCOLOR(from[col]) << 24) | 0x00FFFFFFu;
    }
    glyph.atlas_x = int16_t(x);
    glyph.atlas_y = int16_t(y);
    glyph.width = int16_t(scratch_.width);
    glyph.height = int16_t(scratch_.rows);
    glyph.left = int16_t(scratch_.left);
    glyph.top = int16_t(scratch_.top);
    changed_ = true;
    return glyph;
}

IDirect3DTexture9* font_glyph_cache::texture() {
    if (!changed_ && texture_ != nullptr) return texture_;
    IDirect3DTexture9* made = nullptr;
    std::vector<D3DCOLOR> copy(texels_);
    if (FAILED(d3d9_create_texture(UINT(width_), UINT(height_), std::move(copy), &made))) return texture_;
    if (texture_ != nullptr) texture_->Release();
    texture_ = made;
    changed_ = false;
    ++textures_made_;
    return texture_;
}
