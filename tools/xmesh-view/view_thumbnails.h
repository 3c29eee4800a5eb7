// view_thumbnails.h - xmesh-view's headless mode: one frame of each model, written as a PNG.
#pragma once

#include "view_options.h"

constexpr int view_thumbnail_side = 256;  // width and height without --size

// Renders each file of `options` (mode png or png_folder) without any display and writes its
// PNG. A model that fails (not loaded, nothing to draw, PNG not written) is reported on stderr,
// leaves no PNG, and does not stop the others. Returns the exit status: 0 all written, 1 not.
int view_write_thumbnails(const view_options& options);

// The PNG a model goes to in `folder`: its file name with a ".x" ending (any case) replaced by
// ".png", or ".png" appended when it has no such ending.
std::string view_thumbnail_path(const std::string& folder, const std::string& model_path);
