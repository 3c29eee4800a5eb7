// d3dx9tex.h - textures, surfaces and volumes from and to image files: loading, creating,
// filling, filtering and saving.
//
// Works: D3DXCreateTextureFromFileA/W: BMP, DIB, DDS (the top level of a 2D texture), HDR, JPEG,
// PFM, PNG, PPM or TGA, recognised by content, at the image's own size; a failure is reported on
// standard error and leaves *ppTexture untouched. Everything else is not available yet: the
// outputs are set to null and the call returns D3DERR_INVALIDCALL for a missing required
// argument, else D3DERR_NOTAVAILABLE.
#pragma once

#include <d3d9.h>
#include <d3dx9core.h>
#include <d3dx9math.h>

#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)
#define D3DX_FILTER_MIRROR_U (1 << 16)
#define D3DX_FILTER_MIRROR_V (2 << 16)
#define D3DX_FILTER_MIRROR_W (4 << 16)
#define D3DX_FILTER_MIRROR (7 << 16)
#define D3DX_FILTER_DITHER (1 << 19)
#define D3DX_FILTER_DITHER_DIFFUSION (2 << 19)
#define D3DX_FILTER_SRGB_IN (1 << 21)
#define D3DX_FILTER_SRGB_OUT (2 << 21)
#define D3DX_FILTER_SRGB (3 << 21)

#define D3DX_SKIP_DDS_MIP_LEVELS_MASK 0x1F
#define D3DX_SKIP_DDS_MIP_LEVELS_SHIFT 26
#define D3DX_SKIP_DDS_MIP_LEVELS(levels, filter)                                    \
    ((((levels)&D3DX_SKIP_DDS_MIP_LEVELS_MASK) << D3DX_SKIP_DDS_MIP_LEVELS_SHIFT) | \
     ((filter) == D3DX_DEFAULT ? D3DX_FILTER_BOX : (filter)))

#define D3DX_NORMALMAP_MIRROR_U (1 << 16)
#define D3DX_NORMALMAP_MIRROR_V (2 << 16)
#define D3DX_NORMALMAP_MIRROR (3 << 16)
#define D3DX_NORMALMAP_INVERTSIGN (8 << 16)
#define D3DX_NORMALMAP_COMPUTE_OCCLUSION (16 << 16)

#define D3DX_CHANNEL_RED (1 << 0)
#define D3DX_CHANNEL_BLUE (1 << 1)
#define D3DX_CHANNEL_GREEN (1 << 2)
#define D3DX_CHANNEL_ALPHA (1 << 3)
#define D3DX_CHANNEL_LUMINANCE (1 << 4)

enum D3DXIMAGE_FILEFORMAT {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_HDR = 7,
    D3DXIFF_PFM = 8,
    D3DXIFF_FORCE_DWORD = 0x7fffffff
};

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};
typedef D3DXIMAGE_INFO* LPD3DXIMAGE_INFO;

// Called for every texel: pTexCoord is the texel centre in [0, 1], *pOut receives (r, g, b, a).
typedef void(WINAPI* LPD3DXFILL2D)(D3DXVECTOR4* pOut, const D3DXVECTOR2* pTexCoord, const D3DXVECTOR2* pTexelSize,
                                   LPVOID pData);
typedef void(WINAPI* LPD3DXFILL3D)(D3DXVECTOR4* pOut, const D3DXVECTOR3* pTexCoord, const D3DXVECTOR3* pTexelSize,
                                   LPVOID pData);

// Image information
HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXGetImageInfoFromFileW(LPCWSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXGetImageInfoFromResourceA(HMODULE hSrcModule, LPCSTR pSrcResource, D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXGetImageInfoFromResourceW(HMODULE hSrcModule, LPCWSTR pSrcResource, D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXGetImageInfoFromFileInMemory(LPCVOID pSrcData, UINT SrcDataSize, D3DXIMAGE_INFO* pSrcInfo);

// Surfaces
HRESULT WINAPI D3DXLoadSurfaceFromFileA(IDirect3DSurface9* pDestSurface, const PALETTEENTRY* pDestPalette,
                                        const RECT* pDestRect, LPCSTR pSrcFile, const RECT* pSrcRect, DWORD Filter,
                                        D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXLoadSurfaceFromFileW(IDirect3DSurface9* pDestSurface, const PALETTEENTRY* pDestPalette,
                                        const RECT* pDestRect, LPCWSTR pSrcFile, const RECT* pSrcRect, DWORD Filter,
                                        D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXLoadSurfaceFromResourceA(IDirect3DSurface9* pDestSurface, const PALETTEENTRY* pDestPalette,
                                            const RECT* pDestRect, HMODULE hSrcModule, LPCSTR pSrcResource,
                                            const RECT* pSrcRect, DWORD Filter, D3DCOLOR ColorKey,
                                            D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXLoadSurfaceFromResourceW(IDirect3DSurface9* pDestSurface, const PALETTEENTRY* pDestPalette,
                                            const RECT* pDestRect, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                            const RECT* pSrcRect, DWORD Filter, D3DCOLOR ColorKey,
                                            D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface9* pDestSurface, const PALETTEENTRY* pDestPalette,
                                               const RECT* pDestRect, LPCVOID pSrcData, UINT SrcDataSize,
                                               const RECT* pSrcRect, DWORD Filter, D3DCOLOR ColorKey,
                                               D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXLoadSurfaceFromSurface(IDirect3DSurface9* pDestSurface, const PALETTEENTRY* pDestPalette,
                                          const RECT* pDestRect, IDirect3DSurface9* pSrcSurface,
                                          const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect, DWORD Filter,
                                          D3DCOLOR ColorKey);
HRESULT WINAPI D3DXLoadSurfaceFromMemory(IDirect3DSurface9* pDestSurface, const PALETTEENTRY* pDestPalette,
                                         const RECT* pDestRect, LPCVOID pSrcMemory, D3DFORMAT SrcFormat, UINT SrcPitch,
                                         const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect, DWORD Filter,
                                         D3DCOLOR ColorKey);
HRESULT WINAPI D3DXSaveSurfaceToFileA(LPCSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat, IDirect3DSurface9* pSrcSurface,
                                      const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect);
HRESULT WINAPI D3DXSaveSurfaceToFileW(LPCWSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat,
                                      IDirect3DSurface9* pSrcSurface, const PALETTEENTRY* pSrcPalette,
                                      const RECT* pSrcRect);
HRESULT WINAPI D3DXSaveSurfaceToFileInMemory(LPD3DXBUFFER* ppDestBuf, D3DXIMAGE_FILEFORMAT DestFormat,
                                             IDirect3DSurface9* pSrcSurface, const PALETTEENTRY* pSrcPalette,
                                             const RECT* pSrcRect);

// Textures
HRESULT WINAPI D3DXCheckTextureRequirements(LPDIRECT3DDEVICE9 pDevice, UINT* pWidth, UINT* pHeight, UINT* pNumMipLevels,
                                            DWORD Usage, D3DFORMAT* pFormat, D3DPOOL Pool);
HRESULT WINAPI D3DXCreateTexture(LPDIRECT3DDEVICE9 pDevice, UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                 D3DFORMAT Format, D3DPOOL Pool, LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateCubeTexture(LPDIRECT3DDEVICE9 pDevice, UINT Size, UINT MipLevels, DWORD Usage,
                                     D3DFORMAT Format, D3DPOOL Pool, IDirect3DCubeTexture9** ppCubeTexture);
HRESULT WINAPI D3DXCreateVolumeTexture(LPDIRECT3DDEVICE9 pDevice, UINT Width, UINT Height, UINT Depth, UINT MipLevels,
                                       DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                       IDirect3DVolumeTexture9** ppVolumeTexture);

HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileW(LPDIRECT3DDEVICE9 pDevice, LPCWSTR pSrcFile, LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                            DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                            PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileExW(LPDIRECT3DDEVICE9 pDevice, LPCWSTR pSrcFile, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                            DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                            PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                              LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromResourceW(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                              LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromResourceExA(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                                UINT Width, UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromResourceExW(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                                UINT Width, UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                 LPDIRECT3DTEXTURE9* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                   UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                                   D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                   D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                   LPDIRECT3DTEXTURE9* ppTexture);

HRESULT WINAPI D3DXCreateCubeTextureFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile,
                                              IDirect3DCubeTexture9** ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileW(LPDIRECT3DDEVICE9 pDevice, LPCWSTR pSrcFile,
                                              IDirect3DCubeTexture9** ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Size, UINT MipLevels,
                                                DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                PALETTEENTRY* pPalette, IDirect3DCubeTexture9** ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileExW(LPDIRECT3DDEVICE9 pDevice, LPCWSTR pSrcFile, UINT Size, UINT MipLevels,
                                                DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                PALETTEENTRY* pPalette, IDirect3DCubeTexture9** ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemory(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                     IDirect3DCubeTexture9** ppCubeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile,
                                                IDirect3DVolumeTexture9** ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromFileW(LPDIRECT3DDEVICE9 pDevice, LPCWSTR pSrcFile,
                                                IDirect3DVolumeTexture9** ppVolumeTexture);

HRESULT WINAPI D3DXSaveTextureToFileA(LPCSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat,
                                      LPDIRECT3DBASETEXTURE9 pSrcTexture, const PALETTEENTRY* pSrcPalette);
HRESULT WINAPI D3DXSaveTextureToFileW(LPCWSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat,
                                      LPDIRECT3DBASETEXTURE9 pSrcTexture, const PALETTEENTRY* pSrcPalette);
HRESULT WINAPI D3DXFilterTexture(LPDIRECT3DBASETEXTURE9 pBaseTexture, const PALETTEENTRY* pPalette, UINT SrcLevel,
                                 DWORD Filter);
HRESULT WINAPI D3DXFillTexture(LPDIRECT3DTEXTURE9 pTexture, LPD3DXFILL2D pFunction, LPVOID pData);
HRESULT WINAPI D3DXFillVolumeTexture(IDirect3DVolumeTexture9* pVolumeTexture, LPD3DXFILL3D pFunction, LPVOID pData);

#ifdef UNICODE
#define D3DXGetImageInfoFromFile D3DXGetImageInfoFromFileW
#define D3DXGetImageInfoFromResource D3DXGetImageInfoFromResourceW
#define D3DXLoadSurfaceFromFile D3DXLoadSurfaceFromFileW
#define D3DXLoadSurfaceFromResource D3DXLoadSurfaceFromResourceW
#define D3DXSaveSurfaceToFile D3DXSaveSurfaceToFileW
#define D3DXCreateTextureFromFile D3DXCreateTextureFromFileW
#define D3DXCreateTextureFromFileEx D3DXCreateTextureFromFileExW
#define D3DXCreateTextureFromResource D3DXCreateTextureFromResourceW
#define D3DXCreateTextureFromResourceEx D3DXCreateTextureFromResourceExW
#define D3DXCreateCubeTextureFromFile D3DXCreateCubeTextureFromFileW
#define D3DXCreateCubeTextureFromFileEx D3DXCreateCubeTextureFromFileExW
#define D3DXCreateVolumeTextureFromFile D3DXCreateVolumeTextureFromFileW
#define D3DXSaveTextureToFile D3DXSaveTextureToFileW
#else
#define D3DXGetImageInfoFromFile D3DXGetImageInfoFromFileA
#define D3DXGetImageInfoFromResource D3DXGetImageInfoFromResourceA
#define D3DXLoadSurfaceFromFile D3DXLoadSurfaceFromFileA
#define D3DXLoadSurfaceFromResource D3DXLoadSurfaceFromResourceA
#define D3DXSaveSurfaceToFile D3DXSaveSurfaceToFileA
#define D3DXCreateTextureFromFile D3DXCreateTextureFromFileA
#define D3DXCreateTextureFromFileEx D3DXCreateTextureFromFileExA
#define D3DXCreateTextureFromResource D3DXCreateTextureFromResourceA
#define D3DXCreateTextureFromResourceEx D3DXCreateTextureFromResourceExA
#define D3DXCreateCubeTextureFromFile D3DXCreateCubeTextureFromFileA
#define D3DXCreateCubeTextureFromFileEx D3DXCreateCubeTextureFromFileExA
#define D3DXCreateVolumeTextureFromFile D3DXCreateVolumeTextureFromFileA
#define D3DXSaveTextureToFile D3DXSaveTextureToFileA
#endif
