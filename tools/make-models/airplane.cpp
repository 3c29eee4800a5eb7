// airplane.cpp - the propeller aeroplane: a lofted fuselage with a rising tail cone, an elliptic
// low wing with dihedral, tailplane and fin, a bubble canopy, spatted main wheels, a tail wheel,
// and a three-blade propeller behind a pointed spinner in a frame of its own.
#include "airplane_layout.h"
#include "geometry_kit.h"
#include "models.h"

#include <cmath>

namespace models {

namespace {

using namespace airplane_layout;

enum airplane_material : uint32_t {
    fuselage_paint,
    wing_paint,
    canopy_glass,
    metal,
    tyre,
    blade_paint,
    spinner_paint,
    blade_tip_paint,
};

model_material material(const char* name, float r, float g, float b, float specular, float power) {
    model_material m;
    m.name = name;
    m.diffuse[0] = r, m.diffuse[1] = g, m.diffuse[2] = b, m.diffuse[3] = 1.0f;
    m.specular[0] = m.specular[1] = m.specular[2] = specular;
    m.power = power;
    return m;
}

// Ordered as AirplaneMaterial. The textured ones are white so that the skin shows its own colours.
std::vector<model_material> airplane_materials() {
    std::vector<model_material> materials = {
        material("FuselageSkin", 1.0f, 1.0f, 1.0f, 0.35f, 24.0f),
        material("WingSkin", 1.0f, 1.0f, 1.0f, 0.30f, 24.0f),
        material("CanopyGlass", 0.16f, 0.21f, 0.28f, 1.0f, 60.0f),
        material("StrutMetal", 0.55f, 0.56f, 0.58f, 0.6f, 40.0f),
        material("Tyre", 0.07f, 0.07f, 0.07f, 0.1f, 8.0f),
        material("PropellerBlade", 0.12f, 0.12f, 0.13f, 0.35f, 20.0f),
        material("Spinner", 0.74f, 0.09f, 0.10f, 0.8f, 40.0f),
        material("PropellerTip", 0.95f, 0.78f, 0.10f, 0.3f, 20.0f),
    };
    materials[fuselage_paint].texture = skin_file;
    materials[wing_paint].texture = skin_file;
    return materials;
}

uv_map region_uv(const skin_region& region) {
    return [region](float s, float t) { return region.map(s, t, skin_size); };
}

uv_map plain_uvs() {
    return [](float, float) { return plain_uv(); };
}

loft_options closed(uint32_t material, uv_map uv, vec2 cap_uv) {
    loft_options options;
    options.material = material;
    options.uv = std::move(uv);
    options.cap_start = options.cap_end = true;
    options.cap_uv = cap_uv;
    return options;
}

model_mesh fuselage() {
    constexpr int stations = 25, segments = 24;
    std::vector<body_section> sections;
    for (int i = 0; i < stations; ++i) {
        const float s = static_cast<float>(i) / (stations - 1);
        const fuselage_shape c = fuselage_section(s);
        sections.push_back({nose_x - s * fuselage_length, c.y, c.ry, c.rz, 2.3f});
    }
    const vec2 cowling_red = fuselage_region.map(0.02f, 0.5f, skin_size);
    return loft(body_grid(sections, segments), closed(fuselage_paint, region_uv(fuselage_region), cowling_red));
}

model_mesh wing() {
    const std::vector<airfoil_section> sections =
        span_sections(12, semi_span, [&](airfoil_section& a, float z, float eta) {
            a.chord = wing_chord(eta);
            a.leading_edge = {wing_quarter_chord_x + 0.25f * a.chord, wing_root_y + std::fabs(z) * std::tan(dihedral),
                              z};
            a.thickness = 0.15f - 0.06f * eta;
            a.camber = 0.02f;
        });
    const vec2 red_tip = wing_region.map(0.0f, 0.5f, skin_size);
    return loft(airfoil_grid(sections, 10), closed(wing_paint, region_uv(wing_region), red_tip));
}

model_mesh tailplane() {
    constexpr float half_span = 1.6f, root_chord = 0.95f, quarter_chord_x = -3.05f;
    const std::vector<airfoil_section> sections =
        span_sections(4, half_span, [&](airfoil_section& a, float z, float eta) {
            a.chord = root_chord * (0.45f + 0.55f * std::sqrt(1.0f - eta * eta));
            a.leading_edge = {quarter_chord_x + 0.25f * a.chord, 0.14f, z};
            a.thickness = 0.10f;
        });
    const vec2 red_tip = tailplane_region.map(0.0f, 0.5f, skin_size);
    return loft(airfoil_grid(sections, 8), closed(wing_paint, region_uv(tailplane_region), red_tip));
}

model_mesh fin() {
    constexpr int stations = 7;
    constexpr float root_y = 0.12f, height = 1.35f, root_chord = 1.3f;
    std::vector<airfoil_section> sections;
    for (int i = 0; i < stations; ++i) {
        const float h = static_cast<float>(i) / (stations - 1);
        airfoil_section a;
        a.chord = root_chord * (0.42f + 0.58f * std::sqrt(std::max(0.0f, 1.0f - h * h)));
        a.leading_edge = {-3.0f - 0.35f * h + 0.25f * a.chord, root_y + height * h, 0.0f};
        a.up = {0, 0, 1};
        a.thickness = 0.11f;
        sections.push_back(a);
    }
    const vec2 red_top = fin_region.map(1.0f, 0.5f, skin_size);
    return loft(airfoil_grid(sections, 8), closed(wing_paint, region_uv(fin_region), red_top));
}

model_mesh canopy() {
    loft_options options;
    options.material = canopy_glass;
    options.uv = plain_uvs();
    return loft(ellipsoid_grid({0.55f, 0.42f, 0.0f}, {1.05f, 0.40f, 0.34f}, 12, 20), options);
}

// One main wheel with its spat and strut, on the side z_sign.
model_mesh main_gear(float z_sign) {
    constexpr float x = 1.15f, axle_y = -1.08f, z = 1.5f;
    model_mesh mesh;
    loft_options rubber;
    rubber.material = tyre;
    rubber.uv = plain_uvs();
    mesh.append(loft(torus_grid(0.16f, 0.08f, 14, 6), rubber), translation({x, axle_y, z * z_sign}));
    loft_options hub;
    hub.material = metal;
    hub.uv = plain_uvs();
    mesh.append(loft(ellipsoid_grid({x, axle_y, z * z_sign}, {0.14f, 0.14f, 0.05f}, 6, 10), hub), {});
    loft_options spat;
    spat.material = fuselage_paint;
    const vec2 red = fuselage_region.map(0.02f, 0.45f, skin_size);
    spat.uv = [red](float, float) { return red; };
    mesh.append(loft(ellipsoid_grid({x - 0.05f, axle_y + 0.12f, z * z_sign}, {0.46f, 0.22f, 0.12f}, 10, 12), spat), {});
    const float wing_y = wing_root_y + z * std::tan(dihedral) - 0.05f;
    const vec3 strut_top{x, wing_y, z * z_sign}, strut_foot{x - 0.03f, axle_y + 0.28f, z * z_sign};
    mesh.append(cylinder(strut_top, strut_foot, 0.05f, 8, metal, plain_uv()), {});
    return mesh;
}

model_mesh tail_wheel() {
    model_mesh mesh;
    loft_options rubber;
    rubber.material = tyre;
    rubber.uv = plain_uvs();
    const vec3 axle{-3.55f, -0.14f, 0.0f};
    mesh.append(loft(torus_grid(0.06f, 0.035f, 12, 6), rubber), translation(axle));
    mesh.append(cylinder({-3.46f, 0.12f, 0.0f}, axle, 0.03f, 6, metal, plain_uv()), {});
    return mesh;
}

model_mesh airframe() {
    model_mesh mesh;
    mesh.name = "Airframe";
    for (const model_mesh& part :
         {fuselage(), wing(), tailplane(), fin(), canopy(), main_gear(1.0f), main_gear(-1.0f), tail_wheel()}) {
        mesh.append(part, {});
    }
    return mesh;
}

model_mesh spinner() {
    std::vector<body_section> sections;
    constexpr int rings = 9;
    for (int k = 0; k < rings; ++k) {
        const float angle = 0.5f * pi * static_cast<float>(k) / (rings - 1);
        const float radius = k == rings - 1 ? 0.0f : 0.30f * std::cos(angle);
        sections.push_back({0.62f * std::sin(angle), 0.0f, radius, radius});
    }
    loft_options options;
    options.material = spinner_paint;
    options.uv = plain_uvs();
    options.cap_start = true;
    options.cap_uv = plain_uv();
    return loft(body_grid(sections, 20), options);
}

// One blade along the radial direction at `angle` about the x axis, pitched like a tractor
// propeller: the chord turns from the plane of rotation towards the axis near the hub.
model_mesh blade(float angle) {
    const vec3 radial{0.0f, std::cos(angle), std::sin(angle)};
    const vec3 turning{0.0f, -std::sin(angle), std::cos(angle)};
    const vec3 axis{1, 0, 0};
    auto section = [&](float rho) {
        const float r = 0.2f + 1.06f * rho;
        const float pitch = std::atan(0.35f / r);
        airfoil_section a;
        a.chord = 0.26f * (0.6f + 0.4f * std::sin(pi * rho)) * std::sqrt(1.0f - std::pow(rho, 6.0f));
        a.chord_direction = -(turning * std::cos(pitch) + axis * std::sin(pitch));
        a.up = axis * std::cos(pitch) - turning * std::sin(pitch);
        a.leading_edge = axis * 0.18f + radial * r - a.chord_direction * (0.3f * a.chord);
        a.thickness = 0.12f;
        a.camber = 0.03f;
        return a;
    };
    std::vector<airfoil_section> dark, tip;
    for (int i = 0; i <= 8; ++i) dark.push_back(section(0.85f * static_cast<float>(i) / 8));
    for (int i = 0; i <= 3; ++i) tip.push_back(section(0.85f + 0.12f * static_cast<float>(i) / 3));
    model_mesh mesh;
    mesh.append(loft(airfoil_grid(dark, 6), closed(blade_paint, plain_uvs(), plain_uv())), {});
    mesh.append(loft(airfoil_grid(tip, 6), closed(blade_tip_paint, plain_uvs(), plain_uv())), {});
    return mesh;
}

model_mesh propeller() {
    model_mesh mesh;
    mesh.name = "Propeller";
    mesh.append(spinner(), {});
    for (int b = 0; b < 3; ++b) mesh.append(blade(pi / 6.0f + 2.0f * pi * static_cast<float>(b) / 3.0f), {});
    return mesh;
}

}  // namespace

model_tree build_airplane() {
    model_tree model;
    model.materials = airplane_materials();
    model.root = mesh_frame("Airplane", translation({0.2f, 0.1f, 0.0f}), airframe());
    model.root.children.push_back(mesh_frame("PropellerHub", translation({nose_x, 0.0f, 0.0f}), propeller()));
    return model;
}

}  // namespace models
