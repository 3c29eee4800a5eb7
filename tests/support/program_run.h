// program_run.h - runs a whole program (its WinMain) headless in a child process and reports what
// happened: exit code, frames presented, message boxes, the last frame, and values sampled after
// each present. A child process gives every run the program's globals fresh from start-up.
#pragma once

#include <windows.h>

#include "platform/win32/win_headless.h"

#include <functional>
#include <string>
#include <vector>

struct program_script {
    int escape_from_present = -1;   // hold Escape down from this present on (1 = after the first frame)
    int close_at_present = -1;      // click the close button after this present
    std::string program_path;       // what _get_pgmptr reports; empty: the test executable's own
    std::string working_directory;  // where the run starts; empty: the test's own
    // Runs in the child after each present (before the scripted input above); whatever it appends
    // to `samples` comes back in ProgramRun::samples.
    std::function<void(int present, std::vector<double>& samples)> on_present;
};

struct program_result {
    int exit_code = -1;  // -1: killed by a signal or timed out
    int presents = 0;
    std::vector<win_headless_message_box> message_boxes;  // owner is not carried across
    win_headless_frame last_frame;
    std::vector<double> samples;
    std::string final_directory;  // current directory when the program ended
};

// Runs WinMain headless in a forked child, at most `timeout_seconds`.
program_result run_program(const program_script& script, int timeout_seconds = 60);
