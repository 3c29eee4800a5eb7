// forwarding_device.h - a device that hands every IDirect3DDevice9 call to another device, the
// base of the tests' recording devices: they override the calls they watch. Without a device
// behind it, every call fails with D3DERR_INVALIDCALL (void calls do nothing, the others return
// 0). Reference counting is the derived class's.
#pragma once

#include <d3d9.h>

class forwarding_device : public IDirect3DDevice9 {
public:
    explicit forwarding_device(IDirect3DDevice9* real) : real_(real) {}

    HRESULT TestCooperativeLevel() override {
        return real_ != nullptr ? real_->TestCooperativeLevel() : D3DERR_INVALIDCALL;
    }
    UINT GetAvailableTextureMem() override { return real_ != nullptr ? real_->GetAvailableTextureMem() : 0; }
    HRESULT EvictManagedResources() override {
        return real_ != nullptr ? real_->EvictManagedResources() : D3DERR_INVALIDCALL;
    }
    HRESULT GetDirect3D(IDirect3D9** ppD3D9) override {
        return real_ != nullptr ? real_->GetDirect3D(ppD3D9) : D3DERR_INVALIDCALL;
    }
    HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override {
        return real_ != nullptr ? real_->GetDeviceCaps(pCaps) : D3DERR_INVALIDCALL;
    }
    HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override {
        return real_ != nullptr ? real_->GetDisplayMode(iSwapChain, pMode) : D3DERR_INVALIDCALL;
    }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override {
        return real_ != nullptr ? real_->GetCreationParameters(pParameters) : D3DERR_INVALIDCALL;
    }
    HRESULT SetCursorProperties(UINT XHotSpot, UINT YHotSpot, IDirect3DSurface9* pCursorBitmap) override {
        return real_ != nullptr ? real_->SetCursorProperties(XHotSpot, YHotSpot, pCursorBitmap) : D3DERR_INVALIDCALL;
    }
    void SetCursorPosition(int X, int Y, DWORD Flags) override {
        if (real_ != nullptr) real_->SetCursorPosition(X, Y, Flags);
    }
    BOOL ShowCursor(BOOL bShow) override { return real_ != nullptr ? real_->ShowCursor(bShow) : FALSE; }
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                      IDirect3DSwapChain9** pSwapChain) override {
        return real_ != nullptr ? real_->CreateAdditionalSwapChain(pPresentationParameters, pSwapChain)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** pSwapChain) override {
        return real_ != nullptr ? real_->GetSwapChain(iSwapChain, pSwapChain) : D3DERR_INVALIDCALL;
    }
    UINT GetNumberOfSwapChains() override { return real_ != nullptr ? real_->GetNumberOfSwapChains() : 0; }
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override {
        return real_ != nullptr ? real_->Reset(pPresentationParameters) : D3DERR_INVALIDCALL;
    }
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const RGNDATA* pDirtyRegion) override {
        return real_ != nullptr ? real_->Present(pSourceRect, pDestRect, hDestWindowOverride, pDirtyRegion)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                          IDirect3DSurface9** ppBackBuffer) override {
        return real_ != nullptr ? real_->GetBackBuffer(iSwapChain, iBackBuffer, Type, ppBackBuffer)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetRasterStatus(UINT iSwapChain, D3DRASTER_STATUS* pRasterStatus) override {
        return real_ != nullptr ? real_->GetRasterStatus(iSwapChain, pRasterStatus) : D3DERR_INVALIDCALL;
    }
    HRESULT SetDialogBoxMode(BOOL bEnableDialogs) override {
        return real_ != nullptr ? real_->SetDialogBoxMode(bEnableDialogs) : D3DERR_INVALIDCALL;
    }
    void SetGammaRamp(UINT iSwapChain, DWORD Flags, const D3DGAMMARAMP* pRamp) override {
        if (real_ != nullptr) real_->SetGammaRamp(iSwapChain, Flags, pRamp);
    }
    void GetGammaRamp(UINT iSwapChain, D3DGAMMARAMP* pRamp) override {
        if (real_ != nullptr) real_->GetGammaRamp(iSwapChain, pRamp);
    }
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override {
        return real_ != nullptr
                   ? real_->CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture, pSharedHandle)
                   : D3DERR_INVALIDCALL;
    }
    HRESULT CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage, D3DFORMAT Format,
                                D3DPOOL Pool, IDirect3DVolumeTexture9** ppVolumeTexture,
                                HANDLE* pSharedHandle) override {
        return real_ != nullptr ? real_->CreateVolumeTexture(Width, Height, Depth, Levels, Usage, Format, Pool,
                                                             ppVolumeTexture, pSharedHandle)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle) override {
        return real_ != nullptr
                   ? real_->CreateCubeTexture(EdgeLength, Levels, Usage, Format, Pool, ppCubeTexture, pSharedHandle)
                   : D3DERR_INVALIDCALL;
    }
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override {
        return real_ != nullptr ? real_->CreateVertexBuffer(Length, Usage, FVF, Pool, ppVertexBuffer, pSharedHandle)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override {
        return real_ != nullptr ? real_->CreateIndexBuffer(Length, Usage, Format, Pool, ppIndexBuffer, pSharedHandle)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                               DWORD MultisampleQuality, BOOL Lockable, IDirect3DSurface9** ppSurface,
                               HANDLE* pSharedHandle) override {
        return real_ != nullptr ? real_->CreateRenderTarget(Width, Height, Format, MultiSample, MultisampleQuality,
                                                            Lockable, ppSurface, pSharedHandle)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                      DWORD MultisampleQuality, BOOL Discard, IDirect3DSurface9** ppSurface,
                                      HANDLE* pSharedHandle) override {
        return real_ != nullptr
                   ? real_->CreateDepthStencilSurface(Width, Height, Format, MultiSample, MultisampleQuality, Discard,
                                                      ppSurface, pSharedHandle)
                   : D3DERR_INVALIDCALL;
    }
    HRESULT UpdateSurface(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                          IDirect3DSurface9* pDestinationSurface, const POINT* pDestPoint) override {
        return real_ != nullptr ? real_->UpdateSurface(pSourceSurface, pSourceRect, pDestinationSurface, pDestPoint)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT UpdateTexture(IDirect3DBaseTexture9* pSourceTexture, IDirect3DBaseTexture9* pDestinationTexture) override {
        return real_ != nullptr ? real_->UpdateTexture(pSourceTexture, pDestinationTexture) : D3DERR_INVALIDCALL;
    }
    HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override {
        return real_ != nullptr ? real_->GetRenderTargetData(pRenderTarget, pDestSurface) : D3DERR_INVALIDCALL;
    }
    HRESULT GetFrontBufferData(UINT iSwapChain, IDirect3DSurface9* pDestSurface) override {
        return real_ != nullptr ? real_->GetFrontBufferData(iSwapChain, pDestSurface) : D3DERR_INVALIDCALL;
    }
    HRESULT StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect, IDirect3DSurface9* pDestSurface,
                        const RECT* pDestRect, D3DTEXTUREFILTERTYPE Filter) override {
        return real_ != nullptr ? real_->StretchRect(pSourceSurface, pSourceRect, pDestSurface, pDestRect, Filter)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT ColorFill(IDirect3DSurface9* pSurface, const RECT* pRect, D3DCOLOR color) override {
        return real_ != nullptr ? real_->ColorFill(pSurface, pRect, color) : D3DERR_INVALIDCALL;
    }
    HRESULT CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                        IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override {
        return real_ != nullptr
                   ? real_->CreateOffscreenPlainSurface(Width, Height, Format, Pool, ppSurface, pSharedHandle)
                   : D3DERR_INVALIDCALL;
    }
    HRESULT SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override {
        return real_ != nullptr ? real_->SetRenderTarget(RenderTargetIndex, pRenderTarget) : D3DERR_INVALIDCALL;
    }
    HRESULT GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override {
        return real_ != nullptr ? real_->GetRenderTarget(RenderTargetIndex, ppRenderTarget) : D3DERR_INVALIDCALL;
    }
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override {
        return real_ != nullptr ? real_->SetDepthStencilSurface(pNewZStencil) : D3DERR_INVALIDCALL;
    }
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override {
        return real_ != nullptr ? real_->GetDepthStencilSurface(ppZStencilSurface) : D3DERR_INVALIDCALL;
    }
    HRESULT BeginScene() override { return real_ != nullptr ? real_->BeginScene() : D3DERR_INVALIDCALL; }
    HRESULT EndScene() override { return real_ != nullptr ? real_->EndScene() : D3DERR_INVALIDCALL; }
    HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) override {
        return real_ != nullptr ? real_->Clear(Count, pRects, Flags, Color, Z, Stencil) : D3DERR_INVALIDCALL;
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override {
        return real_ != nullptr ? real_->SetTransform(State, pMatrix) : D3DERR_INVALIDCALL;
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override {
        return real_ != nullptr ? real_->GetTransform(State, pMatrix) : D3DERR_INVALIDCALL;
    }
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override {
        return real_ != nullptr ? real_->MultiplyTransform(State, pMatrix) : D3DERR_INVALIDCALL;
    }
    HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override {
        return real_ != nullptr ? real_->SetViewport(pViewport) : D3DERR_INVALIDCALL;
    }
    HRESULT GetViewport(D3DVIEWPORT9* pViewport) override {
        return real_ != nullptr ? real_->GetViewport(pViewport) : D3DERR_INVALIDCALL;
    }
    HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override {
        return real_ != nullptr ? real_->SetMaterial(pMaterial) : D3DERR_INVALIDCALL;
    }
    HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override {
        return real_ != nullptr ? real_->GetMaterial(pMaterial) : D3DERR_INVALIDCALL;
    }
    HRESULT SetLight(DWORD Index, const D3DLIGHT9* pLight) override {
        return real_ != nullptr ? real_->SetLight(Index, pLight) : D3DERR_INVALIDCALL;
    }
    HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override {
        return real_ != nullptr ? real_->GetLight(Index, pLight) : D3DERR_INVALIDCALL;
    }
    HRESULT LightEnable(DWORD Index, BOOL Enable) override {
        return real_ != nullptr ? real_->LightEnable(Index, Enable) : D3DERR_INVALIDCALL;
    }
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override {
        return real_ != nullptr ? real_->GetLightEnable(Index, pEnable) : D3DERR_INVALIDCALL;
    }
    HRESULT SetClipPlane(DWORD Index, const float* pPlane) override {
        return real_ != nullptr ? real_->SetClipPlane(Index, pPlane) : D3DERR_INVALIDCALL;
    }
    HRESULT GetClipPlane(DWORD Index, float* pPlane) override {
        return real_ != nullptr ? real_->GetClipPlane(Index, pPlane) : D3DERR_INVALIDCALL;
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override {
        return real_ != nullptr ? real_->SetRenderState(State, Value) : D3DERR_INVALIDCALL;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override {
        return real_ != nullptr ? real_->GetRenderState(State, pValue) : D3DERR_INVALIDCALL;
    }
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE Type, IDirect3DStateBlock9** ppSB) override {
        return real_ != nullptr ? real_->CreateStateBlock(Type, ppSB) : D3DERR_INVALIDCALL;
    }
    HRESULT BeginStateBlock() override { return real_ != nullptr ? real_->BeginStateBlock() : D3DERR_INVALIDCALL; }
    HRESULT EndStateBlock(IDirect3DStateBlock9** ppSB) override {
        return real_ != nullptr ? real_->EndStateBlock(ppSB) : D3DERR_INVALIDCALL;
    }
    HRESULT SetClipStatus(const D3DCLIPSTATUS9* pClipStatus) override {
        return real_ != nullptr ? real_->SetClipStatus(pClipStatus) : D3DERR_INVALIDCALL;
    }
    HRESULT GetClipStatus(D3DCLIPSTATUS9* pClipStatus) override {
        return real_ != nullptr ? real_->GetClipStatus(pClipStatus) : D3DERR_INVALIDCALL;
    }
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override {
        return real_ != nullptr ? real_->GetTexture(Stage, ppTexture) : D3DERR_INVALIDCALL;
    }
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override {
        return real_ != nullptr ? real_->SetTexture(Stage, pTexture) : D3DERR_INVALIDCALL;
    }
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override {
        return real_ != nullptr ? real_->GetTextureStageState(Stage, Type, pValue) : D3DERR_INVALIDCALL;
    }
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override {
        return real_ != nullptr ? real_->SetTextureStageState(Stage, Type, Value) : D3DERR_INVALIDCALL;
    }
    HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override {
        return real_ != nullptr ? real_->GetSamplerState(Sampler, Type, pValue) : D3DERR_INVALIDCALL;
    }
    HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override {
        return real_ != nullptr ? real_->SetSamplerState(Sampler, Type, Value) : D3DERR_INVALIDCALL;
    }
    HRESULT ValidateDevice(DWORD* pNumPasses) override {
        return real_ != nullptr ? real_->ValidateDevice(pNumPasses) : D3DERR_INVALIDCALL;
    }
    HRESULT SetPaletteEntries(UINT PaletteNumber, const PALETTEENTRY* pEntries) override {
        return real_ != nullptr ? real_->SetPaletteEntries(PaletteNumber, pEntries) : D3DERR_INVALIDCALL;
    }
    HRESULT GetPaletteEntries(UINT PaletteNumber, PALETTEENTRY* pEntries) override {
        return real_ != nullptr ? real_->GetPaletteEntries(PaletteNumber, pEntries) : D3DERR_INVALIDCALL;
    }
    HRESULT SetCurrentTexturePalette(UINT PaletteNumber) override {
        return real_ != nullptr ? real_->SetCurrentTexturePalette(PaletteNumber) : D3DERR_INVALIDCALL;
    }
    HRESULT GetCurrentTexturePalette(UINT* PaletteNumber) override {
        return real_ != nullptr ? real_->GetCurrentTexturePalette(PaletteNumber) : D3DERR_INVALIDCALL;
    }
    HRESULT SetScissorRect(const RECT* pRect) override {
        return real_ != nullptr ? real_->SetScissorRect(pRect) : D3DERR_INVALIDCALL;
    }
    HRESULT GetScissorRect(RECT* pRect) override {
        return real_ != nullptr ? real_->GetScissorRect(pRect) : D3DERR_INVALIDCALL;
    }
    HRESULT SetSoftwareVertexProcessing(BOOL bSoftware) override {
        return real_ != nullptr ? real_->SetSoftwareVertexProcessing(bSoftware) : D3DERR_INVALIDCALL;
    }
    BOOL GetSoftwareVertexProcessing() override {
        return real_ != nullptr ? real_->GetSoftwareVertexProcessing() : FALSE;
    }
    HRESULT SetNPatchMode(float nSegments) override {
        return real_ != nullptr ? real_->SetNPatchMode(nSegments) : D3DERR_INVALIDCALL;
    }
    float GetNPatchMode() override { return real_ != nullptr ? real_->GetNPatchMode() : 0.0f; }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override {
        return real_ != nullptr ? real_->DrawPrimitive(PrimitiveType, StartVertex, PrimitiveCount) : D3DERR_INVALIDCALL;
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                 UINT NumVertices, UINT startIndex, UINT primCount) override {
        return real_ != nullptr ? real_->DrawIndexedPrimitive(PrimitiveType, BaseVertexIndex, MinVertexIndex,
                                                              NumVertices, startIndex, primCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData,
                            UINT VertexStreamZeroStride) override {
        return real_ != nullptr ? real_->DrawPrimitiveUP(PrimitiveType, PrimitiveCount, pVertexStreamZeroData,
                                                         VertexStreamZeroStride)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices,
                                   UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                   const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override {
        return real_ != nullptr ? real_->DrawIndexedPrimitiveUP(PrimitiveType, MinVertexIndex, NumVertices,
                                                                PrimitiveCount, pIndexData, IndexDataFormat,
                                                                pVertexStreamZeroData, VertexStreamZeroStride)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT ProcessVertices(UINT SrcStartIndex, UINT DestIndex, UINT VertexCount, IDirect3DVertexBuffer9* pDestBuffer,
                            IDirect3DVertexDeclaration9* pVertexDecl, DWORD Flags) override {
        return real_ != nullptr
                   ? real_->ProcessVertices(SrcStartIndex, DestIndex, VertexCount, pDestBuffer, pVertexDecl, Flags)
                   : D3DERR_INVALIDCALL;
    }
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* pVertexElements,
                                    IDirect3DVertexDeclaration9** ppDecl) override {
        return real_ != nullptr ? real_->CreateVertexDeclaration(pVertexElements, ppDecl) : D3DERR_INVALIDCALL;
    }
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl) override {
        return real_ != nullptr ? real_->SetVertexDeclaration(pDecl) : D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) override {
        return real_ != nullptr ? real_->GetVertexDeclaration(ppDecl) : D3DERR_INVALIDCALL;
    }
    HRESULT SetFVF(DWORD FVF) override { return real_ != nullptr ? real_->SetFVF(FVF) : D3DERR_INVALIDCALL; }
    HRESULT GetFVF(DWORD* pFVF) override { return real_ != nullptr ? real_->GetFVF(pFVF) : D3DERR_INVALIDCALL; }
    HRESULT CreateVertexShader(const DWORD* pFunction, IDirect3DVertexShader9** ppShader) override {
        return real_ != nullptr ? real_->CreateVertexShader(pFunction, ppShader) : D3DERR_INVALIDCALL;
    }
    HRESULT SetVertexShader(IDirect3DVertexShader9* pShader) override {
        return real_ != nullptr ? real_->SetVertexShader(pShader) : D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexShader(IDirect3DVertexShader9** ppShader) override {
        return real_ != nullptr ? real_->GetVertexShader(ppShader) : D3DERR_INVALIDCALL;
    }
    HRESULT SetVertexShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount) override {
        return real_ != nullptr ? real_->SetVertexShaderConstantF(StartRegister, pConstantData, Vector4fCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) override {
        return real_ != nullptr ? real_->GetVertexShaderConstantF(StartRegister, pConstantData, Vector4fCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT SetVertexShaderConstantI(UINT StartRegister, const int* pConstantData, UINT Vector4iCount) override {
        return real_ != nullptr ? real_->SetVertexShaderConstantI(StartRegister, pConstantData, Vector4iCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount) override {
        return real_ != nullptr ? real_->GetVertexShaderConstantI(StartRegister, pConstantData, Vector4iCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT SetVertexShaderConstantB(UINT StartRegister, const BOOL* pConstantData, UINT BoolCount) override {
        return real_ != nullptr ? real_->SetVertexShaderConstantB(StartRegister, pConstantData, BoolCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetVertexShaderConstantB(UINT StartRegister, BOOL* pConstantData, UINT BoolCount) override {
        return real_ != nullptr ? real_->GetVertexShaderConstantB(StartRegister, pConstantData, BoolCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes,
                            UINT Stride) override {
        return real_ != nullptr ? real_->SetStreamSource(StreamNumber, pStreamData, OffsetInBytes, Stride)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                            UINT* pStride) override {
        return real_ != nullptr ? real_->GetStreamSource(StreamNumber, ppStreamData, pOffsetInBytes, pStride)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT SetStreamSourceFreq(UINT StreamNumber, UINT Setting) override {
        return real_ != nullptr ? real_->SetStreamSourceFreq(StreamNumber, Setting) : D3DERR_INVALIDCALL;
    }
    HRESULT GetStreamSourceFreq(UINT StreamNumber, UINT* pSetting) override {
        return real_ != nullptr ? real_->GetStreamSourceFreq(StreamNumber, pSetting) : D3DERR_INVALIDCALL;
    }
    HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override {
        return real_ != nullptr ? real_->SetIndices(pIndexData) : D3DERR_INVALIDCALL;
    }
    HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override {
        return real_ != nullptr ? real_->GetIndices(ppIndexData) : D3DERR_INVALIDCALL;
    }
    HRESULT CreatePixelShader(const DWORD* pFunction, IDirect3DPixelShader9** ppShader) override {
        return real_ != nullptr ? real_->CreatePixelShader(pFunction, ppShader) : D3DERR_INVALIDCALL;
    }
    HRESULT SetPixelShader(IDirect3DPixelShader9* pShader) override {
        return real_ != nullptr ? real_->SetPixelShader(pShader) : D3DERR_INVALIDCALL;
    }
    HRESULT GetPixelShader(IDirect3DPixelShader9** ppShader) override {
        return real_ != nullptr ? real_->GetPixelShader(ppShader) : D3DERR_INVALIDCALL;
    }
    HRESULT SetPixelShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount) override {
        return real_ != nullptr ? real_->SetPixelShaderConstantF(StartRegister, pConstantData, Vector4fCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetPixelShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) override {
        return real_ != nullptr ? real_->GetPixelShaderConstantF(StartRegister, pConstantData, Vector4fCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT SetPixelShaderConstantI(UINT StartRegister, const int* pConstantData, UINT Vector4iCount) override {
        return real_ != nullptr ? real_->SetPixelShaderConstantI(StartRegister, pConstantData, Vector4iCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetPixelShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount) override {
        return real_ != nullptr ? real_->GetPixelShaderConstantI(StartRegister, pConstantData, Vector4iCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT SetPixelShaderConstantB(UINT StartRegister, const BOOL* pConstantData, UINT BoolCount) override {
        return real_ != nullptr ? real_->SetPixelShaderConstantB(StartRegister, pConstantData, BoolCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT GetPixelShaderConstantB(UINT StartRegister, BOOL* pConstantData, UINT BoolCount) override {
        return real_ != nullptr ? real_->GetPixelShaderConstantB(StartRegister, pConstantData, BoolCount)
                                : D3DERR_INVALIDCALL;
    }
    HRESULT DrawRectPatch(UINT Handle, const float* pNumSegs, const D3DRECTPATCH_INFO* pRectPatchInfo) override {
        return real_ != nullptr ? real_->DrawRectPatch(Handle, pNumSegs, pRectPatchInfo) : D3DERR_INVALIDCALL;
    }
    HRESULT DrawTriPatch(UINT Handle, const float* pNumSegs, const D3DTRIPATCH_INFO* pTriPatchInfo) override {
        return real_ != nullptr ? real_->DrawTriPatch(Handle, pNumSegs, pTriPatchInfo) : D3DERR_INVALIDCALL;
    }
    HRESULT DeletePatch(UINT Handle) override {
        return real_ != nullptr ? real_->DeletePatch(Handle) : D3DERR_INVALIDCALL;
    }
    HRESULT CreateQuery(D3DQUERYTYPE Type, IDirect3DQuery9** ppQuery) override {
        return real_ != nullptr ? real_->CreateQuery(Type, ppQuery) : D3DERR_INVALIDCALL;
    }

protected:
    IDirect3DDevice9* real_;
};
