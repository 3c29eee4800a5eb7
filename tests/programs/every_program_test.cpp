// every_program_test.cpp - what holds for each demo alike, compiled into each program's test
// with PROGRAM_NAME and MODEL_FILE ("" for shapes-demo) defined by the build.
#include "counting_allocator.h"
#include "model_files.h"
#include "program_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const std::string model_file = MODEL_FILE;

// A run of the program from the build's own folder (where the model demos find their files),
// ending with Escape after `frames` frames.
program_script script_for(int frames) {
    if (model_file.empty()) {
        program_script script;
        script.escape_from_present = frames;
        return script;
    }
    return model_demo_script(MODEL_DIR, PROGRAM_NAME, frames);
}

TEST(EveryProgram, AllocatesNothingPerFrame) {
    if (!model_file.empty() && !std::filesystem::exists(std::string(MODEL_DIR) + "/" + model_file)) {
        GTEST_SKIP() << "the generated model is missing in " << MODEL_DIR;
    }
    program_script script = script_for(200);
    script.on_present = [](int present, std::vector<double>& samples) {
        if (present == 1) samples.reserve(8);
        if (present == 5 || present == 200) samples.push_back(double(allocations_counted()));
    };
    const program_result run = run_program(script);
    ASSERT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.samples.size(), 2u);
    EXPECT_EQ(run.samples[1], run.samples[0]) << "allocations between frame 5 and frame 200";
}

}  // namespace
