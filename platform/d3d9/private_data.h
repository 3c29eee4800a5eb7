// private_data.h - the data a program attaches to a resource under a GUID (SetPrivateData,
// GetPrivateData, FreePrivateData of IDirect3DResource9).
//
// Bytes are copied in. With D3DSPD_IUNKNOWN the data is an IUnknown pointer: the store holds a
// reference on it (released when the entry is replaced, freed or the store goes) and hands out
// AddRef'd copies of the pointer. Setting a GUID again replaces its entry.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

class d3d9_private_data {
public:
    d3d9_private_data() = default;
    d3d9_private_data(const d3d9_private_data&) = delete;
    d3d9_private_data& operator=(const d3d9_private_data&) = delete;
    ~d3d9_private_data();

    // D3DERR_INVALIDCALL for null data with a non-zero size, an IUnknown entry whose
    // size is not that of a pointer or unknown flags; E_OUTOFMEMORY. Nothing changes on failure.
    HRESULT set(REFGUID guid, const void* data, DWORD size, DWORD flags);
    // D3DERR_NOTFOUND for an unknown GUID; D3DERR_INVALIDCALL for a null size pointer. Null `data`
    // asks for the size only; a buffer smaller than the entry gets D3DERR_MOREDATA and the size.
    HRESULT get(REFGUID guid, void* data, DWORD* size) const;
    HRESULT free(REFGUID guid);

private:
    struct entry {
        GUID guid;
        std::vector<uint8_t> bytes;
        IUnknown* object = nullptr;
    };
    std::vector<entry> entries_;
};
