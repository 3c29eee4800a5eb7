// d3dx9.h - our stand-in for the D3DX 9 operations the demos call: matrix maths, procedural
// meshes (box, torus, teapot), the mesh object, the .x mesh loader and the texture loader.
//
// DOES NOT: offer effects, skinning, animation, mesh optimisation, or any D3DX call the demos do
// not use.
//
// Conventions: row vectors (v' = v * M), so A * B applies A first; left-handed; single precision;
// D3DXMATRIX is row-major in memory (_ij = row i, column j).
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

#define D3DX_PI 3.141592654f

#define D3DXERR_INVALIDDATA ((HRESULT)0x88760B59L)
#define D3DXMESH_32BIT 0x001
#define D3DXMESH_SYSTEMMEM 0x110
#define D3DXMESH_MANAGED 0x220

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() : D3DVECTOR{0.0f, 0.0f, 0.0f} {}
    D3DXVECTOR3(float x_, float y_, float z_) : D3DVECTOR{x_, y_, z_} {}
};

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX{} {}
    D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31,
               float m32, float m33, float m34, float m41, float m42, float m43, float m44);
    float& operator()(UINT row, UINT column) { return m[row][column]; }
    float operator()(UINT row, UINT column) const { return m[row][column]; }
    D3DXMATRIX operator*(const D3DXMATRIX& other) const;
};

D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2);
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf);
D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up);
D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);

// A block of memory handed out by D3DX (here: the loader's material records).
struct ID3DXBuffer {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;

protected:
    virtual ~ID3DXBuffer() = default;
};

// The geometry of a mesh as plain data: one entry per vertex in each stream that is present
// (normals, diffuse and texcoords may be empty), three indices per triangle, and one subset
// (attribute) id per triangle. Triangles are kept in their creation order.
struct D3DXMESHDATA {
    std::vector<D3DVECTOR> positions;
    std::vector<D3DVECTOR> normals;
    std::vector<D3DCOLOR> diffuse;
    std::vector<float> texcoords;      // (u, v) per vertex
    std::vector<uint32_t> indices;     // 3 per triangle
    std::vector<uint32_t> attributes;  // 1 per triangle
};

struct ID3DXMesh {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // Draws the triangles whose attribute id is `subset` with the device's current state.
    virtual HRESULT DrawSubset(DWORD subset) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    // Stand-in extension: the mesh's geometry, for tools and tests.
    virtual const D3DXMESHDATA& GetGeometry() const = 0;

protected:
    virtual ~ID3DXMesh() = default;
};

struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;
};

typedef ID3DXBuffer* LPD3DXBUFFER;
typedef ID3DXMesh* LPD3DXMESH;

HRESULT WINAPI D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer);

// Procedural meshes (position + normal, one subset). Adjacency is not produced: a non-null
// *adjacency is set to null. Null device or mesh pointer, and sizes that cannot describe the shape
// (NaN, infinite, zero or negative; fewer than 3 sides or rings; more than 65,535 vertices), fail
// with D3DERR_INVALIDCALL and leave *mesh null.
HRESULT WINAPI D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth, ID3DXMesh** mesh,
                             ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreateTorus(IDirect3DDevice9* device, float inner_radius, float outer_radius, UINT sides, UINT rings,
                               ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreateTeapot(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency);

// Loads a DirectX .x file (text, binary or compressed) into one mesh with one subset per
// material. Materials come back as D3DXMATERIAL records in *materials (texture names inside the
// same buffer). Adjacency and effect instances are not produced: pass null. On failure returns a
// non-zero result and leaves every output null.
HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count,
                                  ID3DXMesh** mesh);

// Loads an image into a texture at the image's own size: BMP, DIB, DDS (the top level of a 2D
// texture), HDR, JPEG, PFM, PNG, PPM or TGA, recognised by content. On failure returns a non-zero
// result and leaves *texture untouched.
HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR filename, IDirect3DTexture9** texture);
