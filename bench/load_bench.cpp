// load_bench.cpp - loading speed of the .x loader (xfile_load on bytes in memory), in bytes per
// second: the largest file of the shared corpus (when present), the demos' own models (when built
// beside this program), and generated grids in text, binary and compressed form.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/xfile/xfile.h"

namespace {

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void load_bytes(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        xfile_model model;
        std::string error;
        if (!xfile_load(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &model, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(model.mesh.indices.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

// A grid of n x n quads with normals and texture coordinates, as a text body.
std::string grid_text_body(int n) {
    std::ostringstream out;
    out << "\nMesh grid {\n" << (n + 1) * (n + 1) << ";\n";
    for (int y = 0; y <= n; ++y) {
        for (int x = 0; x <= n; ++x) out << x * 0.125 << ";" << y * 0.125 << ";" << (x * y % 7) * 0.01 << ";,\n";
    }
    out.seekp(-2, std::ios::cur);
    out << ";\n" << n * n << ";\n";
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const int v = y * (n + 1) + x;
            out << "4;" << v << "," << v + 1 << "," << v + n + 2 << "," << v + n + 1 << ";,\n";
        }
    }
    out.seekp(-2, std::ios::cur);
    out << ";\nMeshNormals { 1; 0;0;-1;; " << n * n << ";\n";
    for (int q = 0; q < n * n; ++q) out << "4;0,0,0,0;" << (q + 1 < n * n ? ",\n" : ";\n");
    out << "}\nMeshTextureCoords { " << (n + 1) * (n + 1) << ";\n";
    for (int y = 0; y <= n; ++y) {
        for (int x = 0; x <= n; ++x) out << x / double(n) << ";" << y / double(n) << ";,\n";
    }
    out.seekp(-2, std::ios::cur);
    out << ";\n}\n}\n";
    return out.str();
}

void put16(std::string& s, uint32_t v) { s.append({char(v & 0xff), char((v >> 8) & 0xff)}); }
void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}
void put_name(std::string& s, const char* name) {
    put16(s, 1);
    put32(s, uint32_t(std::strlen(name)));
    s += name;
}
void put_floats(std::string& s, const std::vector<float>& values) {
    put16(s, 7);
    put32(s, uint32_t(values.size()));
    for (float f : values) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        put32(s, bits);
    }
}
void put_integers(std::string& s, const std::vector<uint32_t>& values) {
    put16(s, 6);
    put32(s, uint32_t(values.size()));
    for (uint32_t v : values) put32(s, v);
}

// The same grid as a binary body.
std::string grid_binary_body(int n) {
    std::vector<float> positions;
    std::vector<float> uvs;
    for (int y = 0; y <= n; ++y) {
        for (int x = 0; x <= n; ++x) {
            positions.insert(positions.end(), {x * 0.125f, y * 0.125f, (x * y % 7) * 0.01f});
            uvs.insert(uvs.end(), {x / float(n), y / float(n)});
        }
    }
    std::vector<uint32_t> faces = {uint32_t(n * n)};
    std::vector<uint32_t> normal_faces = {uint32_t(n * n)};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const uint32_t v = uint32_t(y * (n + 1) + x);
            faces.insert(faces.end(), {4, v, v + 1, v + n + 2, v + n + 1});
            normal_faces.insert(normal_faces.end(), {4, 0, 0, 0, 0});
        }
    }
    std::string s;
    put_name(s, "Mesh");
    put_name(s, "grid");
    put16(s, 10);
    put_integers(s, {uint32_t((n + 1) * (n + 1))});
    put_floats(s, positions);
    put_integers(s, faces);
    put_name(s, "MeshNormals");
    put16(s, 10);
    put_integers(s, {1});
    put_floats(s, {0, 0, -1});
    put_integers(s, normal_faces);
    put16(s, 11);
    put_name(s, "MeshTextureCoords");
    put16(s, 10);
    put_integers(s, {uint32_t((n + 1) * (n + 1))});
    put_floats(s, uvs);
    put16(s, 11);
    put16(s, 11);
    return s;
}

// MSZIP blocks of 32 KB, each deflated with the previous 32 KB as dictionary.
std::string compressed_file(const char* header, const std::string& body) {
    std::string file(header, 16);
    put32(file, uint32_t(body.size() + 16));
    for (size_t start = 0; start < body.size(); start += 32768) {
        const size_t size = std::min<size_t>(32768, body.size() - start);
        z_stream z{};
        deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        const size_t history = std::min<size_t>(start, 32768);
        if (history > 0)
            deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(&body[start - history]), uInt(history));
        std::string packed(deflateBound(&z, uLong(size)), '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(&body[start]));
        z.avail_in = uInt(size);
        z.next_out = reinterpret_cast<Bytef*>(packed.data());
        z.avail_out = uInt(packed.size());
        deflate(&z, Z_FINISH);
        packed.resize(packed.size() - z.avail_out);
        deflateEnd(&z);
        put16(file, uint32_t(size));
        put16(file, uint32_t(packed.size() + 2));
        file += "CK" + packed;
    }
    return file;
}

constexpr int grid = 64;

void BM_XFileLoadGridText(benchmark::State& state) {
    static const std::string file = "xof 0303txt 0032" + grid_text_body(grid);
    load_bytes(state, file);
}
BENCHMARK(BM_XFileLoadGridText)->Unit(benchmark::kMillisecond);

void BM_XFileLoadGridBinary(benchmark::State& state) {
    static const std::string file = "xof 0303bin 0032" + grid_binary_body(grid);
    load_bytes(state, file);
}
BENCHMARK(BM_XFileLoadGridBinary)->Unit(benchmark::kMillisecond);

void BM_XFileLoadGridTextCompressed(benchmark::State& state) {
    static const std::string file = compressed_file("xof 0303tzip0032", grid_text_body(grid));
    load_bytes(state, file);
}
BENCHMARK(BM_XFileLoadGridTextCompressed)->Unit(benchmark::kMillisecond);

void BM_XFileLoadGridBinaryCompressed(benchmark::State& state) {
    static const std::string file = compressed_file("xof 0303bzip0032", grid_binary_body(grid));
    load_bytes(state, file);
}
BENCHMARK(BM_XFileLoadGridBinaryCompressed)->Unit(benchmark::kMillisecond);

// `meshes` top-level Materials, then as many one-triangle Meshes, each naming its own Material:
// resolving the references must cost in proportion to the file, not to its square.
std::string named_materials_file(int meshes) {
    std::ostringstream out;
    out << "xof 0303txt 0032\n";
    for (int i = 0; i < meshes; ++i) out << "Material M" << i << " { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }\n";
    for (int i = 0; i < meshes; ++i)
        out << "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; { M" << i << " } } }\n";
    return out.str();
}

void BM_XFileLoadNamedMaterials(benchmark::State& state) {
    const std::string file = named_materials_file(int(state.range(0)));
    load_bytes(state, file);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_XFileLoadNamedMaterials)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Arg(32000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// Files on disk are registered only when they exist: the largest corpus file, and the demos'
// models beside this program.
void register_file(const std::string& label, const std::filesystem::path& path) {
    if (!std::filesystem::is_regular_file(path)) return;
    benchmark::RegisterBenchmark(("BM_XFileLoadFile/" + label).c_str(), [path](benchmark::State& state) {
        const std::string bytes = read_file(path);
        load_bytes(state, bytes);
    })->Unit(benchmark::kMillisecond);
}

const bool files_registered = [] {
    register_file("747.X", std::filesystem::path(DEMOS_SHARED_DIR) / "xcorpus/blitz3d/DeathIsland/747.X");
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        register_file("airplane_2.x", self.parent_path() / "airplane 2.x");
        register_file("spaceship_2.x", self.parent_path() / "spaceship 2.x");
    }
    return true;
}();

}  // namespace
