// sprite_bench.cpp - frames of 1,000 sprites through ID3DXSprite, headless and unpaced, on the
// 624 x 441 back buffer (compare with BM_DeviceShapesScene, the demo's frame, in the same program):
// 32 x 32 sprites from a 64 x 64 sheet at scattered whole-pixel positions, opaque, alpha-blended,
// and alpha-blended with a back-to-front depth sort. Each frame clears, draws the batch and
// presents. Counter: sprites per second.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "headless_device.h"
#include "platform/d3d9/texture.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int sprite_count = 1000;

struct sprite_bench_state {
    IDirect3DDevice9* device = nullptr;
    ID3DXSprite* sprite = nullptr;
    IDirect3DTexture9* sheet = nullptr;
    std::vector<D3DXVECTOR3> positions;

    sprite_bench_state() {
        device = create_headless_device().device;
        if (device == nullptr || FAILED(D3DXCreateSprite(device, &sprite))) return;
        std::vector<D3DCOLOR> texels(64 * 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const int dx = x % 32 - 16, dy = y % 32 - 16;
                texels[size_t(y * 64 + x)] = dx * dx + dy * dy < 225 ? 0xFF000000u | D3DCOLOR(x * 4 << 16 | y * 4) : 0u;
            }
        d3d9_create_texture(64, 64, std::move(texels), &sheet);
        unsigned seed = 12345;
        for (int i = 0; i < sprite_count; ++i) {
            seed = seed * 1103515245u + 12345u;
            const float x = float(seed >> 16 & 0x3FF) * (592.0f / 1024.0f);
            seed = seed * 1103515245u + 12345u;
            const float y = float(seed >> 16 & 0x3FF) * (409.0f / 1024.0f);
            positions.emplace_back(float(int(x)), float(int(y)), float(i % 97) / 97.0f);
        }
    }
};

sprite_bench_state& bench_state() {
    static sprite_bench_state state;
    return state;
}

void BM_Sprites1000(benchmark::State& state) {
    sprite_bench_state& s = bench_state();
    if (s.sprite == nullptr || s.sheet == nullptr) {
        state.SkipWithError("no sprite");
        return;
    }
    const DWORD flags = DWORD(state.range(0));
    const RECT cells[4] = {{0, 0, 32, 32}, {32, 0, 64, 32}, {0, 32, 32, 64}, {32, 32, 64, 64}};
    for (auto _ : state) {
        s.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF203040, 1.0f, 0);
        s.device->BeginScene();
        s.sprite->Begin(flags);
        for (int i = 0; i < sprite_count; ++i) {
            s.sprite->Draw(s.sheet, &cells[i % 4], nullptr, &s.positions[size_t(i)], 0xFFFFFFFF);
        }
        s.sprite->End();
        s.device->EndScene();
        s.device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    state.counters["sprites/s"] =
        benchmark::Counter(double(state.iterations()) * sprite_count, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Sprites1000)
    ->ArgName("flags")
    ->Arg(0)
    ->Arg(D3DXSPRITE_ALPHABLEND)
    ->Arg(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_DEPTH_BACKTOFRONT)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
