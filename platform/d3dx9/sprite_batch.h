// sprite_batch.h - the quads an ID3DXSprite gathers between Begin and End: where their corners
// go, in which order they are drawn, and the vertices that draw them.
//
// Placement: a sprite's local corners run from (0, 0) to (w, h), w x h the source rectangle, y
// down; a corner p goes to (p - centre + position) * T with T the sprite transform current at the
// Draw (a projective T divides by w). In screen space the result is in render-target pixels and
// the quad is drawn pre-transformed, its corner (0, 0) at pixel coordinate -0.5, so that a sprite
// at an integer position under an identity transform maps texels to pixels one to one. In object
// space the corners go through the device's world, view and projection; a billboard keeps only
// its centre there and spreads its corners along the view's axes (y up on screen).
//
// Order: call order, or a stable sort by depth (the transformed z in screen space; in object
// space the distance along the view of SetWorldViewLH/RH, else the projected depth), near or far
// first. Runs of one texture become one draw each.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <vector>

struct sprite_quad {
    IDirect3DTexture9* texture = nullptr;
    D3DXVECTOR3 corners[4];  // top-left, top-right, bottom-left, bottom-right
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
    D3DCOLOR colour = 0;
};

// A pre-transformed vertex (D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1).
struct sprite_screen_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
inline constexpr DWORD sprite_screen_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// An object-space vertex (D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1).
struct sprite_object_vertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
inline constexpr DWORD sprite_object_fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The four corners of a w x h sprite placed by centre, position and transform, in order; false
// when a corner is not finite.
bool sprite_place_corners(float w, float h, const D3DXVECTOR3& centre, const D3DXVECTOR3& position,
                          const D3DXMATRIX& transform, D3DXVECTOR3 corners[4]);

// Billboard corners: the sprite's centre goes to `position * transform`, and each corner is offset
// from it by its own offset, scaled as the transform scales, along the view's right and up axes,
// expressed in object space by `to_object` (the inverse of world * view, its translation unused).
bool sprite_place_billboard(float w, float h, const D3DXVECTOR3& centre, const D3DXVECTOR3& position,
                            const D3DXMATRIX& transform, const D3DXMATRIX& to_object, D3DXVECTOR3 corners[4]);

enum class sprite_sort { call_order, front_to_back, back_to_front };

// Fills `order` with the indices of `quads` in drawing order; `depth` receives each quad's key
// (scratch, kept by the caller). `to_depth` maps a corner to the depth the sort compares (its
// third column and fourth column give z and w; depth = z / w, or z when w is 0).
void sprite_order(const std::vector<sprite_quad>& quads, sprite_sort sort, const D3DXMATRIX& to_depth,
                  std::vector<float>* depth, std::vector<uint32_t>* order);

// Appends the six vertices (two triangles) of a quad.
void sprite_append_screen(const sprite_quad& quad, std::vector<sprite_screen_vertex>* vertices);
void sprite_append_object(const sprite_quad& quad, std::vector<sprite_object_vertex>* vertices);
