// transform_light_batch_test.cpp - the vertex stage several vertices at a time (each variant) gives,
// bit for bit, what it gives one vertex at a time, across the lighting switches and for vertices
// inside, off and behind the screen.
#include <d3dx9.h>

#include "platform/d3d9/clip.h"
#include "platform/d3d9/transform_light.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

struct test_case {
    const char* name;
    tnl_switches switches;
    bool normals, colours, texcoords;
    float power;
    int lights;
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
        s.colours.push_back(D3DCOLOR(rng()));
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
    tnl_switches unlit;
    unlit.lighting = false;
    const test_case cases[] = {
        {"diffuse only", plain, true, false, false, 0.0f, 1},
        {"specular, local viewer", specular, true, false, true, 64.0f, 1},
        {"specular, power 0", specular, true, false, false, 0.0f, 2},
        {"specular, distant viewer", far_viewer, true, true, false, 7.0f, 2},
        {"renormalised normals", renormalised, true, false, false, 13.0f, 1},
        {"vertex colour sources", vertex_sources, true, true, true, 64.0f, 1},
        {"no normals", specular, false, true, false, 64.0f, 1},
        {"no lights", specular, true, false, false, 64.0f, 0},
        {"unlit", unlit, true, true, true, 64.0f, 1},
    };
    const vertex_streams s = random_streams(203);
    D3DXMATRIX rx, ry, world, view, projection;
    D3DXMatrixRotationX(&rx, 0.5f);
    D3DXMatrixRotationY(&ry, 0.3f);
    D3DXMatrixMultiply(&world, &rx, &ry);
    const D3DXVECTOR3 eye(0, 2, -7), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.785f, 1.33f, 1.0f, 100.0f);
    tnl_matrices matrices;
    tnl_build_matrices(world, view, projection, &matrices);
    const tnl_light_slot lights[tnl_max_lights] = {directional(0, -1, 1), directional(1, 0.5f, 0.2f)};
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
        tnl_light_slot enabled[tnl_max_lights] = {};
        for (int i = 0; i < c.lights; ++i) enabled[i] = lights[i];
        tnl_draw draw;
        viewport_mapping viewport = viewport_for(640, 480);
        viewport.sum_specular = c.texcoords;
        tnl_light prepared[tnl_max_lights];
        tnl_prepare(matrices, material, enabled, tnl_max_lights, prepared, c.switches, streams, viewport, &draw);
        ASSERT_TRUE(tnl_batch_supported(draw));
        std::vector<tnl_vertex> one(203);
        for (uint32_t i = 0; i < 203; ++i) tnl_process(draw, i, &one[i]);
        for (const tnl_batch_fn variant : {tnl_batch_baseline(), tnl_batch_selected()}) {
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

}  // namespace
