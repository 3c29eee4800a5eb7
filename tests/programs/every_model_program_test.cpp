// every_model_program_test.cpp - what holds for both model demos alike, compiled into each one's
// test with PROGRAM_NAME defined by the build.
#include "model_files.h"
#include "program_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EveryModelProgram, AMissingModelShowsTheMessageOverTheWindowAndExitsWithOne) {
    const std::string folder = make_test_folder(std::string(PROGRAM_NAME) + "_missing");
    const program_result run = run_program(model_demo_script(folder, PROGRAM_NAME, 5));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.presents, 0) << "no frame is drawn";
    ASSERT_EQ(run.message_boxes.size(), 1u);
    const win_headless_message_box& box = run.message_boxes[0];
    EXPECT_EQ(box.text_utf8, "B\u0142\u0105d \u0142adowania pliku .x!");
    EXPECT_EQ(box.caption_utf8, "Info");
    EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_TRUE(box.owner_visible) << "the window is already shown";
    EXPECT_EQ(run.final_directory, folder) << "the program looked in its own folder";
}

}  // namespace
