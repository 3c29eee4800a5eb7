// unavailable.h - the answer of a D3DX call whose feature does not exist yet: every output it
// was given is set to null, then D3DERR_INVALIDCALL when a required argument is missing, else
// D3DERR_NOTAVAILABLE. Nothing else changes.
#pragma once

#include <d3dx9.h>

#include <initializer_list>

// Sets each non-null output pointer's target to null.
template <class... Outputs>
void d3dx_clear_outputs(Outputs*... outputs) {
    ((outputs != nullptr ? (void)(*outputs = nullptr) : (void)0), ...);
}

// D3DERR_INVALIDCALL when any of `required` is null, else D3DERR_NOTAVAILABLE.
inline HRESULT d3dx_not_available(std::initializer_list<const void*> required) {
    for (const void* argument : required) {
        if (argument == nullptr) return D3DERR_INVALIDCALL;
    }
    return D3DERR_NOTAVAILABLE;
}
