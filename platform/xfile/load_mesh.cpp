// load_mesh.cpp - D3DXLoadMeshFromXA: reads the file (Win32 path rules), parses it with xfile_load,
// wraps the geometry in a mesh and the materials in a buffer.
//
// The material buffer holds the D3DXMATERIAL records followed by their NUL-terminated texture
// names; each pTextureFilename points into the same buffer (null when the material names no
// texture). A buffer is returned even for zero materials, so callers may always read it.
// Options are ignored: indices are always 32-bit and the mesh lives in system memory.
// Failures: D3DERR_INVALIDCALL for missing arguments, E_FAIL when the file cannot be read,
// D3DXERR_INVALIDDATA when it is not a valid .x mesh, E_OUTOFMEMORY; every output is then null/0.
//
// DOES NOT: produce adjacency or effect instances (those outputs are set to null).
#include <d3dx9.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "platform/d3dx9/mesh.h"
#include "platform/win32/win_paths.h"
#include "platform/xfile/xfile.h"

namespace {

constexpr size_t kMaxFileSize = size_t(1) << 30;

HRESULT read_file(const std::string& path, std::vector<uint8_t>* bytes) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return E_FAIL;
    if (size_t(info.st_size) > kMaxFileSize) return E_OUTOFMEMORY;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return E_FAIL;
    bytes->resize(size_t(info.st_size));
    if (!bytes->empty() && std::fread(bytes->data(), 1, bytes->size(), file.get()) != bytes->size()) return E_FAIL;
    return D3D_OK;
}

HRESULT make_material_buffer(const std::vector<XFileMaterial>& materials, ID3DXBuffer** buffer) {
    size_t size = materials.size() * sizeof(D3DXMATERIAL);
    for (const XFileMaterial& m : materials) {
        if (m.texture) size += m.texture->size() + 1;
    }
    if (size > UINT32_MAX) return E_OUTOFMEMORY;
    const HRESULT result = D3DXCreateBuffer(static_cast<DWORD>(size), buffer);
    if (FAILED(result) || materials.empty()) return result;
    auto* records = static_cast<D3DXMATERIAL*>((*buffer)->GetBufferPointer());
    char* names = reinterpret_cast<char*>(records + materials.size());
    for (size_t i = 0; i < materials.size(); ++i) {
        records[i].MatD3D = materials[i].material;
        records[i].pTextureFilename = nullptr;
        if (!materials[i].texture) continue;
        const std::string& name = *materials[i].texture;
        std::memcpy(names, name.c_str(), name.size() + 1);
        records[i].pTextureFilename = names;
        names += name.size() + 1;
    }
    return D3D_OK;
}

HRESULT load(LPCSTR filename, IDirect3DDevice9* device, ID3DXBuffer** materials, DWORD* material_count,
             ID3DXMesh** mesh) {
    std::vector<uint8_t> bytes;
    HRESULT result = read_file(win_native_path(filename), &bytes);
    if (FAILED(result)) return result;
    XFileModel model;
    if (!xfile_load(bytes.data(), bytes.size(), &model, nullptr)) return D3DXERR_INVALIDDATA;
    ID3DXBuffer* buffer = nullptr;
    if (materials != nullptr) {
        result = make_material_buffer(model.materials, &buffer);
        if (FAILED(result)) return result;
    }
    result = d3dx_create_mesh(device, std::move(model.mesh), mesh);
    if (FAILED(result)) {
        if (buffer != nullptr) buffer->Release();
        return result;
    }
    if (materials != nullptr) *materials = buffer;
    if (material_count != nullptr) *material_count = static_cast<DWORD>(model.materials.size());
    return D3D_OK;
}

}  // namespace

HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR filename, DWORD, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count,
                                  ID3DXMesh** mesh) {
    for (ID3DXBuffer** output : {adjacency, materials, effect_instances}) {
        if (output != nullptr) *output = nullptr;
    }
    if (material_count != nullptr) *material_count = 0;
    if (mesh == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (filename == nullptr || device == nullptr) return D3DERR_INVALIDCALL;
    try {
        return load(filename, device, materials, material_count, mesh);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
