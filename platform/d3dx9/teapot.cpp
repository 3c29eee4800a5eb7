// teapot.cpp - the teapot generator: the classic Bezier patches tessellated into one welded mesh.
//
// Each patch p is S(u, v) = sum_r sum_c B_r(u) B_c(v) P(r, c), with B the cubic Bernstein
// polynomials and P(r, c) the control point listed at 4r + c. Grid point (i, j) lies at u = i/6,
// v = j/6, i, j = 0..6. Its normal is dS/dv x dS/du, normalised; where that vanishes (the top of
// the lid's knob and the centre of the bottom, where a whole row of control points is one point)
// it is (0, 0, +-1), with the sign of the neighbouring grid point's normal.
//
// Grid points closer than 1e-6 in every coordinate are one vertex, numbered in order of first
// appearance (patches in table order, i outer, j inner) and keeping the normal of that first
// appearance. Cell (i, j) with a = (i, j), b = (i+1, j), c = (i+1, j+1), d = (i, j+1) gives the
// triangles (a, b, c) and (a, c, d); a triangle with two equal vertices (at the poles) is dropped.
// Last, the data's right-handed z-up frame becomes the left-handed y-up one: position (x, y, z) ->
// 0.5 (x, z - 1.575, y), normal (nx, ny, nz) -> (nx, nz, ny). Swapping y and z is a reflection,
// which turns the data's counter-clockwise outside into the clockwise one of this platform.
//
// Evaluation and welding run in double precision; the results are rounded once to float.
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"
#include "platform/d3dx9/teapot_patches.h"

#include <array>
#include <cmath>

namespace {

constexpr int teapot_steps = 6;
constexpr int teapot_grid = teapot_steps + 1;
constexpr int teapot_grid_points = teapot_grid * teapot_grid;
constexpr double teapot_weld_tolerance = 1e-6;
// Normals shorter than this (before normalising) count as vanished; they are about 1e-15 at the
// poles and above 0.04 everywhere else.
constexpr double teapot_degenerate_normal = 1e-9;
constexpr double teapot_scale = 0.5;
constexpr double teapot_half_height = 1.575;

struct vec3 {
    double x, y, z;
};

vec3 operator+(const vec3& a, const vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec3 operator*(double s, const vec3& a) { return {s * a.x, s * a.y, s * a.z}; }
vec3 cross(const vec3& a, const vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(const vec3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

// The four cubic Bernstein polynomials at t and their derivatives.
struct bernstein_weights {
    double value[4];
    double slope[4];
};

bernstein_weights bernstein(double t) {
    const double s = 1.0 - t;
    return {{s * s * s, 3.0 * t * s * s, 3.0 * t * t * s, t * t * t},
            {-3.0 * s * s, 3.0 * s * s - 6.0 * t * s, 6.0 * t * s - 3.0 * t * t, 3.0 * t * t}};
}

struct surface_point {
    vec3 position;
    vec3 normal;
};

using patch_grid = std::array<surface_point, teapot_grid_points>;
using grid_basis = std::array<bernstein_weights, teapot_grid>;

grid_basis make_grid_basis() {
    grid_basis basis{};
    for (int k = 0; k < teapot_grid; ++k) basis[k] = bernstein(double(k) / teapot_steps);
    return basis;
}

vec3 control_point(int patch, int r, int c) {
    const float* p = d3dx_teapot_points[d3dx_teapot_patches[patch][4 * r + c]];
    return {p[0], p[1], p[2]};
}

// S and the unnormalised normal dS/dv x dS/du of `patch` at (u, v).
surface_point evaluate_patch(int patch, const bernstein_weights& bu, const bernstein_weights& bv) {
    vec3 s{0, 0, 0}, su{0, 0, 0}, sv{0, 0, 0};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const vec3 p = control_point(patch, r, c);
            s = s + (bu.value[r] * bv.value[c]) * p;
            su = su + (bu.slope[r] * bv.value[c]) * p;
            sv = sv + (bu.value[r] * bv.slope[c]) * p;
        }
    }
    return {s, cross(sv, su)};
}

// The sign of the z component of the first non-vanishing normal beside grid point (i, j).
double neighbour_z_sign(const patch_grid& grid, int i, int j) {
    constexpr int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& step : steps) {
        const int ni = i + step[0], nj = j + step[1];
        if (ni < 0 || ni >= teapot_grid || nj < 0 || nj >= teapot_grid) continue;
        const vec3& n = grid[ni * teapot_grid + nj].normal;
        if (length(n) >= teapot_degenerate_normal) return n.z < 0.0 ? -1.0 : 1.0;
    }
    return 1.0;
}

// All 7 x 7 grid points of `patch` with unit normals, the poles resolved.
void tessellate_patch(int patch, const grid_basis& basis, patch_grid& grid) {
    for (int i = 0; i < teapot_grid; ++i) {
        for (int j = 0; j < teapot_grid; ++j) grid[i * teapot_grid + j] = evaluate_patch(patch, basis[i], basis[j]);
    }
    std::array<bool, teapot_grid_points> pole{};
    for (int k = 0; k < teapot_grid_points; ++k) pole[k] = length(grid[k].normal) < teapot_degenerate_normal;
    for (int k = 0; k < teapot_grid_points; ++k) {
        if (!pole[k]) grid[k].normal = (1.0 / length(grid[k].normal)) * grid[k].normal;
    }
    for (int k = 0; k < teapot_grid_points; ++k) {
        if (pole[k]) grid[k].normal = {0.0, 0.0, neighbour_z_sign(grid, k / teapot_grid, k % teapot_grid)};
    }
}

// Welds grid points into vertices, kept in the data's frame until finish(). A linear search is
// enough: 1,568 grid points against at most 1,177 vertices, once per teapot.
class teapot_welder {
public:
    teapot_welder() {
        points_.reserve(d3dx_teapot_patch_count * teapot_grid_points);
        normals_.reserve(d3dx_teapot_patch_count * teapot_grid_points);
    }

    // The vertex within the tolerance of `point` in every coordinate, appended when there is none.
    uint32_t weld(const surface_point& point) {
        for (size_t k = 0; k < points_.size(); ++k) {
            if (near(points_[k], point.position)) return static_cast<uint32_t>(k);
        }
        points_.push_back(point.position);
        normals_.push_back(point.normal);
        return static_cast<uint32_t>(points_.size() - 1);
    }

    // The welded vertices in the mesh's frame.
    void finish(d3dx_mesh_data& teapot) const {
        teapot.positions.reserve(points_.size());
        teapot.normals.reserve(normals_.size());
        for (const vec3& p : points_) {
            teapot.positions.push_back({float(teapot_scale * p.x), float(teapot_scale * (p.z - teapot_half_height)),
                                        float(teapot_scale * p.y)});
        }
        for (const vec3& n : normals_) teapot.normals.push_back({float(n.x), float(n.z), float(n.y)});
    }

private:
    static bool near(const vec3& a, const vec3& b) {
        return std::abs(a.x - b.x) < teapot_weld_tolerance && std::abs(a.y - b.y) < teapot_weld_tolerance &&
               std::abs(a.z - b.z) < teapot_weld_tolerance;
    }

    std::vector<vec3> points_;
    std::vector<vec3> normals_;  // unit length
};

void push_triangle(d3dx_mesh_data& teapot, uint32_t a, uint32_t b, uint32_t c) {
    if (a == b || b == c || c == a) return;
    teapot.indices.insert(teapot.indices.end(), {a, b, c});
}

void triangulate_patch(const std::array<uint32_t, teapot_grid_points>& vertex, d3dx_mesh_data& teapot) {
    for (int i = 0; i < teapot_steps; ++i) {
        for (int j = 0; j < teapot_steps; ++j) {
            const uint32_t a = vertex[i * teapot_grid + j], b = vertex[(i + 1) * teapot_grid + j];
            const uint32_t c = vertex[(i + 1) * teapot_grid + j + 1], d = vertex[i * teapot_grid + j + 1];
            push_triangle(teapot, a, b, c);
            push_triangle(teapot, a, c, d);
        }
    }
}

}  // namespace

d3dx_mesh_data d3dx_teapot_geometry() {
    constexpr size_t max_triangles = d3dx_teapot_patch_count * teapot_steps * teapot_steps * 2;
    d3dx_mesh_data teapot;
    teapot.indices.reserve(3 * max_triangles);
    const grid_basis basis = make_grid_basis();
    teapot_welder welder;
    patch_grid grid;
    std::array<uint32_t, teapot_grid_points> vertex;
    for (int patch = 0; patch < d3dx_teapot_patch_count; ++patch) {
        tessellate_patch(patch, basis, grid);
        for (int k = 0; k < teapot_grid_points; ++k) vertex[k] = welder.weld(grid[k]);
        triangulate_patch(vertex, teapot);
    }
    welder.finish(teapot);
    teapot.attributes.assign(teapot.indices.size() / 3, 0u);
    return teapot;
}
