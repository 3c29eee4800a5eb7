// geometry_kit.cpp - lofted grids, caps, boxes and cylinders for the model generator.
#include "geometry_kit.h"

#include <algorithm>
#include <cmath>

namespace models {

namespace {

struct grid_view {
    const surface_grid& grid;
    int rows, columns;

    vec3 at(int i, int j) const {
        i = grid.path_wraps ? (i + rows) % rows : std::clamp(i, 0, rows - 1);
        j = grid.ring_wraps ? (j + columns) % columns : std::clamp(j, 0, columns - 1);
        return grid.rings[i][j];
    }
    vec3 centre(int i) const {
        vec3 sum{};
        for (const vec3& p : grid.rings[i]) sum = sum + p;
        return sum * (1.0f / static_cast<float>(columns));
    }
};

// Smooth normals of the grid by central differences (one-sided at open borders). A ring shrunk
// to a point takes the direction of the path out of the surface there.
std::vector<std::vector<vec3>> grid_normals(const grid_view& view) {
    std::vector<std::vector<vec3>> normals(view.rows, std::vector<vec3>(view.columns));
    float orientation = 0.0f;
    for (int i = 0; i < view.rows; ++i) {
        const vec3 centre = view.centre(i);
        for (int j = 0; j < view.columns; ++j) {
            const vec3 along_path = view.at(i + 1, j) - view.at(i - 1, j);
            const vec3 along_ring = view.at(i, j + 1) - view.at(i, j - 1);
            normals[i][j] = cross(along_ring, along_path);
            orientation += dot(normals[i][j], view.at(i, j) - centre);
        }
    }
    const float sign = orientation < 0.0f ? -1.0f : 1.0f;
    for (int i = 0; i < view.rows; ++i) {
        const int neighbour = i == 0 ? 1 : i - 1;
        const vec3 outwards = normalize_or(view.centre(i) - view.centre(neighbour), {0, 1, 0});
        for (vec3& n : normals[i]) n = normalize_or(n * sign, outwards);
    }
    return normals;
}

void add_cap(model_mesh& mesh, const grid_view& view, int row, vec3 normal, const loft_options& options) {
    const uint32_t centre = mesh.add_vertex(view.centre(row), normal, options.cap_uv);
    std::vector<uint32_t> ring;
    for (int j = 0; j < view.columns; ++j) ring.push_back(mesh.add_vertex(view.at(row, j), normal, options.cap_uv));
    for (int j = 0; j < view.columns; ++j) {
        mesh.add_triangle(centre, ring[j], ring[(j + 1) % view.columns], options.material);
    }
}

// NACA 4-digit half thickness (closed trailing edge) and camber line at chord fraction x.
float naca_thickness(float x, float thickness) {
    return 5.0f * thickness *
           (0.2969f * std::sqrt(x) - 0.1260f * x - 0.3516f * x * x + 0.2843f * x * x * x - 0.1036f * x * x * x * x);
}

float naca_camber(float x, float camber) {
    constexpr float peak = 0.4f;
    return x < peak ? camber / (peak * peak) * (2 * peak * x - x * x)
                    : camber / ((1 - peak) * (1 - peak)) * ((1 - 2 * peak) + 2 * peak * x - x * x);
}

float signed_power(float value, float exponent) { return std::copysign(std::pow(std::fabs(value), exponent), value); }

}  // namespace

vec2 no_uv(float, float) { return {}; }

model_mesh loft(const surface_grid& grid, const loft_options& options) {
    model_mesh mesh;
    if (grid.rings.size() < 2 || grid.rings[0].size() < 2) return mesh;
    const grid_view view{grid, static_cast<int>(grid.rings.size()), static_cast<int>(grid.rings[0].size())};
    const auto normals = grid_normals(view);

    const int rows = view.rows + (grid.path_wraps ? 1 : 0);
    const int columns = view.columns + (grid.ring_wraps ? 1 : 0);
    std::vector<uint32_t> index(static_cast<size_t>(rows) * columns);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            const float s = static_cast<float>(i) / static_cast<float>(rows - 1);
            const float t = static_cast<float>(j) / static_cast<float>(columns - 1);
            const vec3 normal = normals[i % view.rows][j % view.columns];
            index[i * columns + j] = mesh.add_vertex(view.at(i, j), normal, options.uv(s, t));
        }
    }
    for (int i = 0; i + 1 < rows; ++i) {
        for (int j = 0; j + 1 < columns; ++j) {
            const uint32_t a = index[i * columns + j], b = index[(i + 1) * columns + j];
            const uint32_t c = index[(i + 1) * columns + j + 1], d = index[i * columns + j + 1];
            mesh.add_triangle(a, b, c, options.material);
            mesh.add_triangle(a, c, d, options.material);
        }
    }
    const int last = view.rows - 1;
    if (options.cap_start) {
        add_cap(mesh, view, 0, normalize_or(view.centre(0) - view.centre(1), {-1, 0, 0}), options);
    }
    if (options.cap_end) {
        add_cap(mesh, view, last, normalize_or(view.centre(last) - view.centre(last - 1), {1, 0, 0}), options);
    }
    mesh.drop_unused_vertices();
    return mesh;
}

surface_grid body_grid(const std::vector<body_section>& sections, int segments) {
    surface_grid grid;
    for (const body_section& section : sections) {
        std::vector<vec3> ring;
        const float exponent = 2.0f / section.exponent;
        for (int j = 0; j < segments; ++j) {
            const float angle = 2.0f * pi * static_cast<float>(j) / static_cast<float>(segments);
            ring.push_back({section.x, section.y + section.ry * signed_power(std::cos(angle), exponent),
                            section.rz * signed_power(std::sin(angle), exponent)});
        }
        grid.rings.push_back(std::move(ring));
    }
    return grid;
}

surface_grid ellipsoid_grid(vec3 centre, vec3 radii, int rings, int segments) {
    std::vector<body_section> sections;
    for (int i = 0; i < rings; ++i) {
        const float angle = pi * static_cast<float>(i) / static_cast<float>(rings - 1);
        const float s = i == 0 || i == rings - 1 ? 0.0f : std::sin(angle);
        sections.push_back({centre.x + radii.x * std::cos(angle), centre.y, radii.y * s, radii.z * s});
    }
    surface_grid grid = body_grid(sections, segments);
    for (auto& ring : grid.rings) {
        for (vec3& p : ring) p.z += centre.z;
    }
    return grid;
}

std::vector<airfoil_section> span_sections(int per_side, float half_span,
                                           const std::function<void(airfoil_section&, float z, float eta)>& shape) {
    std::vector<airfoil_section> sections;
    for (int i = -per_side; i <= per_side; ++i) {
        const float z = half_span * static_cast<float>(i) / static_cast<float>(per_side);
        airfoil_section a;
        shape(a, z, std::fabs(z) / half_span);
        sections.push_back(a);
    }
    return sections;
}

surface_grid airfoil_grid(const std::vector<airfoil_section>& sections, int points_per_side) {
    surface_grid grid;
    grid.ring_wraps = false;
    for (const airfoil_section& section : sections) {
        std::vector<vec3> ring;
        for (int k = -points_per_side; k <= points_per_side; ++k) {
            const float angle = pi * static_cast<float>(std::abs(k)) / static_cast<float>(points_per_side);
            const float x = 0.5f * (1.0f - std::cos(angle));  // cosine spacing: dense at both edges
            const float half = naca_thickness(x, section.thickness);
            const float height = naca_camber(x, section.camber) + (k <= 0 ? half : -half);
            ring.push_back(section.leading_edge + (section.chord_direction * x + section.up * height) * section.chord);
        }
        grid.rings.push_back(std::move(ring));
    }
    return grid;
}

surface_grid torus_grid(float ring_radius, float tube_radius, int rings, int segments) {
    surface_grid grid;
    grid.path_wraps = true;
    for (int i = 0; i < rings; ++i) {
        const float around = 2.0f * pi * static_cast<float>(i) / static_cast<float>(rings);
        const vec3 radial{std::cos(around), std::sin(around), 0.0f};
        std::vector<vec3> ring;
        for (int j = 0; j < segments; ++j) {
            const float tube = 2.0f * pi * static_cast<float>(j) / static_cast<float>(segments);
            const vec3 along_axis{0, 0, tube_radius * std::sin(tube)};
            ring.push_back(radial * (ring_radius + tube_radius * std::cos(tube)) + along_axis);
        }
        grid.rings.push_back(std::move(ring));
    }
    return grid;
}

model_mesh cylinder(vec3 a, vec3 b, float radius, int segments, uint32_t material, vec2 uv) {
    const float height = length(b - a);
    const surface_grid grid = body_grid({{0.0f, 0.0f, radius, radius}, {height, 0.0f, radius, radius}}, segments);
    loft_options options;
    options.material = material;
    options.uv = [uv](float, float) { return uv; };
    options.cap_start = options.cap_end = true;
    options.cap_uv = uv;
    const model_mesh local = loft(grid, options);

    affine_transform placement;
    placement.ax = normalize_or(b - a, {1, 0, 0});
    const vec3 helper = std::fabs(placement.ax.y) < 0.9f ? vec3{0, 1, 0} : vec3{1, 0, 0};
    placement.ay = normalize_or(helper - placement.ax * dot(helper, placement.ax), {0, 1, 0});
    placement.az = cross(placement.ax, placement.ay);
    placement.offset = a;
    model_mesh mesh;
    mesh.append(local, placement);
    return mesh;
}

model_mesh box(vec3 low, vec3 high, uint32_t material, vec2 uv) {
    model_mesh mesh;
    const vec3 corner[2] = {low, high};
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            vec3 normal{};
            component(normal, axis) = side == 0 ? -1.0f : 1.0f;
            uint32_t quad[4];
            for (int k = 0; k < 4; ++k) {
                const int u = k == 1 || k == 2, v = k >= 2;
                vec3 p;
                component(p, axis) = component(corner[side], axis);
                component(p, (axis + 1) % 3) = component(corner[u], (axis + 1) % 3);
                component(p, (axis + 2) % 3) = component(corner[v], (axis + 2) % 3);
                quad[k] = mesh.add_vertex(p, normal, uv);
            }
            mesh.add_triangle(quad[0], quad[1], quad[2], material);
            mesh.add_triangle(quad[0], quad[2], quad[3], material);
        }
    }
    return mesh;
}

}  // namespace models
