// transform_light_batch_test.cpp - the vertex stage several vertices at a time (each variant) gives,
// bit for bit, what it gives one vertex at a time, across the lighting switches and light types and
// for vertices inside, off and behind the screen.
#include <d3dx9.h>

#include "platform/d3d9/clip.h"
#include "platform/d3d9/light_terms.h"
#include "platform/d3d9/transform_light.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

struct test_case {
    const char* name;
    tnl_switches switches;
    bool normals, colours, texcoords;
    float power;
    const tnl_light_slot* lights;  // tnl_max_lights slots
};

struct vertex_streams {
    std::vector<D3DVECTOR> positions, normals;
    std::vector<D3DCOLOR> colours;
    std::vector<float> texcoords;
};

vertex_streams random_streams(int count) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> spread(-6.0f, 6.0f);
    vertex_streams s;
    for (int i = 0; i < count; ++i) {
        s.positions.push_back({spread(rng), spread(rng), spread(rng)});
        s.normals.push_back({spread(rng), spread(rng), spread(rng)});
        s.colours.push_back(D3DCOLOR(rng()) & (i % 3 == 0 ? 0xFFFF00FFu : 0xFFFFFFFFu));  // some zero green
        s.texcoords.insert(s.texcoords.end(), {spread(rng), spread(rng)});
    }
    s.normals[1] = {0.0f, 0.0f, 0.0f};
    return s;
}

tnl_light_slot directional(float x, float y, float z) {
    tnl_light_slot slot;
    slot.enabled = true;
    slot.light.Type = D3DLIGHT_DIRECTIONAL;
    slot.light.Diffuse = {0.8f, 0.7f, 0.6f, 1.0f};
    slot.light.Specular = {1.0f, 0.9f, 0.8f, 1.0f};
    slot.light.Ambient = {0.2f, 0.3f, 0.1f, 1.0f};
    slot.light.Direction = {x, y, z};
    return slot;
}

tnl_light_slot local(D3DLIGHTTYPE type, D3DVECTOR position, float range, D3DVECTOR attenuation) {
    tnl_light_slot slot = directional(0.3f, -1, 0.4f);
    slot.light.Type = type;
    slot.light.Position = position;
    slot.light.Range = range;
    slot.light.Attenuation0 = attenuation.x, slot.light.Attenuation1 = attenuation.y;
    slot.light.Attenuation2 = attenuation.z;
    slot.light.Theta = 0.6f, slot.light.Phi = 1.4f, slot.light.Falloff = 1.0f;
    return slot;
}

tnl_light_slot spot(D3DVECTOR position, float falloff) {
    tnl_light_slot slot = local(D3DLIGHT_SPOT, position, 30.0f, {0.5f, 0.1f, 0.02f});
    slot.light.Falloff = falloff;
    return slot;
}

TEST(TransformLightBatch, MatchesTheOneVertexStageBitForBit) {
    tnl_switches plain;
    tnl_switches specular;
    specular.specular = true;
    tnl_switches far_viewer = specular;
    far_viewer.local_viewer = false;
    tnl_switches renormalised = specular;
    renormalised.normalize_normals = true;
    tnl_switches vertex_sources = specular;
    vertex_sources.ambient_source = vertex_sources.emissive_source = 1;
    vertex_sources.specular_source = 0;
    vertex_sources.global_ambient = 0x00102030;
    tnl_switches vertex_ambient = specular;  // zero vertex colour against infinite sums, next to others
    vertex_ambient.ambient_source = 1;
    vertex_ambient.diffuse_source = 0;
    tnl_switches unlit;
    unlit.lighting = false;
    const tnl_light_slot none[tnl_max_lights] = {};
    const tnl_light_slot one[tnl_max_lights] = {directional(0, -1, 1)};
    const tnl_light_slot two[tnl_max_lights] = {directional(0, -1, 1), directional(1, 0.5f, 0.2f)};
    // Point and spot lights: reaching part of the vertices (range 6); everywhere, with an
    // attenuation sum below 0 (lighting nothing) beyond distance 10; with infinite attenuation (the
    // sums become infinite; zero colour components must stay zero); with range 0; spot cones with a
    // soft edge (falloff 1 and 2.5) and a hard one (outer cone the narrower); after a directional
    // light, so that the order of the sums shows.
    tnl_light_slot infinite = local(D3DLIGHT_POINT, {1, 1, -1}, 4.0f, {0, 0, 0});
    infinite.light.Diffuse.g = infinite.light.Ambient.b = infinite.light.Specular.r = 0.0f;
    tnl_light_slot hard = spot({-2, 3, -4}, 1.0f);
    hard.light.Theta = 1.2f, hard.light.Phi = 0.8f;
    const vertex_streams s = random_streams(203);
    const tnl_light_slot locals[tnl_max_lights] = {
        directional(1, 0.5f, 0.2f),
        local(D3DLIGHT_POINT, {0, 0, 0}, 6.0f, {0.2f, 0.3f, 0.05f}),
        local(D3DLIGHT_POINT, {4, -2, 5}, 100.0f, {1, -0.1f, 0}),
        infinite,
        local(D3DLIGHT_POINT, {0, 0, 0}, 0.0f, {1, 0, 0}),
        spot({3, 4, -5}, 1.0f),
        spot({-4, -1, -3}, 2.5f),
        hard,
    };
    const test_case cases[] = {
        {"diffuse only", plain, true, false, false, 0.0f, one},
        {"specular, local viewer", specular, true, false, true, 64.0f, one},
        {"specular, power 0", specular, true, false, false, 0.0f, two},
        {"specular, distant viewer", far_viewer, true, true, false, 7.0f, two},
        {"renormalised normals", renormalised, true, false, false, 13.0f, one},
        {"vertex colour sources", vertex_sources, true, true, true, 64.0f, one},
        {"no normals", specular, false, true, false, 64.0f, one},
        {"no lights", specular, true, false, false, 64.0f, none},
        {"unlit", unlit, true, true, true, 64.0f, one},
        {"point and spot, diffuse only", plain, true, false, false, 0.0f, locals},
        {"point and spot, diffuse only, a power not whole", plain, true, false, false, 2.5f, locals},
        {"point and spot, local viewer", specular, true, false, true, 24.0f, locals},
        {"point and spot, distant viewer", far_viewer, true, true, false, 5.0f, locals},
        {"point and spot, vertex colour sources", vertex_sources, true, true, true, 64.0f, locals},
        {"point and spot, vertex ambient colour", vertex_ambient, true, true, true, 64.0f, locals},
        {"point and spot, renormalised", renormalised, true, false, false, 3.0f, locals},
        {"point and spot, no normals", specular, false, true, false, 64.0f, locals},
    };
    D3DXMATRIX rx, ry, world, view, projection;
    D3DXMatrixRotationX(&rx, 0.5f);
    D3DXMatrixRotationY(&ry, 0.3f);
    D3DXMatrixMultiply(&world, &rx, &ry);
    const D3DXVECTOR3 eye(0, 2, -7), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.785f, 1.33f, 1.0f, 100.0f);
    tnl_matrices matrices;
    tnl_build_matrices(world, view, projection, &matrices);
    std::vector<uint32_t> order;  // every vertex once, shuffled; 203 leaves a partial batch
    for (uint32_t i = 0; i < 203; ++i) order.push_back((i * 37) % 203);

    for (const test_case& c : cases) {
        SCOPED_TRACE(c.name);
        D3DMATERIAL9 material{{0.2f, 0.4f, 0.9f, 1}, {0.3f, 0.2f, 0.1f, 1}, {1, 1, 1, 1}, {0.05f, 0, 0.1f, 1}, c.power};
        const auto element = [](const void* data, size_t stride, bool present) {
            return present ? tnl_element{static_cast<const unsigned char*>(data), stride} : tnl_element{};
        };
        tnl_streams streams;
        streams.positions = element(s.positions.data(), sizeof(D3DVECTOR), true);
        streams.normals = element(s.normals.data(), sizeof(D3DVECTOR), c.normals);
        streams.diffuse = element(s.colours.data(), sizeof(D3DCOLOR), c.colours);
        streams.texcoords = element(s.texcoords.data(), 2 * sizeof(float), c.texcoords);
        tnl_draw draw;
        viewport_mapping viewport = viewport_for(640, 480);
        viewport.sum_specular = c.texcoords;
        tnl_light prepared[tnl_max_lights];
        tnl_prepare(matrices, material, c.lights, tnl_max_lights, prepared, c.switches, streams, viewport, &draw);
        ASSERT_TRUE(tnl_batch_supported(draw));
        std::vector<tnl_vertex> one(203);
        for (uint32_t i = 0; i < 203; ++i) tnl_process(draw, i, &one[i]);
        std::vector<tnl_batch_fn> variants = {tnl_batch_baseline(), tnl_batch_selected()};
#if defined(__x86_64__)
        if (__builtin_cpu_supports("avx2")) variants.push_back(tnl_batch_x86_64_v3());  // beside a wider selection
#endif
        for (const tnl_batch_fn variant : variants) {
            std::vector<tnl_vertex> batch(203);
            variant(draw, order.data(), order.size(), batch.data());
            for (uint32_t i = 0; i < 203; ++i) {
                ASSERT_EQ(std::memcmp(&one[i].clip, &batch[i].clip, sizeof(clip_vertex)), 0) << "vertex " << i;
                ASSERT_EQ(one[i].outcode, batch[i].outcode) << "vertex " << i;
                if ((one[i].outcode & clip_needed_mask) != 0) continue;
                ASSERT_EQ(std::memcmp(&one[i].screen, &batch[i].screen, sizeof(raster_vertex)), 0) << "vertex " << i;
            }
        }
    }
}

TEST(SpecularPower, PowersBelowTheSmallestNormalFloatAreZeroAndNoOthers) {
    struct test_case {
        int power;
        float base;
        bool zero;
    };
    const test_case cases[] = {
        {32, 0.07f, false},  // 0.07^32 = 1.1e-37
        {32, 0.06f, true},   // 0.06^32 = 7.9e-40
        {1, FLT_MIN, false}, {1, FLT_MIN / 2, true}, {1024, 0.92f, false},
        {1024, 0.9f, true},  {0, 0.0f, false},       {0, FLT_MIN / 2, false},  // x^0 = 1
    };
    for (const test_case& c : cases) {
        tnl_draw d{};
        d.whole_power = c.power;
        d.power_floor = tnl_terms::power_floor(c.power);
        const float power = tnl_terms::specular_power(c.base, d);
        if (c.zero) {
            EXPECT_EQ(power, 0.0f) << c.power << " " << c.base;
        } else {
            EXPECT_GE(power, FLT_MIN) << c.power << " " << c.base;
            EXPECT_NEAR(power, std::pow(double(c.base), c.power), 1e-5 * std::pow(double(c.base), c.power));
        }
    }
}

}  // namespace
