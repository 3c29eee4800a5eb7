// viewer_run.h - runs xmesh-view without a display and reads the pictures it writes.
#pragma once

#include "frame_image.h"
#include "tool_run.h"

#include <cstdint>
#include <string>
#include <vector>

using viewer_run_result = tool_result;

// Runs xmesh-view with `arguments` in `folder`, with DISPLAY unset.
viewer_run_result run_viewer(const std::string& folder, const std::vector<std::string>& arguments);

// A PNG read back (read_png of frame_image.h).
using png_picture = win_headless_frame;

// The pixels that differ from the picture's corner (the background).
struct picture_coverage {
    int left, top, right, bottom;  // bounding box, inclusive; right < left when empty
    long pixels;
    int chroma_buckets;  // distinct (r, g) : (r + g + b) ratios, in steps of 1/16
};
picture_coverage coverage_of(const png_picture& picture);

// Number of lines in `text`.
int line_count(const std::string& text);
