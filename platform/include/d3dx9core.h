// d3dx9core.h - the D3DX core objects: buffers.
#pragma once

#include <d3d9.h>
#include <unknwn.h>

// A block of memory handed out by D3DX (here: the loader's material records).
struct ID3DXBuffer : IUnknown {
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

typedef ID3DXBuffer* LPD3DXBUFFER;

HRESULT WINAPI D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer);
