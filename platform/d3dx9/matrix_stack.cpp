// matrix_stack.cpp - ID3DXMatrixStack: a vector of matrices whose last element is the top.
#include <d3dx9.h>

#include "platform/d3d9/com_object.h"

#include <new>
#include <vector>

namespace {

class d3dx_matrix_stack final : public com_object<ID3DXMatrixStack> {
public:
    d3dx_matrix_stack() : matrices_(1) { D3DXMatrixIdentity(&matrices_.back()); }

    HRESULT Pop() override {
        if (matrices_.size() == 1) return D3DERR_INVALIDCALL;
        matrices_.pop_back();
        return D3D_OK;
    }
    HRESULT Push() override {
        try {
            const D3DXMATRIX top = matrices_.back();
            matrices_.push_back(top);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return D3D_OK;
    }
    HRESULT LoadIdentity() override {
        D3DXMatrixIdentity(&matrices_.back());
        return D3D_OK;
    }
    HRESULT LoadMatrix(const D3DXMATRIX* m) override {
        if (m == nullptr) return D3DERR_INVALIDCALL;
        matrices_.back() = *m;
        return D3D_OK;
    }
    HRESULT MultMatrix(const D3DXMATRIX* m) override {
        if (m == nullptr) return D3DERR_INVALIDCALL;
        return after(*m);
    }
    HRESULT MultMatrixLocal(const D3DXMATRIX* m) override {
        if (m == nullptr) return D3DERR_INVALIDCALL;
        return before(*m);
    }
    HRESULT RotateAxis(const D3DXVECTOR3* axis, FLOAT angle) override {
        if (axis == nullptr) return D3DERR_INVALIDCALL;
        D3DXMATRIX r;
        return after(*D3DXMatrixRotationAxis(&r, axis, angle));
    }
    HRESULT RotateAxisLocal(const D3DXVECTOR3* axis, FLOAT angle) override {
        if (axis == nullptr) return D3DERR_INVALIDCALL;
        D3DXMATRIX r;
        return before(*D3DXMatrixRotationAxis(&r, axis, angle));
    }
    HRESULT RotateYawPitchRoll(FLOAT yaw, FLOAT pitch, FLOAT roll) override {
        D3DXMATRIX r;
        return after(*D3DXMatrixRotationYawPitchRoll(&r, yaw, pitch, roll));
    }
    HRESULT RotateYawPitchRollLocal(FLOAT yaw, FLOAT pitch, FLOAT roll) override {
        D3DXMATRIX r;
        return before(*D3DXMatrixRotationYawPitchRoll(&r, yaw, pitch, roll));
    }
    HRESULT Scale(FLOAT x, FLOAT y, FLOAT z) override {
        D3DXMATRIX s;
        return after(*D3DXMatrixScaling(&s, x, y, z));
    }
    HRESULT ScaleLocal(FLOAT x, FLOAT y, FLOAT z) override {
        D3DXMATRIX s;
        return before(*D3DXMatrixScaling(&s, x, y, z));
    }
    HRESULT Translate(FLOAT x, FLOAT y, FLOAT z) override {
        D3DXMATRIX t;
        return after(*D3DXMatrixTranslation(&t, x, y, z));
    }
    HRESULT TranslateLocal(FLOAT x, FLOAT y, FLOAT z) override {
        D3DXMATRIX t;
        return before(*D3DXMatrixTranslation(&t, x, y, z));
    }
    D3DXMATRIX* GetTop() override { return &matrices_.back(); }

private:
    ~d3dx_matrix_stack() override = default;
    HRESULT after(const D3DXMATRIX& m) {
        D3DXMatrixMultiply(&matrices_.back(), &matrices_.back(), &m);
        return D3D_OK;
    }
    HRESULT before(const D3DXMATRIX& m) {
        D3DXMatrixMultiply(&matrices_.back(), &m, &matrices_.back());
        return D3D_OK;
    }

    std::vector<D3DXMATRIX> matrices_;
};

}  // namespace

HRESULT WINAPI D3DXCreateMatrixStack(DWORD flags, LPD3DXMATRIXSTACK* stack) {
    if (stack == nullptr) return D3DERR_INVALIDCALL;
    *stack = nullptr;
    if (flags != 0) return D3DERR_INVALIDCALL;
    try {
        *stack = new d3dx_matrix_stack();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}
