// font_bench.cpp - the cost of text through ID3DXFont on the headless device, 624 x 441: 2,000
// characters a frame as 25 lines of 80 (one DrawText each), and as one DrawText that wraps them
// (DT_WORDBREAK). Each frame clears, draws and presents; the glyphs are in the atlas after the
// first frame. Compare with BM_DeviceShapesScene (device_bench.cpp), the demo's frame.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "headless_device.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct font_bench_state {
    IDirect3DDevice9* device = nullptr;
    ID3DXFont* font = nullptr;
    std::string lines[25];
    std::string all;

    font_bench_state() {
        device = create_headless_device().device;
        if (device == nullptr) return;
        D3DXCreateFontA(device, -12, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, "Arial", &font);
        const std::string words = "The quick brown fox jumps over the lazy dog; zażółć gęślą jaźń 0123456789. ";
        for (int i = 0; i < 25; ++i) {
            while (lines[i].size() < 80) lines[i] += words[(lines[i].size() + size_t(i) * 7) % words.size()];
            lines[i].resize(80);
            all += lines[i];
        }
    }
};

font_bench_state& bench_fonts() {
    static font_bench_state state;
    return state;
}

void BM_FontText2000CharactersAsLines(benchmark::State& state) {
    font_bench_state& f = bench_fonts();
    if (f.font == nullptr) {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state) {
        f.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF202028, 1.0f, 0);
        f.device->BeginScene();
        for (int i = 0; i < 25; ++i) {
            RECT r{8, 8 + 16 * i, 616, 24 + 16 * i};
            f.font->DrawTextA(nullptr, f.lines[i].c_str(), 80, &r, DT_LEFT | DT_SINGLELINE | DT_NOCLIP, 0xFFFFFFFF);
        }
        f.device->EndScene();
        f.device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_FontText2000CharactersAsLines)->Unit(benchmark::kMicrosecond);

void BM_FontText2000CharactersWrapped(benchmark::State& state) {
    font_bench_state& f = bench_fonts();
    if (f.font == nullptr) {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state) {
        f.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF202028, 1.0f, 0);
        f.device->BeginScene();
        RECT r{8, 8, 616, 433};
        f.font->DrawTextA(nullptr, f.all.c_str(), -1, &r, DT_LEFT | DT_WORDBREAK, 0xFFFFFFFF);
        f.device->EndScene();
        f.device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_FontText2000CharactersWrapped)->Unit(benchmark::kMicrosecond);

}  // namespace
