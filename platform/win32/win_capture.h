// win_capture.h - headless frame capture for tests and CI, driven by the environment.
//
// WIN32_STANDIN_CAPTURE=FILE.png writes the frame of the WIN32_STANDIN_CAPTURE_AT-th present
// (default 1, counted over every frame handed to the window layer in the process, whatever the
// window or back end) as an RGB PNG, then posts WM_CLOSE to the program's main window (the first
// top-level window still alive), exactly as a click on its close button does. The PNG appears
// under its name complete or not at all: it is written to a temporary file in the same folder and
// renamed. A relative FILE is taken from the directory the process started in, whatever directory
// the program changes to. An empty WIN32_STANDIN_CAPTURE means no capture;
// WIN32_STANDIN_CAPTURE_AT is read only when a capture is asked for.
//
// Failures end the process at once with exit status 1 (std::exit, so the program's own cleanup
// after its message loop does not run): a WIN32_STANDIN_CAPTURE_AT that is not a positive integer
// at the first present ("PROGRAM: WIN32_STANDIN_CAPTURE_AT: ..."), and a PNG that cannot be
// written ("PROGRAM: capture FILE: REASON"), each as one line on stderr.
//
// Costs nothing per frame when capture is off (no allocation, no system call after the first
// present); a capture allocates once, for the PNG it writes.
#pragma once

#include <cstdint>

// Sees every frame handed to the window layer: pixels 0x00RRGGBB (top byte ignored), rows top to
// bottom, `pitch` pixels apart.
void win_capture_present(const uint32_t* pixels, int width, int height, int pitch);
