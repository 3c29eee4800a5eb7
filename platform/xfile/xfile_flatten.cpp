// xfile_flatten.cpp - flattening of .x frames and meshes into one mesh (contract in xfile_flatten.h).
#include "platform/d3dx9/mesh_data.h"
#include "platform/xfile/xfile_flatten.h"
#include "platform/base/cofactor3.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

using matrix4x4 = std::array<double, 16>;  // D3DMATRIX order: element (row i, column j) at 4 * i + j

constexpr uint32_t unused_slot = UINT32_MAX;
// Duplicates of a position are chained up to this many vertices (enough for the corners of a box
// or a crease); a position used with more normals keeps the rest in a map, so that no corner
// walks far.
constexpr uint32_t chain_length = 8;
constexpr D3DCOLOR white = 0xFFFFFFFFu;

matrix4x4 multiply(const matrix4x4& a, const matrix4x4& b) {
    matrix4x4 product{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[4 * i + k] * b[4 * k + j];
            product[4 * i + j] = sum;
        }
    }
    return product;
}

// The position transform of a mesh and the matching normal transform: the cofactor matrix of the
// 3x3 part, signed by its determinant, is the inverse-transpose up to a positive scale (and still
// defined for a singular matrix); normals are renormalised after it.
struct mesh_transform {
    matrix4x4 position;
    double normal[9];
    bool identity;
    bool linear_identity;
};

// Each frame's matrix times its parents' (v * M_frame * M_parent * ...), in one pass: frames are
// stored parents first.
std::vector<matrix4x4> frame_matrices(const xfile_scene& scene) {
    std::vector<matrix4x4> world;
    world.reserve(scene.frames.size());
    for (const xfile_frame& frame : scene.frames)
        world.push_back(frame.parent == xfile_no_frame ? frame.matrix : multiply(frame.matrix, world[frame.parent]));
    return world;
}

mesh_transform frame_transform(const std::vector<matrix4x4>& world, uint32_t frame) {
    mesh_transform t;
    t.position = frame == xfile_no_frame ? xfile_frame{}.matrix : world[frame];
    const matrix4x4& m = t.position;
    auto a = [&m](int i, int j) { return m[4 * i + j]; };
    cofactor3(a, [&t](int i, int j) -> double& { return t.normal[3 * i + j]; });
    const double det = a(0, 0) * t.normal[0] + a(0, 1) * t.normal[1] + a(0, 2) * t.normal[2];
    if (det < 0.0) {
        for (double& n : t.normal) n = -n;
    }
    const matrix4x4 identity = xfile_frame{}.matrix;
    t.identity = m == identity;
    t.linear_identity = true;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) t.linear_identity = t.linear_identity && a(i, j) == (i == j ? 1.0 : 0.0);
    }
    return t;
}

float narrow(double value) {
    if (value > 3.4e38) return INFINITY;
    if (value < -3.4e38) return -INFINITY;
    return static_cast<float>(value);
}

D3DVECTOR move_position(const mesh_transform& t, const D3DVECTOR& p) {
    if (t.identity) return p;
    const matrix4x4& m = t.position;
    return D3DVECTOR{narrow(p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12]),
                     narrow(p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13]),
                     narrow(p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14])};
}

D3DVECTOR move_normal(const mesh_transform& t, const D3DVECTOR& n) {
    if (t.linear_identity) return n;
    const double* c = t.normal;
    const double x = n.x * c[0] + n.y * c[3] + n.z * c[6];
    const double y = n.x * c[1] + n.y * c[4] + n.z * c[7];
    const double z = n.x * c[2] + n.y * c[5] + n.z * c[8];
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0) || !std::isfinite(length)) return D3DVECTOR{0.0f, 0.0f, 0.0f};
    return D3DVECTOR{narrow(x / length), narrow(y / length), narrow(z / length)};
}

D3DCOLOR packed(const D3DCOLORVALUE& c) {
    auto channel = [](float v) -> uint32_t {
        if (!(v > 0.0f)) return 0;
        if (v >= 1.0f) return 255;
        return static_cast<uint32_t>(v * 255.0f + 0.5f);
    };
    return (channel(c.a) << 24) | (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

struct vertex_streams {
    bool normals = false;
    bool texcoords = false;
    bool colours = false;
    bool material_lists = false;
};

vertex_streams streams_of(const xfile_scene& scene) {
    vertex_streams s;
    for (const xfile_raw_mesh& mesh : scene.meshes) {
        s.normals = s.normals || mesh.has_normals;
        s.texcoords = s.texcoords || !mesh.texcoords.empty();
        s.colours = s.colours || !mesh.colours.empty();
        s.material_lists = s.material_lists || mesh.has_material_list;
    }
    return s;
}

// A vertex made for a further use of a position past its chain: the position, the normal index
// and the attribute (unused_slot where they do not tell vertices apart).
struct vertex_key {
    uint32_t position;
    uint32_t normal;
    uint32_t attribute;
    bool operator==(const vertex_key&) const = default;
};

struct vertex_key_hash {
    size_t operator()(const vertex_key& k) const {
        const uint64_t mixed =
            (uint64_t(k.position) << 32 | k.normal) ^ (uint64_t(k.attribute) * 0x9E3779B97F4A7C15ull);
        return std::hash<uint64_t>()(mixed);
    }
};

// Appends one mesh's vertices, triangles and materials to the model.
class mesh_appender {
public:
    mesh_appender(const xfile_raw_mesh& raw, const vertex_streams& streams, const mesh_transform& transform,
                  xfile_model& model)
        : raw_(raw), streams_(streams), transform_(transform), model_(model), out_(model.mesh) {}

    void append();

private:
    void append_materials();
    void append_positions();
    uint32_t face_attribute(size_t face) const;
    uint32_t corner_vertex(size_t corner, uint32_t attribute);
    uint32_t add_corner_vertex(uint32_t position, size_t corner, uint32_t attribute);
    void set_corner_attributes(uint32_t vertex, size_t corner, uint32_t attribute);
    uint32_t add_vertex(uint32_t position);

    const xfile_raw_mesh& raw_;
    const vertex_streams& streams_;
    const mesh_transform& transform_;
    xfile_model& model_;
    d3dx_mesh_data& out_;
    uint32_t vertex_base_ = 0;
    uint32_t material_base_ = 0;
    bool substitute_colours_ = false;
    // Per local vertex: the normal index and attribute it was made for, and the next vertex made
    // from the same position (unused_slot ends the chain). Vertex i < positions starts position i's
    // chain; vertices past a full chain are found through the map.
    std::vector<uint32_t> normal_of_;
    std::vector<uint32_t> attribute_of_;
    std::vector<uint32_t> next_;
    std::vector<bool> used_;
    std::unordered_map<vertex_key, uint32_t, vertex_key_hash> overflow_;
};

void mesh_appender::append_materials() {
    material_base_ = static_cast<uint32_t>(model_.materials.size());
    if (raw_.has_material_list) {
        model_.materials.insert(model_.materials.end(), raw_.materials.begin(), raw_.materials.end());
    } else if (streams_.material_lists) {
        model_.materials.push_back(xfile_default_material());
    }
}

uint32_t mesh_appender::face_attribute(size_t face) const {
    return raw_.has_material_list ? material_base_ + raw_.face_materials[face] : material_base_;
}

uint32_t mesh_appender::add_vertex(uint32_t position) {
    const uint32_t local = static_cast<uint32_t>(next_.size());
    normal_of_.push_back(unused_slot);
    attribute_of_.push_back(unused_slot);
    next_.push_back(unused_slot);
    out_.positions.push_back(move_position(transform_, raw_.positions[position]));
    if (streams_.normals) out_.normals.push_back(D3DVECTOR{0.0f, 0.0f, 0.0f});
    if (streams_.texcoords) {
        const bool has = !raw_.texcoords.empty();
        out_.texcoords.push_back(has ? raw_.texcoords[2 * size_t(position)] : 0.0f);
        out_.texcoords.push_back(has ? raw_.texcoords[2 * size_t(position) + 1] : 0.0f);
    }
    if (streams_.colours) out_.diffuse.push_back(raw_.colours.empty() ? white : raw_.colours[position]);
    return local;
}

// The mesh's own vertices, vertex i from position i, stream by stream.
void mesh_appender::append_positions() {
    const size_t count = raw_.positions.size();
    vertex_base_ = static_cast<uint32_t>(out_.positions.size());
    used_.assign(count, false);
    normal_of_.assign(count, unused_slot);
    attribute_of_.assign(count, unused_slot);
    next_.assign(count, unused_slot);
    out_.positions.resize(vertex_base_ + count);
    std::transform(raw_.positions.begin(), raw_.positions.end(), out_.positions.begin() + vertex_base_,
                   [this](const D3DVECTOR& p) { return move_position(transform_, p); });
    if (streams_.normals) out_.normals.resize(vertex_base_ + count, D3DVECTOR{0.0f, 0.0f, 0.0f});
    if (streams_.texcoords) {
        if (raw_.texcoords.empty())
            out_.texcoords.resize(2 * (vertex_base_ + count), 0.0f);
        else
            out_.texcoords.insert(out_.texcoords.end(), raw_.texcoords.begin(), raw_.texcoords.end());
    }
    if (streams_.colours) {
        if (raw_.colours.empty())
            out_.diffuse.resize(vertex_base_ + count, white);
        else
            out_.diffuse.insert(out_.diffuse.end(), raw_.colours.begin(), raw_.colours.end());
    }
}

void mesh_appender::set_corner_attributes(uint32_t vertex, size_t corner, uint32_t attribute) {
    const size_t global = size_t(vertex_base_) + vertex;
    if (raw_.has_normals) {
        normal_of_[vertex] = raw_.normal_indices[corner];
        out_.normals[global] = move_normal(transform_, raw_.normals[normal_of_[vertex]]);
    }
    if (substitute_colours_) {
        attribute_of_[vertex] = attribute;
        out_.diffuse[global] =
            attribute < model_.materials.size() ? packed(model_.materials[attribute].material.Diffuse) : white;
    }
}

// The vertex for one face corner: the position's own vertex on first use, else a vertex of the
// position with the same normal (and substituted colour), else a new duplicate.
uint32_t mesh_appender::corner_vertex(size_t corner, uint32_t attribute) {
    const uint32_t position = raw_.face_indices[corner];
    if (!used_[position]) {
        used_[position] = true;
        set_corner_attributes(position, corner, attribute);
        return position;
    }
    const uint32_t normal = raw_.has_normals ? raw_.normal_indices[corner] : unused_slot;
    const uint32_t wanted_attribute = substitute_colours_ ? attribute : unused_slot;
    uint32_t v = position;
    for (uint32_t length = 1; normal_of_[v] != normal || attribute_of_[v] != wanted_attribute; ++length) {
        if (next_[v] != unused_slot) {
            v = next_[v];
        } else if (length < chain_length) {
            const uint32_t added = add_corner_vertex(position, corner, attribute);
            next_[v] = added;
            return added;
        } else {
            const auto [found, added] = overflow_.try_emplace(vertex_key{position, normal, wanted_attribute}, 0);
            if (added) found->second = add_corner_vertex(position, corner, attribute);
            return found->second;
        }
    }
    return v;
}

uint32_t mesh_appender::add_corner_vertex(uint32_t position, size_t corner, uint32_t attribute) {
    const uint32_t added = add_vertex(position);
    set_corner_attributes(added, corner, attribute);
    return added;
}

void mesh_appender::append() {
    append_materials();
    substitute_colours_ = streams_.colours && raw_.colours.empty();
    append_positions();
    size_t corner = 0;
    std::vector<uint32_t> face;
    for (size_t f = 0; f < raw_.face_sizes.size(); ++f) {
        const uint32_t attribute = face_attribute(f);
        face.clear();
        for (uint32_t k = 0; k < raw_.face_sizes[f]; ++k)
            face.push_back(vertex_base_ + corner_vertex(corner++, attribute));
        for (size_t k = 1; k + 1 < face.size(); ++k) {
            out_.indices.insert(out_.indices.end(), {face[0], face[k], face[k + 1]});
            out_.attributes.push_back(model_.materials.empty() ? 0 : attribute);
        }
    }
}

// Room for what every mesh adds at least: its positions and its triangles.
void reserve_output(const xfile_scene& scene, d3dx_mesh_data& out, const vertex_streams& streams) {
    size_t vertices = 0;
    size_t triangles = 0;
    for (const xfile_raw_mesh& raw : scene.meshes) {
        vertices += raw.positions.size();
        for (uint32_t corners : raw.face_sizes) triangles += corners > 2 ? corners - 2 : 0;
    }
    out.positions.reserve(vertices);
    if (streams.normals) out.normals.reserve(vertices);
    if (streams.texcoords) out.texcoords.reserve(2 * vertices);
    if (streams.colours) out.diffuse.reserve(vertices);
    out.indices.reserve(3 * triangles);
    out.attributes.reserve(triangles);
}

}  // namespace

bool xfile_flatten(const xfile_scene& scene, xfile_model* model, std::string* error) {
    const vertex_streams streams = streams_of(scene);
    const std::vector<matrix4x4> world = frame_matrices(scene);
    model->mesh = d3dx_mesh_data{};
    model->materials.clear();
    reserve_output(scene, model->mesh, streams);
    for (const xfile_raw_mesh& raw : scene.meshes) {
        const size_t corners = raw.face_indices.size();
        if (model->mesh.positions.size() + raw.positions.size() + corners > UINT32_MAX) {
            if (error != nullptr) *error = "too many vertices for 32-bit indices";
            return false;
        }
        mesh_appender(raw, streams, frame_transform(world, raw.frame), *model).append();
    }
    return true;
}
