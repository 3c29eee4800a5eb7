// xfile_parser.cpp - the .x object parser (contract in xfile_parser.h).
#include "platform/xfile/xfile_parser.h"
#include "platform/base/ascii_case.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace {

constexpr int max_depth = 256;
// What material lists may add on top of the body's size: records and texture names, counting
// every reference and every padded default (a reference of three bytes can copy a long name).
constexpr size_t material_allowance = size_t(64) << 20;
// The fewest bytes an item takes in either encoding (a text number is at least a digit and its
// terminator, a binary float four bytes), to bound what a count reserves.
constexpr size_t vector_bytes = 6;
constexpr size_t face_bytes = 2;

struct object_head {
    std::string_view name;
    bool has_guid = false;
    xfile_guid guid;
};

struct declared_material {
    object_head head;
    xfile_material material;
};

struct guid_hash {
    size_t operator()(const xfile_guid& guid) const {
        uint64_t low;
        uint64_t high;
        std::memcpy(&low, guid.bytes, 8);
        std::memcpy(&high, guid.bytes + 8, 8);
        return std::hash<uint64_t>()(low ^ (high * 0x9E3779B97F4A7C15ull));
    }
};

// The vertex colours of the last MeshVertexColors of a mesh, applied once the mesh is read.
struct vertex_colour {
    uint32_t index;
    D3DCOLOR colour;
};

bool is(std::string_view identifier, std::string_view expected) {
    return ascii_equal_ignoring_case(identifier, expected);
}

uint32_t colour_channel(double value) {
    if (!(value > 0.0)) return 0;
    if (value >= 1.0) return 255;
    return static_cast<uint32_t>(value * 255.0 + 0.5);
}

// "Textures\\Rock.bmp" in the file stands for Textures\Rock.bmp.
std::string collapse_doubled_backslashes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        result.push_back(text[i]);
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
    }
    return result;
}

class scene_parser {
public:
    scene_parser(xfile_token_stream& in, xfile_scene& scene)
        : in_(in), scene_(scene), material_budget_(in.remaining() + material_allowance) {}

    bool parse_file();
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& reason);
    bool fail_read(const char* what, const char* why) { return fail(std::string(what) + ": " + why); }
    bool read_uint(uint32_t* value, const char* what);
    bool read_count(uint32_t* value, const char* what);
    size_t at_most(uint32_t count, size_t item_bytes) const;
    bool read_uints(uint32_t* values, size_t count, const char* what);
    bool read_float(float* value, const char* what);
    bool read_floats(float* values, size_t count, const char* what);
    bool read_vectors(std::vector<D3DVECTOR>* vectors, const char* what);
    bool read_faces(xfile_raw_mesh& mesh);
    template <typename Accept>
    uint32_t faces_from_run(uint32_t first, uint32_t faces, size_t limit, std::vector<uint32_t>& indices, size_t& at,
                            Accept&& accept);
    bool check_indices(const uint32_t* indices, size_t count, size_t limit, const char* what, const char* items);

    bool open_object(object_head* head);
    bool skip_body();
    bool skip_object();
    bool skip_template();
    template <typename OnObject, typename OnReference>
    bool children(const char* what, OnObject&& on_object, OnReference&& on_reference);
    bool children(const char* what);
    bool read_reference(object_head* reference);
    bool too_deep(int depth);

    bool container_child(std::string_view identifier, uint32_t frame, int depth);
    bool parse_frame(uint32_t parent, int depth);
    bool parse_frame_matrix(uint32_t frame);
    bool parse_mesh(uint32_t frame, int depth);
    bool parse_normals(xfile_raw_mesh& mesh);
    bool parse_texture_coords(xfile_raw_mesh& mesh);
    bool parse_vertex_colours(const xfile_raw_mesh& mesh, std::vector<vertex_colour>* colours);
    bool read_face_materials(xfile_raw_mesh& mesh, uint32_t count, uint32_t indexes);
    bool parse_material_list(xfile_raw_mesh& mesh, int depth);
    bool add_list_materials(xfile_raw_mesh& mesh, size_t count, const xfile_material& material);
    bool parse_material(xfile_material* material, object_head* head, int depth);
    void declare_material(declared_material&& declared);
    bool parse_declared_material(int depth);
    bool parse_texture_filename(xfile_material* material);
    bool resolve_material(const xfile_material** material);

    xfile_token_stream& in_;
    xfile_scene& scene_;
    // Named materials in declaration order; the maps give the latest of each name and UUID.
    std::vector<xfile_material> declared_;
    std::unordered_map<std::string_view, size_t> declared_by_name_;
    std::unordered_map<xfile_guid, size_t, guid_hash> declared_by_guid_;
    size_t material_budget_;
    std::string error_;
};

bool scene_parser::fail(const std::string& reason) {
    if (error_.empty()) error_ = reason + " (near byte " + std::to_string(in_.offset()) + " of the body)";
    return false;
}

bool scene_parser::read_uint(uint32_t* value, const char* what) {
    const char* why = "";
    return in_.read_uint(value, &why) || fail_read(what, why);
}

// A count of items that each take at least one byte of what is left.
bool scene_parser::read_count(uint32_t* value, const char* what) {
    if (!read_uint(value, what)) return false;
    if (*value <= in_.remaining()) return true;
    return fail(std::string(what) + " " + std::to_string(*value) + " exceeds the data left");
}

// How many of `count` items of at least `item_bytes` bytes each the bytes left can hold: what
// to reserve, so that a count that the data does not back costs no memory.
size_t scene_parser::at_most(uint32_t count, size_t item_bytes) const {
    return std::min<size_t>(count, in_.remaining() / item_bytes);
}

bool scene_parser::read_uints(uint32_t* values, size_t count, const char* what) {
    const char* why = "";
    return in_.read_uints(values, count, &why) || fail_read(what, why);
}

bool scene_parser::read_float(float* value, const char* what) {
    const char* why = "";
    return in_.read_float(value, &why) || fail_read(what, why);
}

bool scene_parser::read_floats(float* values, size_t count, const char* what) {
    const char* why = "";
    return in_.read_floats(values, count, &why) || fail_read(what, why);
}

// Vectors are read in chunks that the bytes left can hold, so a count that the data does not
// back costs no memory; a D3DVECTOR is three floats in a row.
bool scene_parser::read_vectors(std::vector<D3DVECTOR>* vectors, const char* what) {
    static_assert(sizeof(D3DVECTOR) == 3 * sizeof(float));
    uint32_t count = 0;
    if (!read_count(&count, what)) return false;
    vectors->clear();
    for (size_t done = 0; done < count;) {
        const size_t chunk = std::max<size_t>(1, at_most(static_cast<uint32_t>(count - done), vector_bytes));
        vectors->resize(done + chunk);
        if (!read_floats(&(*vectors)[done].x, 3 * chunk, what)) return false;
        done += chunk;
    }
    return true;
}

// Every index < limit (a count of `items`).
bool scene_parser::check_indices(const uint32_t* indices, size_t count, size_t limit, const char* what,
                                 const char* items) {
    for (size_t i = 0; i < count; ++i) {
        if (indices[i] >= limit) {
            return fail(std::string(what) + " " + std::to_string(indices[i]) + " out of range (" +
                        std::to_string(limit) + " " + items + ")");
        }
    }
    return true;
}

bool scene_parser::too_deep(int depth) {
    if (depth <= max_depth) return false;
    fail("objects nested too deeply");
    return true;
}

// Reads `[name] { [<uuid>]` of a data object whose identifier has been read.
bool scene_parser::open_object(object_head* head) {
    if (xfile_is_name_like(in_.peek())) head->name = in_.next().text;
    const xfile_token brace = in_.next();
    if (brace.kind == xfile_token_kind::error) return fail(std::string(brace.text));
    if (brace.kind != xfile_token_kind::open_brace) return fail("expected '{' after object identifier");
    if (in_.peek().kind == xfile_token_kind::guid) {
        head->has_guid = true;
        head->guid = in_.next().guid;
    }
    return true;
}

// Steps over the rest of a body whose '{' has been read, through the matching '}'.
bool scene_parser::skip_body() {
    const xfile_token token = in_.skip_body();
    if (token.kind == xfile_token_kind::close_brace) return true;
    if (token.kind == xfile_token_kind::error) return fail(std::string(token.text));
    return fail("unterminated object");
}

bool scene_parser::skip_object() {
    object_head head;
    return open_object(&head) && skip_body();
}

bool scene_parser::skip_template() {
    if (!xfile_is_name_like(in_.next())) return fail("template without a name");
    if (in_.next().kind != xfile_token_kind::open_brace) return fail("expected '{' after template name");
    return skip_body();
}

// Reads what follows an object's members up to its closing '}': child objects go to on_object
// (with their identifier read), data references to on_reference (with their '{' read).
template <typename OnObject, typename OnReference>
bool scene_parser::children(const char* what, OnObject&& on_object, OnReference&& on_reference) {
    for (;;) {
        const xfile_token& token = in_.peek();
        switch (token.kind) {
        case xfile_token_kind::close_brace: in_.next(); return true;
        case xfile_token_kind::separator: in_.next(); break;
        case xfile_token_kind::name:
            if (!on_object(in_.next().text)) return false;
            break;
        case xfile_token_kind::open_brace:
            in_.next();
            if (!on_reference()) return false;
            break;
        case xfile_token_kind::template_keyword:
            in_.next();
            if (!skip_template()) return false;
            break;
        case xfile_token_kind::end: return fail(std::string("unterminated ") + what);
        case xfile_token_kind::error: return fail(std::string(token.text));
        default: return fail(std::string("unexpected data in ") + what);
        }
    }
}

bool scene_parser::children(const char* what) {
    return children(
        what, [this](std::string_view) { return skip_object(); }, [this] { return skip_body(); });
}

// Reads `[name] [<uuid>] }` of a data reference whose '{' has been read.
bool scene_parser::read_reference(object_head* reference) {
    if (xfile_is_name_like(in_.peek())) reference->name = in_.next().text;
    if (in_.peek().kind == xfile_token_kind::guid) {
        reference->has_guid = true;
        reference->guid = in_.next().guid;
    }
    if (in_.next().kind != xfile_token_kind::close_brace) return fail("malformed data reference");
    if (reference->name.empty() && !reference->has_guid) return fail("empty data reference");
    return true;
}

bool scene_parser::parse_file() {
    for (;;) {
        const xfile_token& token = in_.peek();
        switch (token.kind) {
        case xfile_token_kind::end: return true;
        case xfile_token_kind::separator: in_.next(); break;
        case xfile_token_kind::template_keyword:
            in_.next();
            if (!skip_template()) return false;
            break;
        case xfile_token_kind::name:
            if (!container_child(in_.next().text, xfile_no_frame, 0)) return false;
            break;
        case xfile_token_kind::open_brace:
            in_.next();
            if (!skip_body()) return false;
            break;
        case xfile_token_kind::close_brace: in_.next(); break;  // some exporters close one brace too many
        case xfile_token_kind::error: return fail(std::string(token.text));
        default: return fail("unexpected data outside any object");
        }
    }
}

// An object at the top level or inside a Frame.
bool scene_parser::container_child(std::string_view identifier, uint32_t frame, int depth) {
    if (is(identifier, "Frame")) return parse_frame(frame, depth + 1);
    if (is(identifier, "Mesh")) return parse_mesh(frame, depth + 1);
    if (is(identifier, "Material")) return parse_declared_material(depth + 1);
    return skip_object();
}

bool scene_parser::parse_frame(uint32_t parent, int depth) {
    object_head head;
    if (too_deep(depth) || !open_object(&head)) return false;
    const uint32_t index = static_cast<uint32_t>(scene_.frames.size());
    xfile_frame frame;
    frame.parent = parent;
    scene_.frames.push_back(frame);
    return children(
        "Frame",
        [&](std::string_view identifier) {
            if (is(identifier, "FrameTransformMatrix")) return parse_frame_matrix(index);
            return container_child(identifier, index, depth);
        },
        [this] { return skip_body(); });
}

bool scene_parser::parse_frame_matrix(uint32_t frame) {
    object_head head;
    if (!open_object(&head)) return false;
    for (double& element : scene_.frames[frame].matrix) {
        const char* why = "";
        if (!in_.read_number(&element, &why)) return fail_read("FrameTransformMatrix", why);
    }
    return children("FrameTransformMatrix");
}

// Whole faces straight from a binary integer list, from face `first` on: a corner count and that
// many indices < limit, written to `indices` from `at` (grown as needed), kept when accept(face,
// corners) agrees. Stops before the first face that does not lie whole in the list or that a check
// refuses, which the caller then reads member by member (and reports); returns the faces kept.
template <typename Accept>
uint32_t scene_parser::faces_from_run(uint32_t first, uint32_t faces, size_t limit, std::vector<uint32_t>& indices,
                                      size_t& at, Accept&& accept) {
    const xfile_uint_run run = in_.uint_run();
    size_t used = 0;
    uint32_t f = first;
    while (f < faces && used < run.count) {
        const uint32_t corners = run[used];
        if (corners > run.count - used - 1) break;
        if (indices.size() < at + corners) indices.resize(std::max(at + corners, 2 * indices.size()));
        bool in_range = true;
        for (uint32_t k = 0; k < corners; ++k) {
            const uint32_t index = run[used + 1 + k];
            in_range = in_range && index < limit;
            indices[at + k] = index;
        }
        if (!in_range || !accept(f, corners)) break;
        at += corners;
        used += 1 + size_t(corners);
        ++f;
    }
    in_.consume_uints(used);
    return f - first;
}

bool scene_parser::read_faces(xfile_raw_mesh& mesh) {
    uint32_t faces = 0;
    if (!read_count(&faces, "Mesh face count")) return false;
    mesh.face_sizes.reserve(at_most(faces, face_bytes));
    size_t at = 0;
    for (uint32_t f = 0; f < faces; ++f) {
        f += faces_from_run(f, faces, mesh.positions.size(), mesh.face_indices, at, [&](uint32_t, uint32_t corners) {
            mesh.face_sizes.push_back(corners);
            return true;
        });
        if (f == faces) break;
        uint32_t corners = 0;
        if (!read_count(&corners, "Mesh face size")) return false;
        mesh.face_sizes.push_back(corners);
        if (mesh.face_indices.size() < at + corners) mesh.face_indices.resize(at + corners);
        if (!read_uints(mesh.face_indices.data() + at, corners, "Mesh face index") ||
            !check_indices(mesh.face_indices.data() + at, corners, mesh.positions.size(), "face index", "vertices")) {
            return false;
        }
        at += corners;
    }
    mesh.face_indices.resize(at);
    return true;
}

bool scene_parser::parse_mesh(uint32_t frame, int depth) {
    object_head head;
    if (too_deep(depth) || !open_object(&head)) return false;
    xfile_raw_mesh mesh;
    mesh.frame = frame;
    if (!read_vectors(&mesh.positions, "Mesh vertices") || !read_faces(mesh)) return false;
    bool has_colours = false;
    std::vector<vertex_colour> colours;
    const bool ok = children(
        "Mesh",
        [&](std::string_view identifier) {
            if (is(identifier, "MeshNormals")) return parse_normals(mesh);
            if (is(identifier, "MeshTextureCoords")) return parse_texture_coords(mesh);
            if (is(identifier, "MeshVertexColors")) {
                has_colours = true;
                return parse_vertex_colours(mesh, &colours);
            }
            if (is(identifier, "MeshMaterialList")) return parse_material_list(mesh, depth);
            return skip_object();
        },
        [this] { return skip_body(); });
    if (!ok) return false;
    // Streams that a later object of the same kind replaces are completed only now, so that
    // repeated objects cost what they hold, not the size of the mesh each time.
    if (has_colours) {
        mesh.colours.assign(mesh.positions.size(), 0xFFFFFFFFu);
        for (const vertex_colour& c : colours) mesh.colours[c.index] = c.colour;
    }
    if (mesh.has_material_list) {
        const uint32_t last = mesh.face_materials.empty() ? 0 : mesh.face_materials.back();
        mesh.face_materials.resize(mesh.face_sizes.size(), last);
    }
    scene_.meshes.push_back(std::move(mesh));
    return true;
}

bool scene_parser::parse_normals(xfile_raw_mesh& mesh) {
    object_head head;
    if (!open_object(&head) || !read_vectors(&mesh.normals, "MeshNormals normals")) return false;
    uint32_t faces = 0;
    if (!read_count(&faces, "MeshNormals face count")) return false;
    if (faces != mesh.face_sizes.size()) {
        return fail("MeshNormals has " + std::to_string(faces) + " faces, the mesh " +
                    std::to_string(mesh.face_sizes.size()));
    }
    mesh.normal_indices.assign(mesh.face_indices.size(), 0);
    size_t at = 0;
    for (uint32_t f = 0; f < faces; ++f) {
        f += faces_from_run(f, faces, mesh.normals.size(), mesh.normal_indices, at,
                            [&](uint32_t face, uint32_t corners) { return corners == mesh.face_sizes[face]; });
        if (f == faces) break;
        uint32_t corners = 0;
        if (!read_uint(&corners, "MeshNormals face size")) return false;
        if (corners != mesh.face_sizes[f]) return fail("MeshNormals face " + std::to_string(f) + " differs in size");
        if (!read_uints(mesh.normal_indices.data() + at, corners, "MeshNormals face index") ||
            !check_indices(mesh.normal_indices.data() + at, corners, mesh.normals.size(), "normal index", "normals")) {
            return false;
        }
        at += corners;
    }
    mesh.has_normals = true;
    return children("MeshNormals");
}

bool scene_parser::parse_texture_coords(xfile_raw_mesh& mesh) {
    object_head head;
    uint32_t count = 0;
    if (!open_object(&head) || !read_count(&count, "MeshTextureCoords count")) return false;
    if (count != mesh.positions.size()) {
        return fail("MeshTextureCoords has " + std::to_string(count) + " entries for " +
                    std::to_string(mesh.positions.size()) + " vertices");
    }
    mesh.texcoords.resize(size_t(count) * 2);
    if (!read_floats(mesh.texcoords.data(), mesh.texcoords.size(), "MeshTextureCoords")) return false;
    return children("MeshTextureCoords");
}

// Reads the (index, colour) pairs of one MeshVertexColors into *colours, replacing earlier ones.
bool scene_parser::parse_vertex_colours(const xfile_raw_mesh& mesh, std::vector<vertex_colour>* colours) {
    object_head head;
    uint32_t count = 0;
    if (!open_object(&head) || !read_count(&count, "MeshVertexColors count")) return false;
    colours->clear();
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        double rgba[4];
        if (!read_uint(&index, "MeshVertexColors index")) return false;
        for (double& channel : rgba) {
            const char* why = "";
            if (!in_.read_number(&channel, &why)) return fail_read("MeshVertexColors colour", why);
        }
        if (index >= mesh.positions.size()) {
            return fail("vertex colour index " + std::to_string(index) + " out of range (" +
                        std::to_string(mesh.positions.size()) + " vertices)");
        }
        colours->push_back({index, (colour_channel(rgba[3]) << 24) | (colour_channel(rgba[0]) << 16) |
                                       (colour_channel(rgba[1]) << 8) | colour_channel(rgba[2])});
    }
    return children("MeshVertexColors");
}

// Reads `indexes` material indices (each < count), keeping one per face; extra indices are checked
// and dropped. A short list is completed (repeating its last index) once the mesh is read.
bool scene_parser::read_face_materials(xfile_raw_mesh& mesh, uint32_t count, uint32_t indexes) {
    const size_t kept = std::min<size_t>(indexes, mesh.face_sizes.size());
    mesh.face_materials.resize(kept);
    if (!read_uints(mesh.face_materials.data(), kept, "MeshMaterialList index") ||
        !check_indices(mesh.face_materials.data(), kept, count, "material index", "materials")) {
        return false;
    }
    for (size_t i = kept; i < indexes; ++i) {
        uint32_t index = 0;
        if (!read_uint(&index, "MeshMaterialList index") ||
            !check_indices(&index, 1, count, "material index", "materials")) {
            return false;
        }
    }
    return true;
}

bool scene_parser::parse_material_list(xfile_raw_mesh& mesh, int depth) {
    object_head head;
    uint32_t count = 0;
    uint32_t indexes = 0;
    if (!open_object(&head) || !read_count(&count, "MeshMaterialList material count") ||
        !read_count(&indexes, "MeshMaterialList index count") || !read_face_materials(mesh, count, indexes)) {
        return false;
    }
    mesh.materials.clear();
    const bool ok = children(
        "MeshMaterialList",
        [&](std::string_view identifier) {
            if (!is(identifier, "Material")) return skip_object();
            declared_material declared;
            if (!parse_material(&declared.material, &declared.head, depth + 1) ||
                !add_list_materials(mesh, 1, declared.material)) {
                return false;
            }
            declare_material(std::move(declared));
            return true;
        },
        [&] {
            const xfile_material* material = nullptr;
            return resolve_material(&material) && add_list_materials(mesh, 1, *material);
        });
    if (!ok) return false;
    if (mesh.materials.size() < count) {
        if (!add_list_materials(mesh, count - mesh.materials.size(), xfile_default_material())) return false;
    } else {
        mesh.materials.resize(count);
    }
    mesh.has_material_list = count > 0;
    if (!mesh.has_material_list) mesh.face_materials.clear();
    return true;
}

// Appends `count` copies of `material` to the mesh's list, within the material budget.
bool scene_parser::add_list_materials(xfile_raw_mesh& mesh, size_t count, const xfile_material& material) {
    const size_t each = sizeof(xfile_material) + (material.texture ? material.texture->size() : 0);
    if (count > material_budget_ / each) return fail("materials would take more than the file's size plus 64 MiB");
    material_budget_ -= count * each;
    mesh.materials.insert(mesh.materials.end(), count, material);
    return true;
}

// The latest material declared with the reference's name (or, for a reference without a name,
// its UUID).
bool scene_parser::resolve_material(const xfile_material** material) {
    object_head reference;
    if (!read_reference(&reference)) return false;
    if (reference.name.empty()) {
        const auto found = declared_by_guid_.find(reference.guid);
        if (found != declared_by_guid_.end()) *material = &declared_[found->second];
    } else {
        const auto found = declared_by_name_.find(reference.name);
        if (found != declared_by_name_.end()) *material = &declared_[found->second];
    }
    if (*material != nullptr) return true;
    return fail("reference to unknown material '" + std::string(reference.name) + "'");
}

void scene_parser::declare_material(declared_material&& declared) {
    const object_head& head = declared.head;
    if (head.name.empty() && !head.has_guid) return;
    if (!head.name.empty()) declared_by_name_[head.name] = declared_.size();
    if (head.has_guid) declared_by_guid_[head.guid] = declared_.size();
    declared_.push_back(std::move(declared.material));
}

bool scene_parser::parse_material(xfile_material* out, object_head* head, int depth) {
    if (too_deep(depth) || !open_object(head)) return false;
    D3DMATERIAL9& m = out->material;
    float* const members[] = {&m.Diffuse.r,  &m.Diffuse.g,  &m.Diffuse.b,  &m.Diffuse.a,  &m.Power,     &m.Specular.r,
                              &m.Specular.g, &m.Specular.b, &m.Emissive.r, &m.Emissive.g, &m.Emissive.b};
    for (float* member : members) {
        if (!read_float(member, "Material")) return false;
    }
    m.Ambient = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 0.0f};
    m.Specular.a = 1.0f;
    m.Emissive.a = 1.0f;
    return children(
        "Material",
        [&](std::string_view identifier) {
            if (is(identifier, "TextureFilename")) return parse_texture_filename(out);
            return skip_object();
        },
        [this] { return skip_body(); });
}

bool scene_parser::parse_declared_material(int depth) {
    declared_material declared;
    if (!parse_material(&declared.material, &declared.head, depth)) return false;
    declare_material(std::move(declared));
    return true;
}

// The first TextureFilename of a Material names its texture.
bool scene_parser::parse_texture_filename(xfile_material* material) {
    object_head head;
    std::string_view name;
    const char* why = "";
    if (!open_object(&head)) return false;
    if (!in_.read_string(&name, &why)) return fail_read("TextureFilename", why);
    if (!material->texture) material->texture = collapse_doubled_backslashes(name);
    return children("TextureFilename");
}

}  // namespace

xfile_material xfile_default_material() {
    xfile_material material;
    material.material.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material.material.Specular = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
    material.material.Emissive = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
    return material;
}

bool xfile_parse(xfile_token_stream& tokens, xfile_scene* scene, std::string* error) {
    scene_parser parser(tokens, *scene);
    if (parser.parse_file()) return true;
    if (error != nullptr) *error = parser.error();
    return false;
}
