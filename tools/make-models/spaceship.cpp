// spaceship.cpp - the spaceship: a pointed hull with a cockpit canopy and foreplanes, thin swept wings with
// anhedral and wing-tip gun pods, two canted fins, a central engine, and two engine nacelles
// (one mesh placed twice by child frames) whose exhausts glow by their emissive colour.
#include "geometry_kit.h"
#include "models.h"

#include <algorithm>
#include <cmath>

namespace models {

namespace {

enum spaceship_material : uint32_t { hull_paint, wing_paint, cockpit_glass, engine_metal, exhaust_glow, running_light };

model_material material(const char* name, const float (&diffuse)[3], float specular, float power,
                        const float (&emissive)[3] = {0, 0, 0}) {
    model_material m;
    m.name = name;
    for (int i = 0; i < 3; ++i) {
        m.diffuse[i] = diffuse[i];
        m.specular[i] = specular;
        m.emissive[i] = emissive[i];
    }
    m.diffuse[3] = 1.0f;
    m.power = power;
    return m;
}

// Ordered as SpaceshipMaterial.
std::vector<model_material> spaceship_materials() {
    return {
        material("Hull", {0.78f, 0.80f, 0.83f}, 0.9f, 30.0f),
        material("Wings", {0.70f, 0.13f, 0.10f}, 0.5f, 20.0f),
        material("Cockpit", {0.05f, 0.08f, 0.14f}, 1.0f, 80.0f),
        material("EngineMetal", {0.30f, 0.31f, 0.34f}, 0.7f, 40.0f),
        material("ExhaustGlow", {0.30f, 0.85f, 1.0f}, 0.0f, 1.0f, {0.35f, 0.90f, 1.0f}),
        material("RunningLight", {1.0f, 0.55f, 0.10f}, 0.0f, 1.0f, {1.0f, 0.50f, 0.08f}),
    };
}

// A value along a profile given at key stations, eased between them.
struct profile_key {
    float s, a, b, c;
};

profile_key profile_at(const std::vector<profile_key>& keys, float s) {
    size_t k = 0;
    while (k + 2 < keys.size() && s > keys[k + 1].s) ++k;
    const profile_key& p = keys[k];
    const profile_key& q = keys[k + 1];
    float f = std::clamp((s - p.s) / (q.s - p.s), 0.0f, 1.0f);
    f = f * f * (3.0f - 2.0f * f);
    return {s, p.a + (q.a - p.a) * f, p.b + (q.b - p.b) * f, p.c + (q.c - p.c) * f};
}

loft_options solid(uint32_t material) {
    loft_options options;
    options.material = material;
    options.cap_start = options.cap_end = true;
    return options;
}

model_mesh hull() {
    // s: 0 nose tip to 1 stern; a: half-height, b: half-width, c: centre height.
    const std::vector<profile_key> keys = {{0.00f, 0.00f, 0.00f, -0.06f}, {0.06f, 0.09f, 0.12f, -0.05f},
                                           {0.22f, 0.24f, 0.34f, -0.02f}, {0.45f, 0.36f, 0.52f, 0.0f},
                                           {0.75f, 0.40f, 0.60f, 0.0f},   {1.00f, 0.34f, 0.52f, 0.0f}};
    constexpr int stations = 22;
    constexpr float nose = 2.8f, length = 5.0f;
    std::vector<body_section> sections;
    for (int i = 0; i < stations; ++i) {
        const float s = std::pow(static_cast<float>(i) / (stations - 1), 1.5f);
        const profile_key p = profile_at(keys, s);
        sections.push_back({nose - length * s, p.c, p.a, p.b, 2.6f});
    }
    loft_options options = solid(hull_paint);
    options.cap_start = false;  // the nose closes in a point
    return loft(body_grid(sections, 28), options);
}

model_mesh cockpit() {
    loft_options options;
    options.material = cockpit_glass;
    return loft(ellipsoid_grid({1.1f, 0.25f, 0.0f}, {1.0f, 0.28f, 0.30f}, 12, 20), options);
}

// Small swept foreplanes through the hull behind the nose.
model_mesh canards() {
    constexpr float half_span = 0.95f;
    const std::vector<airfoil_section> sections =
        span_sections(3, half_span, [&](airfoil_section& a, float z, float eta) {
            a.chord = 0.62f - 0.38f * eta;
            a.leading_edge = {2.05f - 0.5f * eta, -0.07f, z};
            a.thickness = 0.06f;
        });
    return loft(airfoil_grid(sections, 6), solid(wing_paint));
}

model_mesh wings() {
    constexpr float half_span = 2.5f, trailing_x = -1.95f;
    const std::vector<airfoil_section> sections =
        span_sections(7, half_span, [&](airfoil_section& a, float z, float eta) {
            a.chord = 2.7f - 2.0f * eta;
            a.leading_edge = {trailing_x + a.chord, -0.10f - 0.06f * std::fabs(z), z};
            a.thickness = 0.06f;
        });
    return loft(airfoil_grid(sections, 10), solid(wing_paint));
}

// A fin standing on the nacelle at z_sign, leaning outwards by 15 degrees.
model_mesh fin(float z_sign) {
    constexpr int stations = 5;
    constexpr float lean = 15.0f * pi / 180.0f, height = 0.95f;
    const vec3 root{0.0f, 0.12f, 1.0f * z_sign};
    const vec3 rise{0.0f, std::cos(lean), std::sin(lean) * z_sign};
    std::vector<airfoil_section> sections;
    for (int i = 0; i < stations; ++i) {
        const float h = static_cast<float>(i) / (stations - 1);
        airfoil_section a;
        a.chord = 1.25f - 0.8f * h;
        a.leading_edge = root + rise * (height * h) + vec3{-1.2f - 1.0f * h, 0.0f, 0.0f};
        a.up = cross(rise, {1, 0, 0});
        a.thickness = 0.08f;
        sections.push_back(a);
    }
    return loft(airfoil_grid(sections, 8), solid(wing_paint));
}

// A gun pod along the wing tip at z_sign with a running light at its front.
model_mesh wing_pod(float z_sign) {
    const float z = 2.5f * z_sign, y = -0.25f;
    model_mesh mesh = cylinder({-2.0f, y, z}, {-0.45f, y, z}, 0.07f, 10, engine_metal, {});
    loft_options light;
    light.material = running_light;
    mesh.append(loft(ellipsoid_grid({-0.42f, y, z}, {0.07f, 0.06f, 0.06f}, 6, 10), light), {});
    return mesh;
}

model_mesh central_engine() {
    model_mesh mesh;
    loft_options nozzle = solid(engine_metal);
    const std::vector<body_section> sections = {
        {-2.0f, 0.0f, 0.24f, 0.24f}, {-2.25f, 0.0f, 0.25f, 0.25f}, {-2.45f, 0.0f, 0.28f, 0.28f}};
    mesh.append(loft(body_grid(sections, 20), nozzle), {});
    loft_options glow;
    glow.material = exhaust_glow;
    mesh.append(loft(ellipsoid_grid({-2.46f, 0.0f, 0.0f}, {0.09f, 0.23f, 0.23f}, 6, 16), glow), {});
    return mesh;
}

// One engine nacelle about its own x axis, intake at +x, glowing exhaust at -x.
model_mesh nacelle() {
    const std::vector<profile_key> keys = {{0.00f, 0.20f, 0, 0}, {0.08f, 0.27f, 0, 0}, {0.25f, 0.30f, 0, 0},
                                           {0.80f, 0.28f, 0, 0}, {0.92f, 0.25f, 0, 0}, {1.00f, 0.29f, 0, 0}};
    constexpr int stations = 14;
    constexpr float front = 0.4f, length = 3.05f;
    std::vector<body_section> sections;
    for (int i = 0; i < stations; ++i) {
        const float s = static_cast<float>(i) / (stations - 1);
        const float r = profile_at(keys, s).a;
        sections.push_back({front - length * s, 0.0f, r, r});
    }
    model_mesh mesh;
    mesh.name = "Nacelle";
    mesh.append(loft(body_grid(sections, 20), solid(engine_metal)), {});
    loft_options glow;
    glow.material = exhaust_glow;
    mesh.append(loft(ellipsoid_grid({front - length - 0.02f, 0.0f, 0.0f}, {0.10f, 0.25f, 0.25f}, 6, 16), glow), {});
    return mesh;
}

model_mesh body() {
    model_mesh mesh;
    mesh.name = "Body";
    for (const model_mesh& part : {hull(), cockpit(), canards(), wings(), fin(1.0f), fin(-1.0f), wing_pod(1.0f),
                                   wing_pod(-1.0f), central_engine()}) {
        mesh.append(part, {});
    }
    return mesh;
}

}  // namespace

model_tree build_spaceship() {
    model_tree model;
    model.materials = spaceship_materials();
    model.root = mesh_frame("Spaceship", translation({-0.05f, -0.2f, 0.0f}), body());
    const model_mesh engine = nacelle();
    for (float side : {1.0f, -1.0f}) {
        model.root.children.push_back(
            mesh_frame(side > 0 ? "EngineLeft" : "EngineRight", translation({0.0f, -0.12f, 1.0f * side}), engine));
    }
    return model;
}

}  // namespace models
