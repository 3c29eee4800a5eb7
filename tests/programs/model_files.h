// model_files.h - folders and small .x files for running the model demos on models of a test's own.
#pragma once

#include "program_run.h"

#include <string>

// A fresh, empty folder under the test's temporary directory.
std::string make_test_folder(const std::string& name);
void write_file(const std::string& path, const std::string& contents);
// The Win32 form of a program living in `folder` ('\' separators), as _get_pgmptr reports it.
std::string program_path_in(const std::string& folder, const std::string& program);

// A run of `program` as if it lived in `folder`, ending with Escape after `frames` frames.
program_script model_demo_script(const std::string& folder, const std::string& program, int frames);

// A text .x file with two quads facing the camera: the left one (screen) with material 0, the
// right one with material 1. `materials` is the text of the two Material objects.
std::string two_quad_model(const std::string& materials);
// The same geometry without any material list.
std::string two_quad_model_without_materials();
