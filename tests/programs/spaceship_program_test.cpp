// spaceship_program_test.cpp - spaceship-demo run whole and headless: its own model, no textures
// ever bound, the load-failure message, and no allocation per frame.
#include "frame_image.h"
#include "model_files.h"
#include "model_scene.h"
#include "program_run.h"
#include "recording_device.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const rgb_pixel background = {0, 0, 30};

program_script script_in(const std::string& folder, int frames) {
    return model_demo_script(folder, "spaceship-demo", frames);
}

bool model_built() { return std::filesystem::exists(std::string(MODEL_DIR) + "/spaceship 2.x"); }

TEST(SpaceshipProgram, DrawsItsModelWithMaterialsOnlyAndNeverBindsATexture) {
    if (!model_built()) GTEST_SKIP() << "the generated model is missing in " << MODEL_DIR;
    program_script script = script_in(MODEL_DIR, 20);
    script.working_directory.assign(1, '/');  // not = "/": GCC 12's -O3 -Wrestrict misreads that
    script.on_present = [](int present, std::vector<double>& samples) {
        static recording_device* recorder = nullptr;
        if (present == 1) {
            recorder = new recording_device(device);
            device = recorder;
            samples.push_back(double(subset_count));
        }
        if (present == 19) {
            long textures = 0, materials = 0;
            for (const device_call& call : recorder->calls) {
                textures += call.kind == device_call::texture ? 1 : 0;
                materials += call.kind == device_call::material ? 1 : 0;
            }
            samples.insert(samples.end(), {double(textures), double(materials)});
        }
    };
    const program_result run = run_program(script);
    ASSERT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.message_boxes.empty());
    ASSERT_EQ(run.samples.size(), 3u);
    const double subsets = run.samples[0];
    EXPECT_GE(subsets, 4);
    EXPECT_EQ(run.samples[1], 0) << "SetTexture calls";
    EXPECT_EQ(run.samples[2], 18 * (subsets + 1)) << "apply_material, then one material per subset, per frame";
    EXPECT_GT(count_pixels_other_than(run.last_frame, background), 3000);
    EXPECT_TRUE(same_rgb(pixel_at(run.last_frame, 0, 0), background));
}

}  // namespace
