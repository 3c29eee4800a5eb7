// model_scene.cpp - loads, draws and releases the model of a model demo.
#include "model_scene.h"

#include <cstdlib>
#include <new>

ID3DXMesh* model_mesh = nullptr;
ID3DXBuffer* material_buffer = nullptr;
DWORD subset_count = 0;
D3DMATERIAL9* subset_materials = nullptr;
IDirect3DTexture9** subset_textures = nullptr;

namespace {

// "Błąd ładowania pliku .x!" in Windows-1250 (octal escapes end after three digits, so none
// swallows the letter after it).
const char load_failure_text[] = "B\263\271d \263adowania pliku .x!";
const char load_failure_caption[] = "Info";

[[noreturn]] void report_load_failure(HWND main_window) {
    MessageBoxA(main_window, load_failure_text, load_failure_caption, MB_OK | MB_ICONEXCLAMATION);
    std::exit(1);
}

}  // namespace

void load_model(HWND main_window) {
    const HRESULT loaded = D3DXLoadMeshFromXA(model.file_name, D3DXMESH_SYSTEMMEM, device, nullptr, &material_buffer,
                                              nullptr, &subset_count, &model_mesh);
    if (loaded != 0) report_load_failure(main_window);

    const auto* records = static_cast<const D3DXMATERIAL*>(material_buffer->GetBufferPointer());
    subset_materials = new (std::nothrow) D3DMATERIAL9[subset_count];
    if (model.uses_textures) subset_textures = new (std::nothrow) IDirect3DTexture9*[subset_count];
    if (subset_materials == nullptr || (model.uses_textures && subset_textures == nullptr)) {
        report_load_failure(main_window);
    }

    for (DWORD i = 0; i < subset_count; ++i) {
        subset_materials[i] = records[i].MatD3D;
        subset_materials[i].Ambient = subset_materials[i].Diffuse;  // the file's ambient is not used
        if (model.uses_textures) {
            if (D3DXCreateTextureFromFileA(device, records[i].pTextureFilename, &subset_textures[i]) != 0) {
                subset_textures[i] = nullptr;
            }
        }
    }
}

// Draws subset by subset; each subset binds its own texture (null for an untextured one), so no
// subset shows a texture left bound by another.
void draw_model(const D3DXMATRIX& group_rotation) {
    apply_material(0.2f, 0.2f, 1.0f);
    device->SetTransform(D3DTS_WORLD, &group_rotation);
    for (DWORD i = 0; i < subset_count; ++i) {
        device->SetMaterial(&subset_materials[i]);
        if (model.uses_textures) device->SetTexture(0, subset_textures[i]);
        model_mesh->DrawSubset(i);
    }
}

void release_model() {
    if (model_mesh != nullptr) model_mesh->Release();
    if (material_buffer != nullptr) material_buffer->Release();
    if (subset_textures != nullptr) {
        for (DWORD i = 0; i < subset_count; ++i) {
            if (subset_textures[i] != nullptr) subset_textures[i]->Release();
        }
    }
    delete[] subset_textures;
    delete[] subset_materials;
}
