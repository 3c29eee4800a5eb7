// recording_device.h - a device that forwards every call to a real device and records it, so
// that tests can check what the programs ask of the device, in order.
#pragma once

#include <d3d9.h>

#include "forwarding_device.h"

#include <vector>

struct device_call {
    enum call_kind {
        render_state,
        transform,
        light,
        light_enable,
        material,
        texture,
        clear,
        begin_scene,
        end_scene,
        present,
        draw
    } kind;
    DWORD what = 0;      // render state, transform kind, clear flags, light or stage index
    DWORD value = 0;     // render state value, clear colour, enable flag, triangle count
    D3DMATRIX matrix{};  // for transforms
    D3DMATERIAL9 material_value{};
    const void* pointer = nullptr;  // bound texture
};

class recording_device final : public forwarding_device {
public:
    explicit recording_device(IDirect3DDevice9* real) : forwarding_device(real) {}

    std::vector<device_call> calls;

    HRESULT QueryInterface(REFIID riid, void** object) override { return real_->QueryInterface(riid, object); }
    ULONG AddRef() override { return real_->AddRef(); }
    ULONG Release() override {
        const ULONG left = real_->Release();
        if (left == 0) delete this;
        return left;
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        calls.push_back({device_call::render_state, DWORD(state), value});
        return real_->SetRenderState(state, value);
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE kind, const D3DMATRIX* matrix) override {
        device_call call{device_call::transform, DWORD(kind)};
        call.matrix = *matrix;
        calls.push_back(call);
        return real_->SetTransform(kind, matrix);
    }
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override {
        calls.push_back({device_call::light, index});
        return real_->SetLight(index, light);
    }
    HRESULT LightEnable(DWORD index, BOOL enable) override {
        calls.push_back({device_call::light_enable, index, DWORD(enable)});
        return real_->LightEnable(index, enable);
    }
    HRESULT SetMaterial(const D3DMATERIAL9* material) override {
        device_call call{device_call::material};
        call.material_value = *material;
        calls.push_back(call);
        return real_->SetMaterial(material);
    }
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override {
        device_call call{device_call::texture, stage};
        call.pointer = texture;
        calls.push_back(call);
        return real_->SetTexture(stage, texture);
    }
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override {
        calls.push_back({device_call::clear, flags, colour});
        return real_->Clear(count, rects, flags, colour, z, stencil);
    }
    HRESULT BeginScene() override {
        calls.push_back({device_call::begin_scene});
        return real_->BeginScene();
    }
    HRESULT EndScene() override {
        calls.push_back({device_call::end_scene});
        return real_->EndScene();
    }
    HRESULT Present(const RECT* source, const RECT* destination, HWND window, const RGNDATA* dirty) override {
        calls.push_back({device_call::present});
        return real_->Present(source, destination, window, dirty);
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT base, UINT min_index, UINT vertices, UINT start,
                                 UINT count) override {
        calls.push_back({device_call::draw, 0, count});
        return real_->DrawIndexedPrimitive(type, base, min_index, vertices, start, count);
    }
};
