// view_window.h - xmesh-view's interactive mode: one model in a window.
#pragma once

#include "view_options.h"

constexpr int view_window_width = 800;  // client area without --size
constexpr int view_window_height = 600;

// Shows the one file of `options` until the user closes the window or presses Escape.
// Left-button drag orbits, the wheel zooms, R resets the view. Returns the exit status: 0 after
// a normal end, 1 when the model cannot be loaded or no window or device can be made (reported
// on stderr).
int view_run_window(const view_options& options);
