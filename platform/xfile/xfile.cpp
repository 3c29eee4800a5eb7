// xfile.cpp - xfile_load: header, encoding, parse, flatten (contract in xfile.h).
#include "platform/xfile/xfile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/xfile/xfile_inflate.h"
#include "platform/xfile/xfile_mesh.h"
#include "platform/xfile/xfile_parser.h"

namespace {

constexpr size_t kHeaderSize = 16;

bool fail(std::string* error, std::string reason) {
    if (error != nullptr) *error = std::move(reason);
    return false;
}

int digit_pair(const uint8_t* p) {
    if (p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9') return -1;
    return (p[0] - '0') * 10 + (p[1] - '0');
}

bool parse_body(const uint8_t* data, size_t size, const XFileHeader& header, XFileModel* out, std::string* error) {
    const bool binary = header.format == XFileFormat::binary || header.format == XFileFormat::binary_compressed;
    XTokenStream tokens =
        binary ? XTokenStream::binary(data, size, header.float_bits / 8) : XTokenStream::text(data, size);
    XScene scene;
    if (!xfile_parse(tokens, &scene, error)) return false;
    if (scene.meshes.empty()) return fail(error, "no mesh in the file");
    return xfile_build(scene, out, error);
}

}  // namespace

const char* xfile_format_name(XFileFormat format) {
    switch (format) {
    case XFileFormat::text: return "txt";
    case XFileFormat::binary: return "bin";
    case XFileFormat::text_compressed: return "tzip";
    case XFileFormat::binary_compressed: return "bzip";
    }
    return "?";
}

bool xfile_read_header(const uint8_t* data, size_t size, XFileHeader* out, std::string* error) {
    if (size < kHeaderSize) return fail(error, "file too small for a .x header");
    if (std::memcmp(data, "xof ", 4) != 0) return fail(error, "not a .x file (no 'xof ' signature)");
    out->major = digit_pair(data + 4);
    out->minor = digit_pair(data + 6);
    if (out->major < 0 || out->minor < 0) return fail(error, "malformed .x version");
    static const struct {
        const char* tag;
        XFileFormat format;
    } formats[] = {{"txt ", XFileFormat::text},
                   {"bin ", XFileFormat::binary},
                   {"tzip", XFileFormat::text_compressed},
                   {"bzip", XFileFormat::binary_compressed}};
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

XFileStatus xfile_load_bytes(const uint8_t* data, size_t size, XFileModel* out, std::string* error) {
    try {
        if (!xfile_read_header(data, size, &out->header, error)) return XFileStatus::invalid;
        const uint8_t* body = data + kHeaderSize;
        const size_t body_size = size - kHeaderSize;
        const XFileFormat format = out->header.format;
        bool parsed = false;
        if (format == XFileFormat::text || format == XFileFormat::binary) {
            parsed = parse_body(body, body_size, out->header, out, error);
        } else {
            std::vector<uint8_t> inflated;
            parsed = xfile_inflate(body, body_size, &inflated, error) &&
                     parse_body(inflated.data(), inflated.size(), out->header, out, error);
        }
        return parsed ? XFileStatus::ok : XFileStatus::invalid;
    } catch (const std::bad_alloc&) {
        fail(error, "out of memory");
        return XFileStatus::out_of_memory;
    }
}

bool xfile_load(const uint8_t* data, size_t size, XFileModel* out, std::string* error) {
    return xfile_load_bytes(data, size, out, error) == XFileStatus::ok;
}

bool xfile_bounds(const D3DXMESHDATA& mesh, D3DVECTOR* minimum, D3DVECTOR* maximum) {
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
