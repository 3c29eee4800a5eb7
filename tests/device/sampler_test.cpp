// sampler_test.cpp - the general sampler: filters, address modes on each axis, mip selection, and
// coordinates or levels of detail that are not numbers. Worked values are checked by hand; edges
// under every pair of address modes against a plain reading of the index-space definition.
#include "platform/d3d9/sampler_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

enum : uint32_t { none = 0, point = 1, linear = 2, anisotropic = 3 };
enum : uint32_t { wrap = 1, mirror = 2, clamp = 3, border = 4, mirror_once = 5 };

constexpr uint32_t black = 0xFF000000, white = 0xFFFFFFFF, red = 0xFFFF0000;

struct colour {
    float r, g, b, a;
};

// The portable routines and the ones this CPU runs (the same on some machines).
const sampler_choose_fn variants[] = {sampler_choose_baseline, sampler_variant()};

// Samples every (u[i], v[i], lod[i]) in one run, so that neighbouring pixels share groups.
std::vector<colour> run(const sampler_setup& setup, const std::vector<float>& u, const std::vector<float>& v,
                        std::vector<float> lod = {}, sampler_choose_fn variant = nullptr) {
    const size_t n = u.size(), padded = (n + 3) / 4 * 4;
    std::vector<float> su(u), sv(v), r(padded), g(padded), b(padded), a(padded);
    su.resize(padded, 0.5f);
    sv.resize(padded, 0.5f);
    lod.resize(padded, 0.0f);
    sampler_plan_storage storage;
    const sampler_plan* plan =
        variant != nullptr ? sampler_compile_with(setup, &storage, variant) : sampler_compile(setup, &storage);
    sampler_run(plan, int(n), su.data(), sv.data(), lod.data(), r.data(), g.data(), b.data(), a.data());
    std::vector<colour> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = {r[i], g[i], b[i], a[i]};
    return out;
}

colour sample(const sampler_setup& setup, float u, float v, float lod = 0.0f) { return run(setup, {u}, {v}, {lod})[0]; }

uint32_t packed(colour c) {
    auto byte = [](float x) { return uint32_t(std::lround(x * 255.0f)); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

colour unpacked(uint32_t t) {
    return {float(t >> 16 & 255) / 255.0f, float(t >> 8 & 255) / 255.0f, float(t & 255) / 255.0f,
            float(t >> 24) / 255.0f};
}

sampler_setup single(const std::vector<uint32_t>& texels, int w, int h, uint32_t filter, uint32_t address_u,
                     uint32_t address_v) {
    sampler_setup s;
    s.levels[0] = {texels.data(), w, h, 0};
    s.level_count = 1;
    s.mag_filter = s.min_filter = filter;
    s.address_u = address_u;
    s.address_v = address_v;
    return s;
}

// The 2 x 1 black/white texture under each mode, bilinear at u = 0.125 and point at u = 1.25.
TEST(Sampler, TwoTexelsUnderEachMode) {
    const std::vector<uint32_t> texels{black, white};
    struct row {
        uint32_t filter, mode;
        float u;
        uint32_t expected;
    } rows[] = {
        {linear, wrap, 0.125f, 0xFF404040},   {linear, clamp, 0.125f, black},          {linear, mirror, 0.125f, black},
        {linear, border, 0.125f, 0xFF400000}, {linear, mirror_once, 0.125f, black},    {point, wrap, 1.25f, black},
        {point, clamp, 1.25f, white},         {point, mirror, 1.25f, white},           {point, border, 1.25f, red},
        {point, mirror_once, 1.25f, white},   {linear, wrap, 0.875f, 0xFFBFBFBF},      {linear, mirror, -0.125f, black},
        {linear, mirror_once, -0.75f, white}, {linear, mirror_once, -2.0f, white},     {linear, clamp, 7.0f, white},
        {linear, border, 1.125f, 0xFFFF4040}, {anisotropic, wrap, 0.125f, 0xFF404040}, {none, wrap, 0.125f, black},
    };
    for (const row& r : rows) {
        sampler_setup s = single(texels, 2, 1, r.filter, r.mode, r.mode);
        s.border_colour = red;
        EXPECT_EQ(packed(sample(s, r.u, 0.5f)), r.expected)
            << "filter " << r.filter << " mode " << r.mode << " u " << r.u;
    }
}

// A 4 x 4 texture on a quad whose pixel centres hit texel centres, and on one shifted by half a pixel.
TEST(Sampler, QuadPixelCentres) {
    std::vector<uint32_t> texels(16);
    for (int i = 0; i < 16; ++i) texels[size_t(i)] = 0xFF000000u | uint32_t(i * 16) << 16 | uint32_t(255 - i * 8);
    const uint32_t t21 = texels[1 * 4 + 2];
    EXPECT_EQ(packed(sample(single(texels, 4, 4, point, wrap, wrap), 0.625f, 0.375f)), t21);
    EXPECT_EQ(packed(sample(single(texels, 4, 4, linear, wrap, wrap), 0.625f, 0.375f)), t21);
    // Texels (1, 0), (2, 0), (1, 1), (2, 1): red 16, 32, 80, 96; blue 247, 239, 215, 207.
    EXPECT_EQ(packed(sample(single(texels, 4, 4, linear, wrap, wrap), 0.5f, 0.25f)), 0xFF3800E3u);
    EXPECT_EQ(packed(sample(single(texels, 4, 4, point, wrap, wrap), 0.5f, 0.25f)), texels[1 * 4 + 2]);
}

// A plain reading of the definition, in double precision: bilinear weights over indices passed
// through the address mode, the border colour for indices outside under BORDER.
colour reference(const std::vector<uint32_t>& texels, int w, int h, bool bilinear, uint32_t mode_u, uint32_t mode_v,
                 uint32_t border_colour, double u, double v) {
    auto address = [](uint32_t mode, long k, long n) -> long {
        switch (mode) {
        case mirror: {
            const long m = ((k % (2 * n)) + 2 * n) % (2 * n);
            return m < n ? m : 2 * n - 1 - m;
        }
        case clamp: return k < 0 ? 0 : k > n - 1 ? n - 1 : k;
        case border: return k < 0 || k >= n ? -1 : k;
        case mirror_once: return std::min(k < 0 ? -k - 1 : k, n - 1);
        default: return ((k % n) + n) % n;
        }
    };
    auto texel = [&](long i, long j) {
        const long x = address(mode_u, i, w), y = address(mode_v, j, h);
        return unpacked(x < 0 || y < 0 ? border_colour : texels[size_t(y * w + x)]);
    };
    if (!bilinear) return texel(long(std::floor(u * w)), long(std::floor(v * h)));
    const double tx = u * w - 0.5, ty = v * h - 0.5;
    const long i = long(std::floor(tx)), j = long(std::floor(ty));
    const double fx = tx - double(i), fy = ty - double(j);
    const colour c00 = texel(i, j), c10 = texel(i + 1, j), c01 = texel(i, j + 1), c11 = texel(i + 1, j + 1);
    auto mix = [&](float colour::*channel) {
        return float((1 - fx) * (1 - fy) * c00.*channel + fx * (1 - fy) * c10.*channel + (1 - fx) * fy * c01.*channel +
                     fx * fy * c11.*channel);
    };
    return {mix(&colour::r), mix(&colour::g), mix(&colour::b), mix(&colour::a)};
}

// Coordinates at and around the edges, under every pair of modes, against the reference.
TEST(Sampler, EdgesUnderEveryModePairMatchTheDefinition) {
    const std::vector<uint32_t> texels{0x10FF0000, 0x2000FF00, 0x300000FF, 0x40808080, 0x50FFFFFF, 0x60000000};
    const float coordinates[] = {-2.3f, -1.0f, -0.51f, -0.125f,  -1e-7f, -1e-9f,     0.0f, 1e-7f, 0.125f,
                                 0.3f,  0.5f,  0.83f,  0.99999f, 1.0f,   1.0000001f, 1.7f, 2.5f,  3.25f};
    std::vector<float> us, vs;
    for (float u : coordinates)
        for (float v : coordinates) us.push_back(u), vs.push_back(v);
    for (uint32_t mode_u = wrap; mode_u <= mirror_once; ++mode_u)
        for (uint32_t mode_v = wrap; mode_v <= mirror_once; ++mode_v)
            for (uint32_t filter : {point, linear})
                for (sampler_choose_fn variant : variants) {
                    sampler_setup s = single(texels, 3, 2, filter, mode_u, mode_v);
                    s.border_colour = 0x7F123456;
                    const std::vector<colour> got = run(s, us, vs, {}, variant);
                    for (size_t i = 0; i < us.size(); ++i) {
                        const colour want = reference(texels, 3, 2, filter == linear, mode_u, mode_v, s.border_colour,
                                                      double(us[i]), double(vs[i]));
                        const float tolerance = 1e-4f;
                        ASSERT_TRUE(
                            std::fabs(got[i].r - want.r) < tolerance && std::fabs(got[i].g - want.g) < tolerance &&
                            std::fabs(got[i].b - want.b) < tolerance && std::fabs(got[i].a - want.a) < tolerance)
                            << "modes " << mode_u << "/" << mode_v << " filter " << filter << " at (" << us[i] << ", "
                            << vs[i] << "): " << std::hex << packed(got[i]) << " want " << packed(want);
                    }
                }
}

// Runs of neighbouring pixels on a level wide enough for groups to read their texels as windows of
// a row: rising and falling columns, rows that change within a group, the right edge.
TEST(Sampler, RunsAcrossAWideLevelMatchTheDefinition) {
    std::vector<uint32_t> texels(20 * 6);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint32_t(i * 2654435761u);
    struct run_shape {
        float u, du, v, dv;
    };
    const run_shape shapes[] = {{0.1f, 0.011f, 0.4f, 0.0f},  {0.9f, -0.013f, 0.55f, 0.0f}, {0.2f, 0.02f, 0.3f, 0.021f},
                                {0.6f, 0.004f, 0.1f, 0.05f}, {0.75f, 0.009f, 0.9f, 0.0f},  {-0.3f, 0.06f, 0.2f, 0.0f}};
    std::vector<float> us, vs;
    for (const run_shape& r : shapes)
        for (int k = 0; k < 32; ++k) us.push_back(r.u + float(k) * r.du), vs.push_back(r.v + float(k % 5) * r.dv);
    for (uint32_t mode : {wrap, mirror, clamp, border})
        for (sampler_choose_fn variant : variants) {
            const sampler_setup s = single(texels, 20, 6, linear, mode, wrap);
            const std::vector<colour> got = run(s, us, vs, {}, variant);
            for (size_t i = 0; i < us.size(); ++i) {
                const colour want = reference(texels, 20, 6, true, mode, wrap, 0, double(us[i]), double(vs[i]));
                ASSERT_LT(std::fabs(got[i].r - want.r) + std::fabs(got[i].g - want.g) + std::fabs(got[i].b - want.b) +
                              std::fabs(got[i].a - want.a),
                          4e-4f)
                    << "mode " << mode << " at (" << us[i] << ", " << vs[i] << ")";
            }
        }
}

// Formats without alpha: alpha_or makes texels opaque, never the border colour.
TEST(Sampler, AlphaOrAppliesToTexelsOnly) {
    const std::vector<uint32_t> texels{0x00112233, 0x00445566};
    sampler_setup s = single(texels, 2, 1, point, border, border);
    s.levels[0].alpha_or = 0xFF000000;
    s.border_colour = 0x00ABCDEF;
    EXPECT_EQ(packed(sample(s, 0.25f, 0.5f)), 0xFF112233u);
    EXPECT_EQ(packed(sample(s, 1.5f, 0.5f)), 0x00ABCDEFu);
}

// A 256 x 256 chain of nine levels, each of one colour (red = 20 x level), seen as if on a 64 x 64 quad.
struct mip_chain {
    std::vector<std::vector<uint32_t>> texels;
    sampler_setup setup;
    mip_chain(uint32_t mag, uint32_t min, uint32_t mip) {
        for (int level = 0, side = 256; level < 9; ++level, side /= 2) {
            texels.emplace_back(size_t(side * side), 0xFF000000u | uint32_t(level * 20) << 16);
            setup.levels[level] = {texels.back().data(), side, side, 0};
        }
        setup.level_count = 9;
        setup.mag_filter = mag;
        setup.min_filter = min;
        setup.mip_filter = mip;
    }
};

TEST(Sampler, MipSelection) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct row {
        uint32_t mip;
        float lod, bias;
        uint32_t max_level;
        float expected_red;  // in units of 20
    } rows[] = {
        {point, 2.0f, 0.0f, 0, 2.0f},   {point, 2.0f, -1.0f, 0, 1.0f},   {point, 2.0f, 0.0f, 3, 3.0f},
        {none, 2.0f, 0.0f, 0, 0.0f},    {point, 0.0f, 0.0f, 0, 0.0f},    {point, 2.49f, 0.0f, 0, 2.0f},
        {point, 2.51f, 0.0f, 0, 3.0f},  {point, 30.0f, 0.0f, 0, 8.0f},   {point, -4.0f, 0.0f, 2, 2.0f},
        {point, 2.0f, 0.0f, 12, 8.0f},  {point, nan, 0.0f, 1, 1.0f},     {point, inf, 0.0f, 0, 8.0f},
        {point, -inf, 0.0f, 0, 0.0f},   {linear, 1.25f, 0.0f, 0, 1.25f}, {linear, 0.5f, 0.0f, 0, 0.5f},
        {linear, 1.5f, 0.0f, 3, 3.0f},  {linear, 8.5f, 0.0f, 0, 8.0f},   {linear, 2.75f, 0.5f, 0, 3.25f},
        {linear, -1.0f, 0.0f, 0, 0.0f}, {linear, nan, 0.0f, 0, 0.0f},    {linear, inf, 0.0f, 0, 8.0f},
    };
    for (const row& r : rows) {
        mip_chain chain(point, point, r.mip);
        chain.setup.lod_bias = r.bias;
        chain.setup.max_level = r.max_level;
        const colour c = sample(chain.setup, 0.3f, 0.7f, r.lod);
        EXPECT_NEAR(c.r * 255.0f, r.expected_red * 20.0f, 0.01f)
            << "mip " << r.mip << " lod " << r.lod << " bias " << r.bias << " max " << r.max_level;
    }
}

// Neighbouring pixels at different levels in one run each get their own level; a span whose length
// is not a multiple of the vector width ends correctly. Trilinear: groups of eight between one pair
// of levels (blended, or all on one level) and groups that mix levels, magnify or lack a number.
TEST(Sampler, MipLevelsPerPixel) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct row {
        uint32_t mag, min, mip;
        std::vector<float> lod, expected;  // red in units of 20
    } rows[] = {
        {point, linear, point, {0.6f, 3, 1, 3.2f, 8, -1, 2, 2, 5.4f, 4, 6.6f, 7}, {1, 3, 1, 3, 8, 0, 2, 2, 5, 4, 7, 7}},
        {linear,
         linear,
         linear,
         {2.25f, 2.5f, 2.75f, 2, 2.1f, 2.9f, 2.5f, 2.5f,  5,   5,    5, 5,
          5,     5,    5,     5, 0.5f, -1,   9.5f, 4.25f, nan, 1.5f, 8, 3.75f},
         {2.25f, 2.5f, 2.75f, 2, 2.1f, 2.9f, 2.5f, 2.5f, 5, 5, 5, 5, 5, 5, 5, 5, 0.5f, 0, 8, 4.25f, 0, 1.5f, 8, 3.75f}},
    };
    for (const row& r : rows) {
        const mip_chain chain(r.mag, r.min, r.mip);
        const size_t n = r.lod.size();
        for (sampler_choose_fn variant : variants) {
            const std::vector<colour> c =
                run(chain.setup, std::vector<float>(n, 0.4f), std::vector<float>(n, 0.6f), r.lod, variant);
            for (size_t i = 0; i < n; ++i)
                EXPECT_NEAR(c[i].r * 255.0f, r.expected[i] * 20.0f, 0.01f) << r.mip << " " << i;
        }
    }
}

// The magnification filter applies up to lambda = 0 (bias included), the minification filter beyond.
TEST(Sampler, MagnificationSwitchesAtLambdaZero) {
    const std::vector<uint32_t> texels{black, white};
    struct row {
        uint32_t mag, min;
        float lod, bias;
        uint32_t expected;
    } rows[] = {
        {point, linear, -1.0f, 0.0f, black},      {point, linear, 0.0f, 0.0f, black},
        {point, linear, 0.01f, 0.0f, 0xFF404040}, {point, linear, 0.5f, -1.0f, black},
        {linear, point, 0.0f, 0.0f, 0xFF404040},  {linear, point, 1.0f, 0.0f, black},
        {linear, point, -0.5f, 1.0f, black},
    };
    for (const row& r : rows) {
        sampler_setup s = single(texels, 2, 1, r.min, wrap, wrap);
        s.mag_filter = r.mag;
        s.lod_bias = r.bias;
        EXPECT_EQ(packed(sample(s, 0.125f, 0.5f, r.lod)), r.expected) << r.mag << " " << r.min << " " << r.lod;
    }
}

TEST(Sampler, NeedsLodOnlyWhenLevelOrFilterDependsOnIt) {
    struct row {
        uint32_t mag, min, mip, max_level;
        int levels;
        bool expected;
    } rows[] = {
        {linear, linear, none, 0, 9, false},   {linear, anisotropic, none, 0, 9, false},
        {point, linear, none, 0, 1, true},     {linear, linear, point, 0, 9, true},
        {linear, linear, linear, 0, 1, false}, {linear, linear, linear, 8, 9, false},
        {linear, linear, linear, 7, 9, true},  {none, point, linear, 20, 9, false},
    };
    for (const row& r : rows) {
        mip_chain chain(r.mag, r.min, r.mip);
        chain.setup.level_count = r.levels;
        chain.setup.max_level = r.max_level;
        sampler_plan_storage storage;
        EXPECT_EQ(sampler_needs_lod(sampler_compile(chain.setup, &storage)), r.expected)
            << r.mag << " " << r.min << " " << r.mip << " " << r.max_level << " " << r.levels;
    }
}

// A chain ends at its first level without texels; with none, the sampler gives opaque black.
TEST(Sampler, ChainEndsAtAMissingLevel) {
    mip_chain chain(point, point, point);
    chain.setup.levels[3].texels = nullptr;
    EXPECT_NEAR(sample(chain.setup, 0.5f, 0.5f, 6.0f).r * 255.0f, 40.0f, 0.01f);  // level 2, the last one left
    chain.setup.levels[0].width = 0;
    EXPECT_EQ(packed(sample(chain.setup, 0.5f, 0.5f, 6.0f)), black);
}

// Coordinates that are not numbers, infinite or huge read inside the level (the texels sit in a
// vector of their exact size, so the sanitizers see any stray read) and give one of its texels or
// the border colour.
TEST(Sampler, NonFiniteAndHugeCoordinatesStayInsideTheLevel) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const float values[] = {nan, -nan, inf, -inf, 1e30f, -1e30f, 3e9f, -3e9f, 8388607.5f, -16777217.0f};
    std::vector<float> us, vs;
    for (float u : values)
        for (float v : values) us.push_back(u), vs.push_back(v);
    const std::vector<uint32_t> texels{0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF010203};
    for (uint32_t mode_u = wrap; mode_u <= mirror_once; ++mode_u)
        for (uint32_t mode_v = wrap; mode_v <= mirror_once; ++mode_v)
            for (uint32_t filter : {point, linear})
                for (sampler_choose_fn variant : variants) {
                    mip_chain chain(filter, filter, linear);
                    chain.setup.address_u = mode_u;
                    chain.setup.address_v = mode_v;
                    chain.setup.border_colour = red;
                    chain.setup.levels[1] = {texels.data(), 3, 2, 0};
                    const std::vector<colour> c =
                        run(chain.setup, us, vs, std::vector<float>(us.size(), 1.0f), variant);
                    for (size_t i = 0; i < c.size(); ++i) {
                        const uint32_t got = packed(c[i]);
                        bool known = got == red;
                        for (uint32_t t : texels) known = known || got == t;
                        EXPECT_TRUE(filter == linear || known) << std::hex << got;
                        for (float x : {c[i].r, c[i].g, c[i].b, c[i].a}) ASSERT_TRUE(x >= 0.0f && x <= 1.0f);
                    }
                }
}

}  // namespace
