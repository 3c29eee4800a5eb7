// sprite_states.h - the device states an ID3DXSprite sets between Begin and End, and the state
// blocks that save and restore them.
//
// Begin (without D3DXSPRITE_DONOTMODIFY_RENDERSTATE) sets blending, alpha test, culling, lighting,
// fog, stencil and the other render states a textured, coloured screen quad needs, texture stage 0
// to texture times diffuse (colour and alpha), stage 1 off, and sampler 0 to clamped filtering.
// Depth states are left as the program set them: sprites take part in its depth test. Blending and
// the alpha test ("alpha > 0") are on only with D3DXSPRITE_ALPHABLEND; without it texels keep
// whatever alpha they have and cover what lies beneath.
#pragma once

#include <d3dx9.h>

// The filters sampler 0 gets, chosen once from the device's caps.
struct sprite_filters {
    DWORD mag = D3DTEXF_LINEAR;
    DWORD min = D3DTEXF_LINEAR;
    DWORD mip = D3DTEXF_POINT;
    DWORD max_anisotropy = 1;
};
sprite_filters sprite_filters_from_caps(IDirect3DDevice9* device);

// Records two state blocks on `device`: *states holds every render, stage and sampler state Begin
// sets; *transforms holds world, view and projection. Neither holds a texture or a buffer, so that
// nothing of the program's stays referenced once End has put it back (the sprite keeps texture 0,
// stream 0 and the vertex format itself, for the time between Begin and End). Fails, leaving both
// null, when the device is recording a block of its own or refuses a state.
HRESULT sprite_record_state_blocks(IDirect3DDevice9* device, IDirect3DStateBlock9** states,
                                   IDirect3DStateBlock9** transforms);

// Sets the states of a Begin with `flags` (D3DXSPRITE_ALPHABLEND decides blending and alpha test).
void sprite_set_states(IDirect3DDevice9* device, const sprite_filters& filters, DWORD flags);

// Sets world = view = identity and the projection that puts sprite coordinate (x, y) at render-
// target pixel coordinate (x - 0.5, y - 0.5) for the device's viewport.
void sprite_set_screen_transforms(IDirect3DDevice9* device);
