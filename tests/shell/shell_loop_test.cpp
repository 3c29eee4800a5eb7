// shell_loop_test.cpp - the main loop of a real program: it draws until told to stop, Escape and
// the close button each end it at the first quit message with code 0, and no frame follows.
#include <windows.h>

#include "program_run.h"

#include <gtest/gtest.h>

namespace {

TEST(ShellLoop, RunsFromAClearedRecordUntilEscapeAndEndsAtTheFirstQuit) {
    ProgramScript script;
    script.escape_from_present = 6;
    const ProgramRun run = run_program(script);
    EXPECT_EQ(run.exit_code, 0);
    // A record that started as WM_QUIT would end the loop before the first frame; a loop that
    // missed the quit would draw on while Escape is held.
    EXPECT_EQ(run.presents, 6);
    EXPECT_TRUE(run.message_boxes.empty());
}

TEST(ShellLoop, EscapeHeldFromTheFirstFrameEndsAfterIt) {
    ProgramScript script;
    script.escape_from_present = 1;
    const ProgramRun run = run_program(script);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.presents, 1);
}

TEST(ShellLoop, CloseButtonEndsTheProgramWithZeroAfterTheCurrentPass) {
    ProgramScript script;
    script.close_at_present = 4;
    const ProgramRun run = run_program(script);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.presents, 4);
}

TEST(ShellLoop, CloseAndEscapeTogetherStillEndAtTheFirstQuit) {
    ProgramScript script;
    script.close_at_present = 3;
    script.escape_from_present = 3;
    const ProgramRun run = run_program(script);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.presents, 3);
}

TEST(ShellLoop, KeysOtherThanEscapeDoNotStopTheProgram) {
    ProgramScript script;
    script.on_present = [](int present, std::vector<double>&) {
        win_headless_set_key(VK_RETURN, true);
        win_headless_set_key(VK_SPACE, true);
        if (present == 5) win_headless_set_key(VK_ESCAPE, true);
    };
    const ProgramRun run = run_program(script);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.presents, 5);
}

}  // namespace
