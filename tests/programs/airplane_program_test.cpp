// airplane_program_test.cpp - airplane-demo run whole and headless: its own model and texture,
// the load-failure message, models without textures or materials, per-subset textures.
#include "frame_image.h"
#include "model_files.h"
#include "model_scene.h"
#include "program_run.h"

#include <gtest/gtest.h>

#include <stb/stb_image_write.h>

#include <filesystem>

namespace {

const rgb_pixel background = {0, 40, 0};

program_script script_in(const std::string& folder, int frames) {
    return model_demo_script(folder, "airplane-demo", frames);
}

long model_pixels(const win_headless_frame& frame) { return count_pixels_other_than(frame, background); }

TEST(AirplaneProgram, DrawsItsOwnModelWithTheTextureFromItsFolder) {
    const std::string model = std::string(MODEL_DIR) + "/airplane 2.x";
    if (!std::filesystem::exists(model)) GTEST_SKIP() << "the generated model is missing: " << model;
    program_script script = script_in(MODEL_DIR, 30);
    script.working_directory.assign(
        1, '/');  // the root, not the model's folder (a plain "/" assignment trips GCC 12's -O3 -Wrestrict)
    script.on_present = [](int present, std::vector<double>& samples) {
        if (present != 1) return;
        int textured = 0;
        for (DWORD i = 0; i < subset_count; ++i) textured += subset_textures[i] != nullptr ? 1 : 0;
        samples.insert(samples.end(), {double(subset_count), double(textured)});
    };
    const program_result run = run_program(script);
    ASSERT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.message_boxes.empty());
    ASSERT_EQ(run.samples.size(), 2u);
    EXPECT_GE(run.samples[0], 4) << "subsets";
    EXPECT_GE(run.samples[1], 1) << "textured subsets";
    EXPECT_LT(run.samples[1], run.samples[0]) << "some subsets are untextured";
    EXPECT_GT(model_pixels(run.last_frame), 5000);
    EXPECT_TRUE(same_rgb(pixel_at(run.last_frame, 0, 0), background));
}

const char* const untextured_materials = R"(
    Material { 1.0; 0.5; 0.0; 1.0;; 16.0; 0.2; 0.2; 0.2;; 0.0; 0.0; 0.0;; }
    Material { 0.0; 0.5; 1.0; 1.0;; 16.0; 0.2; 0.2; 0.2;; 0.0; 0.0; 0.0;; }
)";

TEST(AirplaneProgram, AModelWithoutTexturesIsDrawnUntexturedWithoutMessage) {
    const std::string folder = make_test_folder("airplane_untextured");
    write_file(folder + "/airplane 2.x", two_quad_model(untextured_materials));
    program_script script = script_in(folder, 3);
    script.on_present = [](int present, std::vector<double>& samples) {
        if (present != 1) return;
        for (DWORD i = 0; i < subset_count; ++i) {
            const D3DMATERIAL9& m = subset_materials[i];
            samples.insert(samples.end(),
                           {double(subset_textures[i] == nullptr), m.Ambient.r - m.Diffuse.r, m.Ambient.g - m.Diffuse.g,
                            m.Ambient.b - m.Diffuse.b, m.Ambient.a - m.Diffuse.a});
        }
    };
    const program_result run = run_program(script);
    ASSERT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.message_boxes.empty());
    ASSERT_EQ(run.samples.size(), 10u);
    for (size_t i = 0; i < run.samples.size(); i += 5) {
        EXPECT_EQ(run.samples[i], 1.0) << "no texture";
        for (size_t k = 1; k < 5; ++k) EXPECT_EQ(run.samples[i + k], 0.0) << "ambient is the diffuse colour";
    }
    EXPECT_GT(model_pixels(run.last_frame), 1000);
}

TEST(AirplaneProgram, ZeroMaterialsLeaveOnlyTheBackground) {
    const std::string folder = make_test_folder("airplane_no_materials");
    write_file(folder + "/airplane 2.x", two_quad_model_without_materials());
    const program_result run = run_program(script_in(folder, 3));
    ASSERT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.message_boxes.empty());
    EXPECT_EQ(model_pixels(run.last_frame), 0);
}

// Subset 0 carries a pure red texture, subset 1 is white and untextured: subset 1 must show its
// own white material, not the red texture that subset 0 left bound.
TEST(AirplaneProgram, AnUntexturedSubsetDoesNotShowTheTextureBoundBeforeIt) {
    const std::string folder = make_test_folder("airplane_mixed");
    const unsigned char red[4 * 3] = {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
    ASSERT_NE(stbi_write_bmp((folder + "/red.bmp").c_str(), 2, 2, 3, red), 0);
    write_file(folder + "/airplane 2.x", two_quad_model(R"(
    Material { 1.0; 1.0; 1.0; 1.0;; 16.0; 0.0; 0.0; 0.0;; 0.0; 0.0; 0.0;; TextureFilename { "RED.BMP"; } }
    Material { 1.0; 1.0; 1.0; 1.0;; 16.0; 0.0; 0.0; 0.0;; 0.0; 0.0; 0.0;; }
)"));
    const program_result run = run_program(script_in(folder, 5));
    ASSERT_EQ(run.exit_code, 0);
    long red_pixels = 0, grey_pixels = 0;
    for (int y = 0; y < run.last_frame.height; ++y) {
        for (int x = 0; x < run.last_frame.width; ++x) {
            const rgb_pixel p = pixel_at(run.last_frame, x, y);
            if (p.r > 100 && p.g < 30 && p.b < 30) ++red_pixels;
            if (p.r > 100 && std::abs(p.r - p.g) < 8 && std::abs(p.r - p.b) < 8) ++grey_pixels;
        }
    }
    EXPECT_GT(red_pixels, 1000) << "the textured quad";
    EXPECT_GT(grey_pixels, 1000) << "the untextured quad in its own white";
}

}  // namespace
