// buffer.cpp - ID3DXBuffer: a reference-counted block of bytes.
#include <d3dx9.h>

#include "platform/d3d9/com_object.h"

#include <new>
#include <vector>

namespace {

class d3dx_buffer final : public com_object<ID3DXBuffer> {
public:
    explicit d3dx_buffer(DWORD size) : bytes_(size) {}
    void* GetBufferPointer() override { return bytes_.empty() ? nullptr : bytes_.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(bytes_.size()); }

private:
    std::vector<unsigned char> bytes_;
};

}  // namespace

HRESULT WINAPI D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer) {
    if (buffer == nullptr) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    try {
        *buffer = new d3dx_buffer(size);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}
