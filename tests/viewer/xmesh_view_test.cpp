// xmesh_view_test.cpp - xmesh-view as a person uses it without a display: thumbnails of real
// models that are centred, fill the picture and show their textures; textures behind absolute
// Windows names; broken files that leave no picture; usage errors.
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "viewer_run.h"

namespace fs = std::filesystem;

namespace {

const fs::path corpus_dir = fs::path(DEMOS_SHARED_DIR) / "xcorpus";

// A square of side 2 facing the camera at yaw 0, pitch 0, textured by `texture`.
std::string textured_square(const std::string& texture) {
    return "xof 0303txt 0032\n"
           "Mesh square {\n"
           " 4; -1.0;-1.0;0.0;, -1.0;1.0;0.0;, 1.0;1.0;0.0;, 1.0;-1.0;0.0;;\n"
           " 2; 3;0,1,2;, 3;0,2,3;;\n"
           " MeshNormals { 1; 0.0;0.0;-1.0;; 2; 3;0,0,0;, 3;0,0,0;; }\n"
           " MeshTextureCoords { 4; 0.0;1.0;, 0.0;0.0;, 1.0;0.0;, 1.0;1.0;; }\n"
           " MeshMaterialList { 1; 2; 0,0;;\n"
           "  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;;\n"
           "   TextureFilename { \"" +
           texture +
           "\"; }\n"
           "  }\n"
           " }\n"
           "}\n";
}

// An 8 x 8 checkerboard of red and blue squares, 2 texels each.
void write_checker_bmp(const fs::path& path) {
    unsigned char rgb[8 * 8 * 3];
    for (int i = 0; i < 64; ++i) {
        const bool red = ((i % 8) / 2 + (i / 8) / 2) % 2 == 0;
        rgb[3 * i + 0] = red ? 230 : 20;
        rgb[3 * i + 1] = 20;
        rgb[3 * i + 2] = red ? 20 : 230;
    }
    ASSERT_NE(stbi_write_bmp(path.c_str(), 8, 8, 3, rgb), 0);
}

// Pixels whose red (blue) channel is more than twice the other two.
void count_red_blue(const png_picture& picture, long* red, long* blue) {
    *red = *blue = 0;
    for (uint32_t p : picture.pixels) {
        const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        if (r > 2 * g && r > 2 * b) ++*red;
        if (b > 2 * r && b > 2 * g) ++*blue;
    }
}

class XmeshViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) / ("xmesh_view_test_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    viewer_run_result run(const std::vector<std::string>& arguments) { return run_viewer(folder_.string(), arguments); }

    fs::path folder_;
};

// Each model: centred, large, and (for textured ones) more varied in colour than the same
// model without its textures (the .x alone in another folder).
TEST_F(XmeshViewTest, CorpusThumbnailsAreCentredLargeAndTextured) {
    struct test_case {
        const char* model;
        bool textured;
    };
    const test_case cases[] = {
        {"blitz3d/DeathIsland/747.X", false},
        {"blitz3d/castle/CASTLE1.X", true},
        {"blitz3d/SkyPlateau/totem.x", true},
        {"blitz3d/markio/mariorun.x", false},
    };
    if (!fs::exists(corpus_dir / "blitz3d")) GTEST_SKIP() << "no corpus at " << corpus_dir;
    for (const test_case& c : cases) {
        SCOPED_TRACE(c.model);
        const viewer_run_result r = run({"--png", "thumb.png", "--size", "200x150", (corpus_dir / c.model).string()});
        ASSERT_EQ(r.status, 0) << r.err;
        png_picture picture;
        ASSERT_TRUE(read_png((folder_ / "thumb.png").string(), &picture));
        ASSERT_EQ(picture.width, 200);
        ASSERT_EQ(picture.height, 150);
        const picture_coverage seen = coverage_of(picture);
        ASSERT_GT(seen.pixels, 0);
        EXPECT_NEAR((seen.left + seen.right) / 2.0, 100.0, 20.0);
        EXPECT_NEAR((seen.top + seen.bottom) / 2.0, 75.0, 15.0);
        EXPECT_GT(std::max(seen.right - seen.left, seen.bottom - seen.top), 150 / 4);
        if (!c.textured) continue;
        fs::create_directories(folder_ / "bare");
        fs::copy_file(corpus_dir / c.model, folder_ / "bare/model.x", fs::copy_options::overwrite_existing);
        const viewer_run_result bare = run({"--png", "bare.png", "--size", "200x150", "bare/model.x"});
        ASSERT_EQ(bare.status, 0) << bare.err;
        EXPECT_NE(bare.err.find("not found; its subsets are drawn untextured"), std::string::npos) << bare.err;
        png_picture untextured;
        ASSERT_TRUE(read_png((folder_ / "bare.png").string(), &untextured));
        EXPECT_GT(seen.chroma_buckets, 2 * coverage_of(untextured).chroma_buckets);
    }
}

// Exporters write absolute Windows paths; the texture beside the model in textures/ (another
// case) is used, and stderr says so in one line.
TEST_F(XmeshViewTest, AbsoluteWindowsTextureNameFallsBackToTexturesFolder) {
    fs::create_directories(folder_ / "ship/textures");
    std::ofstream(folder_ / "ship/ship.x") << textured_square("C:\\\\work\\\\skins\\\\Hull.BMP");
    write_checker_bmp(folder_ / "ship/textures/hull.bmp");
    const viewer_run_result r = run({"--png", "ship.png", "--yaw", "0", "--pitch", "0", "ship/ship.x"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line_count(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("ship/textures/hull.bmp"), std::string::npos) << r.err;
    png_picture picture;
    ASSERT_TRUE(read_png((folder_ / "ship.png").string(), &picture));
    long red = 0, blue = 0;
    count_red_blue(picture, &red, &blue);
    EXPECT_GT(red, 2000);
    EXPECT_GT(blue, 2000);
}

// A vertex that no triangle uses (here far away) does not take part in the framing: the square
// still fills most of the picture, centred.
TEST_F(XmeshViewTest, UnusedVerticesDoNotShrinkThePicture) {
    std::ofstream(folder_ / "stray.x") << "xof 0303txt 0032\n"
                                          "Mesh square {\n"
                                          " 5; -1;-1;0;, -1;1;0;, 1;1;0;, 1;-1;0;, 1e6;1e6;1e6;;\n"
                                          " 2; 3;0,1,2;, 3;0,2,3;;\n"
                                          "}\n";
    const viewer_run_result r =
        run({"--png", "stray.png", "--size", "100x100", "--yaw", "0", "--pitch", "0", "stray.x"});
    ASSERT_EQ(r.status, 0) << r.err;
    png_picture picture;
    ASSERT_TRUE(read_png((folder_ / "stray.png").string(), &picture));
    const picture_coverage seen = coverage_of(picture);
    EXPECT_GT(seen.right - seen.left, 70);
    EXPECT_NEAR((seen.left + seen.right) / 2.0, 50.0, 3.0);
}

// A model that fails leaves no picture (nor a temporary file) and a non-zero status; with
// --png-dir the good model is still written.
TEST_F(XmeshViewTest, BrokenModelsLeaveNoPicture) {
    std::ofstream(folder_ / "good.x") << textured_square("none.bmp");
    std::ofstream(folder_ / "broken.x") << "xof 0303txt 0032 Mesh { 3; 0;0;0;;";
    fs::create_directories(folder_ / "out");

    const viewer_run_result single = run({"--png", "out/broken.png", "broken.x"});
    EXPECT_EQ(single.status, 1);
    EXPECT_EQ(line_count(single.err), 1) << single.err;
    EXPECT_EQ(single.err.rfind("xmesh-view: broken.x: ", 0), 0u) << single.err;
    EXPECT_TRUE(fs::is_empty(folder_ / "out"));

    const viewer_run_result many = run({"--png-dir", "out", "good.x", "broken.x", "missing.x"});
    EXPECT_EQ(many.status, 1);
    EXPECT_TRUE(fs::exists(folder_ / "out/good.png"));
    EXPECT_FALSE(fs::exists(folder_ / "out/broken.png"));
    EXPECT_FALSE(fs::exists(folder_ / "out/missing.png"));
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_ / "out")) ++files;
    EXPECT_EQ(files, 1u);

    const viewer_run_result unwritable = run({"--png", "no/such/folder/x.png", "good.x"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("no/such/folder/x.png"), std::string::npos) << unwritable.err;
}

TEST_F(XmeshViewTest, UsageErrorsAreOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--size", "0x10", "--png", "a.png", "m.x"},
        {"--size", "8193x16", "--png", "a.png", "m.x"},
        {"--size", "64", "--png", "a.png", "m.x"},
        {"--size", "-4x4", "--png", "a.png", "m.x"},
        {"--yaw", "nan", "--png", "a.png", "m.x"},
        {"--pitch", "91", "m.x"},
        {"--png", "a.png"},
        {"--png", "a.png", "m.x", "n.x"},
        {"--png", "a.png", "--png-dir", ".", "m.x"},
        {"--frobnicate", "m.x"},
        {"m.x", "--size"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const viewer_run_result r = run(arguments);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(line_count(r.err), 1) << r.err;
    }
}

}  // namespace
