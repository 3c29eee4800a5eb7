// Tests of the generated demo models: make-models writes the same files on every run; both load
// with D3DXLoadMeshFromXA into sealed, front-facing meshes of the intended size and subsets; the
// aeroplane's texture loads and its untextured parts point into a white patch of it.
#include <unistd.h>
#include "headless_device.h"
#include "mesh_builder.h"
#include "models.h"
#include "surface_checks.h"
#include "xfile_writers.h"

#include <d3dx9.h>

#include "platform/d3dx9/mesh.h"
#include "platform/d3d9/texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const char* const model_files[] = {"airplane 2.x", "airplane_skin.png", "spaceship 2.x"};

struct bounding_box {
    float low[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
    float high[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};

    void add(float x, float y, float z) {
        const float p[3] = {x, y, z};
        for (int i = 0; i < 3; ++i) low[i] = std::min(low[i], p[i]), high[i] = std::max(high[i], p[i]);
    }
    float size(int axis) const { return high[axis] - low[axis]; }
    float centre(int axis) const { return 0.5f * (high[axis] + low[axis]); }
};

// What the generator put into a model, frames applied: the loader must give back the same.
struct model_expectations {
    size_t vertices = 0, triangles = 0, subsets = 0;
    bounding_box box;
};

void collect(const models::model_frame& frame, const models::affine_transform& parent, model_expectations& expected) {
    const models::affine_transform placement = models::then(frame.transform, parent);
    for (const models::model_mesh& mesh : frame.meshes) {
        expected.vertices += mesh.positions.size();
        expected.triangles += mesh.triangles.size();
        expected.subsets += mesh.used_materials().size();
        for (const models::vec3& p : mesh.positions) {
            const models::vec3 q = placement.point(p);
            expected.box.add(q.x, q.y, q.z);
        }
    }
    for (const models::model_frame& child : frame.children) collect(child, placement, expected);
}

model_expectations expected_from(const models::model_tree& model) {
    model_expectations expected;
    collect(model.root, {}, expected);
    return expected;
}

struct loaded_model {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD subsets = 0;

    const D3DXMATERIAL& material(DWORD i) const {
        return static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer())[i];
    }
    ~loaded_model() {
        if (mesh != nullptr) mesh->Release();
        if (materials != nullptr) materials->Release();
    }
};

// Runs make-models once for the whole suite; each test loads from its output.
class DemoModels : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        device_ = create_headless_device();
        folder_ = std::filesystem::path(::testing::TempDir()) / ("demo_models_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        made_ = run_make_models(folder_);
    }
    static void TearDownTestSuite() {
        release_headless_device(device_);
        std::filesystem::remove_all(folder_);
    }

    void SetUp() override {
        ASSERT_NE(device_.device, nullptr);
        ASSERT_TRUE(made_) << "make-models failed";
    }

    static bool run_make_models(const std::filesystem::path& folder) {
        const std::string command = std::string("\"") + MAKE_MODELS + "\" \"" + folder.string() + "\"";
        return std::system(command.c_str()) == 0;
    }

    static void load(const char* file, loaded_model& model) {
        const std::string path = (folder_ / file).string();
        ASSERT_EQ(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_SYSTEMMEM, device_.device, nullptr, &model.materials,
                                     nullptr, &model.subsets, &model.mesh),
                  D3D_OK)
            << path;
    }

    static void load_both(loaded_model& airplane, loaded_model& ship) {
        load("airplane 2.x", airplane);
        load("spaceship 2.x", ship);
        ASSERT_NE(airplane.mesh, nullptr);
        ASSERT_NE(ship.mesh, nullptr);
    }

    static bounding_box bounds(const d3dx_mesh_data& data) {
        bounding_box box;
        for (const D3DVECTOR& p : data.positions) box.add(p.x, p.y, p.z);
        return box;
    }

    static void expect_matches_generator(const loaded_model& loaded, const models::model_tree& generated) {
        const model_expectations expected = expected_from(generated);
        const d3dx_mesh_data& data = d3dx_mesh_geometry(loaded.mesh);
        EXPECT_EQ(data.positions.size(), expected.vertices);
        EXPECT_EQ(data.indices.size(), 3 * expected.triangles);
        EXPECT_EQ(loaded.subsets, expected.subsets);
        const bounding_box box = bounds(data);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(box.low[axis], expected.box.low[axis], 1e-4f) << "axis " << axis;
            EXPECT_NEAR(box.high[axis], expected.box.high[axis], 1e-4f) << "axis " << axis;
        }
    }

    static void expect_sealed(const d3dx_mesh_data& data, const char* name) {
        surface_view view;
        for (const D3DVECTOR& p : data.positions) view.positions.push_back({p.x, p.y, p.z});
        for (const D3DVECTOR& n : data.normals) view.normals.push_back({n.x, n.y, n.z});
        view.indices = data.indices;
        ASSERT_EQ(view.normals.size(), view.positions.size()) << name;
        const surface_report report = check_surface(view);
        EXPECT_EQ(report.degenerate, 0u) << name;
        EXPECT_EQ(report.facing_away, 0u) << name;
        EXPECT_EQ(report.non_unit_normals, 0u) << name;
        EXPECT_EQ(report.open_edges, 0u) << name;
        EXPECT_EQ(report.unused_vertices, 0u) << name;
        EXPECT_LE(report.triangles, 6000u) << name << ": keep the triangle count moderate";
    }

    static headless_device device_;
    static std::filesystem::path folder_;
    static bool made_;
};

headless_device DemoModels::device_;
std::filesystem::path DemoModels::folder_;
bool DemoModels::made_ = false;

TEST_F(DemoModels, MakeModelsWritesTheSameBytesEveryRunWithTheRightHeaders) {
    const std::filesystem::path again = folder_.parent_path() / "demo_models_again";
    std::filesystem::remove_all(again);
    std::filesystem::create_directories(again);
    ASSERT_TRUE(run_make_models(again));
    for (const char* file : model_files) {
        const std::string first = read_file(folder_ / file);
        EXPECT_FALSE(first.empty()) << file;
        EXPECT_TRUE(first == read_file(again / file)) << file << " differs between runs";
    }
    EXPECT_EQ(read_file(folder_ / "airplane 2.x").substr(0, 16), "xof 0303txt 0032");
    EXPECT_EQ(read_file(folder_ / "spaceship 2.x").substr(0, 16), "xof 0303bin 0032");
    EXPECT_EQ(read_file(folder_ / "airplane_skin.png").substr(1, 3), "PNG");
    std::filesystem::remove_all(again);
}

TEST_F(DemoModels, BuildingAModelTwiceGivesTheSameFile) {
    EXPECT_EQ(models::write_x_text(models::build_airplane(), "c"), models::write_x_text(models::build_airplane(), "c"));
    EXPECT_EQ(models::write_x_binary(models::build_spaceship()), models::write_x_binary(models::build_spaceship()));
    EXPECT_EQ(models::paint_airplane_skin(), models::paint_airplane_skin());
}

TEST_F(DemoModels, AirplaneHasTexturedAndPlainSubsetsAndItsTextureLoads) {
    loaded_model airplane;
    load("airplane 2.x", airplane);
    ASSERT_NE(airplane.mesh, nullptr);
    EXPECT_GE(airplane.subsets, 4u);
    EXPECT_EQ(airplane.mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    int textured = 0, plain = 0;
    for (DWORD i = 0; i < airplane.subsets; ++i) {
        const D3DXMATERIAL& m = airplane.material(i);
        if (m.pTextureFilename == nullptr) {
            ++plain;
            continue;
        }
        ++textured;
        EXPECT_GE(std::min({m.MatD3D.Diffuse.r, m.MatD3D.Diffuse.g, m.MatD3D.Diffuse.b}), 0.9f)
            << "a textured material keeps the texture's colours";
        IDirect3DTexture9* texture = nullptr;
        const std::string path = (folder_ / m.pTextureFilename).string();
        ASSERT_EQ(D3DXCreateTextureFromFileA(device_.device, path.c_str(), &texture), D3D_OK) << path;
        EXPECT_EQ(d3d9_texture_texels(texture).width, 512u);
        texture->Release();
    }
    EXPECT_GE(textured, 1);
    EXPECT_GE(plain, 1);
}

// Untextured subsets would show whatever texture is still bound if a program left one bound; their
// texture coordinates point at white texels so that they keep their own colour either way.
TEST_F(DemoModels, AirplaneUntexturedPartsPointAtWhiteTexelsAndTexturedOnesStayOnTheSkin) {
    loaded_model airplane;
    load("airplane 2.x", airplane);
    ASSERT_NE(airplane.mesh, nullptr);
    IDirect3DTexture9* skin = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device_.device, (folder_ / "airplane_skin.png").string().c_str(), &skin),
              D3D_OK);
    const d3dx_mesh_data& data = d3dx_mesh_geometry(airplane.mesh);
    ASSERT_EQ(data.texcoords.size(), 2 * data.positions.size());
    size_t off_skin = 0, not_white = 0;
    for (size_t t = 0; t < data.attributes.size(); ++t) {
        const bool textured = airplane.material(data.attributes[t]).pTextureFilename != nullptr;
        for (int k = 0; k < 3; ++k) {
            const uint32_t vertex = data.indices[3 * t + k];
            const float u = data.texcoords[2 * vertex], v = data.texcoords[2 * vertex + 1];
            if (textured) {
                off_skin += u < 0.0f || u > 1.0f || v < 0.0f || v > 1.0f;
                continue;
            }
            const UINT x =
                std::min(d3d9_texture_texels(skin).width - 1, static_cast<UINT>(u * d3d9_texture_texels(skin).width));
            const UINT y =
                std::min(d3d9_texture_texels(skin).height - 1, static_cast<UINT>(v * d3d9_texture_texels(skin).height));
            not_white += d3d9_texture_texels(skin).texels[y * d3d9_texture_texels(skin).width + x] != 0xFFFFFFFFu;
        }
    }
    skin->Release();
    EXPECT_EQ(off_skin, 0u);
    EXPECT_EQ(not_white, 0u);
}

TEST_F(DemoModels, SpaceshipHasSeveralPlainSubsetsAndAGlowingOne) {
    loaded_model ship;
    load("spaceship 2.x", ship);
    ASSERT_NE(ship.mesh, nullptr);
    EXPECT_GE(ship.subsets, 4u);
    EXPECT_EQ(ship.mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
    int emissive = 0, shiny = 0;
    for (DWORD i = 0; i < ship.subsets; ++i) {
        const D3DMATERIAL9& m = ship.material(i).MatD3D;
        EXPECT_EQ(ship.material(i).pTextureFilename, nullptr);
        emissive += std::max({m.Emissive.r, m.Emissive.g, m.Emissive.b}) >= 0.5f;
        shiny += m.Specular.r >= 0.8f && m.Power >= 20.0f;
    }
    EXPECT_GE(emissive, 1);
    EXPECT_GE(shiny, 1);
}

TEST_F(DemoModels, BothModelsAreSealedFrontFacingWithUnitNormals) {
    loaded_model airplane, ship;
    ASSERT_NO_FATAL_FAILURE(load_both(airplane, ship));
    expect_sealed(d3dx_mesh_geometry(airplane.mesh), "airplane");
    expect_sealed(d3dx_mesh_geometry(ship.mesh), "spaceship");
}

TEST_F(DemoModels, ModelsHaveTheirSizesAndStandAtTheOrigin) {
    loaded_model airplane, ship;
    ASSERT_NO_FATAL_FAILURE(load_both(airplane, ship));
    const bounding_box plane = bounds(d3dx_mesh_geometry(airplane.mesh));
    EXPECT_GE(plane.size(2), 8.0f) << "wingspan";
    EXPECT_LE(plane.size(2), 10.0f) << "wingspan";
    EXPECT_GE(plane.size(0), 6.5f) << "length";
    EXPECT_LE(plane.size(0), plane.size(2)) << "length";
    const bounding_box spaceship = bounds(d3dx_mesh_geometry(ship.mesh));
    EXPECT_GE(spaceship.size(0), 5.0f) << "length";
    EXPECT_LE(spaceship.size(0), 6.0f) << "length";
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_LT(std::fabs(plane.centre(axis)), 0.3f) << "airplane centre, axis " << axis;
        EXPECT_LT(std::fabs(spaceship.centre(axis)), 0.3f) << "spaceship centre, axis " << axis;
    }
}

// Counts and frame-transformed bounds agree with what the generator built, for the text writer
// (aeroplane) and the binary writer (spaceship).
TEST_F(DemoModels, LoadedMeshesMatchWhatTheGeneratorBuilt) {
    loaded_model airplane, ship;
    ASSERT_NO_FATAL_FAILURE(load_both(airplane, ship));
    expect_matches_generator(airplane, models::build_airplane());
    expect_matches_generator(ship, models::build_spaceship());
}

}  // namespace
