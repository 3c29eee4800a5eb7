// vertex_declaration.h - IDirect3DVertexDeclaration9: a copy of the program's elements and the
// layout decoded from them once, at creation.
#pragma once

#include <d3d9.h>

#include "platform/d3d9/vertex_layout.h"

// Makes a declaration of `device`: D3DERR_INVALIDCALL for null arguments or elements the
// fixed-function device rejects (vl_from_elements); E_OUTOFMEMORY. *declaration is null on failure.
HRESULT d3d9_create_vertex_declaration(IDirect3DDevice9* device, const D3DVERTEXELEMENT9* elements,
                                       IDirect3DVertexDeclaration9** declaration);

// The layout of one of our declarations; null for null or an object not ours.
const vertex_layout* d3d9_declaration_layout(IDirect3DVertexDeclaration9* declaration);
