// xfile.cpp - xfile_load: header, encoding, parse, flatten (contract in xfile.h).
#include "platform/d3dx9/mesh_data.h"
#include "platform/xfile/xfile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/xfile/xfile_inflate.h"
#include "platform/xfile/xfile_flatten.h"
#include "platform/xfile/xfile_parser.h"

namespace {

constexpr size_t header_size = 16;

bool fail(std::string* error, std::string reason) {
    if (error != nullptr) *error = std::move(reason);
    return false;
}

int digit_pair(const uint8_t* p) {
    if (p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9') return -1;
    return (p[0] - '0') * 10 + (p[1] - '0');
}

bool parse_body(const uint8_t* data, size_t size, const xfile_header& header, xfile_model* out, std::string* error) {
    const bool binary = header.format == xfile_format::binary || header.format == xfile_format::binary_compressed;
    xfile_token_stream tokens =
        binary ? xfile_token_stream::binary(data, size, header.float_bits / 8) : xfile_token_stream::text(data, size);
    xfile_scene scene;
    if (!xfile_parse(tokens, &scene, error)) return false;
    if (scene.meshes.empty()) return fail(error, "no mesh in the file");
    return xfile_flatten(scene, out, error);
}

}  // namespace

const char* xfile_format_name(xfile_format format) {
    switch (format) {
    case xfile_format::text: return "txt";
    case xfile_format::binary: return "bin";
    case xfile_format::text_compressed: return "tzip";
    case xfile_format::binary_compressed: return "bzip";
    }
    return "?";
}

bool xfile_read_header(const uint8_t* data, size_t size, xfile_header* out, std::string* error) {
    if (size < header_size) return fail(error, "file too small for a .x header");
    if (std::memcmp(data, "xof ", 4) != 0) return fail(error, "not a .x file (no 'xof ' signature)");
    out->major = digit_pair(data + 4);
    out->minor = digit_pair(data + 6);
    if (out->major < 0 || out->minor < 0) return fail(error, "malformed .x version");
    static const struct {
        const char* tag;
        xfile_format format;
    } formats[] = {{"txt ", xfile_format::text},
                   {"bin ", xfile_format::binary},
                   {"tzip", xfile_format::text_compressed},
                   {"bzip", xfile_format::binary_compressed}};
    const auto* known = std::find_if(std::begin(formats), std::end(formats),
                                     [data](const auto& f) { return std::memcmp(data + 8, f.tag, 4) == 0; });
    if (known == std::end(formats))
        return fail(error, "unsupported .x format '" + std::string(data + 8, data + 12) + "'");
    out->format = known->format;
    if (std::memcmp(data + 12, "0032", 4) == 0)
        out->float_bits = 32;
    else if (std::memcmp(data + 12, "0064", 4) == 0)
        out->float_bits = 64;
    else
        return fail(error, "unsupported float size '" + std::string(data + 12, data + 16) + "'");
    return true;
}

xfile_status xfile_load_bytes(const uint8_t* data, size_t size, xfile_model* out, std::string* error) {
    try {
        if (!xfile_read_header(data, size, &out->header, error)) return xfile_status::invalid;
        const uint8_t* body = data + header_size;
        const size_t body_size = size - header_size;
        const xfile_format format = out->header.format;
        bool parsed = false;
        if (format == xfile_format::text || format == xfile_format::binary) {
            parsed = parse_body(body, body_size, out->header, out, error);
        } else {
            std::vector<uint8_t> inflated;
            parsed = xfile_inflate(body, body_size, &inflated, error) &&
                     parse_body(inflated.data(), inflated.size(), out->header, out, error);
        }
        return parsed ? xfile_status::ok : xfile_status::invalid;
    } catch (const std::bad_alloc&) {
        fail(error, "out of memory");
        return xfile_status::out_of_memory;
    }
}

bool xfile_load(const uint8_t* data, size_t size, xfile_model* out, std::string* error) {
    return xfile_load_bytes(data, size, out, error) == xfile_status::ok;
}

bool xfile_bounds(const d3dx_mesh_data& mesh, D3DVECTOR* minimum, D3DVECTOR* maximum) {
    bool any = false;
    D3DVECTOR lo{};
    D3DVECTOR hi{};
    for (uint32_t index : mesh.indices) {
        if (index >= mesh.positions.size()) continue;
        const D3DVECTOR& p = mesh.positions[index];
        if (!any) lo = hi = p;
        any = true;
        lo = D3DVECTOR{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = D3DVECTOR{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    *minimum = lo;
    *maximum = hi;
    return any;
}
