// xfile_text_writer.cpp - writes a model as a text .x file ("xof 0303txt 0032").
#include "xfile_writers.h"

#include <algorithm>
#include <cstdio>

namespace models {

namespace {

const char text_templates[] = R"(template Vector {
 <3d82ab5e-62da-11cf-ab39-0020af71e433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}

template Coords2d {
 <f6f23f44-7686-11cf-8f52-0040333594a3>
 FLOAT u;
 FLOAT v;
}

template Matrix4x4 {
 <f6f23f45-7686-11cf-8f52-0040333594a3>
 array FLOAT matrix[16];
}

template ColorRGBA {
 <35ff44e0-6c7c-11cf-8f52-0040333594a3>
 FLOAT red;
 FLOAT green;
 FLOAT blue;
 FLOAT alpha;
}

template ColorRGB {
 <d3e16e81-7835-11cf-8f52-0040333594a3>
 FLOAT red;
 FLOAT green;
 FLOAT blue;
}

template TextureFilename {
 <a42790e1-7810-11cf-8f52-0040333594a3>
 STRING filename;
}

template Material {
 <3d82ab4d-62da-11cf-ab39-0020af71e433>
 ColorRGBA faceColor;
 FLOAT power;
 ColorRGB specularColor;
 ColorRGB emissiveColor;
 [...]
}

template MeshFace {
 <3d82ab5f-62da-11cf-ab39-0020af71e433>
 DWORD nFaceVertexIndices;
 array DWORD faceVertexIndices[nFaceVertexIndices];
}

template MeshTextureCoords {
 <f6f23f40-7686-11cf-8f52-0040333594a3>
 DWORD nTextureCoords;
 array Coords2d textureCoords[nTextureCoords];
}

template MeshMaterialList {
 <f6f23f42-7686-11cf-8f52-0040333594a3>
 DWORD nMaterials;
 DWORD nFaceIndexes;
 array DWORD faceIndexes[nFaceIndexes];
 [Material <3d82ab4d-62da-11cf-ab39-0020af71e433>]
}

template MeshNormals {
 <f6f23f43-7686-11cf-8f52-0040333594a3>
 DWORD nNormals;
 array Vector normals[nNormals];
 DWORD nFaceNormals;
 array MeshFace faceNormals[nFaceNormals];
}

template Mesh {
 <3d82ab44-62da-11cf-ab39-0020af71e433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 DWORD nFaces;
 array MeshFace faces[nFaces];
 [...]
}

template FrameTransformMatrix {
 <f6f23f41-7686-11cf-8f52-0040333594a3>
 Matrix4x4 frameMatrix;
}

template Frame {
 <3d82ab46-62da-11cf-ab39-0020af71e433>
 [...]
}

)";

class text_out {
public:
    void line(int depth, const std::string& text) {
        out_.append(static_cast<size_t>(depth), ' ');
        out_ += text;
        out_ += '\n';
    }
    // "%.6f" in the C locale: the same digits on every run and machine.
    static std::string number(float value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.6f", static_cast<double>(value == 0.0f ? 0.0f : value));
        return buffer;
    }
    std::string& text() { return out_; }

private:
    std::string out_;
};

// "a;b;c;" followed by the separator that ends the array element.
std::string vector_item(vec3 v, bool last) {
    return text_out::number(v.x) + ";" + text_out::number(v.y) + ";" + text_out::number(v.z) + ";" + (last ? ";" : ",");
}

void write_material(text_out& out, const model_material& material) {
    out.line(0, "Material " + material.name + " {");
    const float* d = material.diffuse;
    out.line(1, text_out::number(d[0]) + ";" + text_out::number(d[1]) + ";" + text_out::number(d[2]) + ";" +
                    text_out::number(d[3]) + ";;");
    out.line(1, text_out::number(material.power) + ";");
    const float* s = material.specular;
    out.line(1, text_out::number(s[0]) + ";" + text_out::number(s[1]) + ";" + text_out::number(s[2]) + ";;");
    const float* e = material.emissive;
    out.line(1, text_out::number(e[0]) + ";" + text_out::number(e[1]) + ";" + text_out::number(e[2]) + ";;");
    if (!material.texture.empty()) {
        out.line(1, "TextureFilename {");
        out.line(2, "\"" + material.texture + "\";");
        out.line(1, "}");
    }
    out.line(0, "}");
    out.line(0, "");
}

void write_faces(text_out& out, int depth, const model_mesh& mesh) {
    out.line(depth, std::to_string(mesh.triangles.size()) + ";");
    for (size_t i = 0; i < mesh.triangles.size(); ++i) {
        const mesh_triangle& t = mesh.triangles[i];
        out.line(depth, "3;" + std::to_string(t.a) + "," + std::to_string(t.b) + "," + std::to_string(t.c) +
                            (i + 1 == mesh.triangles.size() ? ";;" : ";,"));
    }
}

void write_vectors(text_out& out, int depth, const std::vector<vec3>& vectors) {
    out.line(depth, std::to_string(vectors.size()) + ";");
    for (size_t i = 0; i < vectors.size(); ++i) out.line(depth, vector_item(vectors[i], i + 1 == vectors.size()));
}

void write_material_list(text_out& out, int depth, const model_tree& model, const model_mesh& mesh) {
    const std::vector<uint32_t> used = mesh.used_materials();
    out.line(depth, "MeshMaterialList {");
    out.line(depth + 1, std::to_string(used.size()) + ";");
    out.line(depth + 1, std::to_string(mesh.triangles.size()) + ";");
    for (size_t i = 0; i < mesh.triangles.size(); ++i) {
        const auto local = std::lower_bound(used.begin(), used.end(), mesh.triangles[i].material) - used.begin();
        out.line(depth + 1, std::to_string(local) + (i + 1 == mesh.triangles.size() ? ";" : ","));
    }
    for (uint32_t m : used) out.line(depth + 1, "{ " + model.materials[m].name + " }");
    out.line(depth, "}");
}

void write_mesh(text_out& out, int depth, const model_tree& model, const model_mesh& mesh) {
    out.line(depth, "Mesh " + mesh.name + " {");
    write_vectors(out, depth + 1, mesh.positions);
    write_faces(out, depth + 1, mesh);
    out.line(depth + 1, "MeshNormals {");
    write_vectors(out, depth + 2, mesh.normals);
    write_faces(out, depth + 2, mesh);
    out.line(depth + 1, "}");
    if (model.textured()) {
        out.line(depth + 1, "MeshTextureCoords {");
        out.line(depth + 2, std::to_string(mesh.uvs.size()) + ";");
        for (size_t i = 0; i < mesh.uvs.size(); ++i) {
            out.line(depth + 2, text_out::number(mesh.uvs[i].u) + ";" + text_out::number(mesh.uvs[i].v) + ";" +
                                    (i + 1 == mesh.uvs.size() ? ";" : ","));
        }
        out.line(depth + 1, "}");
    }
    write_material_list(out, depth + 1, model, mesh);
    out.line(depth, "}");
}

void write_frame(text_out& out, int depth, const model_tree& model, const model_frame& frame) {
    out.line(depth, "Frame " + frame.name + " {");
    float m[16];
    transform_matrix(frame.transform, m);
    out.line(depth + 1, "FrameTransformMatrix {");
    for (int row = 0; row < 4; ++row) {
        std::string text;
        for (int column = 0; column < 4; ++column) {
            text += text_out::number(m[row * 4 + column]) + (row == 3 && column == 3 ? ";;" : ",");
        }
        out.line(depth + 2, text);
    }
    out.line(depth + 1, "}");
    for (const model_mesh& mesh : frame.meshes) write_mesh(out, depth + 1, model, mesh);
    for (const model_frame& child : frame.children) write_frame(out, depth + 1, model, child);
    out.line(depth, "}");
}

}  // namespace

void transform_matrix(const affine_transform& t, float out[16]) {
    const vec3 rows[4] = {t.ax, t.ay, t.az, t.offset};
    for (int row = 0; row < 4; ++row) {
        out[row * 4 + 0] = rows[row].x;
        out[row * 4 + 1] = rows[row].y;
        out[row * 4 + 2] = rows[row].z;
        out[row * 4 + 3] = row == 3 ? 1.0f : 0.0f;
    }
}

std::string write_x_text(const model_tree& model, const std::string& comment) {
    text_out out;
    out.line(0, "xof 0303txt 0032");
    out.line(0, "// " + comment);
    out.line(0, "");
    out.text() += text_templates;
    for (const model_material& material : model.materials) write_material(out, material);
    write_frame(out, 0, model, model.root);
    return std::move(out.text());
}

}  // namespace models
