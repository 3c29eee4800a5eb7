// viewer_run.h - runs xmesh-view without a display and reads the pictures it writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct viewer_run_result {
    int status = -1;  // exit status; -1 when the program did not exit normally
    std::string err;  // standard error
};

// Runs xmesh-view with `arguments` in `folder`, with DISPLAY unset.
viewer_run_result run_viewer(const std::string& folder, const std::vector<std::string>& arguments);

struct png_picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB
};

// False when the file is not a readable PNG.
bool read_picture(const std::string& path, png_picture* picture);

// The pixels that differ from the picture's corner (the background).
struct picture_coverage {
    int left, top, right, bottom;  // bounding box, inclusive; right < left when empty
    long pixels;
    int chroma_buckets;  // distinct (r, g) : (r + g + b) ratios, in steps of 1/16
};
picture_coverage coverage_of(const png_picture& picture);

std::string read_file(const std::string& path);
// Number of lines in `text`.
int line_count(const std::string& text);
