// airplane_skin.cpp - paints the aeroplane's skin texture: a cream finish with a red cowling,
// cheat line and wing tips, a dark anti-glare panel, panel lines, control-surface outlines,
// red-and-white checkerboards on wings and fin, and the registration SP-KDX on both sides of the
// fuselage, reading from the nose on the left side and from the tail on the right side.
//
// Every texel is the average of 3 x 3 samples of a paint function of the surface's own
// coordinates (station, chord fraction), so the markings keep their shape on the model.
#include "airplane_layout.h"
#include "models.h"

#include <cmath>
#include <cstdint>

namespace models {

namespace {

using namespace airplane_layout;

struct skin_colour {
    float r, g, b;
};

constexpr skin_colour cream{0.925f, 0.898f, 0.816f};
constexpr skin_colour red{0.77f, 0.12f, 0.14f};
constexpr skin_colour white{0.98f, 0.98f, 0.97f};
constexpr skin_colour navy{0.11f, 0.15f, 0.31f};

skin_colour darker(skin_colour c, float f) { return {c.r * f, c.g * f, c.b * f}; }

bool within(float value, float centre, float half_width) { return std::fabs(value - centre) <= half_width; }

// 5 x 7 glyphs of the registration letters, top row first.
const char* glyph(char letter) {
    switch (letter) {
    case 'S': return ".###.#...##.....###.....##...#.###.";
    case 'P': return "####.#...##...#####.#....#....#....";
    case 'K': return "#...##..#.#.#..##...#.#..#..#.#...#";
    case 'D': return "###..#..#.#...##...##...##..#.###..";
    case 'X': return "#...##...#.#.#...#...#.#.#...##...#";
    case '-': return "................###................";
    default: return "...................................";
    }
}

// Whether the point (x, y) of a text block lies on a letter; x counts glyph cells from the left
// (6 per letter, one of them spacing), y rows from the top (7).
bool on_text(const char* text, float x, float y) {
    if (x < 0.0f || y < 0.0f || y >= 7.0f) return false;
    const int letter = static_cast<int>(x) / 6, column = static_cast<int>(x) % 6;
    for (int i = 0; i < letter; ++i) {
        if (text[i] == '\0') return false;
    }
    if (text[letter] == '\0' || column == 5) return false;
    return glyph(text[letter])[static_cast<int>(y) * 5 + column] == '#';
}

constexpr const char registration[] = "SP-KDX";

// A 4 x 4 red-and-white checkerboard covering [0, 1)^2, with a thin red border.
skin_colour checkerboard(float a, float b, skin_colour outside) {
    if (a < -0.04f || a > 1.04f || b < -0.04f || b > 1.04f) return outside;
    if (a < 0.0f || a >= 1.0f || b < 0.0f || b >= 1.0f) return red;
    return (static_cast<int>(a * 4) + static_cast<int>(b * 4)) % 2 == 0 ? red : white;
}

// s: 0 nose to 1 tail; t: 0 top, 0.25 left side, 0.5 bottom, 0.75 right side.
skin_colour paint_fuselage(float s, float t) {
    constexpr float cowling_end = 0.115f;
    const bool right_side = t > 0.5f;
    const float side = right_side ? 1.0f - t : t;  // 0 top, 0.25 side, 0.5 bottom, both sides
    const float texel = 1.0f / skin_size;
    if (s < cowling_end) return within(s, 0.065f, 1.2f * texel) ? darker(red, 0.7f) : red;

    skin_colour c = cream;
    if (side < 0.07f && s < 0.27f) c = navy;
    if (within(side, 0.150f, 0.022f * (1.0f - 0.45f * s))) c = red;
    if (within(side, 0.181f, 0.004f)) c = navy;

    constexpr float letter_height = 0.28f;  // model units, whatever the girth at the station
    float x = (s - 0.50f) / (letter_height / 7.0f / fuselage_length);
    const float y = (side - 0.195f) * fuselage_perimeter(s) / letter_height * 7.0f;
    if (right_side) x = 35.0f - x;  // read from the tail: `side` already runs downwards on both sides
    if (on_text(registration, x, y)) c = navy;

    const float frame = std::fmod(s - cowling_end + 0.04f, 0.085f);
    if (frame < 1.3f * texel || within(side, 0.5f, 0.003f)) c = darker(c, 0.74f);
    return c;
}

// s: 0 right tip to 1 left tip; chord fraction from the ring parameter t.
skin_colour paint_wing(float s, float t) {
    const float eta = std::fabs(2.0f * s - 1.0f);
    const float chord = chord_fraction(t);
    const float span_texel = 2.0f / skin_size;
    if (eta > 0.90f) return red;

    const float square = 0.75f;  // model units
    const float local_chord = wing_chord(0.68f);
    skin_colour c =
        checkerboard((eta - 0.68f) * semi_span / square + 0.5f, (chord - 0.45f) * local_chord / square + 0.5f, cream);

    const bool aileron = eta > 0.55f && eta<0.88f, flap = eta> 0.11f && eta < 0.55f;
    const float hinge = 0.74f;
    const bool hinge_line = (aileron || flap) && within(chord, hinge, 0.006f);
    const bool end_line = chord > hinge && (within(eta, 0.55f, span_texel) || within(eta, 0.88f, span_texel) ||
                                            within(eta, 0.11f, span_texel));
    const bool rib = std::fmod(eta + 0.02f, 0.1f) < 0.6f * span_texel || within(chord, 0.12f, 0.004f);
    if (hinge_line || end_line) return darker(c, 0.62f);
    if (rib) return darker(c, 0.85f);
    return c;
}

// s: 0 root to 1 top of the fin.
skin_colour paint_fin(float s, float t) {
    const float chord = chord_fraction(t);
    if (s > 0.9f) return red;
    skin_colour c = checkerboard((s - 0.36f) / 0.40f, (chord - 0.16f) / 0.52f, cream);
    if (within(chord, 0.70f, 0.006f)) c = darker(c, 0.62f);
    return c;
}

// s: 0 right tip to 1 left tip.
skin_colour paint_tailplane(float s, float t) {
    const float eta = std::fabs(2.0f * s - 1.0f);
    if (eta > 0.84f) return red;
    return within(chord_fraction(t), 0.66f, 0.008f) ? darker(cream, 0.62f) : cream;
}

skin_colour paint(float u, float v) {
    const struct {
        const skin_region& region;
        skin_colour (*painter)(float s, float t);
    } parts[] = {
        {fuselage_region, paint_fuselage},
        {wing_region, paint_wing},
        {fin_region, paint_fin},
        {tailplane_region, paint_tailplane},
    };
    for (const auto& part : parts) {
        if (!part.region.contains(u, v)) continue;
        const vec2 l = part.region.local(u, v, skin_size);
        return part.painter(l.u, l.v);
    }
    return {1.0f, 1.0f, 1.0f};
}

uint8_t channel(float value) { return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

std::vector<uint8_t> paint_airplane_skin() {
    constexpr int size = skin_size, samples = 3;
    std::vector<uint8_t> rgb(static_cast<size_t>(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            skin_colour sum{0, 0, 0};
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const skin_colour c = paint((x + (sx + 0.5f) / samples) / size, (y + (sy + 0.5f) / samples) / size);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            const float scale = 1.0f / (samples * samples);
            uint8_t* out = &rgb[(static_cast<size_t>(y) * size + x) * 3];
            out[0] = channel(sum.r * scale), out[1] = channel(sum.g * scale), out[2] = channel(sum.b * scale);
        }
    }
    return rgb;
}

}  // namespace models
