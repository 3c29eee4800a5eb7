// device_scenes_bench.cpp - whole frames (clear and draw, no present) of the device's buffer-fed
// paths, headless, one thread, on the 624 x 441 back buffer of a 640 x 480 window:
//   torus_point_lights        a lit torus of 65,536 triangles from a vertex buffer (XYZ | NORMAL) and a
//                             16-bit index buffer, four attenuated point lights, specular, depth test;
//   torus_point_lights_fog    the same with linear vertex fog;
//   torus_blended             the same at half opacity (SRCALPHA / INVSRCALPHA) over the clear colour,
//                             depth tested but not written;
//   pretransformed_triangles  65,536 small pre-transformed coloured triangles (XYZRHW | DIFFUSE) in a grid
//                             over the whole target, from a vertex buffer with DrawPrimitive;
//   torus_bilinear            the torus unlit (XYZ | TEX2), its 256 x 256 base texture repeated over it
//                             with bilinear filtering on the most detailed level, depth test;
//   torus_trilinear           the same with every level of the texture, blended between two levels;
//   torus_light_map           bilinear base texture times a 64 x 64 light map on its own coordinates
//                             (two texture stages);
//   textured_quad             one pre-transformed quad (XYZRHW | TEX1) over the whole target, the base
//                             texture magnified with bilinear filtering (fill rate).
// The textured scenes fill their textures as a program would: CreateTexture, then LockRect on each
// level. Their set-up is separate, so that the other scenes run whatever it gives.
// The scenes are static: every frame is the same work. Geometry and settings come from
// scene_geometry.h, which the OpenGL peer (peer/gl_scenes.cpp) draws too. A call that fails ends
// the benchmark with an error naming it, rather than timing a frame that draws nothing.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "headless_device.h"
#include "scene_geometry.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace sg = scene_geometry;

// The first failed call, as "Name failed (0x........)"; empty while every call succeeded.
struct call_log {
    std::string failure;

    bool ok() const { return failure.empty(); }

    void check(HRESULT result, const char* call) {
        if (SUCCEEDED(result) || !failure.empty()) return;
        char text[96];
        if (result == D3DERR_INVALIDCALL) {
            std::snprintf(text, sizeof text, "%s failed (D3DERR_INVALIDCALL)", call);
        } else {
            std::snprintf(text, sizeof text, "%s failed (0x%08X)", call, static_cast<unsigned>(result));
        }
        failure = text;
    }

    void fail(const char* call, const char* what) {
        if (failure.empty()) failure = std::string(call) + " " + what;
    }
};

// A buffer filled from `data`: created in the managed pool, write-only, locked whole once.
template <typename Buffer, typename Create>
Buffer* filled_buffer(call_log& log, const char* create_name, const void* data, UINT bytes, Create create) {
    Buffer* buffer = nullptr;
    log.check(create(bytes, &buffer), create_name);
    if (log.ok() && buffer == nullptr) log.fail(create_name, "succeeded without a buffer");
    if (!log.ok()) return nullptr;
    void* target = nullptr;
    log.check(buffer->Lock(0, 0, &target, 0), "Lock");
    if (log.ok() && target != nullptr) {
        std::memcpy(target, data, bytes);
        log.check(buffer->Unlock(), "Unlock");
    } else if (log.ok()) {
        log.fail("Lock", "succeeded without a pointer");
    }
    if (!log.ok()) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

// One headless device and the scenes' buffers, built once for every benchmark in the program.
struct scene_device {
    headless_device handles{};
    IDirect3DVertexBuffer9* torus_vertices = nullptr;
    IDirect3DIndexBuffer9* torus_indices = nullptr;
    IDirect3DVertexBuffer9* grid_vertices = nullptr;
    call_log setup;

    scene_device() {
        handles = create_headless_device();
        IDirect3DDevice9* device = handles.device;
        if (device == nullptr) {
            setup.failure = "no headless device";
            return;
        }
        std::vector<sg::lit_vertex> torus;
        std::vector<uint16_t> indices;
        sg::make_torus(torus, indices);
        std::vector<sg::screen_vertex> grid;
        sg::make_grid(grid);

        const auto vertex_buffer = [&](DWORD fvf) {
            return [device, fvf](UINT bytes, IDirect3DVertexBuffer9** buffer) {
                return device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, buffer, nullptr);
            };
        };
        torus_vertices = filled_buffer<IDirect3DVertexBuffer9>(setup, "CreateVertexBuffer", torus.data(),
                                                               UINT(torus.size() * sizeof(sg::lit_vertex)),
                                                               vertex_buffer(D3DFVF_XYZ | D3DFVF_NORMAL));
        if (!setup.ok()) return;
        torus_indices = filled_buffer<IDirect3DIndexBuffer9>(
            setup, "CreateIndexBuffer", indices.data(), UINT(indices.size() * sizeof(uint16_t)),
            [device](UINT bytes, IDirect3DIndexBuffer9** buffer) {
                return device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, buffer,
                                                 nullptr);
            });
        if (!setup.ok()) return;
        grid_vertices = filled_buffer<IDirect3DVertexBuffer9>(setup, "CreateVertexBuffer", grid.data(),
                                                              UINT(grid.size() * sizeof(sg::screen_vertex)),
                                                              vertex_buffer(D3DFVF_XYZRHW | D3DFVF_DIFFUSE));
    }
};

scene_device& scenes() {
    static scene_device instance;
    return instance;
}

// A managed A8R8G8B8 texture of `levels.size()` levels, levels[0] the most detailed (square, `side`
// texels), each level written row by row through LockRect.
IDirect3DTexture9* filled_texture(call_log& log, IDirect3DDevice9* device, int side,
                                  const std::vector<std::vector<uint32_t>>& levels) {
    IDirect3DTexture9* texture = nullptr;
    log.check(device->CreateTexture(UINT(side), UINT(side), UINT(levels.size()), 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                    &texture, nullptr),
              "CreateTexture");
    if (log.ok() && texture == nullptr) log.fail("CreateTexture", "succeeded without a texture");
    if (!log.ok()) return nullptr;
    for (size_t level = 0; level < levels.size() && log.ok(); ++level) {
        const int level_side = side >> level;
        D3DLOCKED_RECT locked{};
        log.check(texture->LockRect(UINT(level), &locked, nullptr, 0), "LockRect");
        if (!log.ok()) break;
        if (locked.pBits == nullptr || locked.Pitch < level_side * 4) {
            log.fail("LockRect", "gave no room for a row");
            break;
        }
        for (int row = 0; row < level_side; ++row) {
            std::memcpy(static_cast<unsigned char*>(locked.pBits) + size_t(row) * size_t(locked.Pitch),
                        levels[level].data() + size_t(row) * size_t(level_side), size_t(level_side) * 4);
        }
        log.check(texture->UnlockRect(UINT(level)), "UnlockRect");
    }
    if (!log.ok()) {
        texture->Release();
        return nullptr;
    }
    return texture;
}

// The textured scenes' buffers and textures, built once on the first textured scene.
struct textured_scene_device {
    IDirect3DVertexBuffer9* torus_vertices = nullptr;
    IDirect3DIndexBuffer9* torus_indices = nullptr;
    IDirect3DVertexBuffer9* quad_vertices = nullptr;
    IDirect3DTexture9* base_texture = nullptr;
    IDirect3DTexture9* light_map = nullptr;
    call_log setup;

    explicit textured_scene_device(scene_device& s) {
        setup = s.setup;
        if (!setup.ok()) return;
        IDirect3DDevice9* device = s.handles.device;
        std::vector<sg::textured_vertex> torus;
        std::vector<uint16_t> indices;
        sg::make_textured_torus(torus, indices);
        std::vector<sg::screen_textured_vertex> quad;
        sg::make_screen_quad(quad);
        const auto vertex_buffer = [&](DWORD fvf) {
            return [device, fvf](UINT bytes, IDirect3DVertexBuffer9** buffer) {
                return device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, buffer, nullptr);
            };
        };
        torus_vertices = filled_buffer<IDirect3DVertexBuffer9>(setup, "CreateVertexBuffer", torus.data(),
                                                               UINT(torus.size() * sizeof(sg::textured_vertex)),
                                                               vertex_buffer(D3DFVF_XYZ | D3DFVF_TEX2));
        if (!setup.ok()) return;
        torus_indices = filled_buffer<IDirect3DIndexBuffer9>(
            setup, "CreateIndexBuffer", indices.data(), UINT(indices.size() * sizeof(uint16_t)),
            [device](UINT bytes, IDirect3DIndexBuffer9** buffer) {
                return device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, buffer,
                                                 nullptr);
            });
        if (!setup.ok()) return;
        quad_vertices = filled_buffer<IDirect3DVertexBuffer9>(setup, "CreateVertexBuffer", quad.data(),
                                                              UINT(quad.size() * sizeof(sg::screen_textured_vertex)),
                                                              vertex_buffer(D3DFVF_XYZRHW | D3DFVF_TEX1));
        if (!setup.ok()) return;
        std::vector<std::vector<uint32_t>> base_levels;
        sg::make_base_texture(base_levels);
        base_texture = filled_texture(setup, device, sg::base_texture_side, base_levels);
        if (!setup.ok()) return;
        std::vector<std::vector<uint32_t>> light_levels(1);
        sg::make_light_map(light_levels[0]);
        light_map = filled_texture(setup, device, sg::light_map_side, light_levels);
    }
};

textured_scene_device& textured_scenes() {
    static textured_scene_device instance(scenes());
    return instance;
}

DWORD float_bits(float value) { return std::bit_cast<DWORD>(value); }

D3DCOLORVALUE colour(const float (&rgb)[3], float alpha = 1.0f) { return {rgb[0], rgb[1], rgb[2], alpha}; }

// Every state the lit torus scenes depend on, set afresh so that the scenes do not depend on their order.
// No texture on the stages the textured scenes use, and those stages' default operations: stage 0
// passes the diffuse colour on, stage 1 is off.
void set_untextured(call_log& log, IDirect3DDevice9* d) {
    const auto stage_state = [&](DWORD stage, D3DTEXTURESTAGESTATETYPE which, DWORD value) {
        log.check(d->SetTextureStageState(stage, which, value), "SetTextureStageState");
    };
    for (DWORD stage = 0; stage < 2; ++stage) log.check(d->SetTexture(stage, nullptr), "SetTexture");
    stage_state(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    stage_state(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    stage_state(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    stage_state(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    stage_state(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    stage_state(0, D3DTSS_TEXCOORDINDEX, 0);
    stage_state(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    stage_state(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void set_torus_state(call_log& log, scene_device& s, bool fog, bool blend) {
    IDirect3DDevice9* d = s.handles.device;
    set_untextured(log, d);
    const auto state = [&](D3DRENDERSTATETYPE which, DWORD value) {
        log.check(d->SetRenderState(which, value), "SetRenderState");
    };
    state(D3DRS_CULLMODE, D3DCULL_NONE);
    state(D3DRS_ZENABLE, D3DZB_TRUE);
    state(D3DRS_ZWRITEENABLE, blend ? FALSE : TRUE);
    state(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    state(D3DRS_LIGHTING, TRUE);
    state(D3DRS_SPECULARENABLE, TRUE);
    state(D3DRS_LOCALVIEWER, TRUE);
    state(D3DRS_NORMALIZENORMALS, FALSE);
    state(D3DRS_AMBIENT, sg::global_ambient_colour);
    state(D3DRS_COLORVERTEX, FALSE);
    state(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    state(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    state(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    state(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
    state(D3DRS_FOGENABLE, fog ? TRUE : FALSE);
    state(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
    state(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    state(D3DRS_RANGEFOGENABLE, FALSE);
    state(D3DRS_FOGCOLOR, sg::fog_colour);
    state(D3DRS_FOGSTART, float_bits(sg::fog_start));
    state(D3DRS_FOGEND, float_bits(sg::fog_end));
    state(D3DRS_ALPHABLENDENABLE, blend ? TRUE : FALSE);
    state(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    state(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

    D3DXMATRIX world, view, projection;
    D3DXMatrixRotationX(&world, sg::tilt);
    D3DXMatrixTranslation(&view, 0.0f, 0.0f, sg::eye_distance);
    D3DXMatrixPerspectiveFovLH(&projection, sg::fov_y, float(sg::width) / float(sg::height), sg::near_plane,
                               sg::far_plane);
    log.check(d->SetTransform(D3DTS_WORLD, &world), "SetTransform");
    log.check(d->SetTransform(D3DTS_VIEW, &view), "SetTransform");
    log.check(d->SetTransform(D3DTS_PROJECTION, &projection), "SetTransform");

    for (DWORD i = 0; i < 4; ++i) {
        const sg::point_light& l = sg::lights[i];
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_POINT;
        light.Diffuse = colour(l.diffuse);
        light.Specular = colour(l.specular);
        light.Ambient = colour(l.ambient);
        light.Position = {l.position[0], l.position[1], l.position[2]};
        light.Range = l.range;
        light.Attenuation0 = l.attenuation[0];
        light.Attenuation1 = l.attenuation[1];
        light.Attenuation2 = l.attenuation[2];
        log.check(d->SetLight(i, &light), "SetLight");
        log.check(d->LightEnable(i, TRUE), "LightEnable");
    }
    D3DMATERIAL9 material{};
    material.Diffuse = colour(sg::material_diffuse, blend ? sg::blended_alpha : sg::opaque_alpha);
    material.Ambient = colour(sg::material_ambient);
    material.Specular = colour(sg::material_specular);
    material.Power = sg::material_power;
    log.check(d->SetMaterial(&material), "SetMaterial");

    log.check(d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL), "SetFVF");
    log.check(d->SetStreamSource(0, s.torus_vertices, 0, sizeof(sg::lit_vertex)), "SetStreamSource");
    log.check(d->SetIndices(s.torus_indices), "SetIndices");
}

void set_grid_state(call_log& log, scene_device& s) {
    IDirect3DDevice9* d = s.handles.device;
    set_untextured(log, d);
    const auto state = [&](D3DRENDERSTATETYPE which, DWORD value) {
        log.check(d->SetRenderState(which, value), "SetRenderState");
    };
    state(D3DRS_CULLMODE, D3DCULL_NONE);
    state(D3DRS_ZENABLE, D3DZB_FALSE);
    state(D3DRS_LIGHTING, FALSE);
    state(D3DRS_SPECULARENABLE, FALSE);
    state(D3DRS_FOGENABLE, FALSE);
    state(D3DRS_ALPHABLENDENABLE, FALSE);
    log.check(d->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), "SetFVF");
    log.check(d->SetStreamSource(0, s.grid_vertices, 0, sizeof(sg::screen_vertex)), "SetStreamSource");
}

enum class texturing { bilinear, trilinear, light_map };

// Stage `stage` takes `texture` on coordinate set `coordinates`, times `with`, filtered bilinearly
// (between two levels as well when `mip_linear`), wrapping.
void set_texture_stage(call_log& log, IDirect3DDevice9* d, DWORD stage, IDirect3DTexture9* texture, DWORD coordinates,
                       DWORD with, bool mip_linear) {
    const auto stage_state = [&](D3DTEXTURESTAGESTATETYPE which, DWORD value) {
        log.check(d->SetTextureStageState(stage, which, value), "SetTextureStageState");
    };
    const auto sampler_state = [&](D3DSAMPLERSTATETYPE which, DWORD value) {
        log.check(d->SetSamplerState(stage, which, value), "SetSamplerState");
    };
    log.check(d->SetTexture(stage, texture), "SetTexture");
    stage_state(D3DTSS_COLOROP, D3DTOP_MODULATE);
    stage_state(D3DTSS_COLORARG1, D3DTA_TEXTURE);
    stage_state(D3DTSS_COLORARG2, with);
    stage_state(D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    stage_state(D3DTSS_ALPHAARG1, with);
    stage_state(D3DTSS_TEXCOORDINDEX, coordinates);
    sampler_state(D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    sampler_state(D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    sampler_state(D3DSAMP_MIPFILTER, mip_linear ? D3DTEXF_LINEAR : D3DTEXF_NONE);
    sampler_state(D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    sampler_state(D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
}

void disable_stage(call_log& log, IDirect3DDevice9* d, DWORD stage) {
    log.check(d->SetTexture(stage, nullptr), "SetTexture");
    log.check(d->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE), "SetTextureStageState");
    log.check(d->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE), "SetTextureStageState");
}

// Every state the textured torus scenes depend on: unlit, depth tested, textured.
void set_textured_torus_state(call_log& log, scene_device& s, textured_scene_device& t, texturing mode) {
    IDirect3DDevice9* d = s.handles.device;
    const auto state = [&](D3DRENDERSTATETYPE which, DWORD value) {
        log.check(d->SetRenderState(which, value), "SetRenderState");
    };
    state(D3DRS_CULLMODE, D3DCULL_NONE);
    state(D3DRS_ZENABLE, D3DZB_TRUE);
    state(D3DRS_ZWRITEENABLE, TRUE);
    state(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    state(D3DRS_LIGHTING, FALSE);
    state(D3DRS_SPECULARENABLE, FALSE);
    state(D3DRS_FOGENABLE, FALSE);
    state(D3DRS_ALPHABLENDENABLE, FALSE);

    D3DXMATRIX world, view, projection;
    D3DXMatrixRotationX(&world, sg::tilt);
    D3DXMatrixTranslation(&view, 0.0f, 0.0f, sg::eye_distance);
    D3DXMatrixPerspectiveFovLH(&projection, sg::fov_y, float(sg::width) / float(sg::height), sg::near_plane,
                               sg::far_plane);
    log.check(d->SetTransform(D3DTS_WORLD, &world), "SetTransform");
    log.check(d->SetTransform(D3DTS_VIEW, &view), "SetTransform");
    log.check(d->SetTransform(D3DTS_PROJECTION, &projection), "SetTransform");

    set_texture_stage(log, d, 0, t.base_texture, 0, D3DTA_DIFFUSE, mode == texturing::trilinear);
    if (mode == texturing::light_map) {
        set_texture_stage(log, d, 1, t.light_map, 1, D3DTA_CURRENT, false);
        disable_stage(log, d, 2);
    } else {
        disable_stage(log, d, 1);
    }
    log.check(d->SetFVF(D3DFVF_XYZ | D3DFVF_TEX2), "SetFVF");
    log.check(d->SetStreamSource(0, t.torus_vertices, 0, sizeof(sg::textured_vertex)), "SetStreamSource");
    log.check(d->SetIndices(t.torus_indices), "SetIndices");
}

void set_textured_quad_state(call_log& log, scene_device& s, textured_scene_device& t) {
    IDirect3DDevice9* d = s.handles.device;
    const auto state = [&](D3DRENDERSTATETYPE which, DWORD value) {
        log.check(d->SetRenderState(which, value), "SetRenderState");
    };
    state(D3DRS_CULLMODE, D3DCULL_NONE);
    state(D3DRS_ZENABLE, D3DZB_FALSE);
    state(D3DRS_LIGHTING, FALSE);
    state(D3DRS_SPECULARENABLE, FALSE);
    state(D3DRS_FOGENABLE, FALSE);
    state(D3DRS_ALPHABLENDENABLE, FALSE);
    set_texture_stage(log, d, 0, t.base_texture, 0, D3DTA_DIFFUSE, false);
    disable_stage(log, d, 1);
    log.check(d->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1), "SetFVF");
    log.check(d->SetStreamSource(0, t.quad_vertices, 0, sizeof(sg::screen_textured_vertex)), "SetStreamSource");
}

// Times whole frames: clear colour and depth, draw the scene, end the scene. No present.
template <typename Draw>
void time_frames(benchmark::State& state, IDirect3DDevice9* d, const char* draw_name, UINT triangles, Draw draw) {
    call_log log;
    for (auto _ : state) {
        log.check(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, sg::clear_colour, 1.0f, 0), "Clear");
        log.check(d->BeginScene(), "BeginScene");
        log.check(draw(), draw_name);
        log.check(d->EndScene(), "EndScene");
        if (!log.ok()) {
            state.SkipWithError(log.failure.c_str());
            break;
        }
    }
    state.counters["triangles_per_second"] =
        benchmark::Counter(double(state.iterations()) * double(triangles), benchmark::Counter::kIsRate);
}

void torus_scene(benchmark::State& state, bool fog, bool blend) {
    scene_device& s = scenes();
    call_log log = s.setup;
    if (log.ok()) set_torus_state(log, s, fog, blend);
    if (!log.ok()) {
        state.SkipWithError(log.failure.c_str());
        return;
    }
    time_frames(state, s.handles.device, "DrawIndexedPrimitive", sg::torus_triangle_count, [&s] {
        return s.handles.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, sg::torus_vertex_count, 0,
                                                      sg::torus_triangle_count);
    });
}

void BM_torus_point_lights(benchmark::State& state) { torus_scene(state, false, false); }
void BM_torus_point_lights_fog(benchmark::State& state) { torus_scene(state, true, false); }
void BM_torus_blended(benchmark::State& state) { torus_scene(state, false, true); }

void BM_pretransformed_triangles(benchmark::State& state) {
    scene_device& s = scenes();
    call_log log = s.setup;
    if (log.ok()) set_grid_state(log, s);
    if (!log.ok()) {
        state.SkipWithError(log.failure.c_str());
        return;
    }
    time_frames(state, s.handles.device, "DrawPrimitive", sg::grid_triangle_count,
                [&s] { return s.handles.device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, sg::grid_triangle_count); });
}

void textured_torus_scene(benchmark::State& state, texturing mode) {
    scene_device& s = scenes();
    textured_scene_device& t = textured_scenes();
    call_log log = t.setup;
    if (log.ok()) set_textured_torus_state(log, s, t, mode);
    if (!log.ok()) {
        state.SkipWithError(log.failure.c_str());
        return;
    }
    time_frames(state, s.handles.device, "DrawIndexedPrimitive", sg::torus_triangle_count, [&s] {
        return s.handles.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, sg::textured_torus_vertex_count, 0,
                                                      sg::torus_triangle_count);
    });
}

void BM_torus_bilinear(benchmark::State& state) { textured_torus_scene(state, texturing::bilinear); }
void BM_torus_trilinear(benchmark::State& state) { textured_torus_scene(state, texturing::trilinear); }
void BM_torus_light_map(benchmark::State& state) { textured_torus_scene(state, texturing::light_map); }

void BM_textured_quad(benchmark::State& state) {
    scene_device& s = scenes();
    textured_scene_device& t = textured_scenes();
    call_log log = t.setup;
    if (log.ok()) set_textured_quad_state(log, s, t);
    if (!log.ok()) {
        state.SkipWithError(log.failure.c_str());
        return;
    }
    time_frames(state, s.handles.device, "DrawPrimitive", 2,
                [&s] { return s.handles.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2); });
}

BENCHMARK(BM_torus_point_lights)->Name("torus_point_lights")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_torus_point_lights_fog)->Name("torus_point_lights_fog")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_torus_blended)->Name("torus_blended")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_pretransformed_triangles)->Name("pretransformed_triangles")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_torus_bilinear)->Name("torus_bilinear")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_torus_trilinear)->Name("torus_trilinear")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_torus_light_map)->Name("torus_light_map")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_textured_quad)->Name("textured_quad")->Unit(benchmark::kMicrosecond);

}  // namespace
