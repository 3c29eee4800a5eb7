// mesh_bounds.cpp - bounds of vertex positions, ray tests against triangles, spheres and boxes,
// and D3DXIntersect over the triangles of a D3DX mesh.
#include <d3dx9.h>

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

D3DXVECTOR3 position_at(const D3DXVECTOR3* first, DWORD index, DWORD stride) {
    D3DXVECTOR3 p;
    std::memcpy(&p.x, reinterpret_cast<const unsigned char*>(first) + size_t(index) * stride, 3 * sizeof(float));
    return p;
}

}  // namespace

HRESULT WINAPI D3DXComputeBoundingSphere(const D3DXVECTOR3* first, DWORD count, DWORD stride, D3DXVECTOR3* center,
                                         FLOAT* radius) {
    if (first == nullptr || center == nullptr || radius == nullptr || count == 0) return D3DERR_INVALIDCALL;
    D3DXVECTOR3 sum(0, 0, 0);
    for (DWORD i = 0; i < count; ++i) sum += position_at(first, i, stride);
    const D3DXVECTOR3 c = sum / float(count);
    float largest = 0.0f;
    for (DWORD i = 0; i < count; ++i) {
        const D3DXVECTOR3 d = position_at(first, i, stride) - c;
        const float squared = D3DXVec3LengthSq(&d);
        largest = squared > largest ? squared : largest;
    }
    *center = c;
    *radius = std::sqrt(largest);
    return D3D_OK;
}

HRESULT WINAPI D3DXComputeBoundingBox(const D3DXVECTOR3* first, DWORD count, DWORD stride, D3DXVECTOR3* low,
                                      D3DXVECTOR3* high) {
    if (first == nullptr || low == nullptr || high == nullptr || count == 0) return D3DERR_INVALIDCALL;
    D3DXVECTOR3 lo = position_at(first, 0, stride), hi = lo;
    for (DWORD i = 1; i < count; ++i) {
        const D3DXVECTOR3 p = position_at(first, i, stride);
        D3DXVec3Minimize(&lo, &lo, &p);
        D3DXVec3Maximize(&hi, &hi, &p);
    }
    *low = lo;
    *high = hi;
    return D3D_OK;
}

// Solves RayPos + Dist * RayDir = P0 + U (P1 - P0) + V (P2 - P0) by Cramer's rule; a hit needs
// U, V >= 0, U + V <= 1 and Dist >= 0. Either side of the triangle counts.
BOOL WINAPI D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                             const D3DXVECTOR3* ray_pos, const D3DXVECTOR3* ray_dir, FLOAT* u_out, FLOAT* v_out,
                             FLOAT* dist_out) {
    const D3DXVECTOR3 e1 = *p1 - *p0, e2 = *p2 - *p0;
    D3DXVECTOR3 p;
    D3DXVec3Cross(&p, ray_dir, &e2);
    const float determinant = D3DXVec3Dot(&e1, &p);
    if (determinant == 0.0f || !std::isfinite(determinant)) return FALSE;
    const float inverse = 1.0f / determinant;
    const D3DXVECTOR3 t = *ray_pos - *p0;
    const float u = D3DXVec3Dot(&t, &p) * inverse;
    if (!(u >= 0.0f && u <= 1.0f)) return FALSE;
    D3DXVECTOR3 q;
    D3DXVec3Cross(&q, &t, &e1);
    const float v = D3DXVec3Dot(ray_dir, &q) * inverse;
    if (!(v >= 0.0f && u + v <= 1.0f)) return FALSE;
    const float dist = D3DXVec3Dot(&e2, &q) * inverse;
    if (!(dist >= 0.0f)) return FALSE;
    if (u_out != nullptr) *u_out = u;
    if (v_out != nullptr) *v_out = v;
    if (dist_out != nullptr) *dist_out = dist;
    return TRUE;
}

namespace {

// The mesh's buffers locked for reading, and where each vertex's position is.
class mesh_reader {
public:
    explicit mesh_reader(ID3DXBaseMesh* mesh) : mesh_(mesh) {
        D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
        if (FAILED(mesh->GetDeclaration(elements))) return;
        for (int i = 0; i < MAX_FVF_DECL_SIZE && elements[i].Stream != 0xFF; ++i) {
            const D3DVERTEXELEMENT9& e = elements[i];
            if (e.Usage == D3DDECLUSAGE_POSITION && e.UsageIndex == 0 &&
                (e.Type == D3DDECLTYPE_FLOAT3 || e.Type == D3DDECLTYPE_FLOAT4)) {
                offset_ = e.Offset;
                found_ = true;
            }
        }
        wide_ = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
        stride_ = mesh->GetNumBytesPerVertex();
        if (mesh->GetNumFaces() == 0) return;
        if (SUCCEEDED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices_)) &&
            FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices_))) {
            mesh->UnlockVertexBuffer();
            vertices_ = nullptr;
        }
    }
    ~mesh_reader() {
        if (indices_ != nullptr) {
            mesh_->UnlockIndexBuffer();
            mesh_->UnlockVertexBuffer();
        }
    }
    mesh_reader(const mesh_reader&) = delete;
    mesh_reader& operator=(const mesh_reader&) = delete;
    bool usable() const {
        return found_ && stride_ >= offset_ + 12 && (mesh_->GetNumFaces() == 0 || indices_ != nullptr);
    }
    DWORD index(size_t i) const {
        if (wide_) return static_cast<const uint32_t*>(indices_)[i];
        return static_cast<const uint16_t*>(indices_)[i];
    }
    D3DXVECTOR3 position(DWORD v) const {
        D3DXVECTOR3 p;
        std::memcpy(&p.x, static_cast<const unsigned char*>(vertices_) + size_t(v) * stride_ + offset_, 12);
        return p;
    }

private:
    ID3DXBaseMesh* mesh_;
    void* vertices_ = nullptr;
    void* indices_ = nullptr;
    DWORD offset_ = 0, stride_ = 0;
    bool found_ = false, wide_ = false;
};

}  // namespace

// Reads the mesh's buffers as they are now; a mesh whose indices reach past its vertices, or
// without a position, fails with D3DERR_INVALIDCALL and reports nothing.
HRESULT WINAPI D3DXIntersect(LPD3DXBASEMESH mesh, const D3DXVECTOR3* ray_pos, const D3DXVECTOR3* ray_dir, BOOL* hit,
                             DWORD* face_index, FLOAT* u_out, FLOAT* v_out, FLOAT* dist_out, LPD3DXBUFFER* all_hits,
                             DWORD* hit_count) {
    if (all_hits != nullptr) *all_hits = nullptr;
    if (mesh == nullptr || ray_pos == nullptr || ray_dir == nullptr || hit == nullptr) return D3DERR_INVALIDCALL;
    const mesh_reader reader(mesh);
    if (!reader.usable()) return D3DERR_INVALIDCALL;
    const DWORD faces = mesh->GetNumFaces(), vertices = mesh->GetNumVertices();
    for (size_t i = 0; i < 3 * size_t(faces); ++i) {
        if (reader.index(i) >= vertices) return D3DERR_INVALIDCALL;
    }
    try {
        std::vector<D3DXINTERSECTINFO> hits;
        D3DXINTERSECTINFO nearest{0, 0, 0, INFINITY};
        DWORD count = 0;
        for (DWORD face = 0; face < faces; ++face) {
            const D3DXVECTOR3 a = reader.position(reader.index(3 * size_t(face))),
                              b = reader.position(reader.index(3 * size_t(face) + 1)),
                              c = reader.position(reader.index(3 * size_t(face) + 2));
            D3DXINTERSECTINFO info{face, 0, 0, 0};
            if (!D3DXIntersectTri(&a, &b, &c, ray_pos, ray_dir, &info.U, &info.V, &info.Dist)) continue;
            ++count;
            if (all_hits != nullptr) hits.push_back(info);
            if (info.Dist < nearest.Dist) nearest = info;
        }
        if (all_hits != nullptr && !hits.empty()) {
            const HRESULT result = D3DXCreateBuffer(DWORD(hits.size() * sizeof(D3DXINTERSECTINFO)), all_hits);
            if (FAILED(result)) return result;
            std::memcpy((*all_hits)->GetBufferPointer(), hits.data(), hits.size() * sizeof(D3DXINTERSECTINFO));
        }
        *hit = count != 0 ? TRUE : FALSE;
        if (hit_count != nullptr) *hit_count = count;
        if (count != 0) {
            if (face_index != nullptr) *face_index = nearest.FaceIndex;
            if (u_out != nullptr) *u_out = nearest.U;
            if (v_out != nullptr) *v_out = nearest.V;
            if (dist_out != nullptr) *dist_out = nearest.Dist;
        }
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Whether the ray (t >= 0) comes within Radius of the centre.
BOOL WINAPI D3DXSphereBoundProbe(const D3DXVECTOR3* center, FLOAT radius, const D3DXVECTOR3* ray_pos,
                                 const D3DXVECTOR3* ray_dir) {
    const D3DXVECTOR3 to_center = *center - *ray_pos;
    const float length_sq = D3DXVec3LengthSq(ray_dir);
    float t = length_sq > 0.0f ? D3DXVec3Dot(&to_center, ray_dir) / length_sq : 0.0f;
    if (t < 0.0f) t = 0.0f;
    const D3DXVECTOR3 closest = *ray_pos + *ray_dir * t - *center;
    return D3DXVec3LengthSq(&closest) <= radius * radius ? TRUE : FALSE;
}

// Slab test over the three axes for t >= 0.
BOOL WINAPI D3DXBoxBoundProbe(const D3DXVECTOR3* low, const D3DXVECTOR3* high, const D3DXVECTOR3* ray_pos,
                              const D3DXVECTOR3* ray_dir) {
    float t_near = 0.0f, t_far = INFINITY;
    const float lo[3] = {low->x, low->y, low->z}, hi[3] = {high->x, high->y, high->z};
    const float origin[3] = {ray_pos->x, ray_pos->y, ray_pos->z}, dir[3] = {ray_dir->x, ray_dir->y, ray_dir->z};
    for (int axis = 0; axis < 3; ++axis) {
        if (dir[axis] == 0.0f) {
            if (origin[axis] < lo[axis] || origin[axis] > hi[axis]) return FALSE;
            continue;
        }
        float t0 = (lo[axis] - origin[axis]) / dir[axis], t1 = (hi[axis] - origin[axis]) / dir[axis];
        if (t0 > t1) std::swap(t0, t1);
        t_near = t0 > t_near ? t0 : t_near;
        t_far = t1 < t_far ? t1 : t_far;
        if (!(t_near <= t_far)) return FALSE;
    }
    return TRUE;
}
