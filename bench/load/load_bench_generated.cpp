// load_bench_generated.cpp - the load benchmarks on generated files: a grid of quads with normals
// and texture coordinates in text, binary and compressed form, zlib alone on the compressed grid's
// blocks (the floor for compressed loading), and many named materials (cost linear in the file).
#include <zlib.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "bench/load/load_bench.h"

namespace {

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
    load_bench_run(state, file);
}
BENCHMARK(BM_XFileLoadGridText)->Unit(benchmark::kMillisecond);

void BM_XFileLoadGridBinary(benchmark::State& state) {
    static const std::string file = "xof 0303bin 0032" + grid_binary_body(grid);
    load_bench_run(state, file);
}
BENCHMARK(BM_XFileLoadGridBinary)->Unit(benchmark::kMillisecond);

void BM_XFileLoadGridTextCompressed(benchmark::State& state) {
    static const std::string file = compressed_file("xof 0303tzip0032", grid_text_body(grid));
    load_bench_run(state, file);
}
BENCHMARK(BM_XFileLoadGridTextCompressed)->Unit(benchmark::kMillisecond);

void BM_XFileLoadGridBinaryCompressed(benchmark::State& state) {
    static const std::string file = compressed_file("xof 0303bzip0032", grid_binary_body(grid));
    load_bench_run(state, file);
}
BENCHMARK(BM_XFileLoadGridBinaryCompressed)->Unit(benchmark::kMillisecond);

// zlib alone on the compressed binary grid: every MSZIP block inflated with the previous 32 KB as
// dictionary into one body, as the loader must; what loading that file cannot beat.
void BM_ZlibInflateGridBinaryCompressed(benchmark::State& state) {
    static const std::string file = compressed_file("xof 0303bzip0032", grid_binary_body(grid));
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
    uint32_t total = 0;
    std::memcpy(&total, bytes + 16, 4);
    std::vector<uint8_t> body(total - 16);
    z_stream z{};
    inflateInit2(&z, -MAX_WBITS);
    for (auto _ : state) {
        size_t in = 20;
        size_t out = 0;
        while (in < file.size()) {
            const size_t size = bytes[in] | (bytes[in + 1] << 8);
            const size_t history = std::min<size_t>(out, 32768);
            inflateReset(&z);
            if (history > 0) inflateSetDictionary(&z, &body[out - history], uInt(history));
            z.next_in = const_cast<Bytef*>(bytes + in + 6);
            z.avail_in = uInt(file.size() - in - 6);
            z.next_out = &body[out];
            z.avail_out = uInt(size);
            inflate(&z, Z_FINISH);
            in = file.size() - z.avail_in;
            out += size;
        }
        benchmark::DoNotOptimize(body.data());
    }
    inflateEnd(&z);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_ZlibInflateGridBinaryCompressed)->Unit(benchmark::kMillisecond);

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
    load_bench_run(state, file);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_XFileLoadNamedMaterials)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Arg(32000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
