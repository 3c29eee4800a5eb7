// vertex_buffer_test.cpp - vertex and index buffers and declarations through the device: creation
// rules, locking, binding and reading back, and the lifetimes of bound objects and their device.
#include "device_fixture.h"

#include "platform/d3d9/device.h"

#include <cstring>

namespace {

class VertexBufferTest : public DeviceTest {
protected:
    void SetUp() override { create_device(); }

    IDirect3DVertexBuffer9* make_vb(UINT length, D3DPOOL pool = D3DPOOL_MANAGED) {
        IDirect3DVertexBuffer9* vb = nullptr;
        EXPECT_EQ(device->CreateVertexBuffer(length, 0, 0, pool, &vb, nullptr), D3D_OK);
        return vb;
    }
};

constexpr D3DPOOL bad_pool = D3DPOOL(4);

TEST_F(VertexBufferTest, CreationFollowsTheRules) {
    HANDLE handle = nullptr;
    const struct {
        const char* name;
        UINT length;
        DWORD usage;
        DWORD fvf;
        D3DPOOL pool;
        HANDLE* shared;
        HRESULT expected;
    } cases[] = {
        {"one vertex", 12, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, nullptr, D3D_OK},
        {"not a multiple of the vertex", 13, D3DUSAGE_WRITEONLY, D3DFVF_XYZ, D3DPOOL_DEFAULT, nullptr, D3D_OK},
        {"dynamic in the default pool", 64, D3DUSAGE_DYNAMIC | D3DUSAGE_POINTS, 0, D3DPOOL_DEFAULT, nullptr, D3D_OK},
        {"scratch", 64, 0, 0, D3DPOOL_SCRATCH, nullptr, D3D_OK},
        {"length 0", 0, 0, 0, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"less than one vertex", 11, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"invalid FVF", 64, 0, 0x2002, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"dynamic and managed", 64, D3DUSAGE_DYNAMIC, 0, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"texture usage", 64, D3DUSAGE_RENDERTARGET, 0, D3DPOOL_DEFAULT, nullptr, D3DERR_INVALIDCALL},
        {"displacement map usage", 64, D3DUSAGE_DMAP, 0, D3DPOOL_DEFAULT, nullptr, D3DERR_INVALIDCALL},
        {"unknown pool", 64, 0, 0, bad_pool, nullptr, D3DERR_INVALIDCALL},
        {"shared handle", 64, 0, 0, D3DPOOL_DEFAULT, &handle, D3DERR_INVALIDCALL},
        {"absurd length, video memory", 0xFFFFFFF0u, 0, 0, D3DPOOL_DEFAULT, nullptr, D3DERR_OUTOFVIDEOMEMORY},
        {"absurd length, system memory", 0xFFFFFFF0u, 0, 0, D3DPOOL_SYSTEMMEM, nullptr, E_OUTOFMEMORY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DVertexBuffer9* vb = reinterpret_cast<IDirect3DVertexBuffer9*>(uintptr_t(1));
        ASSERT_EQ(device->CreateVertexBuffer(c.length, c.usage, c.fvf, c.pool, &vb, c.shared), c.expected);
        if (c.expected != D3D_OK) {
            EXPECT_EQ(vb, nullptr);
            continue;
        }
        D3DVERTEXBUFFER_DESC desc{};
        ASSERT_EQ(vb->GetDesc(&desc), D3D_OK);
        EXPECT_EQ(desc.Format, D3DFMT_VERTEXDATA);
        EXPECT_EQ(desc.Type, D3DRTYPE_VERTEXBUFFER);
        EXPECT_EQ(desc.Usage, c.usage);
        EXPECT_EQ(desc.Pool, c.pool);
        EXPECT_EQ(desc.Size, c.length);
        EXPECT_EQ(desc.FVF, c.fvf);
        void* data = nullptr;
        ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        EXPECT_EQ(std::memcmp(data, std::vector<uint8_t>(c.length).data(), c.length), 0);  // zero-filled
        vb->Unlock();
        EXPECT_EQ(vb->Release(), 0u);
    }

    const struct {
        D3DFORMAT format;
        HRESULT expected;
    } index_cases[] = {{D3DFMT_INDEX16, D3D_OK},
                       {D3DFMT_INDEX32, D3D_OK},
                       {D3DFMT_A8R8G8B8, D3DERR_INVALIDCALL},
                       {D3DFMT_UNKNOWN, D3DERR_INVALIDCALL}};
    for (const auto& c : index_cases) {
        IDirect3DIndexBuffer9* ib = nullptr;
        ASSERT_EQ(device->CreateIndexBuffer(6, 0, c.format, D3DPOOL_SYSTEMMEM, &ib, nullptr), c.expected) << c.format;
        if (ib == nullptr) continue;
        D3DINDEXBUFFER_DESC desc{};
        ASSERT_EQ(ib->GetDesc(&desc), D3D_OK);
        EXPECT_EQ(desc.Format, c.format);
        EXPECT_EQ(desc.Type, D3DRTYPE_INDEXBUFFER);
        EXPECT_EQ(desc.Size, 6u);
        EXPECT_EQ(ib->GetType(), D3DRTYPE_INDEXBUFFER);
        ib->Release();
    }
}

TEST_F(VertexBufferTest, LocksCoverTheirRangeAndNest) {
    IDirect3DVertexBuffer9* vb = make_vb(64);
    ASSERT_NE(vb, nullptr);
    void* whole = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &whole, 0), D3D_OK);
    const struct {
        UINT offset, size;
        DWORD flags;
        HRESULT expected;
    } cases[] = {
        {0, 64, D3DLOCK_DISCARD, D3D_OK},  // discard on a static buffer: accepted, contents kept
        {16, 0, D3DLOCK_NOOVERWRITE, D3D_OK},
        {16, 48, D3DLOCK_NOSYSLOCK, D3D_OK},
        {64, 0, 0, D3D_OK},
        {16, 49, 0, D3DERR_INVALIDCALL},
        {65, 0, 0, D3DERR_INVALIDCALL},
        {0xFFFFFFF0u, 0x20, 0, D3DERR_INVALIDCALL},  // wraps around
        {0, 0, 0x1, D3DERR_INVALIDCALL},             // unknown flag
    };
    static_cast<uint8_t*>(whole)[20] = 0xAB;
    for (const auto& c : cases) {
        void* data = reinterpret_cast<void*>(uintptr_t(1));
        ASSERT_EQ(vb->Lock(c.offset, c.size, &data, c.flags), c.expected) << c.offset << " " << c.size;
        if (c.expected != D3D_OK) {
            EXPECT_EQ(data, nullptr);
            continue;
        }
        EXPECT_EQ(data, static_cast<uint8_t*>(whole) + c.offset);
        EXPECT_EQ(static_cast<uint8_t*>(whole)[20], 0xAB);
    }
    EXPECT_EQ(vb->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
    // Five successful locks: five unlocks, then no more.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(vb->Unlock(), D3D_OK) << i;
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
    vb->Release();
}

TEST_F(VertexBufferTest, BindingsReadBackAndRefuseWhatTheDeviceCannotUse) {
    IDirect3DVertexBuffer9* vb = make_vb(64);
    IDirect3DVertexBuffer9* scratch = make_vb(64, D3DPOOL_SCRATCH);
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);

    EXPECT_EQ(device->SetStreamSource(15, vb, 8, 508), D3D_OK);
    EXPECT_EQ(device->SetStreamSource(16, vb, 0, 12), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetStreamSource(15, vb, 0, 509), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetStreamSource(15, scratch, 0, 12), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetStreamSource(15, reinterpret_cast<IDirect3DVertexBuffer9*>(ib), 0, 12), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer9* got = nullptr;
    UINT offset = 0, stride = 0;
    ASSERT_EQ(device->GetStreamSource(15, &got, &offset, &stride), D3D_OK);
    EXPECT_EQ(got, vb);
    EXPECT_EQ(offset, 8u);
    EXPECT_EQ(stride, 508u);
    EXPECT_EQ(got->Release(), 1u);  // Get added one reference; the binding is not the program's

    const vi_stream input = static_cast<d3d9_device*>(device)->stream_input(15);
    EXPECT_EQ(input.size, 56u);
    EXPECT_EQ(input.stride, 508u);

    EXPECT_EQ(device->SetIndices(ib), D3D_OK);
    EXPECT_EQ(device->SetIndices(reinterpret_cast<IDirect3DIndexBuffer9*>(vb)), D3DERR_INVALIDCALL);
    IDirect3DIndexBuffer9* got_ib = nullptr;
    ASSERT_EQ(device->GetIndices(&got_ib), D3D_OK);
    EXPECT_EQ(got_ib, ib);
    got_ib->Release();
    EXPECT_EQ(static_cast<d3d9_device*>(device)->current_indices().format, D3DFMT_INDEX32);

    UINT frequency = 0;
    EXPECT_EQ(device->GetStreamSourceFreq(3, &frequency), D3D_OK);
    EXPECT_EQ(frequency, 1u);
    EXPECT_EQ(device->SetStreamSourceFreq(3, 1), D3D_OK);
    EXPECT_EQ(device->SetStreamSourceFreq(3, D3DSTREAMSOURCE_INSTANCEDATA | 1), D3DERR_INVALIDCALL);

    EXPECT_EQ(device->SetStreamSource(15, nullptr, 0, 0), D3D_OK);
    EXPECT_EQ(device->SetIndices(nullptr), D3D_OK);
    got = vb;
    ASSERT_EQ(device->GetStreamSource(15, &got, &offset, &stride), D3D_OK);
    EXPECT_EQ(got, nullptr);
    ASSERT_EQ(device->GetIndices(&got_ib), D3D_OK);
    EXPECT_EQ(got_ib, nullptr);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(scratch->Release(), 0u);
    EXPECT_EQ(ib->Release(), 0u);
}

TEST_F(VertexBufferTest, FvfAndDeclarationSetTheSameStateLastCallWinning) {
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END()};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ASSERT_EQ(device->CreateVertexDeclaration(elements, &declaration), D3D_OK);
    D3DVERTEXELEMENT9 copy[MAXD3DDECLLENGTH + 1] = {};
    UINT count = 0;
    ASSERT_EQ(declaration->GetDeclaration(nullptr, &count), D3D_OK);
    EXPECT_EQ(count, 3u);
    ASSERT_EQ(declaration->GetDeclaration(copy, &count), D3D_OK);
    EXPECT_EQ(std::memcmp(copy, elements, sizeof elements), 0);
    IDirect3DVertexDeclaration9* refused = declaration;
    EXPECT_EQ(device->CreateVertexDeclaration(nullptr, &refused), D3DERR_INVALIDCALL);
    EXPECT_EQ(refused, nullptr);

    const auto* d = static_cast<d3d9_device*>(device);
    DWORD fvf = 0;
    IDirect3DVertexDeclaration9* got = nullptr;
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
    EXPECT_EQ(d->current_layout().vertex_size[0], 24);
    ASSERT_EQ(device->SetVertexDeclaration(declaration), D3D_OK);
    EXPECT_EQ(device->GetFVF(&fvf), D3D_OK);
    EXPECT_EQ(fvf, 0u);
    ASSERT_EQ(device->GetVertexDeclaration(&got), D3D_OK);
    EXPECT_EQ(got, declaration);
    got->Release();
    EXPECT_TRUE(d->current_layout().pretransformed);
    EXPECT_TRUE(d->layout_from_declaration());
    EXPECT_EQ(device->SetFVF(0x2002), D3DERR_INVALIDCALL);  // refused: the declaration stays
    EXPECT_TRUE(d->current_layout().pretransformed);

    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    ASSERT_EQ(device->GetVertexDeclaration(&got), D3D_OK);
    EXPECT_EQ(got, nullptr);
    EXPECT_FALSE(d->layout_from_declaration());
    EXPECT_EQ(device->SetVertexDeclaration(reinterpret_cast<IDirect3DVertexDeclaration9*>(uintptr_t(8))),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetFVF(&fvf), D3D_OK);
    EXPECT_EQ(fvf, DWORD(D3DFVF_XYZ));
    EXPECT_EQ(declaration->Release(), 0u);
}

TEST_F(VertexBufferTest, ObjectsKeepTheirDeviceAndBindingsKeepNothingAlive) {
    IDirect3DVertexBuffer9* vb = make_vb(48);
    ASSERT_EQ(device->SetStreamSource(0, vb, 0, 12), D3D_OK);
    EXPECT_EQ(vb->Release(), 0u);  // the program let go; the device still reads it
    IDirect3DVertexBuffer9* again = nullptr;
    UINT offset = 0, stride = 0;
    ASSERT_EQ(device->GetStreamSource(0, &again, &offset, &stride), D3D_OK);
    void* data = nullptr;
    EXPECT_EQ(again->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(again->Unlock(), D3D_OK);
    EXPECT_EQ(again->Release(), 0u);

    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    ASSERT_EQ(device->SetIndices(ib), D3D_OK);
    EXPECT_EQ(device->Release(), 1u);  // the index buffer holds the device
    IDirect3DDevice9* owner = nullptr;
    ASSERT_EQ(ib->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    EXPECT_EQ(owner->Release(), 1u);
    EXPECT_EQ(ib->Release(), 0u);  // ends the device, which drops both of its bindings
    device = nullptr;
}

TEST_F(VertexBufferTest, PrivateDataIsCopiedAndObjectsAreHeld) {
    IDirect3DVertexBuffer9* vb = make_vb(16);
    const GUID key = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    const uint32_t value = 0xDEADBEEF;
    ASSERT_EQ(vb->SetPrivateData(key, &value, sizeof value, 0), D3D_OK);
    uint32_t read = 0;
    DWORD size = 2;
    EXPECT_EQ(vb->GetPrivateData(key, &read, &size), D3DERR_MOREDATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(vb->GetPrivateData(key, &read, &size), D3D_OK);
    EXPECT_EQ(read, value);

    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    EXPECT_EQ(vb->SetPrivateData(key, &ib, 3, D3DSPD_IUNKNOWN), D3DERR_INVALIDCALL);
    ASSERT_EQ(vb->SetPrivateData(key, &ib, sizeof ib, D3DSPD_IUNKNOWN), D3D_OK);  // replaces the bytes
    EXPECT_EQ(ib->Release(), 1u);                                                 // the private data holds it
    IDirect3DIndexBuffer9* held = nullptr;
    size = sizeof held;
    ASSERT_EQ(vb->GetPrivateData(key, &held, &size), D3D_OK);
    EXPECT_EQ(held, ib);
    EXPECT_EQ(held->Release(), 1u);
    EXPECT_EQ(vb->FreePrivateData(key), D3D_OK);  // releases the index buffer
    EXPECT_EQ(vb->FreePrivateData(key), D3DERR_NOTFOUND);
    EXPECT_EQ(vb->GetPrivateData(key, &read, &size), D3DERR_NOTFOUND);

    EXPECT_EQ(vb->SetPriority(5), 0u);  // managed: kept
    EXPECT_EQ(vb->GetPriority(), 5u);
    vb->Release();
}

}  // namespace
