// caps.cpp - the capabilities of the software device, exactly as the renderer stands: culling,
// a depth test with every comparison and a write mask, Gouraud colour and specular, point-sampled
// wrapped textures of any size on one stage that modulates, up to eight directional, point and
// spot lights, no blending, fog, stencil, shaders, user clip planes, points or lines.
#include "platform/d3d9/device.h"

#include "platform/d3d9/texture.h"

#include <cstring>

void d3d9_device_caps(D3DCAPS9* caps) {
    std::memset(caps, 0, sizeof *caps);
    D3DCAPS9& c = *caps;
    c.DeviceType = D3DDEVTYPE_HAL;
    c.AdapterOrdinal = 0;
    c.PresentationIntervals = DWORD(D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE);
    c.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_EXECUTEVIDEOMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY |
                D3DDEVCAPS_TEXTUREVIDEOMEMORY | D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 |
                D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
    c.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    c.RasterCaps = D3DPRASTERCAPS_ZTEST;
    c.ZCmpCaps = 0xFF;  // every D3DPCMPCAPS_ bit
    c.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB;
    c.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE;  // any size: neither POW2 nor NONPOW2CONDITIONAL
    c.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT;
    c.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP;
    c.MaxTextureWidth = c.MaxTextureHeight = DWORD(d3d9_max_texture_side);
    c.MaxTextureRepeat = 0;
    c.MaxTextureAspectRatio = DWORD(d3d9_max_texture_side);
    c.MaxAnisotropy = 1;
    c.MaxVertexW = 1.0e10f;
    c.GuardBandLeft = c.GuardBandTop = -32768.0f;
    c.GuardBandRight = c.GuardBandBottom = 32767.0f;
    c.FVFCaps = 1;  // one texture-coordinate set
    c.TextureOpCaps = D3DTEXOPCAPS_MODULATE;
    c.MaxTextureBlendStages = 1;
    c.MaxSimultaneousTextures = 1;
    c.VertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                             D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
    c.MaxActiveLights = DWORD(tnl_max_lights);
    c.MaxUserClipPlanes = 0;
    c.MaxVertexBlendMatrices = 1;
    c.MaxPointSize = 1.0f;
    c.MaxPrimitiveCount = 0xFFFFF;
    c.MaxVertexIndex = 0xFFFFFF;
    c.MaxStreams = 16;
    c.DevCaps2 = D3DDEVCAPS2_STREAMOFFSET;
    c.MaxStreamStride = 508;
    c.VertexShaderVersion = D3DVS_VERSION(0, 0);
    c.PixelShaderVersion = D3DPS_VERSION(0, 0);
    c.MasterAdapterOrdinal = 0;
    c.AdapterOrdinalInGroup = 0;
    c.NumberOfAdaptersInGroup = 1;
    c.NumSimultaneousRTs = 1;
}
