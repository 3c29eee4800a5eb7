// font_face.h - a typeface at one size, found through fontconfig and rasterised by FreeType.
//
// Finding the face: the name is matched as given, fontconfig's aliases included (Arial ->
// Liberation Sans, Times New Roman -> Liberation Serif, Courier New -> Liberation Mono when those
// fonts are installed). A name that finds no face of its own or of an alias, and an empty name,
// give DejaVu Sans Mono for FIXED_PITCH or FF_MODERN, DejaVu Serif for FF_ROMAN and DejaVu Sans
// otherwise. With WIN32_STANDIN_DEJAVU_FONTS=1 every face is DejaVu Sans, whatever the name, so
// that pictures depend on one font package only. A weight of 600 or more asks for a bold face
// and an italic request for an italic one; a family without them is emboldened or slanted (a 0.2
// shear) by FreeType.
//
// Sizes (whole pixels): height > 0 is the cell height (ascent + descent), the em size chosen so
// that the face's ascender - descender comes to it; height < 0 is the em size; width > 0 scales
// the glyphs horizontally so that the average character width comes to it. Glyphs are hinted,
// grey-scale anti-aliased (NONANTIALIASED_QUALITY: black and white), their advances whole pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Heights and widths above this fail (the glyphs would not fit a texture).
inline constexpr int font_face_max_size = 512;

struct font_face_request {
    int height = 16;  // not 0
    unsigned width = 0;
    unsigned weight = FW_NORMAL;
    bool italic = false;
    unsigned quality = DEFAULT_QUALITY;
    unsigned pitch_and_family = DEFAULT_PITCH | FF_DONTCARE;
    std::string name;  // UTF-8
};

struct font_face_metrics {
    int height = 0;  // ascent + descent: the line height
    int ascent = 0;
    int descent = 0;
    int internal_leading = 0;
    int average_width = 0;
    int max_width = 0;
    bool fixed_pitch = false;
    char32_t first_char = 0;
    char32_t last_char = 0;
};

// One glyph's coverage, rows top to bottom; `left`/`top` place its top-left corner relative to
// the pen on the baseline (top: pixels above the baseline).
struct font_glyph_image {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;
};

class font_face {
public:
    // Null when the request's sizes are out of range or no face can be loaded at all.
    static std::unique_ptr<font_face> open(const font_face_request& request);
    ~font_face();
    font_face(const font_face&) = delete;
    font_face& operator=(const font_face&) = delete;

    const font_face_metrics& metrics() const { return metrics_; }
    // The family of the face found (for diagnostics and tests).
    const std::string& family() const { return family_; }
    // The face's glyph for `code` (0, the missing-glyph box, when it has none).
    uint32_t glyph_index(char32_t code) const;
    uint32_t glyph_count() const;
    // Rasterises glyph `index` into `image`; false (an empty image) when FreeType cannot.
    bool render(uint32_t index, font_glyph_image& image);

private:
    struct impl;
    explicit font_face(std::unique_ptr<impl> impl);
    std::unique_ptr<impl> impl_;
    font_face_metrics metrics_;
    std::string family_;
};
