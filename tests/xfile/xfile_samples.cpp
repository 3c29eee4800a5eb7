// xfile_samples.cpp - builders of .x test files (see xfile_samples.h).
#include "platform/d3dx9/mesh_data.h"
#include "xfile_samples.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

xfile_load_result load_x(const std::string& bytes) {
    xfile_load_result result;
    result.ok = xfile_load(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &result.model, &result.error);
    return result;
}

xfile_binary_writer::xfile_binary_writer(const char* header)
    : bytes_(header, 16), doubles_(std::memcmp(header + 12, "0064", 4) == 0) {}

void xfile_binary_writer::put16(uint16_t value) {
    bytes_.push_back(static_cast<char>(value & 0xff));
    bytes_.push_back(static_cast<char>(value >> 8));
}

void xfile_binary_writer::put32(uint32_t value) {
    put16(static_cast<uint16_t>(value & 0xffff));
    put16(static_cast<uint16_t>(value >> 16));
}

xfile_binary_writer& xfile_binary_writer::token(uint16_t code) {
    put16(code);
    return *this;
}

xfile_binary_writer& xfile_binary_writer::name(std::string_view text) {
    put16(1);
    put32(static_cast<uint32_t>(text.size()));
    bytes_.append(text);
    return *this;
}

xfile_binary_writer& xfile_binary_writer::string(std::string_view text, uint16_t terminator) {
    put16(2);
    put32(static_cast<uint32_t>(text.size()));
    bytes_.append(text);
    put16(terminator);
    return *this;
}

xfile_binary_writer& xfile_binary_writer::integer(uint32_t value) {
    put16(3);
    put32(value);
    return *this;
}

xfile_binary_writer& xfile_binary_writer::guid(const uint8_t (&bytes)[16]) {
    put16(5);
    bytes_.append(reinterpret_cast<const char*>(bytes), 16);
    return *this;
}

xfile_binary_writer& xfile_binary_writer::integers(std::initializer_list<uint32_t> values) {
    put16(6);
    put32(static_cast<uint32_t>(values.size()));
    for (uint32_t v : values) put32(v);
    return *this;
}

xfile_binary_writer& xfile_binary_writer::floats(std::initializer_list<double> values) {
    put16(7);
    put32(static_cast<uint32_t>(values.size()));
    for (double v : values) {
        if (doubles_) {
            uint64_t bits;
            std::memcpy(&bits, &v, 8);
            put32(static_cast<uint32_t>(bits));
            put32(static_cast<uint32_t>(bits >> 32));
        } else {
            const float f = static_cast<float>(v);
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            put32(bits);
        }
    }
    return *this;
}

xfile_binary_writer& xfile_binary_writer::raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
}

namespace {

std::string deflate_block(const std::string& body, size_t start, size_t size) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflate");
    const size_t history = std::min<size_t>(start, 32768);
    if (history > 0) {
        deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(body.data() + start - history),
                             static_cast<uInt>(history));
    }
    std::string out(deflateBound(&z, static_cast<uLong>(size)) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data() + start));
    z.avail_in = static_cast<uInt>(size);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

void put16(std::string& s, uint32_t v) {
    s.push_back(static_cast<char>(v & 0xff));
    s.push_back(static_cast<char>((v >> 8) & 0xff));
}

}  // namespace

std::string mszip_file(const std::string& header, const std::string& body, size_t block_size) {
    std::string file = header.substr(0, 16);
    const uint32_t total = static_cast<uint32_t>(body.size() + 16);
    put16(file, total & 0xffff);
    put16(file, total >> 16);
    for (size_t start = 0; start < body.size(); start += block_size) {
        const size_t size = std::min(block_size, body.size() - start);
        const std::string packed = deflate_block(body, start, size);
        put16(file, static_cast<uint32_t>(size));
        put16(file, static_cast<uint32_t>(packed.size() + 2));
        file += "CK" + packed;
    }
    return file;
}

std::string sample_text_file() {
    return R"(xof 0303txt 0032
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
Header { 1; 0; 1; }
Material Red { 1.0; 0.0; 0.0; 1.0;; 8.0; 0.5; 0.5; 0.5;; 0.0; 0.0; 0.0;; }
Frame Outer {
  FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }
  Frame Inner {
    FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,0,0,1;; }
    Mesh Shape {
      5;
      0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 0;0;1;;
      2;
      4;0,1,2,3;,
      3;0,4,1;;
      MeshNormals { 2; 0;0;-1;, 0;-1;0;; 2; 4;0,0,0,0;, 3;1,1,1;; }
      MeshTextureCoords { 5; 0;0;, 1;0;, 1;1;, 0;1;, 0.5;0.5;; }
      MeshVertexColors { 2; 0;1;0;0;1;;, 4;0;0;1;0.5;;; }
      MeshMaterialList {
        2; 2; 0, 1;;
        { Red }
        Material { 0;1;0;1;; 0;; 0;0;0;; 0;0;0;; TextureFilename { "tex\\green.png"; } }
      }
    }
  }
}
)";
}

std::string sample_binary_file(std::string_view texture) {
    xfile_binary_writer w;
    w.name("Mesh").name("Tri").open();
    w.integers({3}).floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).integers({1, 3, 0, 1, 2});
    w.name("MeshNormals").open().integers({1}).floats({0, 0, -1}).integers({1, 3, 0, 0, 0}).close();
    w.name("MeshMaterialList").open().integers({1, 1, 0});
    w.name("Material").open().floats({1, 1, 1, 1, 4, 0, 0, 0, 0, 0, 0});
    w.name("TextureFilename").open().string(texture).close();
    w.close().close().close();
    return w.bytes();
}

bool model_is_consistent(const xfile_model& model) {
    const d3dx_mesh_data& m = model.mesh;
    const size_t n = m.positions.size();
    if (!m.normals.empty() && m.normals.size() != n) return false;
    if (!m.diffuse.empty() && m.diffuse.size() != n) return false;
    if (!m.texcoords.empty() && m.texcoords.size() != 2 * n) return false;
    if (m.indices.size() != 3 * m.attributes.size()) return false;
    for (uint32_t i : m.indices) {
        if (i >= n) return false;
    }
    for (uint32_t a : m.attributes) {
        if (a >= std::max<size_t>(model.materials.size(), 1)) return false;
    }
    return true;
}
