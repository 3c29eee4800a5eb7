// device_bench.cpp - frame costs of the software device, headless and unpaced, on the 624 x 441
// back buffer of a 640 x 480 window: clear + present alone; a lit, depth-tested torus of 3,072
// triangles covering about a fifth of the screen; the three shapes of the shapes scene; tori of 1k to 262k triangles at
// the same size, where the cost per frame should grow with the triangle count (counter: triangles per second).
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "platform/d3dx9/mesh_data.h"
#include "draw_arrays.h"

#include "headless_device.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// One window and one device for all device benchmarks.
struct bench_device_state {
    IDirect3DDevice9* device = nullptr;

    bench_device_state() {
        device = create_headless_device().device;
        setup_scene_state();
    }

    // The shapes scene's fixed state: no culling, depth on, projection, one white-ish light.
    void setup_scene_state() {
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ZENABLE, TRUE);
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.3333334f, 1.0f, 100.0f);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
        light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
        light.Ambient = {0.2f, 0.2f, 0.2f, 1.0f};
        light.Direction = {0.0f, -1.0f, -1.0f};
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
        const D3DXVECTOR3 eye(0.0f, 2.0f, 7.0f), at(0.0f, -0.2f, 0.0f), up(0.0f, 1.0f, 0.0f);
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        device->SetTransform(D3DTS_VIEW, &view);
    }

    void material(float r, float g, float b) {
        D3DMATERIAL9 m{};
        m.Diffuse = {r, g, b, 1.0f};
        m.Ambient = {r, g, b, 1.0f};
        m.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
        m.Power = 64.0f;
        device->SetMaterial(&m);
        device->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    }

    void begin_frame() {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF505050, 1.0f, 0);
        device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
    }

    void end_frame() {
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
};

bench_device_state& bench_device() {
    static bench_device_state instance;
    return instance;
}

// A torus about the z axis: `rings` x `sides` quads, two triangles each.
d3dx_mesh_data make_torus(float tube, float radius, int sides, int rings) {
    d3dx_mesh_data mesh;
    for (int r = 0; r < rings; ++r) {
        const float a = 6.2831853f * float(r) / float(rings);
        for (int s = 0; s < sides; ++s) {
            const float b = 6.2831853f * float(s) / float(sides);
            const D3DVECTOR n{std::cos(a) * std::cos(b), std::sin(a) * std::cos(b), std::sin(b)};
            mesh.normals.push_back(n);
            mesh.positions.push_back(
                {std::cos(a) * radius + tube * n.x, std::sin(a) * radius + tube * n.y, tube * n.z});
        }
    }
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < sides; ++s) {
            const uint32_t i0 = uint32_t(r * sides + s), i1 = uint32_t(r * sides + (s + 1) % sides);
            const uint32_t j0 = uint32_t(((r + 1) % rings) * sides + s),
                           j1 = uint32_t(((r + 1) % rings) * sides + (s + 1) % sides);
            mesh.indices.insert(mesh.indices.end(), {i0, j0, i1, i1, j0, j1});
        }
    }
    return mesh;
}

void BM_DeviceClearPresent(benchmark::State& state) {
    bench_device_state& d = bench_device();
    for (auto _ : state) {
        d.begin_frame();
        d.end_frame();
    }
}
BENCHMARK(BM_DeviceClearPresent)->Unit(benchmark::kMicrosecond);

// Draws `torus`, blue and turning about y, once per iteration; the number of triangles drawn.
UINT draw_turning_torus(benchmark::State& state, const d3dx_mesh_data& torus) {
    bench_device_state& d = bench_device();
    vertex_arrays arrays;
    arrays.positions = torus.positions.data();
    arrays.normals = torus.normals.data();
    arrays.vertex_count = UINT(torus.positions.size());
    std::vector<unsigned char> vertices;
    const UINT stride = interleave_vertex_arrays(arrays, &vertices);
    const UINT triangles = UINT(torus.indices.size() / 3);
    float angle = 0.0f;
    for (auto _ : state) {
        d.begin_frame();
        D3DXMATRIX world;
        D3DXMatrixRotationY(&world, angle += 0.015f);
        d.device->SetTransform(D3DTS_WORLD, &world);
        d.material(0.2f, 0.2f, 1.0f);
        d.device->SetFVF(vertex_arrays_fvf(arrays));
        d.device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, arrays.vertex_count, triangles, torus.indices.data(),
                                         D3DFMT_INDEX32, vertices.data(), stride);
        d.end_frame();
    }
    return triangles;
}

void BM_DeviceLitTorus(benchmark::State& state) {
    draw_turning_torus(state, make_torus(0.6f, 1.5f, 32, 48));  // 3,072 triangles
}
BENCHMARK(BM_DeviceLitTorus)->Unit(benchmark::kMicrosecond);

// The shapes scene: box, torus and teapot at 0, 120 and 240 degrees on a circle of radius 2.
void BM_DeviceShapesScene(benchmark::State& state) {
    bench_device_state& d = bench_device();
    ID3DXMesh* box = nullptr;
    ID3DXMesh* torus = nullptr;
    ID3DXMesh* teapot = nullptr;
    D3DXCreateBox(d.device, 1.5f, 1.5f, 1.5f, &box, nullptr);
    D3DXCreateTorus(d.device, 0.45f, 0.85f, 24, 24, &torus, nullptr);
    D3DXCreateTeapot(d.device, &teapot, nullptr);
    ID3DXMesh* meshes[3] = {box, torus, teapot};
    const float colours[3][3] = {{0.2f, 1.0f, 0.2f}, {0.2f, 0.2f, 1.0f}, {1.0f, 0.2f, 0.2f}};
    float spin = 0.0f;
    for (auto _ : state) {
        d.begin_frame();
        spin += 0.015f;
        D3DXMATRIX rx, ry, group, place, turn, world;
        D3DXMatrixRotationX(&rx, spin / 11.0f);
        D3DXMatrixRotationY(&ry, spin);
        D3DXMatrixMultiply(&group, &rx, &ry);
        for (int i = 0; i < 3; ++i) {
            D3DXMatrixTranslation(&place, 2.0f, 0.0f, 0.0f);
            D3DXMatrixRotationY(&turn, 2.0943952f * float(i));
            D3DXMatrixMultiply(&world, &place, &turn);
            D3DXMatrixMultiply(&world, &world, &group);
            d.device->SetTransform(D3DTS_WORLD, &world);
            d.material(colours[i][0], colours[i][1], colours[i][2]);
            if (meshes[i] != nullptr) meshes[i]->DrawSubset(0);
        }
        d.end_frame();
    }
    for (ID3DXMesh* m : meshes) {
        if (m != nullptr) m->Release();
    }
}
BENCHMARK(BM_DeviceShapesScene)->Unit(benchmark::kMicrosecond);

// The same torus on screen at every size, finer and finer: sides x 2 sides quads, 4 sides^2
// triangles (generated here: D3DXCreateTorus stops at 16-bit indices).
void BM_DeviceTorusTriangles(benchmark::State& state) {
    const int sides = int(std::lround(std::sqrt(double(state.range(0)) / 4.0)));
    const UINT triangles = draw_turning_torus(state, make_torus(0.6f, 1.5f, sides, 2 * sides));
    state.counters["triangles_per_second"] =
        benchmark::Counter(double(state.iterations()) * double(triangles), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DeviceTorusTriangles)->Arg(1024)->Arg(16384)->Arg(65536)->Arg(262144)->Unit(benchmark::kMicrosecond);

}  // namespace
