// surface.h - what the device knows of a surface, whatever made it: a texture level, an offscreen
// plain surface, a render target, a depth-stencil surface or the back buffer.
//
// Every surface of ours is a d3d9_surface (surface.cpp). Its bytes are laid out as its format
// says (texture_format.h): rows top to bottom `pitch` bytes apart (rows of 4 x 4 blocks for the
// DXT formats). A surface either owns its bytes or borrows them from whoever lends them (the back
// buffer over the window layer's memory; a texture level over its texture's storage).
//
// Render-target formats (X8R8G8B8, A8R8G8B8) are 32 bits per pixel with pitch = width * 4 and
// at least fb_padding spare pixels after the last row, so that the rasteriser can draw into
// them directly (d3d9_framebuffer's lent colour memory).
//
// Depth-stencil surfaces have no bytes a program can lock; the device keeps their depth and
// stencil values in the `attachment` it gives them (framebuffer.h), for as long as they live.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <memory>

struct d3d9_surface_info {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    DWORD usage = 0;  // D3DUSAGE_RENDERTARGET, D3DUSAGE_DEPTHSTENCIL, D3DUSAGE_DYNAMIC, ...
    UINT width = 0;
    UINT height = 0;
    uint8_t* bits = nullptr;  // null for depth-stencil surfaces
    UINT pitch = 0;
    IDirect3DBaseTexture9* container = nullptr;  // the texture this is a level of, or null; not AddRef'd
    UINT level = 0;                              // which level of `container`
    bool locked = false;                         // a program holds a lock on it
};

// The description of `surface` when it is one of ours (made by `device` when that is not null);
// false, leaving *info as it was, otherwise.
bool d3d9_surface_describe(IDirect3DSurface9* surface, d3d9_surface_info* info, IDirect3DDevice9* device = nullptr);

// Tells a surface that the device changed its bytes other than through a lock (it drew into it or
// copied into it): what is sampled from it (its texture's decoded texels, a generated mip chain)
// follows.
void d3d9_surface_changed(IDirect3DSurface9* surface);

// The device's data on one of its surfaces (a depth-stencil surface's buffers); null for a surface
// that is not ours. The surface keeps it, and destroys it with itself.
std::shared_ptr<void>* d3d9_surface_attachment(IDirect3DSurface9* surface);

// A surface of its own: an offscreen plain surface, a render target (usage RENDERTARGET, pool
// DEFAULT) or a depth-stencil surface (usage DEPTHSTENCIL, pool DEFAULT). Checks nothing beyond
// memory: the device's Create* methods validate their arguments first. Out of memory by pool
// (D3DERR_OUTOFVIDEOMEMORY for DEFAULT, E_OUTOFMEMORY otherwise), leaving *surface null.
HRESULT d3d9_create_surface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                            DWORD usage, IDirect3DSurface9** surface);

// A surface over memory its creator lends: the back buffer. `bits` may be replaced later (a new
// back buffer after Reset) through d3d9_surface_lend.
HRESULT d3d9_create_lent_surface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format, DWORD usage,
                                 uint8_t* bits, UINT pitch, IDirect3DSurface9** surface);
void d3d9_surface_lend(IDirect3DSurface9* surface, UINT width, UINT height, uint8_t* bits, UINT pitch);
