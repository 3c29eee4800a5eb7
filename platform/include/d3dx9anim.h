// d3dx9anim.h - the frame hierarchy of D3DX: frames, mesh containers, the allocation callbacks,
// D3DXFrameFind and D3DXFrameDestroy (both work) and D3DXLoadMeshHierarchyFromXA/W (not available
// yet: outputs set to null, D3DERR_INVALIDCALL for missing arguments, else D3DERR_NOTAVAILABLE).
// The animation controller is opaque here.
#pragma once

#include <d3dx9mesh.h>

struct ID3DXPMesh;
struct ID3DXPatchMesh;
struct ID3DXSkinInfo;
typedef ID3DXSkinInfo* LPD3DXSKININFO;
struct ID3DXAnimationController;
typedef ID3DXAnimationController* LPD3DXANIMATIONCONTROLLER;
struct ID3DXLoadUserData;
typedef ID3DXLoadUserData* LPD3DXLOADUSERDATA;

enum D3DXMESHDATATYPE {
    D3DXMESHTYPE_MESH = 0x001,
    D3DXMESHTYPE_PMESH = 0x002,
    D3DXMESHTYPE_PATCHMESH = 0x003,
    D3DXMESHTYPE_FORCE_DWORD = 0x7fffffff
};

struct D3DXMESHDATA {
    D3DXMESHDATATYPE Type;
    union {
        LPD3DXMESH pMesh;
        ID3DXPMesh* pPMesh;
        ID3DXPatchMesh* pPatchMesh;
    };
};
typedef D3DXMESHDATA* LPD3DXMESHDATA;

struct D3DXMESHCONTAINER {
    LPSTR Name;
    D3DXMESHDATA MeshData;
    LPD3DXMATERIAL pMaterials;
    LPD3DXEFFECTINSTANCE pEffects;
    DWORD NumMaterials;
    DWORD* pAdjacency;
    LPD3DXSKININFO pSkinInfo;
    D3DXMESHCONTAINER* pNextMeshContainer;
};
typedef D3DXMESHCONTAINER* LPD3DXMESHCONTAINER;

struct D3DXFRAME {
    LPSTR Name;
    D3DXMATRIX TransformationMatrix;
    LPD3DXMESHCONTAINER pMeshContainer;
    D3DXFRAME* pFrameSibling;
    D3DXFRAME* pFrameFirstChild;
};
typedef D3DXFRAME* LPD3DXFRAME;

// Implemented by the program: how frames and mesh containers are made and freed.
struct ID3DXAllocateHierarchy {
    virtual HRESULT CreateFrame(LPCSTR Name, LPD3DXFRAME* ppNewFrame) = 0;
    virtual HRESULT CreateMeshContainer(LPCSTR Name, const D3DXMESHDATA* pMeshData, const D3DXMATERIAL* pMaterials,
                                        const D3DXEFFECTINSTANCE* pEffectInstances, DWORD NumMaterials,
                                        const DWORD* pAdjacency, LPD3DXSKININFO pSkinInfo,
                                        LPD3DXMESHCONTAINER* ppNewMeshContainer) = 0;
    virtual HRESULT DestroyFrame(LPD3DXFRAME pFrameToFree) = 0;
    virtual HRESULT DestroyMeshContainer(LPD3DXMESHCONTAINER pMeshContainerToFree) = 0;

protected:
    ~ID3DXAllocateHierarchy() = default;
};
typedef ID3DXAllocateHierarchy* LPD3DXALLOCATEHIERARCHY;

HRESULT WINAPI D3DXLoadMeshHierarchyFromXA(LPCSTR Filename, DWORD MeshOptions, LPDIRECT3DDEVICE9 pD3DDevice,
                                           LPD3DXALLOCATEHIERARCHY pAlloc, LPD3DXLOADUSERDATA pUserDataLoader,
                                           LPD3DXFRAME* ppFrameHierarchy, LPD3DXANIMATIONCONTROLLER* ppAnimController);
HRESULT WINAPI D3DXLoadMeshHierarchyFromXW(LPCWSTR Filename, DWORD MeshOptions, LPDIRECT3DDEVICE9 pD3DDevice,
                                           LPD3DXALLOCATEHIERARCHY pAlloc, LPD3DXLOADUSERDATA pUserDataLoader,
                                           LPD3DXFRAME* ppFrameHierarchy, LPD3DXANIMATIONCONTROLLER* ppAnimController);
#ifdef UNICODE
#define D3DXLoadMeshHierarchyFromX D3DXLoadMeshHierarchyFromXW
#else
#define D3DXLoadMeshHierarchyFromX D3DXLoadMeshHierarchyFromXA
#endif

// Frees the hierarchy below and including pFrameRoot through pAlloc: mesh containers, children
// and siblings. D3DERR_INVALIDCALL for a null frame or allocator.
HRESULT WINAPI D3DXFrameDestroy(LPD3DXFRAME pFrameRoot, LPD3DXALLOCATEHIERARCHY pAlloc);
// The first frame named Name in the hierarchy (depth first, null when none is).
LPD3DXFRAME WINAPI D3DXFrameFind(const D3DXFRAME* pFrameRoot, LPCSTR Name);
