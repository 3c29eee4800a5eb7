// xmesh_info.cpp - xmesh-info [--tsv] file.x...: prints what the .x loader reads from each file.
//
// Per file: the header (format, float size, version), vertex and triangle counts of the flattened
// mesh, the subsets with each material's colours, power and texture name, and the bounding box of
// the vertices that triangles use. With --tsv: a header line, then one tab-separated line per file.
// Files that fail to load are reported on standard error as "xmesh-info: FILE: REASON" and make the
// exit status 1 (2 for a usage error). Uses the pure loader: no device, no window.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/xfile/xfile.h"

namespace {

bool read_file(const char* path, std::vector<uint8_t>* bytes, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open the file";
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = "cannot read the file";
        return false;
    }
    return true;
}

std::string version_of(const XFileHeader& h) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d", h.major % 100, h.minor % 100);
    return text;
}

std::string texture_of(const XFileMaterial& m, const char* none) {
    if (!m.texture) return none;
    std::string name = *m.texture;
    for (char& c : name) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return name;
}

std::string material_summary(const XFileMaterial& m) {
    const D3DMATERIAL9& d = m.material;
    char text[256];
    std::snprintf(text, sizeof text, "d=%g,%g,%g,%g s=%g,%g,%g e=%g,%g,%g p=%g t=", d.Diffuse.r, d.Diffuse.g,
                  d.Diffuse.b, d.Diffuse.a, d.Specular.r, d.Specular.g, d.Specular.b, d.Emissive.r, d.Emissive.g,
                  d.Emissive.b, d.Power);
    return text + texture_of(m, "-");
}

std::string bounds_columns(const D3DXMESHDATA& mesh) {
    const char* separator = "\t";
    D3DVECTOR lo;
    D3DVECTOR hi;
    if (!xfile_bounds(mesh, &lo, &hi)) {
        std::string none = "-";
        for (int i = 0; i < 5; ++i) none += std::string(separator) + "-";
        return none;
    }
    char text[256];
    std::snprintf(text, sizeof text, "%g%s%g%s%g%s%g%s%g%s%g", lo.x, separator, lo.y, separator, lo.z, separator, hi.x,
                  separator, hi.y, separator, hi.z);
    return text;
}

void print_tsv_header() {
    std::printf(
        "file\tformat\tfloat_bits\tversion\tvertices\ttriangles\tsubsets\ttextures\tmin_x\tmin_y\tmin_z\t"
        "max_x\tmax_y\tmax_z\tmaterials\n");
}

void print_tsv(const char* path, const XFileModel& model) {
    std::string textures;
    std::string materials;
    for (const XFileMaterial& m : model.materials) {
        if (m.texture) {
            if (!textures.empty()) textures += '|';
            textures += texture_of(m, "");
        }
        if (!materials.empty()) materials += '|';
        materials += material_summary(m);
    }
    std::printf("%s\t%s\t%d\t%s\t%zu\t%zu\t%zu\t%s\t%s\t%s\n", path, xfile_format_name(model.header.format),
                model.header.float_bits, version_of(model.header).c_str(), model.mesh.positions.size(),
                model.mesh.attributes.size(), model.materials.size(), textures.empty() ? "-" : textures.c_str(),
                bounds_columns(model.mesh).c_str(), materials.empty() ? "-" : materials.c_str());
}

void print_text(const char* path, const XFileModel& model) {
    std::printf("%s\n", path);
    std::printf("  header: %s, %d-bit floats, version %s\n", xfile_format_name(model.header.format),
                model.header.float_bits, version_of(model.header).c_str());
    std::printf("  vertices: %zu, triangles: %zu\n", model.mesh.positions.size(), model.mesh.attributes.size());
    std::printf("  subsets: %zu\n", model.materials.size());
    for (size_t i = 0; i < model.materials.size(); ++i) {
        const XFileMaterial& m = model.materials[i];
        const D3DMATERIAL9& d = m.material;
        const std::string texture = m.texture ? '"' + texture_of(m, "") + '"' : "none";
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

}  // namespace

int main(int argc, char** argv) {
    bool tsv = false;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--tsv")
            tsv = true;
        else
            files.push_back(argv[i]);
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: xmesh-info [--tsv] file.x...\n");
        return 2;
    }
    if (tsv) print_tsv_header();
    int status = 0;
    for (const char* path : files) {
        std::vector<uint8_t> bytes;
        std::string error;
        XFileModel model;
        if (!read_file(path, &bytes, &error) || !xfile_load(bytes.data(), bytes.size(), &model, &error)) {
            std::fflush(stdout);
            std::fprintf(stderr, "xmesh-info: %s: %s\n", path, error.c_str());
            status = 1;
            continue;
        }
        if (tsv)
            print_tsv(path, model);
        else
            print_text(path, model);
    }
    return status;
}
