// font_face.cpp - finding a face through fontconfig, sizing and rasterising it with FreeType
// (see font_face.h).
#include "platform/d3dx9/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

namespace {

// One FreeType library and one fontconfig configuration for the process, made on first use and
// kept to its end (a font released by a static destructor must still find them). Opening and
// closing faces goes through the library's lock; each face is then used by its font alone.
struct font_system {
    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    std::mutex mutex;
};

font_system* fonts() {
    static font_system* system = [] {
        auto* s = new font_system;
        if (FT_Init_FreeType(&s->library) != 0) s->library = nullptr;
        s->config = FcInitLoadConfigAndFonts();
        return s;
    }();
    return system;
}

struct face_match {
    std::string file;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    std::string family;
};

// The face fontconfig finds for `family`. With `own_names_only`, only a face of the name's own
// (below) counts.
std::optional<face_match> match_face(const std::string& family, bool bold, bool italic, bool own_names_only) {
    font_system* system = fonts();
    if (system->config == nullptr) return std::nullopt;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return std::nullopt;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(system->config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* font = FcFontMatch(system->config, pattern, &result);
    std::optional<face_match> found;
    if (font != nullptr) {
        // The name itself and the aliases fontconfig binds strongly to it (its metric-compatible
        // faces) are the name's own; the weak ones are the defaults every name gets. A face that
        // fontconfig chose as the name's monospace counts too (Consolas -> a monospace face).
        bool accepted = !own_names_only;
        FcChar8* font_family = nullptr;
        for (int n = 0; !accepted && FcPatternGetString(font, FC_FAMILY, n, &font_family) == FcResultMatch; ++n) {
            FcValue wanted;
            FcValueBinding binding;
            for (int k = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, k, &wanted, &binding) == FcResultMatch; ++k) {
                if (binding == FcValueBindingStrong && wanted.type == FcTypeString &&
                    FcStrCmpIgnoreCase(wanted.u.s, font_family) == 0) {
                    accepted = true;
                    break;
                }
            }
        }
        int spacing = FC_PROPORTIONAL;
        if (!accepted && FcPatternGetInteger(font, FC_SPACING, 0, &spacing) == FcResultMatch && spacing == FC_MONO) {
            accepted = true;
        }
        FcChar8* file = nullptr;
        if (accepted && FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch) {
            face_match m;
            m.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(font, FC_INDEX, 0, &m.index);
            FcPatternGetInteger(font, FC_WEIGHT, 0, &m.weight);
            FcPatternGetInteger(font, FC_SLANT, 0, &m.slant);
            if (FcPatternGetString(font, FC_FAMILY, 0, &font_family) == FcResultMatch) {
                m.family = reinterpret_cast<const char*>(font_family);
            }
            found = std::move(m);
        }
        FcPatternDestroy(font);
    }
    FcPatternDestroy(pattern);
    return found;
}

std::optional<face_match> find_face(const font_face_request& request) {
    const bool bold = request.weight >= FW_SEMIBOLD;
    const char* only_dejavu = std::getenv("WIN32_STANDIN_DEJAVU_FONTS");
    if (only_dejavu != nullptr && std::strcmp(only_dejavu, "1") == 0) {
        return match_face("DejaVu Sans", bold, request.italic, false);
    }
    if (!request.name.empty()) {
        if (auto m = match_face(request.name, bold, request.italic, true)) return m;
    }
    const unsigned family = request.pitch_and_family & 0xF0;
    const char* fallback = (request.pitch_and_family & 0x3) == FIXED_PITCH || family == FF_MODERN ? "DejaVu Sans Mono"
                           : family == FF_ROMAN                                                   ? "DejaVu Serif"
                                                                                                  : "DejaVu Sans";
    return match_face(fallback, bold, request.italic, false);
}

}  // namespace

struct font_face::impl {
    FT_Face face = nullptr;
    bool synthetic_bold = false;
    bool monochrome = false;

    ~impl() {
        if (face != nullptr) {
            font_system* system = fonts();
            std::lock_guard<std::mutex> lock(system->mutex);
            FT_Done_Face(face);
        }
    }
};

font_face::font_face(std::unique_ptr<impl> impl) : impl_(std::move(impl)) {}
font_face::~font_face() = default;

std::unique_ptr<font_face> font_face::open(const font_face_request& request) {
    if (request.height == 0 || request.height > font_face_max_size || request.height < -font_face_max_size ||
        request.width > unsigned(font_face_max_size)) {
        return nullptr;
    }
    const std::optional<face_match> match = find_face(request);
    font_system* system = fonts();
    if (!match || system->library == nullptr) return nullptr;

    auto state = std::make_unique<impl>();
    {
        std::lock_guard<std::mutex> lock(system->mutex);
        if (FT_New_Face(system->library, match->file.c_str(), match->index, &state->face) != 0) {
            state->face = nullptr;
            return nullptr;
        }
    }
    FT_Face face = state->face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

    const double units = face->units_per_EM;
    double ascender = face->ascender;
    double descender = -double(face->descender);
    if (ascender + descender <= 0) {
        ascender = double(face->bbox.yMax);
        descender = -double(face->bbox.yMin);
    }
    if (ascender + descender <= 0) return nullptr;
    const long em = request.height > 0 ? std::max(1L, std::lround(request.height * units / (ascender + descender)))
                                       : long(-request.height);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double natural_average =
        os2 != nullptr && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth * double(em) / units : double(em) / 2;
    long em_x = em;
    if (request.width > 0) em_x = std::max(1L, std::lround(double(em) * request.width / natural_average));
    if (em_x > 4 * font_face_max_size) return nullptr;
    if (FT_Set_Pixel_Sizes(face, FT_UInt(em_x), FT_UInt(em)) != 0) return nullptr;

    state->synthetic_bold = request.weight >= FW_SEMIBOLD && match->weight < FC_WEIGHT_DEMIBOLD;
    state->monochrome = request.quality == NONANTIALIASED_QUALITY;
    if (request.italic && match->slant == FC_SLANT_ROMAN) {
        FT_Matrix shear{0x10000, 0x3333, 0, 0x10000};  // x += 0.2 y
        FT_Set_Transform(face, &shear, nullptr);
    }

    font_face_metrics m;
    m.ascent = int(std::lround(ascender * double(em) / units));
    m.descent = int(std::lround(descender * double(em) / units));
    if (request.height > 0) {
        m.height = request.height;
        m.ascent = std::min(m.ascent, m.height);
        m.descent = m.height - m.ascent;
    } else {
        m.height = m.ascent + m.descent;
    }
    m.internal_leading = std::max(0, m.height - int(em));
    m.average_width = request.width > 0 ? int(request.width) : std::max(1, int(std::lround(natural_average)));
    m.max_width = int(std::lround(double(face->bbox.xMax - face->bbox.xMin) * double(em_x) / units));
    m.fixed_pitch = FT_IS_FIXED_WIDTH(face);
    FT_UInt glyph = 0;
    FT_ULong code = FT_Get_First_Char(face, &glyph);
    m.first_char = char32_t(code);
    while (glyph != 0) {
        m.last_char = char32_t(code);
        code = FT_Get_Next_Char(face, code, &glyph);
    }

    std::unique_ptr<font_face> result(new font_face(std::move(state)));
    result->metrics_ = m;
    result->family_ = match->family;
    return result;
}

uint32_t font_face::glyph_index(char32_t code) const { return FT_Get_Char_Index(impl_->face, FT_ULong(code)); }

uint32_t font_face::glyph_count() const { return uint32_t(impl_->face->num_glyphs); }

bool font_face::render(uint32_t index, font_glyph_image& image) {
    image = font_glyph_image{};
    FT_Face face = impl_->face;
    const FT_Int32 target = impl_->monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | target) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (impl_->synthetic_bold) FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, impl_->monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    image.advance = int((slot->advance.x + 32) >> 6);
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return true;
    image.left = slot->bitmap_left;
    image.top = slot->bitmap_top;
    image.width = int(bitmap.width);
    image.rows = int(bitmap.rows);
    image.coverage.resize(size_t(image.width) * size_t(image.rows));
    const int pitch = bitmap.pitch;
    for (int y = 0; y < image.rows; ++y) {
        const unsigned char* row = pitch >= 0 ? bitmap.buffer + size_t(y) * size_t(pitch)
                                              : bitmap.buffer + size_t(image.rows - 1 - y) * size_t(-pitch);
        uint8_t* out = image.coverage.data() + size_t(y) * size_t(image.width);
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < image.width; ++x) out[x] = ((row[x >> 3] >> (7 - (x & 7))) & 1) != 0 ? 255 : 0;
        } else {
            const int levels = std::max(2, int(bitmap.num_grays));
            for (int x = 0; x < image.width; ++x) out[x] = uint8_t(row[x] * 255 / (levels - 1));
        }
    }
    return true;
}
