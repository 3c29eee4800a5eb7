// caps.cpp - the capabilities of the software device, exactly as the renderer stands: every
// primitive type from FVF codes or declarations (all declaration types), pre-transformed vertices,
// culling, depth and alpha tests with every comparison, depth bias, stencil with every operation
// and two sides, blending with every factor and operation (separate alpha too), the colour write
// mask, the scissor test, six user clip planes, vertex and table fog (range, w- and z-based), points
// up to 64 pixels, Gouraud and flat colour, specular and fog; point-sampled wrapped textures of
// any size on one stage that modulates, reading one coordinate set; eight lights reported (all
// enabled ones are lit); no shaders.
#include "platform/d3d9/device.h"

#include "platform/d3d9/texture.h"

#include <cstring>

void d3d9_device_caps(D3DCAPS9* caps) {
    std::memset(caps, 0, sizeof *caps);
    D3DCAPS9& c = *caps;
    c.DeviceType = D3DDEVTYPE_HAL;
    c.AdapterOrdinal = 0;
    c.PresentationIntervals = DWORD(D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE);
    c.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_EXECUTEVIDEOMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                D3DDEVCAPS_TLVERTEXVIDEOMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 |
                D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
    c.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                          D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_CLIPTLVERTS | D3DPMISCCAPS_BLENDOP |
                          D3DPMISCCAPS_FOGANDSPECULARALPHA | D3DPMISCCAPS_SEPARATEALPHABLEND;
    c.RasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_FOGRANGE |
                   D3DPRASTERCAPS_WFOG | D3DPRASTERCAPS_ZFOG | D3DPRASTERCAPS_COLORPERSPECTIVE |
                   D3DPRASTERCAPS_SCISSORTEST | D3DPRASTERCAPS_SLOPESCALEDEPTHBIAS | D3DPRASTERCAPS_DEPTHBIAS;
    c.ZCmpCaps = c.AlphaCmpCaps = 0xFF;         // every D3DPCMPCAPS_ bit
    c.SrcBlendCaps = c.DestBlendCaps = 0x3FFF;  // ZERO ... BLENDFACTOR
    c.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND |
                  D3DPSHADECAPS_FOGGOURAUD;
    c.LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP | D3DLINECAPS_FOG;
    c.StencilCaps = D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_ZERO | D3DSTENCILCAPS_REPLACE | D3DSTENCILCAPS_INCRSAT |
                    D3DSTENCILCAPS_DECRSAT | D3DSTENCILCAPS_INVERT | D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR |
                    D3DSTENCILCAPS_TWOSIDED;
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
    c.FVFCaps = 1 | D3DFVFCAPS_PSIZE;  // one texture-coordinate set read, per-vertex point sizes
    c.TextureOpCaps = D3DTEXOPCAPS_MODULATE;
    c.MaxTextureBlendStages = 1;
    c.MaxSimultaneousTextures = 1;
    c.VertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                             D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
    c.MaxActiveLights = DWORD(tnl_max_lights);
    c.MaxUserClipPlanes = 6;
    c.MaxVertexBlendMatrices = 1;
    c.MaxPointSize = 64.0f;
    c.MaxPrimitiveCount = 0xFFFFF;
    c.MaxVertexIndex = 0xFFFFFF;
    c.MaxStreams = 16;
    c.DevCaps2 = D3DDEVCAPS2_STREAMOFFSET;
    c.MaxStreamStride = 508;
    c.DeclTypes = D3DDTCAPS_UBYTE4 | D3DDTCAPS_UBYTE4N | D3DDTCAPS_SHORT2N | D3DDTCAPS_SHORT4N | D3DDTCAPS_USHORT2N |
                  D3DDTCAPS_USHORT4N | D3DDTCAPS_UDEC3 | D3DDTCAPS_DEC3N | D3DDTCAPS_FLOAT16_2 | D3DDTCAPS_FLOAT16_4;
    c.VertexShaderVersion = D3DVS_VERSION(0, 0);
    c.PixelShaderVersion = D3DPS_VERSION(0, 0);
    c.MasterAdapterOrdinal = 0;
    c.AdapterOrdinalInGroup = 0;
    c.NumberOfAdaptersInGroup = 1;
    c.NumSimultaneousRTs = 1;
}
