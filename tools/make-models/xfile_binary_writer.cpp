// xfile_binary_writer.cpp - writes a model as a binary .x file ("xof 0303bin 0032"): a stream of
// little-endian WORD tokens, numbers in INTEGER_LIST and FLOAT_LIST records of 32-bit values.
#include "xfile_writers.h"

#include <algorithm>
#include <cstring>

namespace models {

namespace {

enum binary_token : uint16_t {
    token_name = 1,
    token_string = 2,
    token_integer_list = 6,
    token_float_list = 7,
    token_open_brace = 10,
    token_close_brace = 11,
    token_semicolon = 20,
};

class binary_out {
public:
    void word(uint16_t value) { put(value, 2); }
    void dword(uint32_t value) { put(value, 4); }
    void token(binary_token t) { word(t); }
    void name(const std::string& text) {
        token(token_name);
        dword(static_cast<uint32_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
    }
    void string(const std::string& text) {
        token(token_string);
        dword(static_cast<uint32_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        token(token_semicolon);
    }
    void integers(const std::vector<uint32_t>& values) {
        token(token_integer_list);
        dword(static_cast<uint32_t>(values.size()));
        for (uint32_t v : values) dword(v);
    }
    void floats(const std::vector<float>& values) {
        token(token_float_list);
        dword(static_cast<uint32_t>(values.size()));
        for (float f : values) {
            uint32_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            dword(bits);
        }
    }
    void open(const std::string& identifier, const std::string& object_name = {}) {
        name(identifier);
        if (!object_name.empty()) name(object_name);
        token(token_open_brace);
    }
    void close() { token(token_close_brace); }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    void put(uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    std::vector<uint8_t> bytes_;
};

std::vector<float> flatten(const std::vector<vec3>& vectors) {
    std::vector<float> out;
    out.reserve(vectors.size() * 3);
    for (const vec3& v : vectors) out.insert(out.end(), {v.x, v.y, v.z});
    return out;
}

std::vector<uint32_t> face_list(const model_mesh& mesh) {
    std::vector<uint32_t> out{static_cast<uint32_t>(mesh.triangles.size())};
    for (const mesh_triangle& t : mesh.triangles) out.insert(out.end(), {3u, t.a, t.b, t.c});
    return out;
}

void write_material(binary_out& out, const model_material& m) {
    out.open("Material", m.name);
    out.floats({m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3], m.power, m.specular[0], m.specular[1],
                m.specular[2], m.emissive[0], m.emissive[1], m.emissive[2]});
    if (!m.texture.empty()) {
        out.open("TextureFilename");
        out.string(m.texture);
        out.close();
    }
    out.close();
}

void write_mesh(binary_out& out, const model_tree& model, const model_mesh& mesh) {
    out.open("Mesh", mesh.name);
    out.integers({static_cast<uint32_t>(mesh.positions.size())});
    out.floats(flatten(mesh.positions));
    out.integers(face_list(mesh));

    out.open("MeshNormals");
    out.integers({static_cast<uint32_t>(mesh.normals.size())});
    out.floats(flatten(mesh.normals));
    out.integers(face_list(mesh));
    out.close();

    if (model.textured()) {
        out.open("MeshTextureCoords");
        out.integers({static_cast<uint32_t>(mesh.uvs.size())});
        std::vector<float> uvs;
        for (const vec2& uv : mesh.uvs) uvs.insert(uvs.end(), {uv.u, uv.v});
        out.floats(uvs);
        out.close();
    }

    const std::vector<uint32_t> used = mesh.used_materials();
    out.open("MeshMaterialList");
    std::vector<uint32_t> list{static_cast<uint32_t>(used.size()), static_cast<uint32_t>(mesh.triangles.size())};
    for (const mesh_triangle& t : mesh.triangles) {
        list.push_back(static_cast<uint32_t>(std::lower_bound(used.begin(), used.end(), t.material) - used.begin()));
    }
    out.integers(list);
    for (uint32_t m : used) write_material(out, model.materials[m]);
    out.close();
    out.close();
}

void write_frame(binary_out& out, const model_tree& model, const model_frame& frame) {
    out.open("Frame", frame.name);
    out.open("FrameTransformMatrix");
    float m[16];
    transform_matrix(frame.transform, m);
    out.floats(std::vector<float>(m, m + 16));
    out.close();
    for (const model_mesh& mesh : frame.meshes) write_mesh(out, model, mesh);
    for (const model_frame& child : frame.children) write_frame(out, model, child);
    out.close();
}

}  // namespace

std::vector<uint8_t> write_x_binary(const model_tree& model) {
    binary_out out;
    const char header[] = "xof 0303bin 0032";
    out.bytes().assign(header, header + 16);
    write_frame(out, model, model.root);
    return std::move(out.bytes());
}

}  // namespace models
