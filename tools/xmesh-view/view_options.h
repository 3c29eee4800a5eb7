// view_options.h - the command line of xmesh-view: what to show or render, and how.
#pragma once

#include <string>
#include <vector>

enum class view_mode {
    window,     // one model in a window
    png,        // one model to one PNG
    png_folder  // each model to <folder>/<name>.png
};

struct view_options {
    view_mode mode = view_mode::window;
    std::string output;  // the PNG (png) or the folder (png_folder)
    int width = 0;       // 0: the mode's default size
    int height = 0;
    float yaw_degrees = 30.0f;    // the camera's turn around the model's vertical, to the right
    float pitch_degrees = 20.0f;  // the camera's elevation above the model's centre
    bool help = false;
    bool version = false;
    std::vector<std::string> files;
};

constexpr int view_max_side = 8192;

// Reads argv into *options; false with *problem set (one line) on a usage error.
bool view_parse_options(int argc, char** argv, view_options* options, std::string* problem);
