// view_model.cpp - loading, framing and drawing the viewer's model; see view_model.h.
//
// The camera looks down +z at the origin; the model moves instead of the camera: its centre goes
// to the origin, then it turns by yaw around y and by -pitch around x (row vectors, so the world
// matrix is T * Ry * Rx). The light stays with the viewer. The distance fits the bounding
// sphere into the narrower of the two fields of view; then the projection is shifted and scaled
// so that the picture of the bounding box, seen from the first view, is centred and fills most
// of the view (perspective makes the near side of a box look bigger, which would push the model
// off centre, and a sphere around a long box leaves much empty space). Near and far planes hug
// the sphere, which keeps the 16-bit depth buffer precise.
#include "view_model.h"

#include "platform/d3dx9/mesh.h"
#include "platform/win32/win_paths.h"
#include "platform/xfile/xfile.h"
#include "view_textures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

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

struct view_matrices {
    D3DXMATRIX world, view, projection;
};

// The matrices for a camera at these angles and zoom, before the picture is framed.
view_matrices matrices_for(const view_bounds& bounds, float yaw, float pitch, float zoom, float aspect) {
    const float narrower = std::min(field_of_view, 2.0f * std::atan(std::tan(field_of_view / 2.0f) * aspect));
    const float distance = bounds.radius / std::sin(narrower / 2.0f) * zoom;
    const float near_plane = std::max(distance - 1.05f * bounds.radius, distance * 0.01f);
    const float far_plane = distance + 1.05f * bounds.radius;
    view_matrices m;
    D3DXMatrixPerspectiveFovLH(&m.projection, field_of_view, aspect, near_plane, far_plane);
    const D3DXVECTOR3 eye(0.0f, 0.0f, -distance), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&m.view, &eye, &at, &up);
    D3DXMATRIX shift, turn, tilt;
    D3DXMatrixTranslation(&shift, -bounds.centre.x, -bounds.centre.y, -bounds.centre.z);
    D3DXMatrixRotationY(&turn, yaw * degrees);
    D3DXMatrixRotationX(&tilt, -pitch * degrees);
    m.world = shift * turn * tilt;
    return m;
}

// Where the picture of the bounding box lies (its centre in normalised device coordinates) and
// how much it may grow to fill `fill` of the view. Neutral when a corner is not in front of the eye.
struct picture_frame {
    float centre_x = 0.0f;
    float centre_y = 0.0f;
    float scale = 1.0f;
};

picture_frame frame_of(const view_bounds& b, const view_matrices& m) {
    constexpr float fill = 0.9f;
    const D3DXMATRIX c = m.world * m.view;
    float low_x = 1e30f, low_y = 1e30f, high_x = -1e30f, high_y = -1e30f;
    for (int corner = 0; corner < 8; ++corner) {
        const float px = corner & 1 ? b.high.x : b.low.x;
        const float py = corner & 2 ? b.high.y : b.low.y;
        const float pz = corner & 4 ? b.high.z : b.low.z;
        const float cz = px * c._13 + py * c._23 + pz * c._33 + c._43;
        if (!(cz > 0.0f)) return picture_frame{};
        const float x = (px * c._11 + py * c._21 + pz * c._31 + c._41) * m.projection._11 / cz;
        const float y = (px * c._12 + py * c._22 + pz * c._32 + c._42) * m.projection._22 / cz;
        low_x = std::min(low_x, x), high_x = std::max(high_x, x);
        low_y = std::min(low_y, y), high_y = std::max(high_y, y);
    }
    const float half = std::max(high_x - low_x, high_y - low_y) / 2.0f;
    const float scale = half > 0.0f ? std::clamp(fill / half, 0.5f, 8.0f) : 8.0f;
    return picture_frame{(low_x + high_x) / 2.0f, (low_y + high_y) / 2.0f, scale};
}

}  // namespace

view_bounds view_bounds_of(const d3dx_mesh_data& geometry) {
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
    view_bounds bounds;
    if (low[0] > high[0]) return bounds;
    // Halves first: the extent of coordinates near the float limit would overflow.
    double squared = 0.0;
    float mid[3];
    for (int axis = 0; axis < 3; ++axis) {
        mid[axis] = low[axis] / 2.0f + high[axis] / 2.0f;
        const double half = double(high[axis]) / 2.0 - double(low[axis]) / 2.0;
        squared += half * half;
    }
    bounds.low = D3DXVECTOR3(low[0], low[1], low[2]);
    bounds.high = D3DXVECTOR3(high[0], high[1], high[2]);
    bounds.centre = D3DXVECTOR3(mid[0], mid[1], mid[2]);
    const double scale =
        std::max({std::fabs(double(mid[0])), std::fabs(double(mid[1])), std::fabs(double(mid[2])), 1.0});
    bounds.radius = static_cast<float>(std::max(std::sqrt(squared), scale * 1e-5));
    return bounds;
}

bool view_load_model(IDirect3DDevice9* device, const std::string& path, view_model* model, std::string* reason) {
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    if (D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_SYSTEMMEM, device, nullptr, &materials, nullptr, &count,
                           &model->mesh) != D3D_OK) {
        *reason = load_failure(path);
        return false;
    }
    try {
        fill_subsets(device, path, materials, count, model);
    } catch (const std::bad_alloc&) {
        materials->Release();
        view_release_model(model);
        *reason = "out of memory";
        return false;
    }
    materials->Release();
    model->triangles = model->mesh->GetNumFaces();
    model->bounds = view_bounds_of(d3dx_mesh_geometry(model->mesh));
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
    view_matrices m = matrices_for(model.bounds, camera.yaw, camera.pitch, camera.zoom, aspect);
    // Framed once for the first view, so that orbiting turns the model about a fixed point of the
    // picture. Off-centre projection: clip x and y move by the offset times w (= view z).
    const picture_frame frame =
        frame_of(model.bounds, matrices_for(model.bounds, camera.start_yaw, camera.start_pitch, 1.0f, aspect));
    m.projection._11 *= frame.scale;
    m.projection._22 *= frame.scale;
    m.projection._31 = -frame.scale * frame.centre_x / camera.zoom;
    m.projection._32 = -frame.scale * frame.centre_y / camera.zoom;

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
    device->BeginScene();
    device->SetTransform(D3DTS_PROJECTION, &m.projection);
    device->SetTransform(D3DTS_VIEW, &m.view);
    device->SetTransform(D3DTS_WORLD, &m.world);
    for (DWORD i = 0; i < model.subsets.size(); ++i) {
        device->SetMaterial(&model.subsets[i].material);
        device->SetTexture(0, model.subsets[i].texture);
        model.mesh->DrawSubset(i);
    }
    device->SetTexture(0, nullptr);
    device->EndScene();
}
