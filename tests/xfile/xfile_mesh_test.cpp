// xfile_mesh_test.cpp - what a load makes of the file's objects: frames and their transforms,
// polygons, vertex splitting by normals, streams, material lists and references, several meshes.
#include "platform/d3dx9/mesh_data.h"
#include <gtest/gtest.h>

#include <cmath>

#include "xfile_samples.h"

namespace {

xfile_load_result load_body(const std::string& body) { return load_x("xof 0303txt 0032\n" + body); }

void expect_vector(const D3DVECTOR& v, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

// A unit triangle in the z = 0 plane with one normal, wrapped in `before` ... `after`.
std::string triangle(const std::string& extra = "", const char* normal = "0;0;1;") {
    return std::string("Mesh { 3; 1;0;0;, 0;1;0;, 0;0;0;; 1; 3;0,1,2;; MeshNormals { 1; ") + normal +
           "; 1; 3;0,0,0;; } " + extra + " }\n";
}

std::string matrix(const char* elements) { return std::string("FrameTransformMatrix { ") + elements + ";; }\n"; }

TEST(XFileFrames, AppliesTheInnerFrameFirstThenItsParents) {
    // Inner: translate x by 1; outer: scale by 2. (1,0,0) -> (2,0,0) -> (4,0,0).
    const xfile_load_result r =
        load_body("Frame outer { " + std::string(matrix("2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1")) + "Frame inner { " +
                  matrix("1,0,0,0, 0,1,0,0, 0,0,1,0, 1,0,0,1") + triangle() + "} }");
    ASSERT_TRUE(r.ok) << r.error;
    expect_vector(r.model.mesh.positions[0], 4, 0, 0);
    expect_vector(r.model.mesh.positions[1], 2, 2, 0);
    expect_vector(r.model.mesh.positions[2], 2, 0, 0);
}

TEST(XFileFrames, MatrixAfterTheMeshStillAppliesAndSiblingsDoNot) {
    const xfile_load_result r = load_body("Frame a { " + triangle() + matrix("1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,5,1") +
                                          "} Frame b { " + triangle() + "}");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.mesh.positions.size(), 6u);
    expect_vector(r.model.mesh.positions[0], 1, 0, 5);
    expect_vector(r.model.mesh.positions[3], 1, 0, 0);
}

TEST(XFileFrames, NormalsUseTheInverseTransposeAndAreRenormalised) {
    // Scale x by 2: the normal (1,1,0)/sqrt2 of a plane becomes (1,2,0)/sqrt5.
    const xfile_load_result r = load_body("Frame { " + std::string(matrix("2,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1")) +
                                          triangle("", "0.70710678;0.70710678;0;") + "}");
    ASSERT_TRUE(r.ok) << r.error;
    const float s = 1.0f / std::sqrt(5.0f);
    expect_vector(r.model.mesh.normals[0], s, 2 * s, 0);
}

TEST(XFileFrames, MirroringFramesFlipNormalsWithTheGeometry) {
    const xfile_load_result r = load_body("Frame { " + std::string(matrix("-1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1")) +
                                          triangle("", "1;0;0;") + "}");
    ASSERT_TRUE(r.ok) << r.error;
    expect_vector(r.model.mesh.positions[0], -1, 0, 0);
    expect_vector(r.model.mesh.normals[0], -1, 0, 0);
}

TEST(XFileFrames, NormalsOfUntransformedMeshesAreKeptAsStored) {
    const xfile_load_result r = load_body(triangle("", "0;0;2;"));
    ASSERT_TRUE(r.ok) << r.error;
    expect_vector(r.model.mesh.normals[0], 0, 0, 2);
}

TEST(XFileFaces, PolygonsAreFannedAndShortFacesDropped) {
    const xfile_load_result r = load_body(R"(Mesh {
  5; 0;0;0;, 1;0;0;, 2;1;0;, 1;2;0;, 0;1;0;;
  4; 5;0,1,2,3,4;, 2;0,1;, 0;;, 3;4,3,2;;
  MeshMaterialList { 2; 4; 0, 0, 0, 1;;
    Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; } }
})");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.mesh.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4, 4, 3, 2}));
    EXPECT_EQ(r.model.mesh.attributes, (std::vector<uint32_t>{0, 0, 0, 1}));
}

TEST(XFileNormals, SplitsPositionsMetWithDifferentNormalsAndReusesEqualOnes) {
    // Two triangles folded along the edge 1-2: the shared positions get one vertex per normal.
    const xfile_load_result r = load_body(R"(Mesh {
  4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;1;;
  2; 3;0,1,2;, 3;1,3,2;;
  MeshNormals { 2; 0;0;1;, 1;0;0;; 2; 3;0,0,0;, 3;1,1,1;; }
  MeshTextureCoords { 4; 0;0;, 1;0;, 0;1;, 1;1;; }
})");
    ASSERT_TRUE(r.ok) << r.error;
    const d3dx_mesh_data& m = r.model.mesh;
    ASSERT_EQ(m.positions.size(), 6u);  // the four positions, then 1 and 2 again
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 4, 3, 5}));
    expect_vector(m.positions[4], 1, 0, 0);
    expect_vector(m.normals[4], 1, 0, 0);
    expect_vector(m.normals[1], 0, 0, 1);
    expect_vector(m.positions[5], 0, 1, 0);
    EXPECT_FLOAT_EQ(m.texcoords[2 * 5 + 1], 1.0f);  // the duplicate keeps its position's coordinates

    const xfile_load_result shared = load_body(R"(Mesh {
  4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;;
  2; 3;0,1,2;, 3;1,3,2;;
  MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; }
})");
    ASSERT_TRUE(shared.ok) << shared.error;
    EXPECT_EQ(shared.model.mesh.positions.size(), 4u);

    // The same triangle with twelve normals, then with the eleventh and the second again: those
    // corners reuse the vertices made for them (the later ones are looked up past the chain).
    std::string normals = "12; ";
    std::string faces = "14; ";
    std::string normal_faces = "14; ";
    std::vector<uint32_t> expected;
    for (uint32_t k : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 10, 1}) {
        faces += "3;0,1,2;,";
        normal_faces += "3;" + std::to_string(k) + "," + std::to_string(k) + "," + std::to_string(k) + ";,";
        for (uint32_t corner = 0; corner < 3; ++corner) expected.push_back(3 * k + corner);
    }
    for (int k = 0; k < 12; ++k) normals += "0;0;" + std::to_string(k + 1) + ";,";
    const xfile_load_result again = load_body("Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; " + faces + "; MeshNormals { " +
                                              normals + "; " + normal_faces + "; } }");
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.model.mesh.indices, expected);
}

TEST(XFileStreams, VertexColoursAndTextureCoordinatesPerVertex) {
    const xfile_load_result r = load_body(R"(Mesh {
  3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
  MeshTextureCoords { 3; 0.25;0.75;, 1;0;, 0;1;; }
  MeshVertexColors { 2; 0; 1.0;0.5;0.0;1.0;;, 2; 0;0;1;0.5;;; }
})");
    ASSERT_TRUE(r.ok) << r.error;
    const d3dx_mesh_data& m = r.model.mesh;
    EXPECT_TRUE(m.normals.empty());
    EXPECT_EQ(m.diffuse, (std::vector<D3DCOLOR>{0xFFFF8000u, 0xFFFFFFFFu, 0x800000FFu}));
    EXPECT_EQ(m.texcoords, (std::vector<float>{0.25f, 0.75f, 1, 0, 0, 1}));
}

const char* const red_green_materials = R"(
Material Red { 1;0;0;1;; 5; 0.5;0.5;0.5;; 0.1;0.2;0.3;; TextureFilename { "Textures\\Red.bmp"; } }
Material Green { <01234567-89AB-CDEF-0123-456789ABCDEF> 0;1;0;0.5;; 0; 0;0;0;; 0;0;0;; }
)";

TEST(XFileMaterials, RecordsTakeTheFileColoursWithNoAmbient) {
    const xfile_load_result r =
        load_body(std::string(red_green_materials) + triangle("MeshMaterialList { 1; 1; 0;; { Red } }"));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.materials.size(), 1u);
    const D3DMATERIAL9& m = r.model.materials[0].material;
    EXPECT_EQ(m.Diffuse.r, 1.0f);
    EXPECT_EQ(m.Diffuse.a, 1.0f);
    EXPECT_EQ(m.Power, 5.0f);
    EXPECT_EQ(m.Specular.g, 0.5f);
    EXPECT_EQ(m.Specular.a, 1.0f);
    EXPECT_FLOAT_EQ(m.Emissive.b, 0.3f);
    EXPECT_EQ(m.Emissive.a, 1.0f);
    EXPECT_EQ(m.Ambient.r, 0.0f);
    EXPECT_EQ(m.Ambient.a, 0.0f);
    EXPECT_EQ(r.model.materials[0].texture, "Textures\\Red.bmp");  // the doubled backslash is one
}

TEST(XFileMaterials, ReferencesByNameOrUuidInEverySpelling) {
    for (const char* reference : {"{ Green }", "{Green}", "{ Green <01234567-89ab-cdef-0123-456789abcdef> }",
                                  "{ <01234567-89AB-CDEF-0123-456789ABCDEF> }"}) {
        const xfile_load_result r =
            load_body(std::string(red_green_materials) +
                      triangle(std::string("MeshMaterialList { 1; 1; 0;; ") + reference + " }"));
        ASSERT_TRUE(r.ok) << reference << ": " << r.error;
        ASSERT_EQ(r.model.materials.size(), 1u);
        EXPECT_EQ(r.model.materials[0].material.Diffuse.g, 1.0f) << reference;
        EXPECT_FALSE(r.model.materials[0].texture.has_value());
    }
}

TEST(XFileMaterials, ReferencesReachMaterialsDeclaredInsideFrames) {
    const xfile_load_result r = load_body(R"(
Frame body {
  Material Skin { 1;0.8;0.6;1;; 0; 0;0;0;; 0;0;0;; TextureFileName { "skin.bmp"; } }
  Frame arm { )" + triangle("MeshMaterialList { 1; 1; 0;; { Skin } }") +
                                          "} }");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.materials.size(), 1u);
    EXPECT_EQ(r.model.materials[0].texture, "skin.bmp");
}

TEST(XFileMaterials, AReferenceTakesTheLatestDeclarationBeforeIt) {
    const xfile_load_result r = load_body(R"(
Material A { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }
Material B { <01234567-89AB-CDEF-0123-456789ABCDEF> 0;0;1;1;; 0; 0;0;0;; 0;0;0;; }
)" + triangle("MeshMaterialList { 2; 1; 0;; { A } { <01234567-89ab-cdef-0123-456789abcdef> } }") +
                                          R"(
Material A { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; }
Material { <01234567-89AB-CDEF-0123-456789ABCDEF> 1;1;0;1;; 0; 0;0;0;; 0;0;0;; }
)" + triangle("MeshMaterialList { 2; 1; 0;; { A } { <01234567-89ab-cdef-0123-456789abcdef> } }"));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.materials.size(), 4u);
    const float expected_rgb[4][3] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {1, 1, 0}};
    for (size_t i = 0; i < 4; ++i) {
        const D3DCOLORVALUE& d = r.model.materials[i].material.Diffuse;
        EXPECT_EQ(d.r, expected_rgb[i][0]) << i;
        EXPECT_EQ(d.g, expected_rgb[i][1]) << i;
        EXPECT_EQ(d.b, expected_rgb[i][2]) << i;
    }
}

TEST(XFileMeshes, OfRepeatedStreamObjectsTheLastCounts) {
    const xfile_load_result r = load_body(std::string(red_green_materials) + R"(Mesh {
  3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 3;0,1,2;, 3;0,2,1;;
  MeshVertexColors { 1; 0; 1;0;0;1;;; }
  MeshVertexColors { 1; 1; 0;0;1;1;;; }
  MeshMaterialList { 2; 2; 1, 0;; { Red } { Green } }
  MeshMaterialList { 2; 1; 1;; { Green } { Red } }
})");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.mesh.diffuse, (std::vector<D3DCOLOR>{0xFFFFFFFFu, 0xFF0000FFu, 0xFFFFFFFFu}));
    ASSERT_EQ(r.model.materials.size(), 2u);
    EXPECT_EQ(r.model.materials[0].material.Diffuse.g, 1.0f);
    EXPECT_EQ(r.model.mesh.attributes, (std::vector<uint32_t>{1, 1}));  // the short list repeats its index
}

TEST(XFileMaterials, UnknownReferenceFails) {
    const xfile_load_result r = load_body(triangle("MeshMaterialList { 1; 1; 0;; { Missing } }"));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("Missing"), std::string::npos) << r.error;
}

TEST(XFileMaterials, ShortIndexListsRepeatTheLastIndex) {
    const xfile_load_result r = load_body(std::string(red_green_materials) + R"(Mesh {
  4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;; 3; 3;0,1,2;, 3;1,3,2;, 3;0,2,3;;
  MeshMaterialList { 2; 2; 0, 1;; { Red } { Green } }
})");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.mesh.attributes, (std::vector<uint32_t>{0, 1, 1}));
}

TEST(XFileMaterials, MissingMaterialObjectsBecomeWhiteAndExtraOnesAreIgnored) {
    const xfile_load_result fewer =
        load_body(std::string(red_green_materials) + triangle("MeshMaterialList { 2; 1; 1;; { Red } }"));
    ASSERT_TRUE(fewer.ok) << fewer.error;
    ASSERT_EQ(fewer.model.materials.size(), 2u);
    EXPECT_EQ(fewer.model.materials[1].material.Diffuse.g, 1.0f);
    EXPECT_FALSE(fewer.model.materials[1].texture.has_value());
    const xfile_load_result more =
        load_body(std::string(red_green_materials) + triangle("MeshMaterialList { 1; 1; 0;; { Red } { Green } }"));
    ASSERT_TRUE(more.ok) << more.error;
    EXPECT_EQ(more.model.materials.size(), 1u);
}

TEST(XFileMaterials, EmptyAndMissingTextureNamesDiffer) {
    const xfile_load_result r = load_body(triangle(R"(MeshMaterialList { 2; 1; 0;;
      Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { ""; } }
      Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } })"));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model.materials[0].texture, "");
    EXPECT_FALSE(r.model.materials[1].texture.has_value());
}

TEST(XFileMeshes, CollapseIntoOneWithConcatenatedMaterials) {
    const xfile_load_result r =
        load_body(std::string(red_green_materials) + triangle("MeshMaterialList { 1; 1; 0;; { Green } }") +
                  triangle("MeshMaterialList { 2; 1; 1;; { Red } { Green } }"));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.materials.size(), 3u);
    EXPECT_EQ(r.model.mesh.attributes, (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(r.model.mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
}

TEST(XFileMeshes, WithoutAnyMaterialListThereAreNoMaterials) {
    const xfile_load_result r = load_body(triangle() + triangle());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.model.materials.empty());
    EXPECT_EQ(r.model.mesh.attributes, (std::vector<uint32_t>{0, 0}));
}

TEST(XFileMeshes, AMeshWithoutAListAmongOthersGetsAWhiteMaterial) {
    const xfile_load_result r =
        load_body(std::string(red_green_materials) + triangle() + triangle("MeshMaterialList { 1; 1; 0;; { Red } }"));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.model.materials.size(), 2u);
    EXPECT_EQ(r.model.materials[0].material.Diffuse.g, 1.0f);
    EXPECT_FALSE(r.model.materials[0].texture.has_value());
    EXPECT_EQ(r.model.mesh.attributes, (std::vector<uint32_t>{0, 1}));
}

TEST(XFileMeshes, MeshesLackingAStreamGetNeutralValuesAndTheirMaterialColour) {
    const xfile_load_result r = load_body(std::string(red_green_materials) + R"(
Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
  MeshVertexColors { 3; 0;0;0;1;1;;, 1;0;0;1;1;;, 2;0;0;1;1;;; }
  MeshTextureCoords { 3; 1;1;, 1;1;, 1;1;; } }
Mesh { 4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;; 2; 3;0,1,2;, 3;1,3,2;;
  MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; }
  MeshMaterialList { 2; 2; 0, 1;; { Red } { Green } } }
)");
    ASSERT_TRUE(r.ok) << r.error;
    const d3dx_mesh_data& m = r.model.mesh;
    // Mesh 1 has no normals (zero), mesh 2 no texture coordinates (0,0) and no colours: its
    // vertices take each face's material colour, so positions 1 and 2 (red and green faces) split.
    ASSERT_EQ(m.positions.size(), 3u + 4u + 2u);
    expect_vector(m.normals[0], 0, 0, 0);
    expect_vector(m.normals[3], 0, 0, 1);
    EXPECT_EQ(m.texcoords[0], 1.0f);
    EXPECT_EQ(m.texcoords[2 * 3], 0.0f);
    EXPECT_EQ(m.diffuse[0], 0xFF0000FFu);
    EXPECT_EQ(m.diffuse[3], 0xFFFF0000u);
    EXPECT_EQ(m.diffuse[4], 0xFFFF0000u);
    EXPECT_EQ(m.diffuse[6], 0x8000FF00u);  // position 3 is used by the green face only
    EXPECT_EQ(m.diffuse[7], 0x8000FF00u);  // position 1 again, green
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 7, 6, 8}));
}

TEST(XFileBounds, BoxOfTheVerticesThatTrianglesUse) {
    const xfile_load_result r = load_body("Mesh { 4; -1;0;0;, 1;2;0;, 0;0;3;, 100;100;100;; 1; 3;0,1,2;; }");
    ASSERT_TRUE(r.ok) << r.error;
    D3DVECTOR lo;
    D3DVECTOR hi;
    ASSERT_TRUE(xfile_bounds(r.model.mesh, &lo, &hi));
    expect_vector(lo, -1, 0, 0);
    expect_vector(hi, 1, 2, 3);
    EXPECT_FALSE(xfile_bounds(d3dx_mesh_data{}, &lo, &hi));
}

}  // namespace
