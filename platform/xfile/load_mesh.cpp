// load_mesh.cpp - D3DXLoadMeshFromXA/W: reads and parses the file with xfile_load_file (Win32 path
// rules first; the W form converts the name to UTF-8), wraps the geometry in a mesh and the
// materials in a buffer.
//
// The material buffer holds the D3DXMATERIAL records followed by their NUL-terminated texture
// names; each pTextureFilename points into the same buffer (null when the material names no
// texture). A buffer is returned even for zero materials, so callers may always read it.
// Options are kept for GetOptions; they change nothing else: indices are always 32-bit and the
// mesh lives in system memory.
// Failures: D3DERR_INVALIDCALL for missing arguments, E_FAIL when the file cannot be read (or is
// not a regular file), D3DXERR_INVALIDDATA when it is not a valid .x mesh, E_OUTOFMEMORY when it
// is larger than the loader's limit or memory runs out; every output is then null/0. Never throws.
//
// Adjacency is GenerateAdjacency's with epsilon 0 (equal positions count as one vertex); the effect
// instances are one per material, without an effect file or defaults (the loader reads none).
#include <d3dx9.h>

#include <cstring>
#include <exception>
#include <new>
#include <vector>

#include "platform/d3dx9/mesh.h"
#include "platform/win32/win_paths.h"
#include "platform/win32/win_text.h"
#include "platform/xfile/xfile.h"

namespace {

HRESULT result_of(xfile_status status) {
    switch (status) {
    case xfile_status::ok: return D3D_OK;
    case xfile_status::unreadable: return E_FAIL;
    case xfile_status::invalid: return D3DXERR_INVALIDDATA;
    case xfile_status::too_large:
    case xfile_status::out_of_memory: return E_OUTOFMEMORY;
    }
    return E_FAIL;
}

HRESULT make_material_buffer(const std::vector<xfile_material>& materials, ID3DXBuffer** buffer) {
    size_t size = materials.size() * sizeof(D3DXMATERIAL);
    for (const xfile_material& m : materials) {
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

// Releases the buffer it holds unless handed out.
struct held_buffer {
    ID3DXBuffer* buffer = nullptr;
    ~held_buffer() {
        if (buffer != nullptr) buffer->Release();
    }
    void hand_to(ID3DXBuffer** output) {
        if (output != nullptr) *output = buffer;
        buffer = nullptr;
    }
};

HRESULT make_buffer_of(const void* data, size_t bytes, ID3DXBuffer** buffer) {
    if (bytes > UINT32_MAX) return E_OUTOFMEMORY;
    const HRESULT result = D3DXCreateBuffer(static_cast<DWORD>(bytes), buffer);
    if (SUCCEEDED(result) && bytes != 0) std::memcpy((*buffer)->GetBufferPointer(), data, bytes);
    return result;
}

HRESULT load(const char* filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
             ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count, ID3DXMesh** mesh) {
    xfile_model model;
    HRESULT result = result_of(xfile_load_file(win_native_path(filename).c_str(), &model, nullptr));
    if (FAILED(result)) return result;
    const size_t material_total = model.materials.size();
    held_buffer material_buffer, effect_buffer, adjacency_buffer;
    if (materials != nullptr) {
        result = make_material_buffer(model.materials, &material_buffer.buffer);
        if (FAILED(result)) return result;
    }
    if (effect_instances != nullptr) {
        const std::vector<D3DXEFFECTINSTANCE> none(material_total, D3DXEFFECTINSTANCE{nullptr, 0, nullptr});
        result = make_buffer_of(none.data(), none.size() * sizeof(D3DXEFFECTINSTANCE), &effect_buffer.buffer);
        if (FAILED(result)) return result;
    }
    ID3DXMesh* created = nullptr;
    result = d3dx_create_mesh(device, std::move(model.mesh), options, &created);
    if (FAILED(result)) return result;
    if (adjacency != nullptr) {
        try {
            const std::vector<DWORD> faces = d3dx_mesh_adjacency(d3dx_mesh_geometry(created), 0.0f);
            result = make_buffer_of(faces.data(), faces.size() * sizeof(DWORD), &adjacency_buffer.buffer);
        } catch (...) {
            created->Release();
            throw;
        }
        if (FAILED(result)) {
            created->Release();
            return result;
        }
    }
    *mesh = created;
    material_buffer.hand_to(materials);
    effect_buffer.hand_to(effect_instances);
    adjacency_buffer.hand_to(adjacency);
    if (material_count != nullptr) *material_count = static_cast<DWORD>(material_total);
    return D3D_OK;
}

// `name` gives the file name (UTF-8) once the arguments are checked.
template <class Name>
HRESULT load_checked(bool has_name, Name name, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                     ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count, ID3DXMesh** mesh) {
    for (ID3DXBuffer** output : {adjacency, materials, effect_instances}) {
        if (output != nullptr) *output = nullptr;
    }
    if (material_count != nullptr) *material_count = 0;
    if (mesh == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (!has_name || device == nullptr) return D3DERR_INVALIDCALL;
    try {
        return load(name().c_str(), options, device, adjacency, materials, effect_instances, material_count, mesh);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

}  // namespace

HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count,
                                  ID3DXMesh** mesh) {
    return load_checked(
        filename != nullptr, [filename] { return std::string(filename); }, options, device, adjacency, materials,
        effect_instances, material_count, mesh);
}

HRESULT WINAPI D3DXLoadMeshFromXW(LPCWSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count,
                                  ID3DXMesh** mesh) {
    return load_checked(
        filename != nullptr, [filename] { return win_utf8_from_wide(filename); }, options, device, adjacency, materials,
        effect_instances, material_count, mesh);
}
