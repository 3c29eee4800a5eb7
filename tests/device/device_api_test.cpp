// device_api_test.cpp - the whole device interface: the methods not offered yet fail without
// changing anything, the stored states start at their defaults and read back what was set, and the
// device's answers about itself.
#include "device_fixture.h"

#include "platform/d3d9/texture.h"

#include <bit>
#include <cstring>
#include <functional>
#include <limits>

namespace {

// Everything a program can read back through the Get* calls that do not fail.
struct device_snapshot {
    std::vector<DWORD> values;
    bool operator==(const device_snapshot&) const = default;
};

device_snapshot snapshot(IDirect3DDevice9* device) {
    device_snapshot s;
    for (DWORD rs = 0; rs < 256; ++rs) {
        DWORD v = 0;
        if (device->GetRenderState(D3DRENDERSTATETYPE(rs), &v) == D3D_OK) s.values.push_back(v);
    }
    for (DWORD stage = 0; stage < 8; ++stage) {
        for (DWORD type = 1; type <= 32; ++type) {
            DWORD v = 0;
            if (device->GetTextureStageState(stage, D3DTEXTURESTAGESTATETYPE(type), &v) == D3D_OK)
                s.values.push_back(v);
        }
    }
    for (D3DTRANSFORMSTATETYPE kind : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION}) {
        D3DMATRIX m{};
        device->GetTransform(kind, &m);
        for (float f : m.m[0]) s.values.push_back(std::bit_cast<DWORD>(f));
    }
    DWORD fvf = 0;
    device->GetFVF(&fvf);
    s.values.push_back(fvf);
    return s;
}

// A pointer the call must overwrite with null.
template <typename T>
T* not_null() {
    return reinterpret_cast<T*>(uintptr_t(0x1234));
}

template <typename T>
void** out(T*& pointer) {
    return reinterpret_cast<void**>(&pointer);
}

class DeviceApiTest : public DeviceTest {
protected:
    void SetUp() override { create_device(); }
};

TEST_F(DeviceApiTest, MethodsNotOfferedFailAndChangeNothing) {
    IDirect3DVolumeTexture9* volume = not_null<IDirect3DVolumeTexture9>();
    IDirect3DCubeTexture9* cube = not_null<IDirect3DCubeTexture9>();
    IDirect3DSwapChain9* chain = not_null<IDirect3DSwapChain9>();
    IDirect3DVertexShader9* vs = not_null<IDirect3DVertexShader9>();
    IDirect3DPixelShader9* ps = not_null<IDirect3DPixelShader9>();
    IDirect3DQuery9* query = not_null<IDirect3DQuery9>();
    D3DPRESENT_PARAMETERS parameters = windowed_parameters(test_window());
    const D3DPRESENT_PARAMETERS parameters_before = parameters;
    const float vertices[9] = {};
    const WORD indices[3] = {0, 1, 2};
    const DWORD function[] = {0xFFFE0101, 0x0000FFFF};
    const float constants[4] = {1, 2, 3, 4};
    const int int_constants[4] = {1, 2, 3, 4};
    const BOOL bool_constants[1] = {TRUE};
    float float_out[4] = {};
    int int_out[4] = {};
    BOOL bool_out[1] = {};
    const RECT rect{0, 0, 4, 4};
    const POINT point{0, 0};
    D3DCLIPSTATUS9 clip_status{};
    UINT palette = 0;
    const float segments[4] = {4, 4, 4, 4};
    const D3DRECTPATCH_INFO rect_patch{0, 0, 4, 4, 4, D3DBASIS_BEZIER, D3DDEGREE_CUBIC};
    const D3DTRIPATCH_INFO tri_patch{0, 10, D3DBASIS_BEZIER, D3DDEGREE_CUBIC};

    const struct {
        const char* name;
        std::function<HRESULT()> call;
        void** output = nullptr;  // the output pointer the call must set to null
        HRESULT expected = D3DERR_INVALIDCALL;
    } cases[] = {
        {"CreateAdditionalSwapChain", [&] { return device->CreateAdditionalSwapChain(&parameters, &chain); },
         out(chain)},
        {"GetSwapChain", [&] { return device->GetSwapChain(0, &chain); }, out(chain)},
        {"CreateVolumeTexture",
         [&] { return device->CreateVolumeTexture(8, 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &volume, nullptr); },
         out(volume)},
        {"CreateCubeTexture",
         [&] { return device->CreateCubeTexture(8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr); },
         out(cube)},
        {"SetDialogBoxMode", [&] { return device->SetDialogBoxMode(TRUE); }},
        {"UpdateSurface", [&] { return device->UpdateSurface(nullptr, &rect, nullptr, &point); }},
        {"UpdateTexture", [&] { return device->UpdateTexture(nullptr, nullptr); }},
        {"GetFrontBufferData (null)", [&] { return device->GetFrontBufferData(0, nullptr); }},
        {"SetRenderTarget (null)", [&] { return device->SetRenderTarget(0, nullptr); }},
        {"SetClipStatus", [&] { return device->SetClipStatus(&clip_status); }},
        {"GetRenderTargetData", [&] { return device->GetRenderTargetData(nullptr, nullptr); }},
        {"StretchRect", [&] { return device->StretchRect(nullptr, &rect, nullptr, &rect, D3DTEXF_POINT); }},
        {"ColorFill", [&] { return device->ColorFill(nullptr, &rect, 0xFFFFFFFF); }},
        {"GetClipStatus", [&] { return device->GetClipStatus(&clip_status); }},
        {"SetPaletteEntries", [&] { return device->SetPaletteEntries(0, nullptr); }},
        {"GetPaletteEntries", [&] { return device->GetPaletteEntries(0, nullptr); }},
        {"SetCurrentTexturePalette", [&] { return device->SetCurrentTexturePalette(0); }},
        {"GetCurrentTexturePalette", [&] { return device->GetCurrentTexturePalette(&palette); }},
        {"SetNPatchMode", [&] { return device->SetNPatchMode(4.0f); }},
        {"DrawPrimitive", [&] { return device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1); }},
        {"DrawIndexedPrimitive", [&] { return device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1); }},
        {"DrawPrimitiveUP", [&] { return device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 12); }},
        {"DrawIndexedPrimitiveUP",
         [&] {
             return device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, vertices, 12);
         }},
        {"ProcessVertices", [&] { return device->ProcessVertices(0, 0, 3, nullptr, nullptr, 0); }},
        {"CreateVertexShader", [&] { return device->CreateVertexShader(function, &vs); }, out(vs)},
        {"SetVertexShader (not null)", [&] { return device->SetVertexShader(not_null<IDirect3DVertexShader9>()); }},
        {"SetVertexShaderConstantF", [&] { return device->SetVertexShaderConstantF(0, constants, 1); }},
        {"GetVertexShaderConstantF", [&] { return device->GetVertexShaderConstantF(0, float_out, 1); }},
        {"SetVertexShaderConstantI", [&] { return device->SetVertexShaderConstantI(0, int_constants, 1); }},
        {"GetVertexShaderConstantI", [&] { return device->GetVertexShaderConstantI(0, int_out, 1); }},
        {"SetVertexShaderConstantB", [&] { return device->SetVertexShaderConstantB(0, bool_constants, 1); }},
        {"GetVertexShaderConstantB", [&] { return device->GetVertexShaderConstantB(0, bool_out, 1); }},
        {"SetStreamSource (not null)",
         [&] { return device->SetStreamSource(0, not_null<IDirect3DVertexBuffer9>(), 0, 12); }},
        {"SetStreamSourceFreq", [&] { return device->SetStreamSourceFreq(0, D3DSTREAMSOURCE_INDEXEDDATA | 2); }},
        {"SetIndices (not null)", [&] { return device->SetIndices(not_null<IDirect3DIndexBuffer9>()); }},
        {"CreatePixelShader", [&] { return device->CreatePixelShader(function, &ps); }, out(ps)},
        {"SetPixelShader (not null)", [&] { return device->SetPixelShader(not_null<IDirect3DPixelShader9>()); }},
        {"SetPixelShaderConstantF", [&] { return device->SetPixelShaderConstantF(0, constants, 1); }},
        {"GetPixelShaderConstantF", [&] { return device->GetPixelShaderConstantF(0, float_out, 1); }},
        {"SetPixelShaderConstantI", [&] { return device->SetPixelShaderConstantI(0, int_constants, 1); }},
        {"GetPixelShaderConstantI", [&] { return device->GetPixelShaderConstantI(0, int_out, 1); }},
        {"SetPixelShaderConstantB", [&] { return device->SetPixelShaderConstantB(0, bool_constants, 1); }},
        {"GetPixelShaderConstantB", [&] { return device->GetPixelShaderConstantB(0, bool_out, 1); }},
        {"DrawRectPatch", [&] { return device->DrawRectPatch(1, segments, &rect_patch); }},
        {"DrawTriPatch", [&] { return device->DrawTriPatch(1, segments, &tri_patch); }},
        {"DeletePatch", [&] { return device->DeletePatch(1); }},
        {"SetCursorProperties", [&] { return device->SetCursorProperties(0, 0, nullptr); }},
        {"CreateQuery", [&] { return device->CreateQuery(D3DQUERYTYPE_OCCLUSION, &query); }, out(query),
         D3DERR_NOTAVAILABLE},

    };

    clear(0x00336699);
    ASSERT_EQ(device->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    const device_snapshot before = snapshot(device);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.output != nullptr) *c.output = not_null<void>();
        EXPECT_EQ(c.call(), c.expected);
        if (c.output != nullptr) {
            EXPECT_EQ(*c.output, nullptr);
        }
        EXPECT_EQ(snapshot(device), before);
        EXPECT_EQ(pixel(5, 5), 0x336699u);
    }
    EXPECT_EQ(std::memcmp(&parameters, &parameters_before, sizeof parameters), 0);
}

TEST_F(DeviceApiTest, StatesStartAtTheirDefaultsAndReadBackWhatWasSet) {
    const struct {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } render_defaults[] = {
        {D3DRS_FILLMODE, D3DFILL_SOLID},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_LASTPIXEL, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_ALPHATESTENABLE, FALSE},
        {D3DRS_DITHERENABLE, FALSE},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_FOGENABLE, FALSE},
        {D3DRS_FOGEND, 0x3F800000},
        {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_STENCILMASK, 0xFFFFFFFF},
        {D3DRS_WRAP0, 0},
        {D3DRS_WRAP15, 0},
        {D3DRS_CLIPPLANEENABLE, 0},
        {D3DRS_POINTSIZE, 0x3F800000},
        {D3DRS_COLORWRITEENABLE, 0xF},
        {D3DRS_BLENDOP, D3DBLENDOP_ADD},
        {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
        {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
        {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
        {D3DRS_BLENDFACTOR, 0xFFFFFFFF},
        {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    };
    for (const auto& d : render_defaults) {
        DWORD v = 0xDEADBEEF;
        EXPECT_EQ(device->GetRenderState(d.state, &v), D3D_OK) << "render state " << d.state;
        EXPECT_EQ(v, d.value) << "render state " << d.state;
        EXPECT_EQ(device->SetRenderState(d.state, 12345), D3D_OK);
        EXPECT_EQ(device->GetRenderState(d.state, &v), D3D_OK);
        EXPECT_EQ(v, 12345u) << "render state " << d.state;
    }

    const struct {
        DWORD stage;
        D3DTEXTURESTAGESTATETYPE type;
        DWORD value;
    } stage_defaults[] = {
        {0, D3DTSS_COLOROP, D3DTOP_MODULATE}, {0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
        {0, D3DTSS_COLORARG1, D3DTA_TEXTURE}, {0, D3DTSS_COLORARG2, D3DTA_CURRENT},
        {0, D3DTSS_TEXCOORDINDEX, 0},         {0, D3DTSS_RESULTARG, D3DTA_CURRENT},
        {1, D3DTSS_COLOROP, D3DTOP_DISABLE},  {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
        {7, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {7, D3DTSS_ALPHAARG2, D3DTA_CURRENT},
        {5, D3DTSS_TEXCOORDINDEX, 5},         {3, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
        {2, D3DTSS_CONSTANT, 0xFFFFFFFFu},
    };
    for (const auto& d : stage_defaults) {
        DWORD v = 0xDEADBEEF;
        EXPECT_EQ(device->GetTextureStageState(d.stage, d.type, &v), D3D_OK);
        EXPECT_EQ(v, d.value) << "stage " << d.stage << " state " << d.type;
        EXPECT_EQ(device->SetTextureStageState(d.stage, d.type, 77), D3D_OK);
        EXPECT_EQ(device->GetTextureStageState(d.stage, d.type, &v), D3D_OK);
        EXPECT_EQ(v, 77u);
    }

    const struct {
        D3DSAMPLERSTATETYPE type;
        DWORD value;
    } sampler_defaults[] = {
        {D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP},
        {D3DSAMP_ADDRESSW, D3DTADDRESS_WRAP},
        {D3DSAMP_BORDERCOLOR, 0},
        {D3DSAMP_MAGFILTER, D3DTEXF_POINT},
        {D3DSAMP_MINFILTER, D3DTEXF_POINT},
        {D3DSAMP_MIPFILTER, D3DTEXF_NONE},
        {D3DSAMP_MAXMIPLEVEL, 0},
        {D3DSAMP_MAXANISOTROPY, 1},
        {D3DSAMP_SRGBTEXTURE, 0},
    };
    for (DWORD sampler : {0u, 15u, DWORD(D3DDMAPSAMPLER), DWORD(D3DVERTEXTEXTURESAMPLER3)}) {
        for (const auto& d : sampler_defaults) {
            DWORD v = 0xDEADBEEF;
            EXPECT_EQ(device->GetSamplerState(sampler, d.type, &v), D3D_OK);
            EXPECT_EQ(v, d.value) << "sampler " << sampler << " state " << d.type;
        }
        EXPECT_EQ(device->SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR), D3D_OK);
    }
    DWORD filter = 0;
    EXPECT_EQ(device->GetSamplerState(15, D3DSAMP_MAGFILTER, &filter), D3D_OK);
    EXPECT_EQ(filter, DWORD(D3DTEXF_LINEAR));
    EXPECT_EQ(device->GetSamplerState(1, D3DSAMP_MAGFILTER, &filter), D3D_OK);
    EXPECT_EQ(filter, DWORD(D3DTEXF_POINT));  // samplers are separate
}

TEST_F(DeviceApiTest, StatesThatDoNotExistAreRefusedOrIgnored) {
    DWORD v = 0;
    for (DWORD gap : {0u, 10u, 17u, 61u, 127u, 138u, 144u, 153u, 164u, 177u, 196u, 210u, 256u, 100000u}) {
        EXPECT_EQ(device->SetRenderState(D3DRENDERSTATETYPE(gap), 1), D3DERR_INVALIDCALL) << gap;
        EXPECT_EQ(device->GetRenderState(D3DRENDERSTATETYPE(gap), &v), D3DERR_INVALIDCALL) << gap;
    }
    const device_snapshot before = snapshot(device);
    // Stage states beyond stage 7 or of an unknown type are accepted and have no effect.
    EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD), D3D_OK);
    EXPECT_EQ(device->SetTextureStageState(0, D3DTEXTURESTAGESTATETYPE(12), 1), D3D_OK);
    EXPECT_EQ(snapshot(device), before);
    EXPECT_EQ(device->GetTextureStageState(8, D3DTSS_COLOROP, &v), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetTextureStageState(0, D3DTEXTURESTAGESTATETYPE(12), &v), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetSamplerState(16, D3DSAMP_MAGFILTER, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetSamplerState(0, D3DSAMPLERSTATETYPE(14), 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetSamplerState(261, D3DSAMP_MAGFILTER, &v), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetSamplerState(0, D3DSAMPLERSTATETYPE(0), &v), D3DERR_INVALIDCALL);
    // Vertex formats: reserved bits, a position that is none of the eight, more than eight sets.
    for (DWORD bad : {0x001u, 0x2002u, 0x4004u, 0x902u}) EXPECT_EQ(device->SetFVF(bad), D3DERR_INVALIDCALL) << bad;
    EXPECT_EQ(snapshot(device), before);
}

TEST_F(DeviceApiTest, ViewportClipPlanesLightsAndTexturesReadBack) {
    D3DVIEWPORT9 viewport{};
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, DWORD(width));
    EXPECT_EQ(viewport.Height, DWORD(height));
    EXPECT_EQ(viewport.MaxZ, 1.0f);
    EXPECT_EQ(device->SetViewport(&viewport), D3D_OK);
    viewport.MinZ = 1.5f;
    EXPECT_EQ(device->SetViewport(&viewport), D3DERR_INVALIDCALL);

    const float plane[4] = {1, 2, 3, 4};
    float read[4] = {};
    EXPECT_EQ(device->GetClipPlane(5, read), D3D_OK);
    EXPECT_EQ(read[0], 0.0f);
    EXPECT_EQ(device->SetClipPlane(5, plane), D3D_OK);
    EXPECT_EQ(device->GetClipPlane(5, read), D3D_OK);
    EXPECT_EQ(read[3], 4.0f);
    EXPECT_EQ(device->SetClipPlane(6, plane), D3DERR_INVALIDCALL);

    D3DLIGHT9 light{};
    BOOL enabled = TRUE;
    EXPECT_EQ(device->GetLight(0, &light), D3DERR_INVALIDCALL);  // never set
    EXPECT_EQ(device->GetLightEnable(0, &enabled), D3DERR_INVALIDCALL);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {0, -1, 0};
    ASSERT_EQ(device->SetLight(2, &light), D3D_OK);
    D3DLIGHT9 got{};
    EXPECT_EQ(device->GetLight(2, &got), D3D_OK);
    EXPECT_EQ(got.Direction.y, -1.0f);
    EXPECT_EQ(device->GetLightEnable(2, &enabled), D3D_OK);
    EXPECT_EQ(enabled, FALSE);
    ASSERT_EQ(device->LightEnable(2, TRUE), D3D_OK);
    EXPECT_EQ(device->GetLightEnable(2, &enabled), D3D_OK);
    EXPECT_EQ(enabled, TRUE);

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d3d9_create_texture(1, 1, std::vector<D3DCOLOR>{0xFFFFFFFF}, &texture), D3D_OK);
    ASSERT_EQ(device->SetTexture(1, texture), D3D_OK);
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(device->GetTexture(1, &bound), D3D_OK);
    EXPECT_EQ(bound, texture);
    EXPECT_EQ(bound->Release(), 2u);  // the device's reference and ours remain
    EXPECT_EQ(device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, nullptr);
    bound = texture;
    EXPECT_EQ(device->GetTexture(8, &bound), D3DERR_INVALIDCALL);
    EXPECT_EQ(bound, nullptr);
    texture->Release();

    D3DMATRIX translate{};
    translate._11 = translate._22 = translate._33 = translate._44 = 1.0f;
    translate._41 = 1.0f;
    D3DMATRIX scale{};
    scale._11 = scale._22 = scale._33 = 2.0f;
    scale._44 = 1.0f;
    ASSERT_EQ(device->SetTransform(D3DTS_WORLD, &translate), D3D_OK);
    ASSERT_EQ(device->MultiplyTransform(D3DTS_WORLD, &scale), D3D_OK);
    D3DMATRIX world{};
    ASSERT_EQ(device->GetTransform(D3DTS_WORLD, &world), D3D_OK);
    EXPECT_EQ(world._11, 2.0f);
    EXPECT_EQ(world._41, 1.0f);  // scale first, then translate: (1, 0, 0) goes to (3, 0, 0)
}

TEST_F(DeviceApiTest, TheDeviceDescribesItself) {
    IDirect3D9* parent = nullptr;
    ASSERT_EQ(device->GetDirect3D(&parent), D3D_OK);
    EXPECT_EQ(parent, direct3d);
    parent->Release();

    D3DDEVICE_CREATION_PARAMETERS creation{};
    ASSERT_EQ(device->GetCreationParameters(&creation), D3D_OK);
    EXPECT_EQ(creation.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(creation.BehaviorFlags, DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    EXPECT_EQ(device->GetSoftwareVertexProcessing(), TRUE);
    EXPECT_EQ(device->SetSoftwareVertexProcessing(FALSE), D3DERR_INVALIDCALL);  // not a mixed device
    EXPECT_EQ(device->GetSoftwareVertexProcessing(), TRUE);

    D3DCAPS9 caps{}, adapter_caps{};
    ASSERT_EQ(device->GetDeviceCaps(&caps), D3D_OK);
    ASSERT_EQ(direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &adapter_caps), D3D_OK);
    EXPECT_EQ(std::memcmp(&caps, &adapter_caps, sizeof caps), 0);
    EXPECT_LT(caps.VertexShaderVersion, DWORD(D3DVS_VERSION(1, 1)));
    EXPECT_EQ(caps.TextureCaps & D3DPTEXTURECAPS_POW2, 0u);
    EXPECT_EQ(caps.SrcBlendCaps, 0x3FFFu);  // every blend factor
    EXPECT_EQ(caps.StencilCaps, 0x1FFu);    // every operation, two-sided
    EXPECT_EQ(caps.MaxUserClipPlanes, 6u);

    D3DDISPLAYMODE mode{};
    ASSERT_EQ(device->GetDisplayMode(0, &mode), D3D_OK);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_GT(mode.RefreshRate, 0u);
    EXPECT_EQ(device->GetDisplayMode(1, &mode), D3DERR_INVALIDCALL);

    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device->GetNumberOfSwapChains(), 1u);
    EXPECT_EQ(device->EvictManagedResources(), D3D_OK);

    D3DGAMMARAMP ramp{};
    device->GetGammaRamp(0, &ramp);
    EXPECT_EQ(ramp.red[0], 0);
    EXPECT_EQ(ramp.green[128], 128 * 257);
    EXPECT_EQ(ramp.blue[255], 65535);
    ramp.red[7] = 1;
    device->SetGammaRamp(0, D3DSGR_NO_CALIBRATION, &ramp);
    D3DGAMMARAMP again{};
    device->GetGammaRamp(0, &again);
    EXPECT_EQ(again.red[7], 1);

    DWORD passes = 0;
    EXPECT_EQ(device->ValidateDevice(&passes), D3D_OK);
    EXPECT_EQ(passes, 1u);
    // Every operation but bump mapping, every register and modifier, on any number of stages.
    const struct {
        DWORD stage;
        D3DTEXTURESTAGESTATETYPE type;
        DWORD value;
        HRESULT expected;
    } validations[] = {
        {0, D3DTSS_COLOROP, D3DTOP_LERP, D3D_OK},
        {1, D3DTSS_COLOROP, D3DTOP_DOTPRODUCT3, D3D_OK},
        {1, D3DTSS_COLORARG1, D3DTA_CONSTANT | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE, D3D_OK},
        {1, D3DTSS_RESULTARG, D3DTA_TEMP, D3D_OK},
        {1, D3DTSS_ALPHAOP, D3DTOP_BUMPENVMAP, D3DERR_UNSUPPORTEDALPHAOPERATION},
        {1, D3DTSS_ALPHAOP, D3DTOP_ADD, D3D_OK},
        {2, D3DTSS_COLOROP, D3DTOP_BUMPENVMAPLUMINANCE, D3DERR_UNSUPPORTEDCOLOROPERATION},
        {2, D3DTSS_COLOROP, 99, D3DERR_UNSUPPORTEDCOLOROPERATION},
        {2, D3DTSS_COLOROP, D3DTOP_DISABLE, D3D_OK},  // ends the cascade: later stages do not count
        {1, D3DTSS_COLORARG2, 7, D3DERR_UNSUPPORTEDCOLORARG},
        {1, D3DTSS_COLORARG2, D3DTA_CURRENT, D3D_OK},
        {1, D3DTSS_ALPHAARG1, 0x40, D3DERR_UNSUPPORTEDALPHAARG},
    };
    for (const auto& v : validations) {
        ASSERT_EQ(device->SetTextureStageState(v.stage, v.type, v.value), D3D_OK);
        EXPECT_EQ(device->ValidateDevice(&passes), v.expected) << v.stage << " " << v.type << " " << v.value;
    }

    IDirect3DDevice9* same = nullptr;
    ASSERT_EQ(device->QueryInterface(IID_IDirect3DDevice9, reinterpret_cast<void**>(&same)), S_OK);
    EXPECT_EQ(same, device);
    same->Release();
}

TEST_F(DeviceApiTest, LoadedTexturesDescribeThemselvesAndLockOnlyForReading) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d3d9_create_texture(3, 2, std::vector<D3DCOLOR>{1, 2, 3, 4, 5, 6}, &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_EQ(texture->GetType(), D3DRTYPE_TEXTURE);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(desc.Width, 3u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(texture->GetLevelDesc(1, &desc), D3DERR_INVALIDCALL);
    IDirect3DDevice9* owner = device;
    EXPECT_EQ(texture->GetDevice(&owner), D3DERR_INVALIDCALL);
    EXPECT_EQ(owner, nullptr);

    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);  // writing is not offered
    const RECT outside{1, 0, 4, 2}, empty{1, 1, 1, 2};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, D3DLOCK_READONLY), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->LockRect(0, &locked, &empty, D3DLOCK_READONLY), D3DERR_INVALIDCALL);
    const RECT corner{1, 1, 3, 2};
    ASSERT_EQ(texture->LockRect(0, &locked, &corner, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(locked.Pitch, 12);
    EXPECT_EQ(static_cast<const D3DCOLOR*>(locked.pBits)[0], 5u);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3DERR_INVALIDCALL);  // already locked
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);

    IDirect3DBaseTexture9* base = nullptr;
    ASSERT_EQ(texture->QueryInterface(IID_IDirect3DBaseTexture9, reinterpret_cast<void**>(&base)), S_OK);
    EXPECT_EQ(base, texture);
    base->Release();
    EXPECT_EQ(texture->SetPriority(5), 0u);
    EXPECT_EQ(texture->GetPriority(), 5u);
    EXPECT_EQ(texture->Release(), 0u);
}

}  // namespace

namespace {

class DeviceRectTest : public DeviceTest {
protected:
    void SetUp() override { create_device(); }
};

// Every transform starts as identity and keeps its own matrix; other values are refused.
TEST_F(DeviceRectTest, TransformSlotsKeepTheirOwnMatrices) {
    const struct {
        DWORD kind;
        bool exists;
    } cases[] = {
        {D3DTS_VIEW, true},
        {D3DTS_PROJECTION, true},
        {D3DTS_TEXTURE0, true},
        {D3DTS_TEXTURE7, true},
        {256, true},
        {257, true},
        {511, true},
        {0, false},
        {1, false},
        {4, false},
        {15, false},
        {24, false},
        {255, false},
        {512, false},
        {0x7FFFFFFF, false},
    };
    D3DMATRIX m{};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const auto kind = D3DTRANSFORMSTATETYPE(c.kind);
        if (!c.exists) {
            EXPECT_EQ(device->SetTransform(kind, &m), D3DERR_INVALIDCALL);
            EXPECT_EQ(device->MultiplyTransform(kind, &m), D3DERR_INVALIDCALL);
            EXPECT_EQ(device->GetTransform(kind, &m), D3DERR_INVALIDCALL);
            continue;
        }
        ASSERT_EQ(device->GetTransform(kind, &m), D3D_OK);
        EXPECT_TRUE(m._11 == 1.0f && m._22 == 1.0f && m._44 == 1.0f && m._12 == 0.0f && m._41 == 0.0f);
        m._43 = float(c.kind);
        ASSERT_EQ(device->SetTransform(kind, &m), D3D_OK);
    }
    for (const auto& c : cases) {
        if (c.exists && device->GetTransform(D3DTRANSFORMSTATETYPE(c.kind), &m) == D3D_OK) {
            EXPECT_EQ(m._43, float(c.kind)) << c.kind;
        }
    }
    EXPECT_EQ(device->SetTransform(D3DTS_VIEW, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(DeviceRectTest, ViewportsMustLieInsideTheTargetWithDepthsInZeroToOne) {
    const DWORD w = DWORD(width), h = DWORD(height);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        D3DVIEWPORT9 viewport;
        bool accepted;
    } cases[] = {
        {{0, 0, w, h, 0.0f, 1.0f}, true},         {{10, 20, 100, 50, 0.5f, 1.0f}, true},
        {{w - 1, h - 1, 1, 1, 0.0f, 0.0f}, true}, {{0, 0, 8, 8, 0.9f, 0.1f}, true},  // reversed depth
        {{0, 0, w + 1, h, 0.0f, 1.0f}, false},    {{1, 0, w, h, 0.0f, 1.0f}, false},
        {{0, h, w, 1, 0.0f, 1.0f}, false},        {{0, 0, 0, h, 0.0f, 1.0f}, false},
        {{0, 0, w, 0, 0.0f, 1.0f}, false},        {{0xFFFFFFFF, 0, 2, 1, 0.0f, 1.0f}, false},
        {{0, 0, 8, 8, -0.1f, 1.0f}, false},       {{0, 0, 8, 8, 0.0f, 1.5f}, false},
        {{0, 0, 8, 8, nan, 1.0f}, false},
    };
    D3DVIEWPORT9 previous{0, 0, w, h, 0.0f, 1.0f};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(device->SetViewport(&c.viewport), c.accepted ? D3D_OK : D3DERR_INVALIDCALL);
        if (c.accepted) previous = c.viewport;
        D3DVIEWPORT9 read{};
        ASSERT_EQ(device->GetViewport(&read), D3D_OK);
        EXPECT_EQ(std::memcmp(&read, &previous, sizeof read), 0);
    }
}

// The scissor rectangle starts as the whole target and is clipped to it.
TEST_F(DeviceRectTest, ScissorRectanglesAreClippedToTheTarget) {
    const LONG w = width, h = height;
    RECT read{};
    ASSERT_EQ(device->GetScissorRect(&read), D3D_OK);
    EXPECT_TRUE(read.left == 0 && read.top == 0 && read.right == w && read.bottom == h);
    const struct {
        RECT set, expected;
    } cases[] = {
        {{10, 20, 30, 40}, {10, 20, 30, 40}},
        {{-5, -7, w + 10, h + 1}, {0, 0, w, h}},
        {{w + 5, 2, w + 10, 5}, {w, 2, w, 5}},
        {{-20, -20, -10, -10}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(device->SetScissorRect(&c.set), D3D_OK);
        ASSERT_EQ(device->GetScissorRect(&read), D3D_OK);
        EXPECT_TRUE(read.left == c.expected.left && read.top == c.expected.top && read.right == c.expected.right &&
                    read.bottom == c.expected.bottom)
            << c.set.left << "," << c.set.top << "," << c.set.right << "," << c.set.bottom;
    }
    EXPECT_EQ(device->SetScissorRect(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetScissorRect(nullptr), D3DERR_INVALIDCALL);
}

}  // namespace
