// texture_file.cpp - D3DXCreateTextureFromFileA/W (the W form converts the name to UTF-8) and
// texture_create_from_file; see texture_file.h.
#include "platform/texture/texture_file.h"

#include "platform/base/regular_file.h"
#include "platform/d3d9/texture.h"
#include "platform/texture/texture_cache.h"
#include "platform/texture/texture_decode.h"
#include "platform/win32/win_paths.h"
#include "platform/win32/win_text.h"

#include <cerrno>  // program_invocation_short_name
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr int64_t texture_max_file_bytes = 256LL * 1024 * 1024;

int64_t texture_nanoseconds(const timespec& time) { return int64_t(time.tv_sec) * 1000000000 + time.tv_nsec; }

// The absolute path without links, so that every name of one file finds the same image; the path
// as given when that fails.
std::string texture_canonical_path(const std::string& path) {
    std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), std::free);
    return resolved ? std::string(resolved.get()) : path;
}

// Opens a regular file of a plausible size and describes it in *key.
bool texture_open(const std::string& path, regular_file& file, texture_file_key* key, texture_error* error) {
    std::string reason;
    if (!file.open(path.c_str(), &reason)) return texture_invalid(error, file.missing() ? "file not found" : reason);
    const struct stat& info = file.info();
    if (info.st_size == 0) return texture_invalid(error, "empty file");
    if (info.st_size > texture_max_file_bytes) {
        return texture_invalid(error, "too large: " + std::to_string(info.st_size) + " bytes (at most 256 MiB)");
    }
    *key = {texture_canonical_path(path),
            uint64_t(info.st_dev),
            uint64_t(info.st_ino),
            int64_t(info.st_size),
            texture_nanoseconds(info.st_mtim),
            texture_nanoseconds(info.st_ctim)};
    return true;
}

bool texture_read(regular_file& file, size_t size, std::vector<unsigned char>& bytes, texture_error* error) {
    bytes.resize(size);
    size_t got = 0;
    std::string reason;
    if (!file.read(bytes.data(), size, &got, &reason)) return texture_invalid(error, reason);
    if (got < size) return texture_invalid(error, "truncated");  // shrank while being read
    return true;
}

// The decoded image of the file at `path`: the one textures already share, or a new decode.
bool texture_image_of(const std::string& path, std::shared_ptr<const d3d9_texture_image>& image, texture_error* error) {
    regular_file file;
    texture_file_key key;
    if (!texture_open(path, file, &key, error)) return false;
    image = texture_cache_find(key);
    if (image != nullptr) return true;

    std::vector<unsigned char> bytes;
    if (!texture_read(file, size_t(key.size), bytes, error)) return false;
    auto decoded = std::make_shared<d3d9_texture_image>();
    if (!texture_decode(bytes.data(), bytes.size(), decoded.get(), error)) return false;
    d3d9_texture_build_chain(*decoded);  // a complete chain, box filtered, shared with the image
    image = std::move(decoded);
    texture_cache_keep(key, image);
    return true;
}

HRESULT texture_create(IDirect3DDevice9* device, const char* filename, IDirect3DTexture9** texture,
                       texture_error* error) {
    if (device == nullptr || filename == nullptr || texture == nullptr) {
        error->reason = "no device, file name or output";
        return error->result = D3DERR_INVALIDCALL;
    }
    std::shared_ptr<const d3d9_texture_image> image;
    if (!texture_image_of(win_native_path(filename), image, error)) return error->result;
    IDirect3DTexture9* created = nullptr;
    const HRESULT result = d3d9_create_texture(std::move(image), &created);
    if (result != D3D_OK) {
        error->reason = "out of memory";
        return error->result = result;
    }
    *texture = created;
    return D3D_OK;
}

// The name as given, with control characters shown as \xNN so that the report stays one line and
// a hostile name cannot drive the terminal.
std::string texture_printable(const char* name) {
    std::string out;
    for (const char* c = name; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += *c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        out += escaped;
    }
    return out;
}

}  // namespace

bool texture_file_bytes(const char* filename, std::vector<unsigned char>& bytes, texture_error* error) {
    regular_file file;
    texture_file_key key;
    return texture_open(win_native_path(filename), file, &key, error) &&
           texture_read(file, size_t(key.size), bytes, error);
}

HRESULT texture_create_from_file(IDirect3DDevice9* device, const char* filename, IDirect3DTexture9** texture,
                                 std::string* reason) {
    texture_error error;
    try {
        error.result = texture_create(device, filename, texture, &error);
    } catch (const std::bad_alloc&) {
        error.result = E_OUTOFMEMORY;
        error.reason = "out of memory";  // short enough to need no allocation
    } catch (...) {
        error.result = E_FAIL;
        error.reason = "internal error";
    }
    if (error.result != D3D_OK && reason != nullptr) reason->swap(error.reason);
    return error.result;
}

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR filename, IDirect3DTexture9** texture) {
    std::string reason;
    const HRESULT result = texture_create_from_file(device, filename, texture, &reason);
    if (result != D3D_OK && device != nullptr && filename != nullptr && texture != nullptr) {
        try {
            std::fprintf(stderr, "%s: texture \"%s\": %s\n", program_invocation_short_name,
                         texture_printable(filename).c_str(), reason.c_str());
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "%s: texture not loaded: %s\n", program_invocation_short_name, reason.c_str());
        }
    }
    return result;
}

HRESULT WINAPI D3DXCreateTextureFromFileW(IDirect3DDevice9* device, LPCWSTR filename, IDirect3DTexture9** texture) {
    if (filename == nullptr) return D3DXCreateTextureFromFileA(device, nullptr, texture);
    std::string name;
    try {
        name = win_utf8_from_wide(filename);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3DXCreateTextureFromFileA(device, name.c_str(), texture);
}
