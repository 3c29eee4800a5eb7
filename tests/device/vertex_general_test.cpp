// vertex_general_test.cpp - the general vertex stage at worked values: point and spot lights (the
// fast stage must agree), vertex fog, point sizes, a user clip plane, the viewport mapping.
#include "platform/d3d9/transform_light.h"
#include "platform/d3d9/vertex_general.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr float pi = 3.14159265f;

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

int byte(float c) { return int(std::floor(std::min(std::max(c, 0.0f), 1.0f) * 255.0f + 0.5f)); }

vi_vertex vertex_at(float x, float y, float z) {
    vi_vertex v{};
    v.position[0] = x, v.position[1] = y, v.position[2] = z, v.position[3] = 1.0f;
    for (float& c : v.diffuse) c = 1.0f;
    for (auto& t : v.texcoord) t[3] = 1.0f;
    return v;
}

struct stage {
    tnl_matrices matrices{};
    vg_inputs inputs;
    vg_draw_storage storage;
    stage() {
        tnl_build_matrices(identity(), identity(), identity(), &matrices);
        inputs.matrices = &matrices;
        inputs.material.Diffuse = {1, 1, 1, 1};
    }
    gv_clip_vertex run(const vi_vertex& v) {
        const vg_draw* draw = vg_prepare(inputs, &storage);
        EXPECT_NE(draw, nullptr);
        gv_clip_vertex out{};
        if (draw != nullptr) vg_process(draw, v, &out);
        return out;
    }
};

tnl_light_slot point_light(float range, float a0, float a1) {
    tnl_light_slot s;
    s.light.Type = D3DLIGHT_POINT;
    s.light.Diffuse = {1, 1, 1, 1};
    s.light.Range = range;
    s.light.Attenuation0 = a0, s.light.Attenuation1 = a1;
    s.enabled = true;
    return s;
}

tnl_light_slot spot_light(float theta, float phi, float falloff) {
    tnl_light_slot s = point_light(100, 1, 0);
    s.light.Type = D3DLIGHT_SPOT;
    s.light.Direction = {0, 0, 1};
    s.light.Theta = theta, s.light.Phi = phi, s.light.Falloff = falloff;
    return s;
}

tnl_light_slot directional(float diffuse) {
    tnl_light_slot s;
    s.light.Type = D3DLIGHT_DIRECTIONAL;
    s.light.Diffuse = {diffuse, diffuse, diffuse, 0};
    s.light.Direction = {0, 0, 1};
    s.enabled = true;
    return s;
}

// A vertex `degrees` off the spot axis at distance 5, its normal facing the light at the origin.
struct placed {
    float position[3], normal[3];
};
placed off_axis(float degrees) {
    const float a = degrees * pi / 180.0f;
    return {{5 * std::sin(a), 0, 5 * std::cos(a)}, {-std::sin(a), 0, -std::cos(a)}};
}

TEST(VertexGeneral, PointAndSpotLightsAtTheirWorkedValuesInBothStages) {
    const placed facing{{0, 0, 5}, {0, 0, -1}};
    const placed oblique{{0, 0, 5}, {std::sin(pi / 3), 0, -std::cos(pi / 3)}};
    tnl_light_slot green_less = point_light(10, 0, 0);  // no attenuation constants: infinitely bright
    green_less.light.Diffuse = {1, 0, 1, 1};
    struct row {
        const char* name;
        std::vector<tnl_light_slot> lights;
        placed at;
        int red, green;
    } rows[] = {
        {"point attenuated", {point_light(10, 0, 0.25f)}, facing, 204, 204},
        {"point out of range", {point_light(4, 0, 0.25f)}, facing, 0, 0},
        {"point oblique", {point_light(10, 0, 0.25f)}, oblique, 102, 102},
        {"spot penumbra", {spot_light(pi / 4, pi / 2, 1)}, off_axis(30), 187, 187},
        {"spot falloff 2", {spot_light(pi / 4, pi / 2, 2)}, off_axis(30), 137, 137},
        {"spot inner cone", {spot_light(pi / 4, pi / 2, 1)}, off_axis(20), 255, 255},
        {"spot outside", {spot_light(pi / 4, pi / 2, 1)}, off_axis(50), 0, 0},
        {"two lights", {directional(0.7f), directional(0.7f)}, facing, 255, 255},
        {"default light", {directional(1.0f)}, facing, 255, 255},
        {"range 0 lights nothing", {point_light(0, 1, 0)}, facing, 0, 0},
        {"no attenuation saturates", {green_less}, facing, 255, 0},
        {"falloff 0 in the penumbra", {spot_light(pi / 4, pi / 2, 0)}, off_axis(30), 255, 255},
        {"phi below theta: hard cone", {spot_light(pi / 2, pi / 4, 1)}, off_axis(20), 255, 255},
        {"phi below theta: outside", {spot_light(pi / 2, pi / 4, 1)}, off_axis(30), 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        stage s;
        s.inputs.lights = r.lights.data();
        s.inputs.light_count = int(r.lights.size());
        vi_vertex v = vertex_at(r.at.position[0], r.at.position[1], r.at.position[2]);
        std::memcpy(v.normal, r.at.normal, sizeof v.normal);
        v.has_normal = true;
        const gv_clip_vertex general = s.run(v);
        EXPECT_EQ(byte(general.attr[gv_diffuse]), r.red);
        EXPECT_EQ(byte(general.attr[gv_diffuse + 1]), r.green);
        EXPECT_EQ(general.attr[gv_diffuse + 3], 1.0f);  // the material's alpha

        const D3DVECTOR position{v.position[0], v.position[1], v.position[2]};
        const D3DVECTOR normal{v.normal[0], v.normal[1], v.normal[2]};
        tnl_streams streams;
        streams.positions = {reinterpret_cast<const unsigned char*>(&position), sizeof position};
        streams.normals = {reinterpret_cast<const unsigned char*>(&normal), sizeof normal};
        std::vector<tnl_light> prepared(r.lights.size());
        tnl_draw draw;
        tnl_prepare(s.matrices, s.inputs.material, r.lights.data(), r.lights.size(), prepared.data(), tnl_switches{},
                    streams, viewport_for(64, 64), &draw);
        tnl_vertex fast;
        tnl_process(draw, 0, &fast);
        EXPECT_EQ(fast.clip.attr[attr_diffuse_r], general.attr[gv_diffuse]);
        EXPECT_EQ(fast.clip.attr[attr_diffuse_g], general.attr[gv_diffuse + 1]);
    }
}

TEST(VertexGeneral, FogFactorByModeAndDistance) {
    struct row {
        const char* name;
        bool fog;
        uint32_t vertex_mode, table_mode;
        bool range, pretransformed, has_specular;
        float start, end, density;
        float x, z;  // camera-space position
        float factor;
    } rows[] = {
        {"linear", true, D3DFOG_LINEAR, D3DFOG_NONE, false, false, false, 10, 50, 1, 0, 20, 0.75f},
        {"linear before start", true, D3DFOG_LINEAR, D3DFOG_NONE, false, false, false, 10, 50, 1, 0, 5, 1.0f},
        {"linear past end", true, D3DFOG_LINEAR, D3DFOG_NONE, false, false, false, 10, 50, 1, 0, 60, 0.0f},
        {"linear on the range", true, D3DFOG_LINEAR, D3DFOG_NONE, true, false, false, 10, 50, 1, 12, 16, 0.75f},
        {"linear start = end", true, D3DFOG_LINEAR, D3DFOG_NONE, false, false, false, 20, 20, 1, 0, 19, 1.0f},
        {"exp", true, D3DFOG_EXP, D3DFOG_NONE, false, false, false, 0, 1, 0.025f, 0, 20, 0.60653f},
        {"exp2", true, D3DFOG_EXP2, D3DFOG_NONE, false, false, false, 0, 1, 0.025f, 0, 20, 0.77880f},
        {"fog off", false, D3DFOG_LINEAR, D3DFOG_NONE, false, false, true, 10, 50, 1, 0, 60, 1.0f},
        {"table fog wins", true, D3DFOG_LINEAR, D3DFOG_LINEAR, false, false, true, 10, 50, 1, 0, 60, 1.0f},
        {"application fog", true, D3DFOG_NONE, D3DFOG_NONE, false, false, true, 10, 50, 1, 0, 60, 128 / 255.0f},
        {"pre-transformed", true, D3DFOG_LINEAR, D3DFOG_NONE, false, true, true, 10, 50, 1, 0, 60, 128 / 255.0f},
        {"pre-transformed, no specular", true, D3DFOG_NONE, D3DFOG_NONE, false, true, false, 10, 50, 1, 0, 0, 1.0f},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        stage s;
        s.inputs.fog = r.fog;
        s.inputs.fog_vertex_mode = r.vertex_mode, s.inputs.fog_table_mode = r.table_mode;
        s.inputs.range_fog = r.range, s.inputs.pretransformed = r.pretransformed;
        s.inputs.fog_start = r.start, s.inputs.fog_end = r.end, s.inputs.fog_density = r.density;
        vi_vertex v = vertex_at(r.x, 0, r.z);
        v.has_specular = r.has_specular;
        v.specular[3] = 128 / 255.0f;
        EXPECT_NEAR(s.run(v).attr[gv_fog], r.factor, 1e-5f);
    }
}

TEST(VertexGeneral, PointSizeScaledAndClamped) {
    struct row {
        const char* name;
        bool scale, pretransformed, has_size;
        float size, a, b, c, min, max;
        float expected;
    } rows[] = {
        {"scaled by distance", true, false, false, 1, 0, 0, 1, 1, 64, 48},
        {"default scale, clamped", true, false, false, 1, 1, 0, 0, 1, 64, 64},
        {"unscaled, vertex size clamped", false, false, true, 100, 1, 0, 0, 1, 64, 64},
        {"unscaled, raised to the minimum", false, false, false, 0.5f, 1, 0, 0, 2, 64, 2},
        {"state maximum above the caps", false, false, true, 100, 1, 0, 0, 1, 1000, 64},
        {"pre-transformed: not scaled", true, true, true, 5, 0, 0, 1, 1, 64, 5},
        {"scale with a zero denominator", true, false, false, 1, 0, 0, 0, 1, 64, 64},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        stage s;
        s.inputs.point_scale = r.scale, s.inputs.pretransformed = r.pretransformed;
        s.inputs.point_size = r.size, s.inputs.point_size_min = r.min, s.inputs.point_size_max = r.max;
        s.inputs.point_scale_a = r.a, s.inputs.point_scale_b = r.b, s.inputs.point_scale_c = r.c;
        s.inputs.viewport_height = 480;
        vi_vertex v = vertex_at(0, 6, 8);  // eye distance 10
        v.has_point_size = r.has_size;
        v.point_size = r.size;
        EXPECT_NEAR(s.run(v).point_size, r.expected, 1e-4f);
    }
}

// Plane (0, 1, 0, 0) keeps y >= 0; two triangles sharing the edge that crosses it get the same new
// vertex there, attributes included.
TEST(VertexGeneral, UserPlaneCutsSharedEdgesAlike) {
    stage s;
    s.inputs.switches.lighting = false;
    s.inputs.clip_planes[0][1] = 1.0f;
    s.inputs.clip_plane_enable = 1;
    const vg_draw* draw = vg_prepare(s.inputs, &s.storage);
    ASSERT_NE(draw, nullptr);
    gv_clip_vertex top, bottom, left, right;
    vi_vertex v = vertex_at(0, 0.8f, 0.5f);
    v.diffuse[0] = 0.0f;
    vg_process(draw, v, &top);
    v = vertex_at(0.2f, -0.8f, 0.5f);
    vg_process(draw, v, &bottom);
    vg_process(draw, vertex_at(-0.5f, 0.5f, 0.5f), &left);
    vg_process(draw, vertex_at(0.5f, -0.9f, 0.5f), &right);
    EXPECT_EQ(vg_outcode(draw, top), 0u);
    const uint32_t needed = vg_outcode(draw, bottom);
    ASSERT_EQ(needed, 1u << 16);

    gv_clip_vertex first[vg_max_polygon], second[vg_max_polygon];
    const int n1 = vg_clip_triangle(draw, top, bottom, left, needed | vg_outcode(draw, left), first);
    const int n2 = vg_clip_triangle(draw, bottom, top, right, needed | vg_outcode(draw, right), second);
    ASSERT_EQ(n1, 4);
    ASSERT_GE(n2, 3);
    for (int i = 0; i < n1; ++i) EXPECT_GE(first[i].position[1], 0.0f);
    const gv_clip_vertex* cut = &first[1];  // top, the cut of top-bottom, the cut of bottom-left, left
    EXPECT_EQ(cut->position[1], 0.0f);
    EXPECT_FLOAT_EQ(cut->position[0], 0.1f);
    EXPECT_FLOAT_EQ(cut->attr[gv_diffuse], 0.5f);  // halfway between red 0 and 1
    EXPECT_FLOAT_EQ(cut->clip_distance[0], 0.0f);
    bool shared = false;
    for (int i = 0; i < n2; ++i) shared = shared || std::memcmp(&second[i], cut, sizeof *cut) == 0;
    EXPECT_TRUE(shared);

    gv_clip_vertex a, b;
    ASSERT_TRUE(vg_clip_line(draw, bottom, top, needed, &a, &b));
    EXPECT_EQ(std::memcmp(&a, cut, sizeof a), 0);  // the line meets the plane at the same point
    EXPECT_FALSE(vg_clip_line(draw, bottom, right, needed | vg_outcode(draw, right), &a, &b));
}

TEST(VertexGeneral, ViewportMappingAndPreTransformedPassThrough) {
    stage s;
    const vg_viewport viewport{100, 50, 200, 100, 0.5f, 1.0f};
    const vg_draw* draw = vg_prepare(s.inputs, &s.storage);
    ASSERT_NE(draw, nullptr);
    gv_clip_vertex c{};
    c.position[0] = 1.0f, c.position[1] = -1.0f, c.position[2] = 1.0f, c.position[3] = 2.0f;
    const gv_screen_vertex p = vg_project(draw, c, viewport);
    EXPECT_FLOAT_EQ(p.x, 250.0f);
    EXPECT_FLOAT_EQ(p.y, 125.0f);
    EXPECT_FLOAT_EQ(p.z, 0.75f);
    EXPECT_FLOAT_EQ(p.q, 0.5f);

    s.inputs.pretransformed = true;
    s.inputs.matrices = nullptr;
    draw = vg_prepare(s.inputs, &s.storage);
    ASSERT_NE(draw, nullptr);
    const float rhws[][2] = {{0.25f, 0.25f}, {0.0f, 1.0f}, {-2.0f, 1.0f}, {NAN, 1.0f}, {INFINITY, 1.0f}};
    for (const auto& r : rhws) {
        vi_vertex v = vertex_at(150, 60, 0.5f);
        v.position[3] = r[0];
        gv_clip_vertex out;
        vg_process(draw, v, &out);
        EXPECT_EQ(vg_outcode(draw, out), 0u);
        const gv_screen_vertex t = vg_project(draw, out, viewport);
        EXPECT_EQ(t.x, 150.0f);
        EXPECT_EQ(t.y, 60.0f);
        EXPECT_EQ(t.z, 0.5f);
        EXPECT_EQ(t.q, r[1]) << "rhw " << r[0];
    }
}

}  // namespace
