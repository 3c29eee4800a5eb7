// sprite.cpp - D3DXCreateSprite and the sprite object (ID3DXSprite).
//
// A sprite gathers the quads of its Draw calls between Begin and End and draws them at Flush and
// End, one DrawPrimitiveUP per run of one texture (sprite_batch.h says where the corners go and in
// which order). Begin saves the states it will change into two state blocks recorded once at
// creation, plus texture 0, stream 0 and the FVF or vertex declaration (held only until End, so
// that nothing of the program's stays referenced afterwards), and End puts them back, unless
// D3DXSPRITE_DONOTSAVESTATE; sprite_states.h lists the states.
//
// Failures, each changing nothing: Begin while begun or with unknown flag bits, Draw, Flush and
// End outside Begin, Draw without a texture, with a texture that cannot describe its level 0, a
// source rectangle that is inverted or reaches outside the texture, or a placement that is not
// finite (all D3DERR_INVALIDCALL); E_OUTOFMEMORY. A source rectangle without area draws nothing.
// D3DXCreateSprite fails with D3DERR_INVALIDCALL for a null device or output and while the device
// records a state block of the program's.
// A batch holds at most sprite_batch_limit quads; one more draws what is gathered first (a sort
// then orders each part on its own).
//
// Choices: BILLBOARD implies OBJECTSPACE; with both depth sorts, back to front wins;
// SORT_TEXTURE keeps call order (runs of one texture still share a draw); SetWorldViewLH/RH take a
// null matrix as the identity and fail for a world * view that has no inverse.
#include <d3dx9.h>

#include "platform/d3d9/com_object.h"
#include "platform/d3dx9/sprite_batch.h"
#include "platform/d3dx9/sprite_states.h"

#include <new>
#include <vector>

namespace {

constexpr DWORD known_flags = 0x1FF;
constexpr size_t sprite_batch_limit = 16384;

const D3DXMATRIX identity_matrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);

class d3dx_sprite final : public com_object<ID3DXSprite> {
public:
    d3dx_sprite(IDirect3DDevice9* device, IDirect3DStateBlock9* states, IDirect3DStateBlock9* transforms)
        : device_(device), states_(states), transforms_(transforms), filters_(sprite_filters_from_caps(device)) {
        device_->AddRef();
    }

    HRESULT GetDevice(LPDIRECT3DDEVICE9* device) override {
        if (device == nullptr) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    HRESULT GetTransform(D3DXMATRIX* transform) override {
        if (transform == nullptr) return D3DERR_INVALIDCALL;
        *transform = transform_;
        return D3D_OK;
    }
    HRESULT SetTransform(const D3DXMATRIX* transform) override {
        if (transform == nullptr) return D3DERR_INVALIDCALL;
        transform_ = *transform;
        return D3D_OK;
    }
    HRESULT SetWorldViewRH(const D3DXMATRIX* world, const D3DXMATRIX* view) override {
        return set_world_view(world, view, true);
    }
    HRESULT SetWorldViewLH(const D3DXMATRIX* world, const D3DXMATRIX* view) override {
        return set_world_view(world, view, false);
    }
    HRESULT Begin(DWORD flags) override;
    HRESULT Draw(LPDIRECT3DTEXTURE9 texture, const RECT* source, const D3DXVECTOR3* centre, const D3DXVECTOR3* position,
                 D3DCOLOR colour) override;
    HRESULT Flush() override { return begun_ ? draw_batch() : D3DERR_INVALIDCALL; }
    HRESULT End() override;
    // The device is never lost; nothing to let go of or make again.
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

private:
    ~d3dx_sprite() override {
        release_textures();
        release_saved();
        states_->Release();
        transforms_->Release();
        device_->Release();
    }

    bool screen_space() const { return (flags_ & (D3DXSPRITE_OBJECTSPACE | D3DXSPRITE_BILLBOARD)) == 0; }
    bool saves_state() const { return (flags_ & D3DXSPRITE_DONOTSAVESTATE) == 0; }
    bool holds_textures() const { return (flags_ & D3DXSPRITE_DO_NOT_ADDREF_TEXTURE) == 0; }

    HRESULT set_world_view(const D3DXMATRIX* world, const D3DXMATRIX* view, bool right_handed);
    sprite_sort sort() const;
    D3DXMATRIX depth_matrix() const;
    HRESULT draw_batch();
    void release_textures();
    void release_saved();

    IDirect3DDevice9* device_;
    IDirect3DStateBlock9* states_;
    IDirect3DStateBlock9* transforms_;
    sprite_filters filters_;

    D3DXMATRIX transform_ = identity_matrix;
    D3DXMATRIX world_view_ = identity_matrix;  // from SetWorldViewLH/RH, z negated for RH
    D3DXMATRIX to_object_ = identity_matrix;   // the inverse of world * view
    bool has_world_view_ = false;

    bool begun_ = false;
    DWORD flags_ = 0;
    DWORD saved_fvf_ = 0;
    IDirect3DVertexDeclaration9* saved_declaration_ = nullptr;
    IDirect3DBaseTexture9* saved_texture_ = nullptr;
    IDirect3DVertexBuffer9* saved_stream_ = nullptr;
    UINT saved_offset_ = 0, saved_stride_ = 0;

    // Kept between batches, so that a warm sprite allocates nothing.
    std::vector<sprite_quad> quads_;
    std::vector<uint32_t> order_;
    std::vector<float> depth_;
    std::vector<sprite_screen_vertex> screen_vertices_;
    std::vector<sprite_object_vertex> object_vertices_;
};

HRESULT d3dx_sprite::set_world_view(const D3DXMATRIX* world, const D3DXMATRIX* view, bool right_handed) {
    D3DXMATRIX world_view;
    D3DXMatrixMultiply(&world_view, world != nullptr ? world : &identity_matrix,
                       view != nullptr ? view : &identity_matrix);
    D3DXMATRIX inverse;
    if (D3DXMatrixInverse(&inverse, nullptr, &world_view) == nullptr) return D3DERR_INVALIDCALL;
    if (right_handed) {
        // The view looks down -z: distance grows as z falls.
        world_view._13 = -world_view._13;
        world_view._23 = -world_view._23;
        world_view._33 = -world_view._33;
        world_view._43 = -world_view._43;
    }
    world_view_ = world_view;
    to_object_ = inverse;
    has_world_view_ = true;
    return D3D_OK;
}

HRESULT d3dx_sprite::Begin(DWORD flags) {
    if (begun_ || (flags & ~known_flags) != 0) return D3DERR_INVALIDCALL;
    flags_ = flags;
    if (saves_state()) {
        states_->Capture();
        if (screen_space()) transforms_->Capture();
        device_->GetFVF(&saved_fvf_);
        device_->GetVertexDeclaration(&saved_declaration_);
        device_->GetTexture(0, &saved_texture_);
        device_->GetStreamSource(0, &saved_stream_, &saved_offset_, &saved_stride_);
    }
    if ((flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE) == 0) sprite_set_states(device_, filters_, flags);
    if (screen_space()) sprite_set_screen_transforms(device_);
    begun_ = true;
    return D3D_OK;
}

HRESULT d3dx_sprite::Draw(LPDIRECT3DTEXTURE9 texture, const RECT* source, const D3DXVECTOR3* centre,
                          const D3DXVECTOR3* position, D3DCOLOR colour) {
    if (!begun_ || texture == nullptr) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    if (FAILED(texture->GetLevelDesc(0, &desc)) || desc.Width == 0 || desc.Height == 0) return D3DERR_INVALIDCALL;
    const LONG width = LONG(desc.Width), height = LONG(desc.Height);
    const RECT whole{0, 0, width, height};
    const RECT& r = source != nullptr ? *source : whole;
    if (r.left < 0 || r.top < 0 || r.left > r.right || r.top > r.bottom || r.right > width || r.bottom > height) {
        return D3DERR_INVALIDCALL;
    }
    if (r.left == r.right || r.top == r.bottom) return D3D_OK;

    sprite_quad quad;
    const D3DXVECTOR3 zero(0, 0, 0);
    const float w = float(r.right - r.left), h = float(r.bottom - r.top);
    const D3DXVECTOR3& c = centre != nullptr ? *centre : zero;
    const D3DXVECTOR3& p = position != nullptr ? *position : zero;
    const bool placed = (flags_ & D3DXSPRITE_BILLBOARD) != 0
                            ? sprite_place_billboard(w, h, c, p, transform_, to_object_, quad.corners)
                            : sprite_place_corners(w, h, c, p, transform_, quad.corners);
    if (!placed) return D3DERR_INVALIDCALL;
    quad.texture = texture;
    quad.u0 = float(r.left) / float(width);
    quad.v0 = float(r.top) / float(height);
    quad.u1 = float(r.right) / float(width);
    quad.v1 = float(r.bottom) / float(height);
    quad.colour = colour;

    if (quads_.size() >= sprite_batch_limit) {
        const HRESULT drawn = draw_batch();
        if (FAILED(drawn)) return drawn;
    }
    try {
        quads_.push_back(quad);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (holds_textures()) texture->AddRef();
    return D3D_OK;
}

HRESULT d3dx_sprite::End() {
    if (!begun_) return D3DERR_INVALIDCALL;
    const HRESULT drawn = draw_batch();
    if (saves_state()) {
        states_->Apply();
        if (screen_space()) transforms_->Apply();
        if (saved_fvf_ == 0 && saved_declaration_ != nullptr) {
            device_->SetVertexDeclaration(saved_declaration_);
        } else {
            device_->SetFVF(saved_fvf_);
        }
        device_->SetTexture(0, saved_texture_);
        device_->SetStreamSource(0, saved_stream_, saved_offset_, saved_stride_);
        release_saved();
    }
    begun_ = false;
    return drawn;
}

sprite_sort d3dx_sprite::sort() const {
    if ((flags_ & D3DXSPRITE_SORT_DEPTH_BACKTOFRONT) != 0) return sprite_sort::back_to_front;
    if ((flags_ & D3DXSPRITE_SORT_DEPTH_FRONTTOBACK) != 0) return sprite_sort::front_to_back;
    return sprite_sort::call_order;
}

// Screen space: the corners' own z. Object space: the distance along the view SetWorldView gave,
// else the depth the device's transforms project to.
D3DXMATRIX d3dx_sprite::depth_matrix() const {
    if (screen_space()) return identity_matrix;
    if (has_world_view_) return world_view_;
    D3DXMATRIX world, view, projection, m;
    device_->GetTransform(D3DTS_WORLD, &world);
    device_->GetTransform(D3DTS_VIEW, &view);
    device_->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&m, &world, &view);
    D3DXMatrixMultiply(&m, &m, &projection);
    return m;
}

HRESULT d3dx_sprite::draw_batch() {
    if (quads_.empty()) return D3D_OK;
    HRESULT result = D3D_OK;
    try {
        sprite_order(quads_, sort(), depth_matrix(), &depth_, &order_);
        const bool screen = screen_space();
        screen_vertices_.clear();
        object_vertices_.clear();
        for (uint32_t i : order_) {
            if (screen) {
                sprite_append_screen(quads_[i], &screen_vertices_);
            } else {
                sprite_append_object(quads_[i], &object_vertices_);
            }
        }
        device_->SetFVF(screen ? sprite_screen_fvf : sprite_object_fvf);
        size_t first = 0;
        while (first < order_.size() && SUCCEEDED(result)) {
            IDirect3DTexture9* texture = quads_[order_[first]].texture;
            size_t last = first + 1;
            while (last < order_.size() && quads_[order_[last]].texture == texture) ++last;
            device_->SetTexture(0, texture);
            const UINT triangles = UINT(2 * (last - first));
            result = screen ? device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, triangles, &screen_vertices_[6 * first],
                                                       sizeof(sprite_screen_vertex))
                            : device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, triangles, &object_vertices_[6 * first],
                                                       sizeof(sprite_object_vertex));
            first = last;
        }
    } catch (const std::bad_alloc&) {
        result = E_OUTOFMEMORY;
    }
    release_textures();
    return result;
}

void d3dx_sprite::release_saved() {
    if (saved_declaration_ != nullptr) saved_declaration_->Release();
    if (saved_texture_ != nullptr) saved_texture_->Release();
    if (saved_stream_ != nullptr) saved_stream_->Release();
    saved_declaration_ = nullptr;
    saved_texture_ = nullptr;
    saved_stream_ = nullptr;
}

void d3dx_sprite::release_textures() {
    if (holds_textures()) {
        for (const sprite_quad& quad : quads_) quad.texture->Release();
    }
    quads_.clear();
}

}  // namespace

HRESULT WINAPI D3DXCreateSprite(LPDIRECT3DDEVICE9 device, LPD3DXSPRITE* sprite) {
    if (sprite != nullptr) *sprite = nullptr;
    if (device == nullptr || sprite == nullptr) return D3DERR_INVALIDCALL;
    IDirect3DStateBlock9* states = nullptr;
    IDirect3DStateBlock9* transforms = nullptr;
    const HRESULT recorded = sprite_record_state_blocks(device, &states, &transforms);
    if (FAILED(recorded)) return recorded;
    d3dx_sprite* made = new (std::nothrow) d3dx_sprite(device, states, transforms);
    if (made == nullptr) {
        states->Release();
        transforms->Release();
        return E_OUTOFMEMORY;
    }
    *sprite = made;
    return D3D_OK;
}
