// texture.cpp - IDirect3DTexture9: one level of A8R8G8B8 texels held in memory, possibly shared
// with other textures made from the same decoded image.
#include "platform/d3d9/texture.h"

#include "platform/d3d9/com_object.h"

#include <new>
#include <utility>

namespace {

class texture_object final : public com_object<IDirect3DTexture9> {
public:
    explicit texture_object(std::shared_ptr<const d3d9_texture_image> image) : image_(std::move(image)) {}
    const d3d9_texture_image& image() const { return *image_; }

private:
    std::shared_ptr<const d3d9_texture_image> image_;
};

bool texture_image_consistent(const d3d9_texture_image& image) {
    const size_t count = image.texels.size();
    return image.width != 0 && image.height != 0 && count % image.width == 0 && count / image.width == image.height;
}

}  // namespace

d3d9_texture_view d3d9_texture_texels(IDirect3DBaseTexture9* texture) {
    const auto* ours = dynamic_cast<const texture_object*>(texture);
    if (ours == nullptr) return {};
    const d3d9_texture_image& image = ours->image();
    return {image.texels.data(), image.width, image.height};
}

HRESULT d3d9_create_texture(std::shared_ptr<const d3d9_texture_image> image, IDirect3DTexture9** texture) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (image == nullptr || !texture_image_consistent(*image)) return D3DERR_INVALIDCALL;
    *texture = new (std::nothrow) texture_object(std::move(image));
    return *texture ? D3D_OK : E_OUTOFMEMORY;
}

HRESULT d3d9_create_texture(UINT width, UINT height, std::vector<D3DCOLOR>&& texels, IDirect3DTexture9** texture) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    std::shared_ptr<d3d9_texture_image> image;
    try {
        image = std::make_shared<d3d9_texture_image>();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    image->width = width;
    image->height = height;
    image->texels = std::move(texels);
    return d3d9_create_texture(std::move(image), texture);
}
