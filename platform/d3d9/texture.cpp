// texture.cpp - IDirect3DTexture9: levels of A8R8G8B8 texels held in memory, possibly shared with
// other textures made from the same decoded image (see texture.h for what it answers).
#include "platform/d3d9/texture.h"

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/device_texture.h"
#include "platform/d3d9/mip_chain.h"
#include "platform/d3d9/texture_format.h"
#include "platform/d3d9/sampler.h"

#include <new>
#include <utility>

namespace {

class texture_object final : public com_object<IDirect3DTexture9> {
public:
    explicit texture_object(std::shared_ptr<const d3d9_texture_image> image) : image_(std::move(image)) {}
    const d3d9_texture_image& image() const { return *image_; }

    // IDirect3DResource9
    HRESULT GetDevice(IDirect3DDevice9** device) override {
        if (device != nullptr) *device = nullptr;
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetPrivateData(REFGUID, const void*, DWORD, DWORD) override { return D3DERR_INVALIDCALL; }
    HRESULT GetPrivateData(REFGUID, void*, DWORD*) override { return D3DERR_NOTFOUND; }
    HRESULT FreePrivateData(REFGUID) override { return D3DERR_NOTFOUND; }
    DWORD SetPriority(DWORD priority) override {
        const DWORD previous = priority_;
        priority_ = priority;
        return previous;
    }
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }

    // IDirect3DBaseTexture9: the level of detail stays 0 (every level is always there to sample).
    DWORD SetLOD(DWORD) override { return 0; }
    DWORD GetLOD() override { return 0; }
    DWORD GetLevelCount() override { return DWORD(1 + image_->lower_levels.size()); }
    HRESULT SetAutoGenFilterType(D3DTEXTUREFILTERTYPE) override { return D3DERR_INVALIDCALL; }
    D3DTEXTUREFILTERTYPE GetAutoGenFilterType() override { return D3DTEXF_NONE; }
    void GenerateMipSubLevels() override {}

    // IDirect3DTexture9
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT, IDirect3DSurface9** surface) override {
        if (surface != nullptr) *surface = nullptr;
        return D3DERR_INVALIDCALL;
    }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    HRESULT AddDirtyRect(const RECT*) override { return D3D_OK; }  // nothing to upload: the texels are used as held

protected:
    bool answers(REFIID riid) const override;

private:
    // Level `level`'s texels and sizes; false beyond the last level.
    bool level(UINT level, const D3DCOLOR** texels, UINT* width, UINT* height) const;

    std::shared_ptr<const d3d9_texture_image> image_;
    DWORD priority_ = 0;
    uint32_t locked_ = 0;  // bit per level
};

bool texture_object::level(UINT level, const D3DCOLOR** texels, UINT* width, UINT* height) const {
    const d3d9_texture_image& image = *image_;
    if (level > image.lower_levels.size()) return false;
    *texels = level == 0 ? image.texels.data() : image.lower_levels[level - 1].data();
    *width = d3d9_level_side(image.width, level);
    *height = d3d9_level_side(image.height, level);
    return true;
}

bool texture_object::answers(REFIID riid) const {
    return IsEqualGUID(riid, IID_IDirect3DTexture9) || IsEqualGUID(riid, IID_IDirect3DBaseTexture9) ||
           IsEqualGUID(riid, IID_IDirect3DResource9);
}

HRESULT texture_object::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    const D3DCOLOR* texels;
    UINT width, height;
    if (desc == nullptr || !this->level(level, &texels, &width, &height)) return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Format = D3DFMT_A8R8G8B8;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = 0;
    desc->Pool = D3DPOOL_MANAGED;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = width;
    desc->Height = height;
    return D3D_OK;
}

// Any level, for reading only; one lock per level at a time. A rectangle must lie inside the level
// and not be empty.
HRESULT texture_object::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    const D3DCOLOR* texels;
    UINT width, height;
    if (locked == nullptr || !this->level(level, &texels, &width, &height) || (locked_ >> level & 1) != 0 ||
        (flags & D3DLOCK_READONLY) == 0) {
        return D3DERR_INVALIDCALL;
    }
    LONG left = 0, top = 0;
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            UINT(rect->right) > width || UINT(rect->bottom) > height) {
            return D3DERR_INVALIDCALL;
        }
        left = rect->left;
        top = rect->top;
    }
    const D3DCOLOR* first = texels + size_t(top) * width + size_t(left);
    locked->Pitch = INT(width * sizeof(D3DCOLOR));
    locked->pBits = const_cast<D3DCOLOR*>(first);  // read-only lock: the program promised not to write
    locked_ |= 1u << level;
    return D3D_OK;
}

HRESULT texture_object::UnlockRect(UINT level) {
    if (level >= 32 || (locked_ >> level & 1) == 0) return D3DERR_INVALIDCALL;
    locked_ &= ~(1u << level);
    return D3D_OK;
}

bool texture_image_consistent(const d3d9_texture_image& image) {
    const size_t count = image.texels.size();
    if (image.width == 0 || image.height == 0 || image.width > d3d9_max_texture_side ||
        image.height > d3d9_max_texture_side || count % image.width != 0 || count / image.width != image.height) {
        return false;
    }
    const size_t lower = image.lower_levels.size();
    if (lower != 0 && lower + 1 != d3d9_full_level_count(image.width, image.height)) return false;
    for (size_t i = 0; i < lower; ++i) {
        const UINT level = UINT(i + 1);
        if (image.lower_levels[i].size() !=
            size_t(d3d9_level_side(image.width, level)) * d3d9_level_side(image.height, level)) {
            return false;
        }
    }
    return true;
}

}  // namespace

d3d9_texture_view d3d9_texture_texels(IDirect3DBaseTexture9* texture) {
    if (texture == nullptr) return {};  // every untextured draw asks: answer before any look-up
    const auto* ours = dynamic_cast<const texture_object*>(texture);
    if (ours == nullptr) {
        // A program's texture: its most detailed usable level.
        sampler_level levels[sampler_max_levels];
        int count = 0;
        if (!d3d9_device_texture_levels(texture, levels, &count) || count == 0) return {};
        return {levels[0].texels, UINT(levels[0].width), UINT(levels[0].height)};
    }
    const d3d9_texture_image& image = ours->image();
    return {image.texels.data(), image.width, image.height};
}

void d3d9_texture_build_chain(d3d9_texture_image& image) {
    const UINT count = d3d9_full_level_count(image.width, image.height);
    std::vector<std::vector<D3DCOLOR>> levels(count - 1);
    for (UINT level = 1; level < count; ++level) {
        levels[level - 1].resize(size_t(d3d9_level_side(image.width, level)) * d3d9_level_side(image.height, level));
        const std::vector<D3DCOLOR>& above = level == 1 ? image.texels : levels[level - 2];
        d3d9_mip_box_filter(above.data(), d3d9_level_side(image.width, level - 1),
                            d3d9_level_side(image.height, level - 1), 0, levels[level - 1].data());
    }
    image.lower_levels = std::move(levels);
}

bool d3d9_texture_sampled_levels(IDirect3DBaseTexture9* texture, sampler_level* levels, int* level_count) {
    if (levels == nullptr || level_count == nullptr) return false;
    *level_count = 0;
    if (d3d9_device_texture_levels(texture, levels, level_count)) return true;
    const auto* ours = dynamic_cast<const texture_object*>(texture);
    if (ours == nullptr) return false;
    const d3d9_texture_image& image = ours->image();
    levels[0] = {image.texels.data(), int(image.width), int(image.height), 0};
    int n = 1;
    for (size_t i = 0; i < image.lower_levels.size() && n < sampler_max_levels; ++i, ++n) {
        levels[n] = {image.lower_levels[i].data(), int(d3d9_level_side(image.width, UINT(n))),
                     int(d3d9_level_side(image.height, UINT(n))), 0};
    }
    *level_count = n;
    return true;
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
