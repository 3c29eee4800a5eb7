// texture.cpp - IDirect3DTexture9: one level of A8R8G8B8 texels held in memory.
#include "platform/d3d9/texture.h"

#include <new>

namespace {

class Texture final : public IDirect3DTexture9 {
public:
    Texture(UINT width, UINT height, std::vector<D3DCOLOR>&& texels)
        : width_(width), height_(height), texels_(std::move(texels)) {}
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    UINT GetWidth() const override { return width_; }
    UINT GetHeight() const override { return height_; }
    const D3DCOLOR* GetTexels() const override { return texels_.data(); }

private:
    UINT width_;
    UINT height_;
    std::vector<D3DCOLOR> texels_;
    ULONG references_ = 1;
};

}  // namespace

HRESULT d3d9_create_texture(UINT width, UINT height, std::vector<D3DCOLOR>&& texels, IDirect3DTexture9** texture) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || texels.size() / width != height || texels.size() % width != 0) {
        return D3DERR_INVALIDCALL;
    }
    *texture = new (std::nothrow) Texture(width, height, std::move(texels));
    return *texture ? D3D_OK : E_OUTOFMEMORY;
}
