// shell_loop_test.cpp - the main loop of a real program: it draws until told to stop, Escape and
// the close button each end it at the first quit message with code 0, and no frame follows.
#include <windows.h>

#include "program_run.h"

#include <gtest/gtest.h>

namespace {

struct loop_case {
    const char* what;
    int escape_from_present;  // -1: never
    int close_at_present;     // -1: never
    bool other_keys_held;     // Return and Space held from the first frame on
    int presents;             // frames drawn before the program ends
};

// A record that started as WM_QUIT would end the loop before the first frame; a loop that missed
// the quit would draw on while Escape is held.
const loop_case loop_cases[] = {
    {"Escape from frame 6", 6, -1, false, 6},        {"Escape held from the first frame", 1, -1, false, 1},
    {"close button after frame 4", -1, 4, false, 4}, {"close button and Escape together", 3, 3, false, 3},
    {"other keys do not stop it", 5, -1, true, 5},
};

TEST(ShellLoop, EndsAtTheFirstQuitWithCodeZero) {
    for (const loop_case& c : loop_cases) {
        program_script script;
        script.escape_from_present = c.escape_from_present;
        script.close_at_present = c.close_at_present;
        if (c.other_keys_held) {
            script.on_present = [](int, std::vector<double>&) {
                win_headless_set_key(VK_RETURN, true);
                win_headless_set_key(VK_SPACE, true);
            };
        }
        const program_result run = run_program(script);
        EXPECT_EQ(run.exit_code, 0) << c.what;
        EXPECT_EQ(run.presents, c.presents) << c.what;
        EXPECT_TRUE(run.message_boxes.empty()) << c.what;
    }
}

}  // namespace
