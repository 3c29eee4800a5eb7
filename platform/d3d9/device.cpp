// device.cpp - placeholder until the software device lands.
#include <d3d9.h>

IDirect3D9* WINAPI Direct3DCreate9(UINT) { return nullptr; }
