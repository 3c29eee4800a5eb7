// surface_object.h - the class behind every surface of ours (surface.h says what the device knows
// of one), for the device's own code: textures whose levels are surfaces, and surface copies.
//
// A surface owns zero-filled bytes, borrows them from whoever lends them (the back buffer), or is
// a level of a texture: then it shares the texture's storage, its references are the texture's (a
// program holding a level keeps the texture alive, and the device's bindings of a level bind the
// texture), and the texture is told when a lock that could write ends or the device writes into it.
//
// Locks (LockRect): one at a time; the rectangle must lie inside the surface and not be empty
// (for DXT formats its edges must be multiples of 4 or the surface's edges); READONLY with DISCARD,
// unknown flags, depth-stencil surfaces and levels of DEFAULT-pool textures without DYNAMIC are
// refused with D3DERR_INVALIDCALL.
#pragma once

#include "platform/d3d9/device_resource.h"
#include "platform/d3d9/surface.h"

#include <cstdint>
#include <memory>

// What a texture does for its level surfaces.
class d3d9_level_owner {
public:
    // The level's bytes changed (a lock that could write ended, or the device wrote into them).
    virtual void level_changed(UINT level) = 0;

protected:
    ~d3d9_level_owner() = default;
};

class d3d9_surface final : public d3d9_resource<IDirect3DSurface9> {
public:
    struct shape {
        D3DFORMAT format = D3DFMT_UNKNOWN;
        D3DPOOL pool = D3DPOOL_DEFAULT;
        DWORD usage = 0;
        UINT width = 0;
        UINT height = 0;
    };

    // A surface with bytes of its own (none for a depth-stencil surface). E_OUTOFMEMORY or
    // D3DERR_OUTOFVIDEOMEMORY by pool, leaving *made null.
    static HRESULT create(IDirect3DDevice9* device, const shape& s, d3d9_surface** made);
    // A surface over bytes someone else keeps.
    static HRESULT create_lent(IDirect3DDevice9* device, const shape& s, uint8_t* bits, UINT pitch,
                               d3d9_surface** made);
    // Level `level` of `container`, over the texture's bytes. The texture owns the object and ends
    // it with destroy_level; `container` must outlive it.
    static HRESULT create_level(IDirect3DDevice9* device, const shape& s, uint8_t* bits, UINT pitch,
                                IDirect3DTexture9* container, d3d9_level_owner* owner, UINT level, d3d9_surface** made);
    void destroy_level();

    const shape& form() const { return shape_; }
    uint8_t* bits() const { return bits_; }
    UINT pitch() const { return pitch_; }
    bool locked() const { return locked_; }
    bool is_level() const { return container_ != nullptr; }
    IDirect3DTexture9* container() const { return container_; }
    UINT level() const { return level_; }
    void lend(UINT width, UINT height, uint8_t* bits, UINT pitch);
    // The device wrote into the bytes.
    void changed() const;
    std::shared_ptr<void>* attachment() { return &attachment_; }
    // Whether `device` made this surface (a pointer checked against the device's list first).
    static d3d9_surface* ours(IDirect3DSurface9* surface, IDirect3DDevice9* device);

    // IUnknown: a level's references are its texture's.
    ULONG AddRef() override;
    ULONG Release() override;
    void bind() override;
    void unbind() override;

    // IDirect3DResource9
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }

    // IDirect3DSurface9
    HRESULT GetContainer(REFIID riid, void** container) override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT ReleaseDC(HDC dc) override;

protected:
    bool answers(REFIID riid) const override;

private:
    d3d9_surface(IDirect3DDevice9* device, const shape& s);
    ~d3d9_surface() override;

    struct free_bytes {
        void operator()(uint8_t* p) const;
    };
    shape shape_;
    std::unique_ptr<uint8_t, free_bytes> owned_;
    uint8_t* bits_ = nullptr;
    UINT pitch_ = 0;
    IDirect3DTexture9* container_ = nullptr;
    d3d9_level_owner* owner_ = nullptr;
    UINT level_ = 0;
    bool locked_ = false;
    bool lock_writes_ = false;
    std::shared_ptr<void> attachment_;
};

// Bytes for a level or surface of `format`: the level's bytes plus fb_padding spare pixels for the
// 32-bit formats, zero-filled; null when memory runs out or the size is out of reach.
uint8_t* d3d9_surface_allocate(D3DFORMAT format, UINT width, UINT height);
void d3d9_surface_free(uint8_t* bytes);
