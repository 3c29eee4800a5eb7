// raster_kernels_test.cpp - the rasteriser's variants agree: the kernels this CPU runs against the
// portable ones, and the small-triangle (bounding box) path against the large-triangle (span
// walker) path. Coverage must match exactly; colours may differ by one step where one variant
// fuses a multiply-add.
#include "platform/d3d9/framebuffer.h"
#include "platform/d3d9/raster.h"
#include "platform/d3d9/raster_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int width = 203;
constexpr int height = 157;
constexpr uint32_t background = 0x00123456;

raster_vertex random_vertex(std::mt19937& rng, float spread) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    raster_vertex v{};
    v.x = int32_t((unit(rng) * (width + 2 * spread) - spread) * raster_subpixel_one);
    v.y = int32_t((unit(rng) * (height + 2 * spread) - spread) * raster_subpixel_one);
    const float q = 0.2f + unit(rng);
    v.value[raster_value_z] = unit(rng);
    v.value[raster_value_q] = q;
    for (int a = 0; a < attr_count; ++a) v.value[raster_value_attr + a] = unit(rng) * 2.0f * q;
    return v;
}

// The pixel stages after shading that kernels have variants for: none, vertex fog with blending by
// source alpha, and additive blending.
struct pixel_mode {
    bool fog;
    raster_blend blend;
};
constexpr pixel_mode pixel_modes[] = {
    {false, raster_blend::none}, {true, raster_blend::source_alpha}, {false, raster_blend::add}};

void set_pixel_mode(raster_state& st, pixel_mode mode) {
    st.fog = mode.fog;
    st.blend = mode.blend;
    st.fog_rgb[0] = 200.0f, st.fog_rgb[1] = 90.0f, st.fog_rgb[2] = 30.0f;
}

struct kernel_variant {
    const raster_kernel_table* kernels;
    int small_extent;
};

// Stage 0's sampling: none; point or bilinear filtering with wrapping (inline in the kernels);
// bilinear and trilinear filtering, mirrored and clamped (the plan's routine, with the level of
// detail per lane).
enum class texturing { none, point_wrap, bilinear_wrap, trilinear };

// Draws `count` random triangles (a fixed sequence) with depth test off into a fresh buffer.
d3d9_framebuffer render(const kernel_variant& variant, texturing texture, bool specular, int count, float spread,
                        pixel_mode mode) {
    static const uint32_t texels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}, average = 0xFF7F7F7F;
    d3d9_framebuffer fb;
    fb_create(fb, width, height, true);
    fb_clear_colour(fb, background);
    raster_state st;
    st.target = &fb;
    st.depth_test = false;
    st.specular = specular;
    st.small_extent = variant.small_extent;
    set_pixel_mode(st, mode);
    sampler_setup sampler;
    sampler_plan_storage storage;
    sampler.levels[0] = {texels, 2, 2, 0};
    sampler.levels[1] = {&average, 1, 1, 0};
    sampler.level_count = texture == texturing::trilinear ? 2 : 1;
    if (texture == texturing::bilinear_wrap) sampler.mag_filter = sampler.min_filter = 2;  // LINEAR
    if (texture == texturing::trilinear) {
        sampler.mag_filter = sampler.min_filter = sampler.mip_filter = 2;  // LINEAR
        sampler.address_u = 2, sampler.address_v = 3;                      // MIRROR, CLAMP
    }
    if (texture != texturing::none) st.sampler = &sampler, st.sampler_storage = &storage;
    const raster_program program = raster_compile(st, *variant.kernels);
    std::mt19937 rng(1234);
    for (int i = 0; i < count; ++i) {
        const raster_vertex a = random_vertex(rng, spread), b = random_vertex(rng, spread),
                            c = random_vertex(rng, spread);
        raster_triangle(program, a, b, c);
    }
    return fb;
}

// Same pixels written, channels within one step.
void expect_same_picture(const d3d9_framebuffer& x, const d3d9_framebuffer& y) {
    int differences = 0;
    for (int i = 0; i < width * height; ++i) {
        const uint32_t p = x.colour[size_t(i)], q = y.colour[size_t(i)];
        ASSERT_EQ(p == background, q == background) << "pixel " << i % width << "," << i / width;
        for (int shift = 0; shift < 24; shift += 8) {
            const int d = std::abs(int((p >> shift) & 255) - int((q >> shift) & 255));
            ASSERT_LE(d, 1) << "pixel " << i % width << "," << i / width;
            differences += d;
        }
    }
    EXPECT_LT(differences, width * height / 100);
}

TEST(RasterKernels, SelectedKernelsMatchThePortableOnes) {
    for (texturing textured :
         {texturing::none, texturing::point_wrap, texturing::bilinear_wrap, texturing::trilinear}) {
        for (bool specular : {false, true}) {
            for (pixel_mode m : pixel_modes) {
                expect_same_picture(render({&raster_kernels(), 64}, textured, specular, 300, 20.0f, m),
                                    render({&raster_kernels_baseline(), 64}, textured, specular, 300, 20.0f, m));
                expect_same_picture(render({&raster_kernels(), 0}, textured, specular, 60, 200.0f, m),
                                    render({&raster_kernels_baseline(), 0}, textured, specular, 60, 200.0f, m));
            }
        }
    }
}

TEST(RasterKernels, SmallTrianglePathMatchesTheSpanWalkers) {
    // Triangles of every size up to the small limit, some partly outside the buffer.
    for (const raster_kernel_table* kernels : {&raster_kernels(), &raster_kernels_baseline()}) {
        std::mt19937 rng(99);
        d3d9_framebuffer small, large;
        fb_create(small, width, height, false);
        fb_create(large, width, height, false);
        fb_clear_colour(small, background);
        fb_clear_colour(large, background);
        raster_state st;
        st.target = &small;
        const raster_program by_box = raster_compile(st, *kernels);
        st.target = &large;
        st.small_extent = 0;
        const raster_program by_span = raster_compile(st, *kernels);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (int i = 0; i < 400; ++i) {
            const float size = 1.0f + 63.0f * unit(rng);
            const float cx = unit(rng) * width, cy = unit(rng) * height;
            raster_vertex v[3];
            for (raster_vertex& p : v) {
                p = random_vertex(rng, 0.0f);
                p.x = int32_t((cx + (unit(rng) - 0.5f) * size) * raster_subpixel_one);
                p.y = int32_t((cy + (unit(rng) - 0.5f) * size) * raster_subpixel_one);
            }
            raster_triangle(by_box, v[0], v[1], v[2]);
            raster_triangle(by_span, v[0], v[1], v[2]);
        }
        expect_same_picture(small, large);
    }
}

TEST(RasterKernels, TrianglesSetUpTogetherDrawExactlyAsOneByOne) {
    // Small, large, degenerate and off-screen triangles, half with corners on pixel centres (so
    // edges run through centres and the fill rule decides), depth-tested so that order matters, in
    // counts that leave partial groups.
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<raster_vertex> v;
    for (int i = 0; i < 3 * 301; ++i) v.push_back(random_vertex(rng, i % 7 == 0 ? 300.0f : 0.0f));
    for (size_t i = 0; i < v.size(); i += 3) {
        const float size = i % 5 == 0 ? 0.0f : 1.0f + 20.0f * unit(rng);
        for (size_t k = 1; k < 3 && i % 7 != 0; ++k) {
            v[i + k].x = v[i].x + int32_t((unit(rng) - 0.5f) * size * raster_subpixel_one);
            v[i + k].y = v[i].y + int32_t((unit(rng) - 0.5f) * size * raster_subpixel_one);
        }
        for (size_t k = 0; k < 3 && i % 2 == 0; ++k) {  // on pixel centres: edges through centres
            v[i + k].x &= ~(raster_subpixel_one - 1);
            v[i + k].y &= ~(raster_subpixel_one - 1);
        }
    }
    std::vector<raster_triangle_ref> triangles;
    for (size_t i = 0; i < v.size(); i += 3) triangles.push_back({{&v[i], &v[i + 1], &v[i + 2]}});
    for (const raster_kernel_table* kernels : {&raster_kernels(), &raster_kernels_baseline()}) {
        for (int row = 0; row < 5; ++row) {  // each cull mode, then the other pixel modes
            const raster_cull cull = row < 3 ? raster_cull(row) : raster_cull::none;
            d3d9_framebuffer one, together;
            for (d3d9_framebuffer* fb : {&one, &together}) {
                fb_create(*fb, width, height, true);
                fb_clear_colour(*fb, background);
            }
            raster_state st;
            st.depth_test = true;
            st.cull = cull;
            set_pixel_mode(st, pixel_modes[row < 3 ? 0 : row - 2]);
            st.target = &one;
            const raster_program one_program = raster_compile(st, *kernels);
            for (const raster_triangle_ref& t : triangles) raster_triangle(one_program, *t.v[0], *t.v[1], *t.v[2]);
            st.target = &together;
            for (size_t first = 0; first < triangles.size(); first += 64) {
                raster_triangles(raster_compile(st, *kernels), triangles.data() + first,
                                 std::min<size_t>(64, triangles.size() - first));
            }
            EXPECT_EQ(one.colour, together.colour);
            EXPECT_EQ(one.depth, together.depth);
            for (size_t band = 0; band < one.colour_dirty.size(); ++band) {  // drawn together: maybe more
                EXPECT_EQ(one.colour_dirty[band] & ~together.colour_dirty[band], 0u) << "band " << band;
            }
        }
    }
}

TEST(RasterKernels, LessEqualKernelsMatchTheGenericDepthTest) {
    // LESSEQUAL with and without depth writes has kernels of its own; over a depth buffer of
    // random values, with depths below 0, above 1 and NaN among the vertices, they must leave
    // exactly the colours and depths the kernels for any comparison function leave.
    const float nan = std::nanf("");
    for (const raster_kernel_table* kernels : {&raster_kernels(), &raster_kernels_baseline()}) {
        for (bool write : {false, true}) {
            for (int small_extent : {64, 0}) {
                for (pixel_mode mode : pixel_modes) {
                    d3d9_framebuffer by_own, by_generic;
                    raster_state st;
                    st.depth_test = true;
                    st.depth_write = write;
                    st.small_extent = small_extent;
                    set_pixel_mode(st, mode);
                    raster_program programs[2];
                    for (int i = 0; i < 2; ++i) {
                        d3d9_framebuffer& fb = i == 0 ? by_own : by_generic;
                        fb_create(fb, width, height, true);
                        std::mt19937 rng(5);
                        for (uint16_t& d : fb.depth) d = uint16_t(rng());
                        for (uint32_t& c : fb.colour) c = rng() & 0xFFFFFF;
                        st.target = &fb;
                        programs[i] = raster_compile(st, *kernels);
                    }
                    const int depth_mode = write ? raster_depth_less_equal_write : raster_depth_less_equal_read;
                    ASSERT_EQ(programs[0].small_rows,
                              kernels->small[false][false][depth_mode][mode.fog][int(mode.blend)]);
                    programs[1].rows = kernels->rows[false][false][raster_depth_generic][mode.fog][int(mode.blend)];
                    programs[1].small_rows =
                        kernels->small[false][false][raster_depth_generic][mode.fog][int(mode.blend)];
                    std::mt19937 rng(11);
                    for (int i = 0; i < 200; ++i) {
                        raster_vertex v[3];
                        for (raster_vertex& p : v) {
                            p = random_vertex(rng, 20.0f);
                            p.value[raster_value_z] = p.value[raster_value_z] * 1.4f - 0.2f;
                        }
                        if (i % 17 == 0) v[i % 3].value[raster_value_z] = nan;
                        for (const raster_program& p : programs) raster_triangle(p, v[0], v[1], v[2]);
                    }
                    EXPECT_EQ(by_own.colour, by_generic.colour) << "write " << write << " extent " << small_extent;
                    EXPECT_EQ(by_own.depth, by_generic.depth) << "write " << write << " extent " << small_extent;
                }
            }
        }
    }
}

TEST(RasterKernels, ValuesOutsideTheirRangeAreClampedInEveryVariant) {
    // One flat triangle per case (every vertex alike), depth-tested: channels below 0 or NaN give 0,
    // above 1 give 255; depths below 0 or NaN are stored as 0, above 1 as 65535. The same blended
    // by source alpha over white, with an alpha far above 1 (read as 1).
    const float nan = std::nanf("");
    struct out_of_range {
        float channel, z;
        uint32_t colour;
        uint16_t depth;
    };
    const out_of_range cases[] = {{-3.0f, -0.25f, 0x000000, 0},
                                  {nan, nan, 0x000000, 0},
                                  {1e30f, 1.5f, 0xFFFFFF, 65535},
                                  {0.5f, 0.5f, 0x808080, 32768}};
    for (const raster_kernel_table* kernels : {&raster_kernels(), &raster_kernels_baseline()}) {
        for (int small_extent : {64, 0}) {
            for (raster_blend blend : {raster_blend::none, raster_blend::source_alpha}) {
                for (const out_of_range& c : cases) {
                    d3d9_framebuffer fb;
                    fb_create(fb, width, height, true);
                    fb_clear_colour(fb, 0xFFFFFF);
                    raster_state st;
                    st.target = &fb;
                    st.depth_test = true;
                    st.small_extent = small_extent;
                    st.blend = blend;
                    raster_vertex v[3]{};
                    for (int i = 0; i < 3; ++i) {
                        v[i].x = (i == 1 ? 40 : 10) * raster_subpixel_one;
                        v[i].y = (i == 2 ? 40 : 10) * raster_subpixel_one;
                        v[i].value[raster_value_z] = c.z;
                        v[i].value[raster_value_q] = 1.0f;
                        for (int a = attr_diffuse_r; a <= attr_diffuse_b; ++a)
                            v[i].value[raster_value_attr + a] = c.channel;
                        v[i].value[raster_value_attr + attr_alpha] = 1e30f;
                    }
                    raster_triangle(raster_compile(st, *kernels), v[0], v[1], v[2]);
                    const size_t inside = size_t(15) * width + 15;
                    EXPECT_EQ(fb.colour[inside], c.colour)
                        << c.channel << " extent " << small_extent << " blend " << int(blend);
                    EXPECT_EQ(fb.depth[inside], c.depth) << c.z << " extent " << small_extent;
                }
            }
        }
    }
}

}  // namespace
