// view_model.cpp - loading, framing and drawing the viewer's model; see view_model.h.
//
// The camera looks down +z at the origin; the model moves instead of the camera: its centre goes
// to the origin, then it turns by yaw around y and by -pitch around x (row vectors, so the world
// matrix is T * Ry * Rx). The light stays with the viewer. The distance fits the bounding
// sphere into the narrower of the two fields of view; near and far planes hug the sphere,
// which keeps the 16-bit depth buffer precise.
#include "view_model.h"

#include "platform/win32/win_paths.h"
#include "platform/xfile/xfile.h"
#include "view_textures.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float field_of_view = D3DX_PI / 4.0f;  // vertical
constexpr D3DCOLOR background = 0xFF505050;
constexpr float light_diffuse = 0.85f;
constexpr float light_ambient = 0.3f;
constexpr float degrees = D3DX_PI / 180.0f;

// Why the pure loader refuses the file (D3DXLoadMeshFromXA says only that it failed).
std::string load_failure(const std::string& path) {
    std::string error;
    xfile_model parsed;
    const std::string native = win_native_path(path.c_str(), win_path_kind::file);
    if (xfile_load_file(native.c_str(), &parsed, &error) == xfile_status::ok) return "the model could not be loaded";
    return error.empty() ? "the model could not be loaded" : error;
}

D3DMATERIAL9 grey_material() {
    D3DMATERIAL9 material{};
    material.Diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    material.Ambient = material.Diffuse;
    return material;
}

void fill_subsets(IDirect3DDevice9* device, const std::string& path, ID3DXBuffer* materials, DWORD count,
                  view_model* model) {
    view_texture_loader textures(device, path);
    const auto* records = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    for (DWORD i = 0; i < count; ++i) {
        view_subset subset{records[i].MatD3D, textures.load(records[i].pTextureFilename)};
        subset.material.Ambient = subset.material.Diffuse;  // the file's ambient is rarely meant
        model->subsets.push_back(subset);
    }
    if (model->subsets.empty()) model->subsets.push_back(view_subset{grey_material(), nullptr});
}

}  // namespace

void view_bounds(const D3DXMESHDATA& geometry, D3DXVECTOR3* centre, float* radius) {
    constexpr float big = std::numeric_limits<float>::max();
    float low[3] = {big, big, big};
    float high[3] = {-big, -big, -big};
    for (uint32_t index : geometry.indices) {
        if (index >= geometry.positions.size()) continue;
        const D3DVECTOR& p = geometry.positions[index];
        const float xyz[3] = {p.x, p.y, p.z};
        if (!std::isfinite(xyz[0]) || !std::isfinite(xyz[1]) || !std::isfinite(xyz[2])) continue;
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], xyz[axis]);
            high[axis] = std::max(high[axis], xyz[axis]);
        }
    }
    if (low[0] > high[0]) {
        *centre = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        *radius = 1.0f;
        return;
    }
    // Halves first: the extent of coordinates near the float limit would overflow.
    double squared = 0.0;
    float mid[3];
    for (int axis = 0; axis < 3; ++axis) {
        mid[axis] = low[axis] / 2.0f + high[axis] / 2.0f;
        const double half = double(high[axis]) / 2.0 - double(low[axis]) / 2.0;
        squared += half * half;
    }
    *centre = D3DXVECTOR3(mid[0], mid[1], mid[2]);
    const double scale =
        std::max({std::fabs(double(mid[0])), std::fabs(double(mid[1])), std::fabs(double(mid[2])), 1.0});
    *radius = static_cast<float>(std::max(std::sqrt(squared), scale * 1e-5));
}

bool view_load_model(IDirect3DDevice9* device, const std::string& path, view_model* model, std::string* reason) {
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    if (D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_SYSTEMMEM, device, nullptr, &materials, nullptr, &count,
                           &model->mesh) != D3D_OK) {
        *reason = load_failure(path);
        return false;
    }
    fill_subsets(device, path, materials, count, model);
    materials->Release();
    model->triangles = model->mesh->GetNumFaces();
    view_bounds(model->mesh->GetGeometry(), &model->centre, &model->radius);
    return true;
}

void view_release_model(view_model* model) {
    for (view_subset& subset : model->subsets) {
        if (subset.texture != nullptr) subset.texture->Release();
    }
    if (model->mesh != nullptr) model->mesh->Release();
    *model = view_model{};
}

void view_setup_device(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {light_diffuse, light_diffuse, light_diffuse, 1.0f};
    light.Ambient = {light_ambient, light_ambient, light_ambient, 1.0f};
    light.Direction = {0.4f, -0.6f, 0.7f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
}

void view_draw(IDirect3DDevice9* device, const view_model& model, const view_camera& camera, int width, int height) {
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const float narrower = std::min(field_of_view, 2.0f * std::atan(std::tan(field_of_view / 2.0f) * aspect));
    const float distance = model.radius / std::sin(narrower / 2.0f) * camera.zoom;
    const float near_plane = std::max(distance - 1.05f * model.radius, distance * 0.01f);
    const float far_plane = distance + 1.05f * model.radius;

    D3DXMATRIX projection, view, shift, turn, tilt, world;
    D3DXMatrixPerspectiveFovLH(&projection, field_of_view, aspect, near_plane, far_plane);
    const D3DXVECTOR3 eye(0.0f, 0.0f, -distance), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixTranslation(&shift, -model.centre.x, -model.centre.y, -model.centre.z);
    D3DXMatrixRotationY(&turn, camera.yaw * degrees);
    D3DXMatrixRotationX(&tilt, -camera.pitch * degrees);
    world = shift * turn * tilt;

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
    device->BeginScene();
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_WORLD, &world);
    for (DWORD i = 0; i < model.subsets.size(); ++i) {
        device->SetMaterial(&model.subsets[i].material);
        device->SetTexture(0, model.subsets[i].texture);
        model.mesh->DrawSubset(i);
    }
    device->SetTexture(0, nullptr);
    device->EndScene();
}
