// d3dx9mesh.h - the D3DX mesh object, its materials, the .x mesh loader, vertex-format helpers,
// bounds and ray picking.
//
// Works: D3DXLoadMeshFromXA/W, D3DXCreateMesh, D3DXCreateMeshFVF, D3DXComputeNormals,
// D3DXGetFVFVertexSize, D3DXDeclaratorFromFVF, D3DXFVFFromDeclarator, D3DXGetDeclVertexSize,
// D3DXGetDeclLength, D3DXComputeBoundingSphere/Box, D3DXIntersectTri, D3DXIntersect,
// D3DXSphereBoundProbe, D3DXBoxBoundProbe.
// Not available yet (outputs set to null; D3DERR_INVALIDCALL for missing arguments, else
// D3DERR_NOTAVAILABLE): D3DXCleanMesh, D3DXWeldVertices, D3DXLoadMeshFromXInMemory,
// D3DXSaveMeshToXA/W.
//
// A mesh keeps its vertices and indices in a vertex buffer and an index buffer of its device (one
// stream; 16-bit indices unless D3DXMESH_32BIT), so what a program writes through the locks is what
// it draws, picks and clones. Every method of ID3DXMesh works. Mesh locks nest like the device's
// buffer locks; OptimizeInplace refuses a mesh that is locked. DrawSubset draws the attribute
// table's ranges when the mesh has a table (shapes, loaded and optimised meshes), else the runs of
// the subset in the attribute buffer (a new mesh from D3DXCreateMesh). Optimize's VERTEXCACHE and
// STRIPREORDER sort by attribute as ATTRSORT does and reorder nothing more.
#pragma once

#include <d3d9.h>
#include <d3dx9core.h>
#include <d3dx9math.h>

struct D3DVERTEXELEMENT9;

#define MAX_FVF_DECL_SIZE (MAXD3DDECLLENGTH + 1)

#define D3DXMESH_32BIT 0x001
#define D3DXMESH_DONOTCLIP 0x002
#define D3DXMESH_POINTS 0x004
#define D3DXMESH_RTPATCHES 0x008
#define D3DXMESH_NPATCHES 0x4000
#define D3DXMESH_VB_SYSTEMMEM 0x010
#define D3DXMESH_VB_MANAGED 0x020
#define D3DXMESH_VB_WRITEONLY 0x040
#define D3DXMESH_VB_DYNAMIC 0x080
#define D3DXMESH_VB_SOFTWAREPROCESSING 0x8000
#define D3DXMESH_IB_SYSTEMMEM 0x100
#define D3DXMESH_IB_MANAGED 0x200
#define D3DXMESH_IB_WRITEONLY 0x400
#define D3DXMESH_IB_DYNAMIC 0x800
#define D3DXMESH_IB_SOFTWAREPROCESSING 0x10000
#define D3DXMESH_VB_SHARE 0x1000
#define D3DXMESH_USEHWONLY 0x2000
#define D3DXMESH_SYSTEMMEM 0x110
#define D3DXMESH_MANAGED 0x220
#define D3DXMESH_WRITEONLY 0x440
#define D3DXMESH_DYNAMIC 0x880
#define D3DXMESH_SOFTWAREPROCESSING 0x18000

#define D3DXMESHOPT_DEVICEINDEPENDENT 0x00400000
#define D3DXMESHOPT_COMPACT 0x01000000
#define D3DXMESHOPT_ATTRSORT 0x02000000
#define D3DXMESHOPT_VERTEXCACHE 0x04000000
#define D3DXMESHOPT_STRIPREORDER 0x08000000
#define D3DXMESHOPT_IGNOREVERTS 0x10000000
#define D3DXMESHOPT_DONOTSPLIT 0x20000000

#define UNUSED16 (0xffff)
#define UNUSED32 (0xffffffff)

// The faces [FaceStart, FaceStart + FaceCount) use attribute AttribId and the vertices
// [VertexStart, VertexStart + VertexCount).
struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};
typedef D3DXATTRIBUTERANGE* LPD3DXATTRIBUTERANGE;

// The texture name is a char string in every build.
struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;
};
typedef D3DXMATERIAL* LPD3DXMATERIAL;

enum D3DXEFFECTDEFAULTTYPE {
    D3DXEDT_STRING = 0x1,
    D3DXEDT_FLOATS = 0x2,
    D3DXEDT_DWORD = 0x3,
    D3DXEDT_FORCEDWORD = 0x7fffffff
};

struct D3DXEFFECTDEFAULT {
    LPSTR pParamName;
    D3DXEFFECTDEFAULTTYPE Type;
    DWORD NumBytes;
    LPVOID pValue;
};
typedef D3DXEFFECTDEFAULT* LPD3DXEFFECTDEFAULT;

struct D3DXEFFECTINSTANCE {
    LPSTR pEffectFilename;
    DWORD NumDefaults;
    LPD3DXEFFECTDEFAULT pDefaults;
};
typedef D3DXEFFECTINSTANCE* LPD3DXEFFECTINSTANCE;

struct D3DXINTERSECTINFO {
    DWORD FaceIndex;
    FLOAT U;
    FLOAT V;
    FLOAT Dist;
};
typedef D3DXINTERSECTINFO* LPD3DXINTERSECTINFO;

enum D3DXCLEANTYPE {
    D3DXCLEAN_BACKFACING = 0x00000001,
    D3DXCLEAN_BOWTIES = 0x00000002,
    D3DXCLEAN_SKINNING = D3DXCLEAN_BACKFACING,
    D3DXCLEAN_OPTIMIZATION = D3DXCLEAN_BACKFACING,
    D3DXCLEAN_SIMPLIFICATION = D3DXCLEAN_BACKFACING | D3DXCLEAN_BOWTIES
};

enum D3DXWELDEPSILONSFLAGS {
    D3DXWELDEPSILONS_WELDALL = 0x1,
    D3DXWELDEPSILONS_WELDPARTIALMATCHES = 0x2,
    D3DXWELDEPSILONS_DONOTREMOVEVERTICES = 0x4,
    D3DXWELDEPSILONS_DONOTSPLIT = 0x8
};

struct D3DXWELDEPSILONS {
    FLOAT Position;
    FLOAT BlendWeights;
    FLOAT Normal;
    FLOAT PSize;
    FLOAT Specular;
    FLOAT Diffuse;
    FLOAT Texcoord[8];
    FLOAT Tangent;
    FLOAT Binormal;
    FLOAT TessFactor;
};
typedef D3DXWELDEPSILONS* LPD3DXWELDEPSILONS;

struct ID3DXMesh;
typedef ID3DXMesh* LPD3DXMESH;

struct ID3DXBaseMesh : IUnknown {
    // Draws the faces whose attribute id is AttribId with the device's current state; a subset
    // without faces draws nothing and succeeds.
    virtual HRESULT DrawSubset(DWORD AttribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    // Writes MAX_FVF_DECL_SIZE elements at most, the terminating D3DDECL_END() included.
    virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9* Declaration) = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
    virtual HRESULT CloneMeshFVF(DWORD Options, DWORD FVF, LPDIRECT3DDEVICE9 pD3DDevice, LPD3DXMESH* ppCloneMesh) = 0;
    virtual HRESULT CloneMesh(DWORD Options, const D3DVERTEXELEMENT9* pDeclaration, LPDIRECT3DDEVICE9 pD3DDevice,
                              LPD3DXMESH* ppCloneMesh) = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** ppVB) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** ppIB) = 0;
    virtual HRESULT LockVertexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    // With pAttribTable null, *pAttribTableSize receives the number of entries.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) = 0;
    virtual HRESULT ConvertPointRepsToAdjacency(const DWORD* pPRep, DWORD* pAdjacency) = 0;
    virtual HRESULT ConvertAdjacencyToPointReps(const DWORD* pAdjacency, DWORD* pPRep) = 0;
    virtual HRESULT GenerateAdjacency(FLOAT Epsilon, DWORD* pAdjacency) = 0;
    virtual HRESULT UpdateSemantics(D3DVERTEXELEMENT9* Declaration) = 0;
};
typedef ID3DXBaseMesh* LPD3DXBASEMESH;

struct ID3DXMesh : ID3DXBaseMesh {
    virtual HRESULT LockAttributeBuffer(DWORD Flags, DWORD** ppData) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
    virtual HRESULT Optimize(DWORD Flags, const DWORD* pAdjacencyIn, DWORD* pAdjacencyOut, DWORD* pFaceRemap,
                             LPD3DXBUFFER* ppVertexRemap, LPD3DXMESH* ppOptMesh) = 0;
    virtual HRESULT OptimizeInplace(DWORD Flags, const DWORD* pAdjacencyIn, DWORD* pAdjacencyOut, DWORD* pFaceRemap,
                                    LPD3DXBUFFER* ppVertexRemap) = 0;
    virtual HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* pAttribTable, DWORD cAttribTableSize) = 0;
};

HRESULT WINAPI D3DXCreateMesh(DWORD NumFaces, DWORD NumVertices, DWORD Options, const D3DVERTEXELEMENT9* pDeclaration,
                              LPDIRECT3DDEVICE9 pD3DDevice, LPD3DXMESH* ppMesh);
HRESULT WINAPI D3DXCreateMeshFVF(DWORD NumFaces, DWORD NumVertices, DWORD Options, DWORD FVF,
                                 LPDIRECT3DDEVICE9 pD3DDevice, LPD3DXMESH* ppMesh);

// Loads a DirectX .x file (text, binary or compressed) into one mesh with one subset per
// material; materials come back as D3DXMATERIAL records in *ppMaterials (texture names inside
// the same buffer), adjacency as GenerateAdjacency(0) gives it, and one effect instance per
// material (no effect file, no defaults). The W form takes the name as wide characters. On
// failure every output is null/0.
HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR pFilename, DWORD Options, LPDIRECT3DDEVICE9 pD3DDevice,
                                  LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                                  DWORD* pNumMaterials, LPD3DXMESH* ppMesh);
HRESULT WINAPI D3DXLoadMeshFromXW(LPCWSTR pFilename, DWORD Options, LPDIRECT3DDEVICE9 pD3DDevice,
                                  LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                                  DWORD* pNumMaterials, LPD3DXMESH* ppMesh);
HRESULT WINAPI D3DXLoadMeshFromXInMemory(LPCVOID Memory, DWORD SizeOfMemory, DWORD Options,
                                         LPDIRECT3DDEVICE9 pD3DDevice, LPD3DXBUFFER* ppAdjacency,
                                         LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                                         DWORD* pNumMaterials, LPD3DXMESH* ppMesh);
HRESULT WINAPI D3DXSaveMeshToXA(LPCSTR pFilename, LPD3DXMESH pMesh, const DWORD* pAdjacency,
                                const D3DXMATERIAL* pMaterials, const D3DXEFFECTINSTANCE* pEffectInstances,
                                DWORD NumMaterials, DWORD Format);
HRESULT WINAPI D3DXSaveMeshToXW(LPCWSTR pFilename, LPD3DXMESH pMesh, const DWORD* pAdjacency,
                                const D3DXMATERIAL* pMaterials, const D3DXEFFECTINSTANCE* pEffectInstances,
                                DWORD NumMaterials, DWORD Format);
#ifdef UNICODE
#define D3DXLoadMeshFromX D3DXLoadMeshFromXW
#define D3DXSaveMeshToX D3DXSaveMeshToXW
#else
#define D3DXLoadMeshFromX D3DXLoadMeshFromXA
#define D3DXSaveMeshToX D3DXSaveMeshToXA
#endif

// Vertex formats. An FVF that describes no layout (more than 8 texture coordinates, an unknown
// position type) gives size 0 from D3DXGetFVFVertexSize and D3DERR_INVALIDCALL from the
// conversions; so does a declaration that no FVF describes.
UINT WINAPI D3DXGetFVFVertexSize(DWORD FVF);
HRESULT WINAPI D3DXDeclaratorFromFVF(DWORD FVF, D3DVERTEXELEMENT9* pDeclarator);
HRESULT WINAPI D3DXFVFFromDeclarator(const D3DVERTEXELEMENT9* pDeclarator, DWORD* pFVF);
UINT WINAPI D3DXGetDeclVertexSize(const D3DVERTEXELEMENT9* pDecl, DWORD Stream);
UINT WINAPI D3DXGetDeclLength(const D3DVERTEXELEMENT9* pDecl);

HRESULT WINAPI D3DXComputeNormals(LPD3DXBASEMESH pMesh, const DWORD* pAdjacency);
HRESULT WINAPI D3DXCleanMesh(D3DXCLEANTYPE CleanType, LPD3DXMESH pMeshIn, const DWORD* pAdjacencyIn,
                             LPD3DXMESH* ppMeshOut, DWORD* pAdjacencyOut, LPD3DXBUFFER* ppErrorsAndWarnings);
HRESULT WINAPI D3DXWeldVertices(LPD3DXMESH pMesh, DWORD Flags, const D3DXWELDEPSILONS* pEpsilons,
                                const DWORD* pAdjacencyIn, DWORD* pAdjacencyOut, DWORD* pFaceRemap,
                                LPD3DXBUFFER* ppVertexRemap);

// Bounds of NumVertices positions dwStride bytes apart: the sphere is centred on their average
// with the largest distance from it as radius; the box is the component-wise minimum and
// maximum. D3DERR_INVALIDCALL for null pointers or no vertices.
HRESULT WINAPI D3DXComputeBoundingSphere(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                                         D3DXVECTOR3* pCenter, FLOAT* pRadius);
HRESULT WINAPI D3DXComputeBoundingBox(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                                      D3DXVECTOR3* pMin, D3DXVECTOR3* pMax);

// Ray picking. Both sides of a triangle count; only hits at Dist >= 0 (in units of |pRayDir|).
// The hit point is V0 + U (V1 - V0) + V (V2 - V0). D3DXIntersect reports the nearest hit and, in
// *ppAllHits, every hit as D3DXINTERSECTINFO, and their number in *pCountOfHits; it returns D3D_OK
// when nothing is hit too, and D3DERR_INVALIDCALL for a mesh without a position or with an index
// beyond its vertices.
BOOL WINAPI D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                             const D3DXVECTOR3* pRayPos, const D3DXVECTOR3* pRayDir, FLOAT* pU, FLOAT* pV,
                             FLOAT* pDist);
HRESULT WINAPI D3DXIntersect(LPD3DXBASEMESH pMesh, const D3DXVECTOR3* pRayPos, const D3DXVECTOR3* pRayDir, BOOL* pHit,
                             DWORD* pFaceIndex, FLOAT* pU, FLOAT* pV, FLOAT* pDist, LPD3DXBUFFER* ppAllHits,
                             DWORD* pCountOfHits);
BOOL WINAPI D3DXSphereBoundProbe(const D3DXVECTOR3* pCenter, FLOAT Radius, const D3DXVECTOR3* pRayPosition,
                                 const D3DXVECTOR3* pRayDirection);
BOOL WINAPI D3DXBoxBoundProbe(const D3DXVECTOR3* pMin, const D3DXVECTOR3* pMax, const D3DXVECTOR3* pRayPosition,
                              const D3DXVECTOR3* pRayDirection);
