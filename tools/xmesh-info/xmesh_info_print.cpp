// xmesh_info_print.cpp - text, TSV and JSON descriptions of a model (contract in xmesh_info_print.h).
#include "platform/d3dx9/mesh_data.h"
#include "xmesh_info_print.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "xmesh_escape.h"

namespace {

std::string version_of(const xfile_header& h) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d", h.major % 100, h.minor % 100);
    return text;
}

// The shortest text that reads back as the same float; null for infinities and NaN, which JSON
// cannot hold.
std::string json_number(float value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Appends `item` to a list in `out`, after `separator` unless it is the first. (Appending
// instead of `"," + item` also spares GCC 12's false -Wrestrict alarm at -O3.)
void append_item(std::string& out, const std::string& item, char separator) {
    if (!out.empty()) out += separator;
    out += item;
}

std::string json_numbers(std::initializer_list<float> values) {
    std::string items;
    for (float v : values) append_item(items, json_number(v), ',');
    items.insert(items.begin(), '[');
    return items + ']';
}

void print_text(const char* path, const xfile_model& model) {
    std::printf("%s\n", xmesh_escaped(path).c_str());
    std::printf("  header: %s, %d-bit floats, version %s\n", xfile_format_name(model.header.format),
                model.header.float_bits, version_of(model.header).c_str());
    std::printf("  vertices: %zu, triangles: %zu\n", model.mesh.positions.size(), model.mesh.attributes.size());
    std::printf("  subsets: %zu\n", model.materials.size());
    for (size_t i = 0; i < model.materials.size(); ++i) {
        const xfile_material& m = model.materials[i];
        const D3DMATERIAL9& d = m.material;
        std::string texture = "none";
        if (m.texture) {
            texture = '"';
            texture += xmesh_escaped(*m.texture);
            texture += '"';
        }
        std::printf("    %zu: diffuse %g %g %g %g, specular %g %g %g, emissive %g %g %g, power %g, texture %s\n", i,
                    d.Diffuse.r, d.Diffuse.g, d.Diffuse.b, d.Diffuse.a, d.Specular.r, d.Specular.g, d.Specular.b,
                    d.Emissive.r, d.Emissive.g, d.Emissive.b, d.Power, texture.c_str());
    }
    D3DVECTOR lo;
    D3DVECTOR hi;
    if (xfile_bounds(model.mesh, &lo, &hi)) {
        std::printf("  bounds: min (%g, %g, %g) max (%g, %g, %g)\n", lo.x, lo.y, lo.z, hi.x, hi.y, hi.z);
    } else {
        std::printf("  bounds: none\n");
    }
}

std::string tsv_material(const xfile_material& m) {
    const D3DMATERIAL9& d = m.material;
    char text[256];
    std::snprintf(text, sizeof text, "d=%g,%g,%g,%g s=%g,%g,%g e=%g,%g,%g p=%g t=", d.Diffuse.r, d.Diffuse.g,
                  d.Diffuse.b, d.Diffuse.a, d.Specular.r, d.Specular.g, d.Specular.b, d.Emissive.r, d.Emissive.g,
                  d.Emissive.b, d.Power);
    std::string out = text;
    out += m.texture ? xmesh_escaped(*m.texture) : "-";
    return out;
}

// The texture names and the materials of a model, each item formatted by its function and
// separated by `separator`.
struct material_lists {
    std::string textures;
    std::string materials;
};

template <typename Name, typename Material>
material_lists list_materials(const xfile_model& model, Name name, Material material, char separator) {
    material_lists lists;
    for (const xfile_material& m : model.materials) {
        if (m.texture) append_item(lists.textures, name(*m.texture), separator);
        append_item(lists.materials, material(m), separator);
    }
    return lists;
}

std::string tsv_bounds(const d3dx_mesh_data& mesh) {
    D3DVECTOR lo;
    D3DVECTOR hi;
    if (!xfile_bounds(mesh, &lo, &hi)) return "-\t-\t-\t-\t-\t-";
    char text[256];
    std::snprintf(text, sizeof text, "%g\t%g\t%g\t%g\t%g\t%g", lo.x, lo.y, lo.z, hi.x, hi.y, hi.z);
    return text;
}

void print_tsv(const char* path, const xfile_model& model) {
    const material_lists lists = list_materials(model, xmesh_escaped, tsv_material, '|');
    const std::string& textures = lists.textures;
    const std::string& materials = lists.materials;
    std::printf("%s\t%s\t%d\t%s\t%zu\t%zu\t%zu\t%s\t%s\t%s\n", xmesh_escaped(path).c_str(),
                xfile_format_name(model.header.format), model.header.float_bits, version_of(model.header).c_str(),
                model.mesh.positions.size(), model.mesh.attributes.size(), model.materials.size(),
                textures.empty() ? "-" : textures.c_str(), tsv_bounds(model.mesh).c_str(),
                materials.empty() ? "-" : materials.c_str());
}

std::string json_material(const xfile_material& m) {
    const D3DMATERIAL9& d = m.material;
    std::string out = "{\"diffuse\":";
    out += json_numbers({d.Diffuse.r, d.Diffuse.g, d.Diffuse.b, d.Diffuse.a});
    out += ",\"specular\":";
    out += json_numbers({d.Specular.r, d.Specular.g, d.Specular.b});
    out += ",\"emissive\":";
    out += json_numbers({d.Emissive.r, d.Emissive.g, d.Emissive.b});
    out += ",\"power\":";
    out += json_number(d.Power);
    out += ",\"texture\":";
    out += m.texture ? xmesh_json_string(*m.texture) : "null";
    return out + '}';
}

std::string json_bounds(const d3dx_mesh_data& mesh) {
    D3DVECTOR lo;
    D3DVECTOR hi;
    const bool any = xfile_bounds(mesh, &lo, &hi);
    const char* names[6] = {"min_x", "min_y", "min_z", "max_x", "max_y", "max_z"};
    const float values[6] = {lo.x, lo.y, lo.z, hi.x, hi.y, hi.z};
    std::string out;
    for (int i = 0; i < 6; ++i) {
        out += ",\"";
        out += names[i];
        out += "\":";
        out += any ? json_number(values[i]) : "null";
    }
    return out;
}

void print_json(const char* path, const xfile_model& model) {
    const material_lists lists = list_materials(model, xmesh_json_string, json_material, ',');
    const std::string& textures = lists.textures;
    const std::string& materials = lists.materials;
    std::printf(
        "{\"file\":%s,\"format\":\"%s\",\"float_bits\":%d,\"version\":\"%s\",\"vertices\":%zu,\"triangles\":%zu,"
        "\"subsets\":%zu,\"textures\":[%s]%s,\"materials\":[%s]}\n",
        xmesh_json_string(path).c_str(), xfile_format_name(model.header.format), model.header.float_bits,
        version_of(model.header).c_str(), model.mesh.positions.size(), model.mesh.attributes.size(),
        model.materials.size(), textures.c_str(), json_bounds(model.mesh).c_str(), materials.c_str());
}

}  // namespace

void xmesh_print_tsv_header() {
    std::printf(
        "file\tformat\tfloat_bits\tversion\tvertices\ttriangles\tsubsets\ttextures\tmin_x\tmin_y\tmin_z\t"
        "max_x\tmax_y\tmax_z\tmaterials\n");
}

void xmesh_print(xmesh_format format, const char* path, const xfile_model& model) {
    switch (format) {
    case xmesh_format::text: print_text(path, model); break;
    case xmesh_format::tsv: print_tsv(path, model); break;
    case xmesh_format::json: print_json(path, model); break;
    }
}
