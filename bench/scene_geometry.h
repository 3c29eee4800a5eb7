// scene_geometry.h - the geometry and settings of the device scene benchmarks, shared by our
// benchmark (device_scenes_bench.cpp) and the OpenGL peer (peer/gl_scenes.cpp) so that both draw the
// same frames. Plain C++17 without platform types: the peer is built on its own.
//
// Conventions are Direct3D's: a left-handed world, the camera at (0, 0, -eye_distance) looking
// along +z with +y up, pre-transformed x and y in pixels with pixel centres on integers, colours
// as 0xAARRGGBB words (bytes B, G, R, A in memory).
#pragma once

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace scene_geometry {

constexpr int width = 624;  // the back buffer of a 640 x 480 window
constexpr int height = 441;
constexpr uint32_t clear_colour = 0xFF505050;

// Camera: vertical field of view, depth range, distance from the torus' centre.
constexpr float fov_y = 0.78539816f;  // 45 degrees
constexpr float near_plane = 1.0f;
constexpr float far_plane = 100.0f;
constexpr float eye_distance = 5.0f;
// The torus (about the z axis) is turned this far about x, towards the viewer at the top.
constexpr float tilt = 0.5f;

// A torus of torus_rings x torus_sides quads, two triangles each: 65,536 triangles on 32,768
// vertices, so its indices fit 16 bits.
constexpr int torus_rings = 256;
constexpr int torus_sides = 128;
constexpr float torus_radius = 1.5f;
constexpr float torus_tube = 0.6f;
constexpr int torus_vertex_count = torus_rings * torus_sides;
constexpr int torus_triangle_count = 2 * torus_rings * torus_sides;

struct lit_vertex {  // position and normal, 24 bytes
    float x, y, z;
    float nx, ny, nz;
};

inline void make_torus(std::vector<lit_vertex>& vertices, std::vector<uint16_t>& indices) {
    vertices.clear();
    indices.clear();
    vertices.reserve(torus_vertex_count);
    indices.reserve(size_t(3) * torus_triangle_count);
    for (int r = 0; r < torus_rings; ++r) {
        const double a = 6.283185307179586 * r / torus_rings;
        for (int s = 0; s < torus_sides; ++s) {
            const double b = 6.283185307179586 * s / torus_sides;
            const double nx = std::cos(a) * std::cos(b), ny = std::sin(a) * std::cos(b), nz = std::sin(b);
            vertices.push_back({float(std::cos(a) * torus_radius + torus_tube * nx),
                                float(std::sin(a) * torus_radius + torus_tube * ny), float(torus_tube * nz), float(nx),
                                float(ny), float(nz)});
        }
    }
    for (int r = 0; r < torus_rings; ++r) {
        const int r1 = (r + 1) % torus_rings;
        for (int s = 0; s < torus_sides; ++s) {
            const int s1 = (s + 1) % torus_sides;
            const auto at = [](int ring, int side) { return uint16_t(ring * torus_sides + side); };
            indices.insert(indices.end(), {at(r, s), at(r1, s), at(r, s1), at(r, s1), at(r1, s), at(r1, s1)});
        }
    }
}

// Four point lights around the torus on the camera's side. Their range is far beyond the scene, so
// that the range cut-off (which OpenGL lacks) never applies and only the attenuation shapes them.
struct point_light {
    float position[3];
    float diffuse[3];
    float specular[3];
    float ambient[3];
    float attenuation[3];  // constant, linear, quadratic
    float range;
};

constexpr point_light lights[4] = {
    {{-3.0f, 2.5f, -3.0f},
     {0.7f, 0.65f, 0.6f},
     {1.0f, 1.0f, 1.0f},
     {0.05f, 0.05f, 0.05f},
     {1.0f, 0.1f, 0.02f},
     1000.0f},
    {{3.0f, 2.5f, -3.0f}, {0.2f, 0.4f, 0.9f}, {0.6f, 0.7f, 1.0f}, {0.0f, 0.0f, 0.05f}, {1.0f, 0.1f, 0.02f}, 1000.0f},
    {{-3.0f, -2.5f, -2.0f}, {0.8f, 0.3f, 0.2f}, {1.0f, 0.6f, 0.5f}, {0.05f, 0.0f, 0.0f}, {1.0f, 0.1f, 0.02f}, 1000.0f},
    {{2.5f, -2.5f, -4.0f}, {0.3f, 0.8f, 0.3f}, {0.5f, 1.0f, 0.5f}, {0.0f, 0.05f, 0.0f}, {1.0f, 0.1f, 0.02f}, 1000.0f},
};

constexpr float global_ambient[3] = {32.0f / 255.0f, 32.0f / 255.0f, 32.0f / 255.0f};  // 0x00202020
constexpr uint32_t global_ambient_colour = 0x00202020;

// The material: light grey, white highlights. The blended scene takes diffuse alpha 0.5 and, as
// transparent surfaces are drawn, tests depth without writing it, so every layer is blended.
constexpr float material_diffuse[3] = {0.8f, 0.8f, 0.8f};
constexpr float material_ambient[3] = {0.8f, 0.8f, 0.8f};
constexpr float material_specular[3] = {1.0f, 1.0f, 1.0f};
constexpr float material_power = 32.0f;
constexpr float opaque_alpha = 1.0f;
constexpr float blended_alpha = 0.5f;

// Linear vertex fog over the camera-space depth the torus spans (about 3 to 7).
constexpr float fog_start = 3.0f;
constexpr float fog_end = 8.0f;
constexpr uint32_t fog_colour = 0xFF203048;

// Pre-transformed grid: grid_columns x grid_rows cells of two triangles over the whole target,
// 65,536 triangles as a plain triangle list (three vertices each).
constexpr int grid_columns = 256;
constexpr int grid_rows = 128;
constexpr int grid_triangle_count = 2 * grid_columns * grid_rows;
constexpr int grid_vertex_count = 3 * grid_triangle_count;

struct screen_vertex {  // x, y in pixels, z in [0, 1], 1 / w, colour: 20 bytes
    float x, y, z, rhw;
    uint32_t colour;
};

inline void make_grid(std::vector<screen_vertex>& vertices) {
    vertices.clear();
    vertices.reserve(grid_vertex_count);
    const auto corner = [](int column, int row) {
        const uint32_t red = uint32_t(255 * column / grid_columns), green = uint32_t(255 * row / grid_rows);
        const uint32_t blue = uint32_t((column * 7 + row * 13) & 0xFF);
        return screen_vertex{float(width) * float(column) / float(grid_columns),
                             float(height) * float(row) / float(grid_rows), 0.5f, 1.0f,
                             0xFF000000u | red << 16 | green << 8 | blue};
    };
    for (int row = 0; row < grid_rows; ++row) {
        for (int column = 0; column < grid_columns; ++column) {
            const screen_vertex a = corner(column, row), b = corner(column + 1, row), c = corner(column, row + 1),
                                d = corner(column + 1, row + 1);
            vertices.insert(vertices.end(), {a, b, c, b, d, c});
        }
    }
}

// Textured scenes: the torus unlit (white diffuse) and textured, with two sets of texture
// coordinates: set 0 repeats the base texture texture_repeat_u x texture_repeat_v times over the
// torus (partly magnified, partly minified on screen), set 1 spans the light map once. The seams
// carry their own vertices, (rings + 1) x (sides + 1) of them, so that no triangle spans a whole
// repeat of the texture.
constexpr float texture_repeat_u = 8.0f;
constexpr float texture_repeat_v = 2.0f;
constexpr int textured_torus_vertex_count = (torus_rings + 1) * (torus_sides + 1);
static_assert(textured_torus_vertex_count <= 65536, "16-bit indices");

struct textured_vertex {  // position, base texture coordinates, light-map coordinates: 28 bytes
    float x, y, z;
    float u0, v0;
    float u1, v1;
};

inline void make_textured_torus(std::vector<textured_vertex>& vertices, std::vector<uint16_t>& indices) {
    vertices.clear();
    indices.clear();
    vertices.reserve(textured_torus_vertex_count);
    indices.reserve(size_t(3) * torus_triangle_count);
    for (int r = 0; r <= torus_rings; ++r) {
        const double a = 6.283185307179586 * r / torus_rings;
        for (int s = 0; s <= torus_sides; ++s) {
            const double b = 6.283185307179586 * s / torus_sides;
            const double nx = std::cos(a) * std::cos(b), ny = std::sin(a) * std::cos(b), nz = std::sin(b);
            const float ring = float(r) / float(torus_rings), side = float(s) / float(torus_sides);
            vertices.push_back({float(std::cos(a) * torus_radius + torus_tube * nx),
                                float(std::sin(a) * torus_radius + torus_tube * ny), float(torus_tube * nz),
                                ring * texture_repeat_u, side * texture_repeat_v, ring, side});
        }
    }
    for (int r = 0; r < torus_rings; ++r) {
        for (int s = 0; s < torus_sides; ++s) {
            const auto at = [](int ring, int side) { return uint16_t(ring * (torus_sides + 1) + side); };
            indices.insert(indices.end(),
                           {at(r, s), at(r + 1, s), at(r, s + 1), at(r, s + 1), at(r + 1, s), at(r + 1, s + 1)});
        }
    }
}

// The base texture: 256 x 256 texels 0xAARRGGBB, opaque, a two-colour checker of 16-texel squares
// with a thin dark line every 8 texels and a gradient (detail that aliases when minified without
// mip levels), and its full chain of levels down to 1 x 1, each the 2 x 2 box mean of the one
// before. levels[0] is the most detailed.
constexpr int base_texture_side = 256;
constexpr int base_texture_levels = 9;

inline void make_base_texture(std::vector<std::vector<uint32_t>>& levels) {
    levels.assign(1, std::vector<uint32_t>(size_t(base_texture_side) * base_texture_side));
    for (int y = 0; y < base_texture_side; ++y) {
        for (int x = 0; x < base_texture_side; ++x) {
            const bool light = (((x >> 4) ^ (y >> 4)) & 1) != 0;
            const bool line = (x & 7) == 0 || (y & 7) == 0;
            uint32_t red = light ? 230 : 40, green = light ? 200 : 90,
                     blue = uint32_t(60 + x * 150 / base_texture_side);
            if (line) {
                red /= 3;
                green /= 3;
                blue /= 3;
            }
            levels[0][size_t(y * base_texture_side + x)] = 0xFF000000u | red << 16 | green << 8 | blue;
        }
    }
    for (int side = base_texture_side / 2; side >= 1; side /= 2) {
        const std::vector<uint32_t>& above = levels.back();
        std::vector<uint32_t> level(size_t(side) * size_t(side));
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const size_t at = size_t(2 * y) * size_t(2 * side) + size_t(2 * x);
                const uint32_t t[4] = {above[at], above[at + 1], above[at + size_t(2 * side)],
                                       above[at + size_t(2 * side) + 1]};
                uint32_t texel = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    uint32_t sum = 2;  // round half up
                    for (uint32_t c : t) sum += (c >> shift) & 0xFF;
                    texel |= (sum / 4) << shift;
                }
                level[size_t(y * side + x)] = texel;
            }
        }
        levels.push_back(std::move(level));
    }
}

// The light map: 64 x 64 opaque texels, soft bright and dark patches, one level.
constexpr int light_map_side = 64;

inline void make_light_map(std::vector<uint32_t>& texels) {
    texels.resize(size_t(light_map_side) * light_map_side);
    for (int y = 0; y < light_map_side; ++y) {
        for (int x = 0; x < light_map_side; ++x) {
            const double fx = 6.283185307179586 * x / light_map_side, fy = 6.283185307179586 * y / light_map_side;
            const double light = 0.6 + 0.4 * std::sin(3.0 * fx) * std::cos(2.0 * fy);
            const uint32_t level = uint32_t(std::lround(255.0 * light));
            texels[size_t(y * light_map_side + x)] = 0xFF000000u | level << 16 | level << 8 | (level * 7 / 8);
        }
    }
}

// The full-screen quad: pre-transformed, corners half a pixel out so that pixel centres sample texel
// centres' positions, the base texture stretched over the target (magnified), a triangle strip.
struct screen_textured_vertex {  // x, y in pixels, z, 1 / w, texture coordinates: 24 bytes
    float x, y, z, rhw;
    float u, v;
};

inline void make_screen_quad(std::vector<screen_textured_vertex>& vertices) {
    const float left = -0.5f, top = -0.5f, right = float(width) - 0.5f, bottom = float(height) - 0.5f;
    vertices = {{left, top, 0.5f, 1.0f, 0.0f, 0.0f},
                {right, top, 0.5f, 1.0f, 1.0f, 0.0f},
                {left, bottom, 0.5f, 1.0f, 0.0f, 1.0f},
                {right, bottom, 0.5f, 1.0f, 1.0f, 1.0f}};
}

}  // namespace scene_geometry
