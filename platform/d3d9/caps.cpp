// caps.cpp - the capabilities of the software device: every primitive type from FVF codes or
// declarations (all declaration types), pre-transformed vertices, culling, depth and alpha tests
// with every comparison, depth bias, stencil with every operation and two sides, blending with
// every factor and operation (separate alpha too), the colour write mask, the scissor test, six
// user clip planes, vertex and table fog (range, w- and z-based), points up to 64 pixels, Gouraud
// and flat colour, specular and fog; eight texture stages with every operation but the bump-map
// ones, point and linear filtering with mip levels, the five address modes, coordinate generation
// and projected coordinates, textures of any size up to 4096; one render target; eight lights
// reported (all enabled ones are lit); no shaders, multisampling, anisotropy, cube or volume
// textures, w-buffer.
#include "platform/d3d9/device.h"

#include <cstring>

void d3d9_device_caps(D3DCAPS9* caps) {
    std::memset(caps, 0, sizeof *caps);
    D3DCAPS9& c = *caps;
    c.DeviceType = D3DDEVTYPE_HAL;
    c.AdapterOrdinal = 0;
    c.Caps2 = D3DCAPS2_CANAUTOGENMIPMAP | D3DCAPS2_DYNAMICTEXTURES;
    c.Caps3 = D3DCAPS3_COPY_TO_VIDMEM | D3DCAPS3_COPY_TO_SYSTEMMEM;
    c.PresentationIntervals = DWORD(D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE);
    c.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_EXECUTEVIDEOMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                D3DDEVCAPS_TLVERTEXVIDEOMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 |
                D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
    c.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                          D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_CLIPTLVERTS | D3DPMISCCAPS_TSSARGTEMP |
                          D3DPMISCCAPS_BLENDOP | D3DPMISCCAPS_PERSTAGECONSTANT | D3DPMISCCAPS_FOGANDSPECULARALPHA |
                          D3DPMISCCAPS_SEPARATEALPHABLEND;
    c.RasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE |
                   D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_FOGRANGE | D3DPRASTERCAPS_WFOG | D3DPRASTERCAPS_ZFOG |
                   D3DPRASTERCAPS_COLORPERSPECTIVE | D3DPRASTERCAPS_SCISSORTEST | D3DPRASTERCAPS_SLOPESCALEDEPTHBIAS |
                   D3DPRASTERCAPS_DEPTHBIAS;
    c.ZCmpCaps = c.AlphaCmpCaps = 0xFF;         // every D3DPCMPCAPS_ bit
    c.SrcBlendCaps = c.DestBlendCaps = 0x3FFF;  // ZERO ... BLENDFACTOR
    c.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND |
                  D3DPSHADECAPS_FOGGOURAUD;
    c.LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP | D3DLINECAPS_FOG;
    c.StencilCaps = D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_ZERO | D3DSTENCILCAPS_REPLACE | D3DSTENCILCAPS_INCRSAT |
                    D3DSTENCILCAPS_DECRSAT | D3DSTENCILCAPS_INVERT | D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR |
                    D3DSTENCILCAPS_TWOSIDED;
    // Any size: neither POW2 nor NONPOW2CONDITIONAL.
    c.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_TEXREPEATNOTSCALEDBYSIZE |
                    D3DPTEXTURECAPS_PROJECTED | D3DPTEXTURECAPS_MIPMAP;
    c.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                          D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    c.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                           D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV | D3DPTADDRESSCAPS_MIRRORONCE;
    c.MaxTextureWidth = c.MaxTextureHeight = 4096;
    c.MaxTextureRepeat = 8192;
    c.MaxTextureAspectRatio = 4096;
    c.MaxAnisotropy = 1;
    c.MaxVertexW = 1.0e10f;
    c.GuardBandLeft = c.GuardBandTop = -32768.0f;
    c.GuardBandRight = c.GuardBandBottom = 32767.0f;
    c.FVFCaps = 8 | D3DFVFCAPS_PSIZE;  // eight texture-coordinate sets, per-vertex point sizes
    // Bit (op - 1) for every operation 1..26 but BUMPENVMAP and BUMPENVMAPLUMINANCE.
    c.TextureOpCaps = ((DWORD{1} << 26) - 1) & ~DWORD(D3DTEXOPCAPS_BUMPENVMAP | D3DTEXOPCAPS_BUMPENVMAPLUMINANCE);
    c.MaxTextureBlendStages = 8;
    c.MaxSimultaneousTextures = 8;
    c.VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                             D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER | D3DVTXPCAPS_TEXGEN_SPHEREMAP;
    c.MaxActiveLights = 8;
    c.MaxUserClipPlanes = 6;
    c.MaxVertexBlendMatrices = 1;  // vertex blending is not done: one world matrix
    c.MaxVertexBlendMatrixIndex = 0;
    c.MaxPointSize = 64.0f;
    c.MaxPrimitiveCount = 0xFFFFF;
    c.MaxVertexIndex = 0xFFFFFF;
    c.MaxStreams = 16;
    c.DevCaps2 = D3DDEVCAPS2_STREAMOFFSET | D3DDEVCAPS2_CAN_STRETCHRECT_FROM_TEXTURES;
    c.StretchRectFilterCaps =
        D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
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
