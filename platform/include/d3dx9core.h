// d3dx9core.h - the D3DX core objects: buffers, fonts, sprites, lines and render-to-surface
// helpers, and the version check.
//
// Works: D3DXCreateBuffer, D3DXCheckVersion, sprites, fonts (faces through fontconfig, glyphs
// rasterised by FreeType; ID3DXFont::GetDC answers NULL: the font has no device context). Not
// available yet: lines and render-to-surface objects - their creation functions set the output to
// null and return D3DERR_INVALIDCALL for a null device or output, else D3DERR_NOTAVAILABLE. The text
// format flags (DT_*) and the font constants (FW_*, *_CHARSET, ...) are winuser.h's and wingdi.h's.
#pragma once

#include <d3d9.h>
#include <unknwn.h>

#include <d3dx9math.h>

#define D3DX_VERSION 0x0902
#define D3DX_SDK_VERSION 43

// TRUE when both versions are the ones these headers declare.
BOOL WINAPI D3DXCheckVersion(UINT D3DSdkVersion, UINT D3DXSdkVersion);

#ifndef LF_FACESIZE
#define LF_FACESIZE 32
#endif

struct TEXTMETRICA;
struct TEXTMETRICW;

// A block of memory handed out by D3DX (material records, adjacency, hit lists).
struct ID3DXBuffer : IUnknown {
    virtual LPVOID GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

// A buffer of NumBytes bytes (null pointer for zero); fails with D3DERR_INVALIDCALL for a null
// output and E_OUTOFMEMORY.
HRESULT WINAPI D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER* ppBuffer);

struct D3DXFONT_DESCA {
    INT Height;
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    CHAR FaceName[LF_FACESIZE];
};
struct D3DXFONT_DESCW {
    INT Height;
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    WCHAR FaceName[LF_FACESIZE];
};
typedef D3DXFONT_DESCA* LPD3DXFONT_DESCA;
typedef D3DXFONT_DESCW* LPD3DXFONT_DESCW;
#ifdef UNICODE
typedef D3DXFONT_DESCW D3DXFONT_DESC;
typedef LPD3DXFONT_DESCW LPD3DXFONT_DESC;
#else
typedef D3DXFONT_DESCA D3DXFONT_DESC;
typedef LPD3DXFONT_DESCA LPD3DXFONT_DESC;
#endif

struct ID3DXSprite;
typedef ID3DXSprite* LPD3DXSPRITE;

struct ID3DXFont : IUnknown {
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
    virtual HRESULT GetDescA(D3DXFONT_DESCA* pDesc) = 0;
    virtual HRESULT GetDescW(D3DXFONT_DESCW* pDesc) = 0;
    virtual BOOL GetTextMetricsA(TEXTMETRICA* pTextMetrics) = 0;
    virtual BOOL GetTextMetricsW(TEXTMETRICW* pTextMetrics) = 0;
    virtual HDC GetDC() = 0;
    virtual HRESULT GetGlyphData(UINT Glyph, LPDIRECT3DTEXTURE9* ppTexture, RECT* pBlackBox, POINT* pCellInc) = 0;
    virtual HRESULT PreloadCharacters(UINT First, UINT Last) = 0;
    virtual HRESULT PreloadGlyphs(UINT First, UINT Last) = 0;
    virtual HRESULT PreloadTextA(LPCSTR pString, INT Count) = 0;
    virtual HRESULT PreloadTextW(LPCWSTR pString, INT Count) = 0;
    virtual INT DrawTextA(LPD3DXSPRITE pSprite, LPCSTR pString, INT Count, LPRECT pRect, DWORD Format,
                          D3DCOLOR Color) = 0;
    virtual INT DrawTextW(LPD3DXSPRITE pSprite, LPCWSTR pString, INT Count, LPRECT pRect, DWORD Format,
                          D3DCOLOR Color) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;

#ifdef UNICODE
    HRESULT GetDesc(D3DXFONT_DESCW* pDesc) { return GetDescW(pDesc); }
    HRESULT PreloadText(LPCWSTR pString, INT Count) { return PreloadTextW(pString, Count); }
#else
    HRESULT GetDesc(D3DXFONT_DESCA* pDesc) { return GetDescA(pDesc); }
    HRESULT PreloadText(LPCSTR pString, INT Count) { return PreloadTextA(pString, Count); }
#endif
    // wingdi.h's GetTextMetrics macro picks the A or W method where it is defined.
#ifndef GetTextMetrics
#ifdef UNICODE
    BOOL GetTextMetrics(TEXTMETRICW* pTextMetrics) { return GetTextMetricsW(pTextMetrics); }
#else
    BOOL GetTextMetrics(TEXTMETRICA* pTextMetrics) { return GetTextMetricsA(pTextMetrics); }
#endif
#endif
};
typedef ID3DXFont* LPD3DXFONT;

// Height > 0: cell height (ascent + descent) in pixels; < 0: character (em) height; 0: 16. Fails
// with D3DERR_INVALIDCALL for a null device or output, a height or width beyond 512 pixels or a
// device recording a state block; D3DERR_NOTAVAILABLE when no face at all can be loaded.
HRESULT WINAPI D3DXCreateFontA(LPDIRECT3DDEVICE9 pDevice, INT Height, UINT Width, UINT Weight, UINT MipLevels,
                               BOOL Italic, DWORD CharSet, DWORD OutputPrecision, DWORD Quality, DWORD PitchAndFamily,
                               LPCSTR pFaceName, LPD3DXFONT* ppFont);
HRESULT WINAPI D3DXCreateFontW(LPDIRECT3DDEVICE9 pDevice, INT Height, UINT Width, UINT Weight, UINT MipLevels,
                               BOOL Italic, DWORD CharSet, DWORD OutputPrecision, DWORD Quality, DWORD PitchAndFamily,
                               LPCWSTR pFaceName, LPD3DXFONT* ppFont);
HRESULT WINAPI D3DXCreateFontIndirectA(LPDIRECT3DDEVICE9 pDevice, const D3DXFONT_DESCA* pDesc, LPD3DXFONT* ppFont);
HRESULT WINAPI D3DXCreateFontIndirectW(LPDIRECT3DDEVICE9 pDevice, const D3DXFONT_DESCW* pDesc, LPD3DXFONT* ppFont);
#ifdef UNICODE
#define D3DXCreateFont D3DXCreateFontW
#define D3DXCreateFontIndirect D3DXCreateFontIndirectW
#else
#define D3DXCreateFont D3DXCreateFontA
#define D3DXCreateFontIndirect D3DXCreateFontIndirectA
#endif

#define D3DXSPRITE_DONOTSAVESTATE (1 << 0)
#define D3DXSPRITE_DONOTMODIFY_RENDERSTATE (1 << 1)
#define D3DXSPRITE_OBJECTSPACE (1 << 2)
#define D3DXSPRITE_BILLBOARD (1 << 3)
#define D3DXSPRITE_ALPHABLEND (1 << 4)
#define D3DXSPRITE_SORT_TEXTURE (1 << 5)
#define D3DXSPRITE_SORT_DEPTH_FRONTTOBACK (1 << 6)
#define D3DXSPRITE_SORT_DEPTH_BACKTOFRONT (1 << 7)
#define D3DXSPRITE_DO_NOT_ADDREF_TEXTURE (1 << 8)

// Draws textured screen (or, with D3DXSPRITE_OBJECTSPACE, world) quads in batches. Begin/End
// bracket the Draw calls (inside BeginScene/EndScene); Begin sets the device states sprites need
// and End puts the program's back, unless D3DXSPRITE_DONOTSAVESTATE. Draw places the source
// rectangle's texel (i, j) on pixel (x + i, y + j), (x, y) = position - centre, under an identity
// transform, and multiplies texels (alpha too) by its colour. Calls out of order, a null texture
// or a rectangle outside the texture fail with D3DERR_INVALIDCALL.
struct ID3DXSprite : IUnknown {
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
    virtual HRESULT GetTransform(D3DXMATRIX* pTransform) = 0;
    virtual HRESULT SetTransform(const D3DXMATRIX* pTransform) = 0;
    virtual HRESULT SetWorldViewRH(const D3DXMATRIX* pWorld, const D3DXMATRIX* pView) = 0;
    virtual HRESULT SetWorldViewLH(const D3DXMATRIX* pWorld, const D3DXMATRIX* pView) = 0;
    virtual HRESULT Begin(DWORD Flags) = 0;
    virtual HRESULT Draw(LPDIRECT3DTEXTURE9 pTexture, const RECT* pSrcRect, const D3DXVECTOR3* pCenter,
                         const D3DXVECTOR3* pPosition, D3DCOLOR Color) = 0;
    virtual HRESULT Flush() = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

HRESULT WINAPI D3DXCreateSprite(LPDIRECT3DDEVICE9 pDevice, LPD3DXSPRITE* ppSprite);

struct ID3DXLine : IUnknown {
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
    virtual HRESULT Begin() = 0;
    virtual HRESULT Draw(const D3DXVECTOR2* pVertexList, DWORD dwVertexListCount, D3DCOLOR Color) = 0;
    virtual HRESULT DrawTransform(const D3DXVECTOR3* pVertexList, DWORD dwVertexListCount, const D3DXMATRIX* pTransform,
                                  D3DCOLOR Color) = 0;
    virtual HRESULT SetPattern(DWORD dwPattern) = 0;
    virtual DWORD GetPattern() = 0;
    virtual HRESULT SetPatternScale(FLOAT fPatternScale) = 0;
    virtual FLOAT GetPatternScale() = 0;
    virtual HRESULT SetWidth(FLOAT fWidth) = 0;
    virtual FLOAT GetWidth() = 0;
    virtual HRESULT SetAntialias(BOOL bAntialias) = 0;
    virtual BOOL GetAntialias() = 0;
    virtual HRESULT SetGLLines(BOOL bGLLines) = 0;
    virtual BOOL GetGLLines() = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXLine* LPD3DXLINE;

HRESULT WINAPI D3DXCreateLine(LPDIRECT3DDEVICE9 pDevice, LPD3DXLINE* ppLine);

struct D3DXRTS_DESC {
    UINT Width;
    UINT Height;
    D3DFORMAT Format;
    BOOL DepthStencil;
    D3DFORMAT DepthStencilFormat;
};
typedef D3DXRTS_DESC* LPD3DXRTS_DESC;

struct ID3DXRenderToSurface : IUnknown {
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
    virtual HRESULT GetDesc(D3DXRTS_DESC* pDesc) = 0;
    virtual HRESULT BeginScene(IDirect3DSurface9* pSurface, const D3DVIEWPORT9* pViewport) = 0;
    virtual HRESULT EndScene(DWORD MipFilter) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXRenderToSurface* LPD3DXRENDERTOSURFACE;

HRESULT WINAPI D3DXCreateRenderToSurface(LPDIRECT3DDEVICE9 pDevice, UINT Width, UINT Height, D3DFORMAT Format,
                                         BOOL DepthStencil, D3DFORMAT DepthStencilFormat,
                                         LPD3DXRENDERTOSURFACE* ppRenderToSurface);
