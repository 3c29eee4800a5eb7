// frame_hierarchy.cpp - D3DXFrameFind and D3DXFrameDestroy over a program's frame hierarchy.
// Both walk siblings iteratively and children recursively, so a long sibling list costs no stack.
#include <d3dx9.h>

#include <cstring>

LPD3DXFRAME WINAPI D3DXFrameFind(const D3DXFRAME* root, LPCSTR name) {
    for (const D3DXFRAME* frame = root; frame != nullptr; frame = frame->pFrameSibling) {
        const bool match =
            name == nullptr ? frame->Name == nullptr : frame->Name != nullptr && std::strcmp(frame->Name, name) == 0;
        if (match) return const_cast<LPD3DXFRAME>(frame);
        if (LPD3DXFRAME found = D3DXFrameFind(frame->pFrameFirstChild, name)) return found;
    }
    return nullptr;
}

HRESULT WINAPI D3DXFrameDestroy(LPD3DXFRAME root, LPD3DXALLOCATEHIERARCHY allocator) {
    if (root == nullptr || allocator == nullptr) return D3DERR_INVALIDCALL;
    for (LPD3DXFRAME frame = root; frame != nullptr;) {
        LPD3DXFRAME next = frame->pFrameSibling;
        if (frame->pFrameFirstChild != nullptr) {
            const HRESULT result = D3DXFrameDestroy(frame->pFrameFirstChild, allocator);
            if (FAILED(result)) return result;
        }
        for (LPD3DXMESHCONTAINER container = frame->pMeshContainer; container != nullptr;) {
            LPD3DXMESHCONTAINER next_container = container->pNextMeshContainer;
            const HRESULT result = allocator->DestroyMeshContainer(container);
            if (FAILED(result)) return result;
            container = next_container;
        }
        const HRESULT result = allocator->DestroyFrame(frame);
        if (FAILED(result)) return result;
        frame = next;
    }
    return D3D_OK;
}
