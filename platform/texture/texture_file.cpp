// texture_file.cpp - placeholder until the texture loader lands.
#include <d3dx9.h>

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9*, LPCSTR, IDirect3DTexture9**) { return E_FAIL; }
