// d3dx9xof.h - the names of the D3DX .x file object API that a program may meet: the file
// interface (opaque here), the format flags and D3DXFileCreate. Programs read meshes through
// D3DXLoadMeshFromX; D3DXFileCreate sets *lplpDirectXFile to null and returns
// D3DERR_INVALIDCALL for a null output, else D3DERR_NOTAVAILABLE.
#pragma once

#include <d3dx9core.h>

typedef DWORD D3DXF_FILEFORMAT;
#define D3DXF_FILEFORMAT_BINARY 0
#define D3DXF_FILEFORMAT_TEXT 1
#define D3DXF_FILEFORMAT_COMPRESSED 2

typedef DWORD D3DXF_FILESAVEOPTIONS;
#define D3DXF_FILESAVE_TOFILE 0x00L
#define D3DXF_FILESAVE_TOWFILE 0x01L

typedef DWORD D3DXF_FILELOADOPTIONS;
#define D3DXF_FILELOAD_FROMFILE 0x00L
#define D3DXF_FILELOAD_FROMWFILE 0x01L
#define D3DXF_FILELOAD_FROMRESOURCE 0x02L
#define D3DXF_FILELOAD_FROMMEMORY 0x03L

struct ID3DXFile;
typedef ID3DXFile* LPD3DXFILE;

HRESULT WINAPI D3DXFileCreate(ID3DXFile** lplpDirectXFile);
