// load_mesh_test.cpp - D3DXLoadMeshFromXA on the software device (headless back end): the mesh,
// the material buffer's layout, Win32 path names, and failures that leave every output empty.
#include <unistd.h>
#include <d3d9.h>
#include <sys/stat.h>
#include <d3dx9.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "headless_device_test.h"
#include "platform/win32/win_headless.h"
#include "xfile_samples.h"

namespace {

class LoadMeshTest : public HeadlessDeviceTest {
protected:
    void SetUp() override {
        HeadlessDeviceTest::SetUp();
        folder_ = std::filesystem::path(::testing::TempDir()) / ("load_mesh_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "Models");
    }
    void TearDown() override {
        HeadlessDeviceTest::TearDown();
        std::filesystem::remove_all(folder_);
    }

    std::string write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    ULONG device_references() {
        device_->AddRef();
        return device_->Release();
    }

    std::filesystem::path folder_;
};

TEST_F(LoadMeshTest, LoadsTheMeshAndTheMaterialsInOneBuffer) {
    const std::string path = write("sample.x", sample_text_file());
    ID3DXBuffer* materials = nullptr;
    ID3DXMesh* mesh = nullptr;
    DWORD count = 99;
    ASSERT_EQ(
        D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_SYSTEMMEM, device_, nullptr, &materials, nullptr, &count, &mesh),
        D3D_OK);
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(materials, nullptr);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(mesh->GetNumFaces(), 3u);
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1));

    const std::string texture = "tex\\green.png";
    ASSERT_EQ(materials->GetBufferSize(), 2 * sizeof(D3DXMATERIAL) + texture.size() + 1);
    const auto* records = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_EQ(records[0].MatD3D.Diffuse.r, 1.0f);
    EXPECT_EQ(records[0].pTextureFilename, nullptr);
    EXPECT_EQ(records[1].MatD3D.Diffuse.g, 1.0f);
    const char* begin = static_cast<const char*>(materials->GetBufferPointer());
    ASSERT_NE(records[1].pTextureFilename, nullptr);
    EXPECT_GE(records[1].pTextureFilename, begin);
    EXPECT_LT(records[1].pTextureFilename, begin + materials->GetBufferSize());
    EXPECT_STREQ(records[1].pTextureFilename, texture.c_str());

    EXPECT_EQ(mesh->DrawSubset(0), D3D_OK);
    EXPECT_EQ(mesh->Release(), 0u);
    EXPECT_EQ(materials->Release(), 0u);
}

TEST_F(LoadMeshTest, AcceptsWin32NamesInAnyCase) {
    write("Models/sample.x", sample_text_file());
    const std::string win32 = (folder_ / "MODELS").string() + "\\Sample.X";
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXA(win32.c_str(), 0, device_, nullptr, nullptr, nullptr, nullptr, &mesh), D3D_OK);
    mesh->Release();
}

TEST_F(LoadMeshTest, ZeroMaterialsStillGiveAReadableBuffer) {
    const std::string path = write("plain.x", "xof 0303txt 0032 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }");
    ID3DXBuffer* materials = nullptr;
    ID3DXMesh* mesh = nullptr;
    DWORD count = 99;
    ASSERT_EQ(D3DXLoadMeshFromXA(path.c_str(), 0, device_, nullptr, &materials, nullptr, &count, &mesh), D3D_OK);
    EXPECT_EQ(count, 0u);
    ASSERT_NE(materials, nullptr);
    EXPECT_EQ(materials->GetBufferSize(), 0u);
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ));
    materials->Release();
    mesh->Release();
}

TEST_F(LoadMeshTest, FailuresLeaveEveryOutputEmptyAndHoldNoDeviceReference) {
    const ULONG references = device_references();
    const std::string broken = write("broken.x", sample_text_file().substr(0, 200));
    const std::string missing = (folder_ / "missing.x").string();
    const std::string notes = write("notes.x", "these are notes, not a model\n");
    const std::string huge = write("huge.x", "xof 0303txt 0032");
    std::filesystem::resize_file(huge, xfile_max_file_size + 1);  // sparse: no disk space used
    const std::string fifo = (folder_ / "fifo.x").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto* const garbage = reinterpret_cast<ID3DXBuffer*>(0x1);
    struct test_case {
        const char* file;
        IDirect3DDevice9* device;
        HRESULT expected;
    } cases[] = {{missing.c_str(), device_, E_FAIL},     {folder_.c_str(), device_, E_FAIL},
                 {fifo.c_str(), device_, E_FAIL},  // refused at once, not waiting for a writer
                 {"/dev/zero", device_, E_FAIL},         {notes.c_str(), device_, D3DXERR_INVALIDDATA},
                 {huge.c_str(), device_, E_OUTOFMEMORY}, {broken.c_str(), device_, D3DXERR_INVALIDDATA},
                 {nullptr, device_, D3DERR_INVALIDCALL}, {broken.c_str(), nullptr, D3DERR_INVALIDCALL}};
    for (const test_case& c : cases) {
        ID3DXBuffer* adjacency = garbage;
        ID3DXBuffer* materials = garbage;
        ID3DXBuffer* effects = garbage;
        ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(0x1);
        DWORD count = 99;
        EXPECT_EQ(D3DXLoadMeshFromXA(c.file, 0, c.device, &adjacency, &materials, &effects, &count, &mesh), c.expected)
            << (c.file ? c.file : "(null)");
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(materials, nullptr);
        EXPECT_EQ(adjacency, nullptr);
        EXPECT_EQ(effects, nullptr);
        EXPECT_EQ(count, 0u);
    }
    EXPECT_EQ(D3DXLoadMeshFromXA(broken.c_str(), 0, device_, nullptr, nullptr, nullptr, nullptr, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device_references(), references);
}

TEST_F(LoadMeshTest, TheMeshHoldsTheDeviceUntilReleased) {
    const ULONG references = device_references();
    const std::string path = write("sample.x", sample_text_file());
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXA(path.c_str(), 0, device_, nullptr, nullptr, nullptr, nullptr, &mesh), D3D_OK);
    EXPECT_EQ(device_references(), references + 3);  // the mesh and its vertex and index buffers
    mesh->Release();
    EXPECT_EQ(device_references(), references);
}

}  // namespace
