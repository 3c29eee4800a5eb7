// device_texture.cpp - IDirect3DTexture9 made by a program (device_texture.h).
#include "platform/d3d9/device_texture.h"

#include "platform/d3d9/buffer_resource.h"
#include "platform/d3d9/device_resource.h"
#include "platform/d3d9/mip_chain.h"
#include "platform/d3d9/surface_object.h"
#include "platform/d3d9/texture_format.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace {

constexpr UINT max_side = 4096;
constexpr DWORD texture_usages = D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC | D3DUSAGE_AUTOGENMIPMAP;

bool native(D3DFORMAT format) { return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8; }

class device_texture final : public d3d9_resource<IDirect3DTexture9>, private d3d9_level_owner {
public:
    device_texture(IDirect3DDevice9* device, D3DFORMAT format, D3DPOOL pool, DWORD usage)
        : d3d9_resource(device, pool), format_(format), usage_(usage) {}

    // Storage for `chain` levels of which the program sees `visible`; false when memory runs out.
    bool allocate(UINT width, UINT height, UINT chain, UINT visible);

    bool sampled(sampler_level* levels, int* count) const;
    void regenerate();

    // IDirect3DResource9
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }

    // IDirect3DBaseTexture9
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return lod_; }
    DWORD GetLevelCount() override { return visible_; }
    HRESULT SetAutoGenFilterType(D3DTEXTUREFILTERTYPE filter) override;
    D3DTEXTUREFILTERTYPE GetAutoGenFilterType() override { return autogen_filter_; }
    void GenerateMipSubLevels() override { regenerate(); }

    // IDirect3DTexture9
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override {
        if (level >= visible_) return D3DERR_INVALIDCALL;
        return levels_[level].surface->GetDesc(desc);
    }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
        if (level >= visible_) {
            if (locked != nullptr) *locked = {};
            return D3DERR_INVALIDCALL;
        }
        return levels_[level].surface->LockRect(locked, rect, flags);
    }
    HRESULT UnlockRect(UINT level) override {
        return level < visible_ ? levels_[level].surface->UnlockRect() : D3DERR_INVALIDCALL;
    }
    HRESULT AddDirtyRect(const RECT* rect) override;

protected:
    bool answers(REFIID riid) const override {
        return IsEqualGUID(riid, IID_IDirect3DTexture9) || IsEqualGUID(riid, IID_IDirect3DBaseTexture9) ||
               IsEqualGUID(riid, IID_IDirect3DResource9);
    }

private:
    ~device_texture() override;
    void level_changed(UINT level) override;
    void decode(UINT level);

    struct level_store {
        UINT width = 0;
        UINT height = 0;
        uint8_t* bits = nullptr;  // the format's bytes (visible levels only)
        UINT pitch = 0;
        std::vector<uint32_t> decoded;  // 0xAARRGGBB when the bytes are not that already
        d3d9_surface* surface = nullptr;
        const uint32_t* texels() const {
            return decoded.empty() ? reinterpret_cast<const uint32_t*>(bits) : decoded.data();
        }
    };
    D3DFORMAT format_;
    DWORD usage_;
    std::array<level_store, d3d9_max_texture_levels> levels_{};
    UINT chain_ = 0;    // levels kept
    UINT visible_ = 0;  // levels the program sees
    DWORD lod_ = 0;
    D3DTEXTUREFILTERTYPE autogen_filter_ = D3DTEXF_LINEAR;
};

device_texture::~device_texture() {
    for (level_store& l : levels_) {
        if (l.surface != nullptr) l.surface->destroy_level();
        d3d9_surface_free(l.bits);
    }
}

bool device_texture::allocate(UINT width, UINT height, UINT chain, UINT visible) {
    chain_ = chain;
    visible_ = visible;
    try {
        for (UINT i = 0; i < chain; ++i) {
            level_store& l = levels_[i];
            l.width = d3d9_level_side(width, i);
            l.height = d3d9_level_side(height, i);
            if (i < visible) {
                l.bits = d3d9_surface_allocate(format_, l.width, l.height);
                if (l.bits == nullptr) return false;
                l.pitch = d3d9_format_pitch(format_, l.width);
                const d3d9_surface::shape s{format_, pool(), usage_, l.width, l.height};
                if (d3d9_surface::create_level(device(), s, l.bits, l.pitch, this, this, i, &l.surface) != D3D_OK) {
                    return false;
                }
            }
            if (i >= visible || !native(format_)) l.decoded.assign(size_t(l.width) * l.height, 0);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (UINT i = 0; i < visible; ++i) decode(i);
    regenerate();
    return true;
}

void device_texture::decode(UINT level) {
    level_store& l = levels_[level];
    if (l.decoded.empty() || l.bits == nullptr) return;
    d3d9_format_decode(format_, l.bits, l.pitch, 0, 0, l.width, l.height, l.decoded.data(), l.width);
}

void device_texture::regenerate() {
    if ((usage_ & D3DUSAGE_AUTOGENMIPMAP) == 0) return;
    const uint32_t alpha_or = format_ == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    for (UINT i = 1; i < chain_; ++i) {
        const level_store& above = levels_[i - 1];
        d3d9_mip_box_filter(above.texels(), above.width, above.height, i == 1 ? alpha_or : 0,
                            levels_[i].decoded.data());
    }
}

void device_texture::level_changed(UINT level) {
    decode(level);
    if (level == 0) regenerate();
}

bool device_texture::sampled(sampler_level* levels, int* count) const {
    const UINT first = std::min<UINT>(lod_, chain_ - 1);
    int n = 0;
    for (UINT i = first; i < chain_ && n < sampler_max_levels; ++i) {
        const level_store& l = levels_[i];
        const bool x8 = format_ == D3DFMT_X8R8G8B8 && l.decoded.empty();
        levels[n++] = {l.texels(), int(l.width), int(l.height), x8 ? 0xFF000000u : 0u};
    }
    *count = n;
    return true;
}

DWORD device_texture::SetLOD(DWORD lod) {
    const DWORD previous = lod_;
    if (pool() == D3DPOOL_MANAGED) lod_ = std::min<DWORD>(lod, chain_ - 1);
    return previous;
}

HRESULT device_texture::SetAutoGenFilterType(D3DTEXTUREFILTERTYPE filter) {
    const int32_t value = int32_t(filter);
    if (value != D3DTEXF_POINT && value != D3DTEXF_LINEAR) return D3DERR_INVALIDCALL;
    autogen_filter_ = filter;  // both build the chain with the box filter
    return D3D_OK;
}

HRESULT device_texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (level >= visible_) return D3DERR_INVALIDCALL;
    levels_[level].surface->AddRef();
    *surface = levels_[level].surface;
    return D3D_OK;
}

// Nothing waits for an upload: the rectangle is only checked against level 0.
HRESULT device_texture::AddDirtyRect(const RECT* rect) {
    if (rect == nullptr) return D3D_OK;
    const level_store& l = levels_[0];
    if (rect->left < 0 || rect->top < 0 || rect->left > rect->right || rect->top > rect->bottom ||
        UINT(rect->right) > l.width || UINT(rect->bottom) > l.height) {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

bool valid_pool(D3DPOOL pool) {
    const int32_t p = int32_t(pool);
    return p >= D3DPOOL_DEFAULT && p <= D3DPOOL_SCRATCH;
}

}  // namespace

HRESULT d3d9_create_device_texture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage,
                                   D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (device == nullptr || shared != nullptr || width == 0 || height == 0 || width > max_side || height > max_side ||
        !d3d9_texture_format(format) || !valid_pool(pool) || (usage & ~texture_usages) != 0) {
        return D3DERR_INVALIDCALL;
    }
    const bool render_target = (usage & D3DUSAGE_RENDERTARGET) != 0, autogen = (usage & D3DUSAGE_AUTOGENMIPMAP) != 0;
    if (render_target && (pool != D3DPOOL_DEFAULT || !native(format))) return D3DERR_INVALIDCALL;
    if (pool == D3DPOOL_MANAGED && (usage & (D3DUSAGE_DYNAMIC | D3DUSAGE_RENDERTARGET)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    const UINT full = d3d9_full_level_count(width, height);
    if (levels > full || (autogen && (levels > 1 || pool == D3DPOOL_SYSTEMMEM))) return D3DERR_INVALIDCALL;
    const UINT chain = levels == 0 || autogen ? full : levels;
    auto* made = new (std::nothrow) device_texture(device, format, pool, usage);
    if (made == nullptr) return d3d9_out_of_memory(pool);
    if (!made->allocate(width, height, chain, autogen ? 1 : chain) ||
        !d3d9_device_remember(device, static_cast<IDirect3DTexture9*>(made), d3d9_object_kind::texture)) {
        made->Release();
        return d3d9_out_of_memory(pool);
    }
    *texture = made;
    return D3D_OK;
}

bool d3d9_device_texture_levels(IDirect3DBaseTexture9* texture, sampler_level* levels, int* level_count) {
    const auto* ours = dynamic_cast<const device_texture*>(texture);
    return ours != nullptr && ours->sampled(levels, level_count);
}

bool d3d9_device_texture_pool(IDirect3DBaseTexture9* texture, D3DPOOL* pool) {
    auto* ours = dynamic_cast<device_texture*>(texture);
    if (ours == nullptr) return false;
    D3DSURFACE_DESC desc;
    ours->GetLevelDesc(0, &desc);
    *pool = desc.Pool;
    return true;
}

void d3d9_device_texture_regenerate(IDirect3DBaseTexture9* texture) {
    if (auto* ours = dynamic_cast<device_texture*>(texture)) ours->regenerate();
}
