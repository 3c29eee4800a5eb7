// surface_checks.cpp - degenerate and back-facing triangles, normal lengths, open edges.
#include "surface_checks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

namespace {

surface_point minus(surface_point a, surface_point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
surface_point cross(surface_point a, surface_point b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(surface_point a, surface_point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

using position_key = std::tuple<long, long, long>;

position_key weld(surface_point p) {
    auto q = [](float v) { return std::lround(static_cast<double>(v) * 1e4); };
    return {q(p.x), q(p.y), q(p.z)};
}

}  // namespace

surface_report check_surface(const surface_view& s) {
    surface_report report;
    report.triangles = s.indices.size() / 3;
    for (const surface_point& n : s.normals) report.non_unit_normals += std::fabs(std::sqrt(dot(n, n)) - 1.0f) > 1e-3f;

    std::vector<bool> used(s.positions.size(), false);
    for (uint32_t i : s.indices) used[i] = true;
    report.unused_vertices = static_cast<size_t>(std::count(used.begin(), used.end(), false));

    std::map<std::pair<position_key, position_key>, int> edges;  // +1 for a -> b, -1 for b -> a (ordered keys)
    for (size_t t = 0; t + 2 < s.indices.size(); t += 3) {
        const uint32_t i[3] = {s.indices[t], s.indices[t + 1], s.indices[t + 2]};
        const surface_point a = s.positions[i[0]], b = s.positions[i[1]], c = s.positions[i[2]];
        const surface_point facing = cross(minus(b, a), minus(c, a));
        const surface_point normals{s.normals[i[0]].x + s.normals[i[1]].x + s.normals[i[2]].x,
                                    s.normals[i[0]].y + s.normals[i[1]].y + s.normals[i[2]].y,
                                    s.normals[i[0]].z + s.normals[i[1]].z + s.normals[i[2]].z};
        if (dot(facing, facing) < 1e-14f)
            ++report.degenerate;
        else if (dot(facing, normals) <= 0.0f)
            ++report.facing_away;
        for (int k = 0; k < 3; ++k) {
            const position_key from = weld(s.positions[i[k]]), to = weld(s.positions[i[(k + 1) % 3]]);
            if (from == to) continue;
            if (from < to)
                ++edges[{from, to}];
            else
                --edges[{to, from}];
        }
    }
    for (const auto& [edge, balance] : edges) report.open_edges += balance != 0;
    return report;
}
