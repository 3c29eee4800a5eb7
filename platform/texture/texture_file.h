// texture_file.h - textures from image files: D3DXCreateTextureFromFileA and, for callers that
// report failures their own way, the same load returning its reason.
//
// The file is named by a Win32 path (resolved against the current directory, '\' or '/'
// separators, case-insensitive match when the exact name is absent), must be a regular file of at
// most 256 MiB, and is decoded by texture_decode (formats and conventions in texture_decode.h).
// Every texture made from one file shares one decoded image while any of them lives
// (texture_cache.h), with its complete mip chain built once by the 2 x 2 box filter; the texture
// keeps the image's own size.
//
// Failures create nothing and leave *texture untouched: D3DERR_INVALIDCALL for a missing device,
// file name or output, D3DXERR_INVALIDDATA for a file that cannot be read or is no usable image,
// E_OUTOFMEMORY, E_FAIL for anything unforeseen. No exception escapes.
//
// D3DXCreateTextureFromFileA also reports every failed load of a named file on stderr, one line:
//   <program>: texture "<name as given>": <reason>
// A call without a file name (made for materials that name none) fails quietly.
//
// DOES NOT: resample to powers of two, apply a colour key, or call into the
// device (the device pointer is only checked for null).
#pragma once

#include <d3dx9.h>

#include "platform/texture/texture_decode.h"

#include <string>
#include <vector>

// The whole content of the file named `filename` (Win32 path rules, at most 256 MiB, not empty).
// False with *error set (D3DXERR_INVALIDDATA, "file not found" and the like) when it cannot be read.
// Throws std::bad_alloc.
bool texture_file_bytes(const char* filename, std::vector<unsigned char>& bytes, texture_error* error);

// D3DXCreateTextureFromFileA without the report: on failure also sets *reason (when not null) to a
// short reason such as "file not found" or "PNG: bad zlib header".
HRESULT texture_create_from_file(IDirect3DDevice9* device, const char* filename, IDirect3DTexture9** texture,
                                 std::string* reason);
