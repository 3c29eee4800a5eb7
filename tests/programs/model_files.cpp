// model_files.cpp - folders and small .x files for the model demo tests.
#include "model_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

std::string make_test_folder(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

void write_file(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

std::string program_path_in(const std::string& folder, const std::string& program) {
    std::string path = folder + "/" + program;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

program_script model_demo_script(const std::string& folder, const std::string& program, int frames) {
    program_script script;
    script.program_path = program_path_in(folder, program);
    script.escape_from_present = frames;
    return script;
}

namespace {

// Two 2.5 x 2.5 quads in the plane z = 0, at x in [0.5, 3] and [-3, -0.5], facing the camera (+z
// side). The camera looks from +z, so world +x is on the screen's left: material 0 on the left.
const char* const quad_geometry = R"(
Mesh quads {
  8;
  0.5; -1.25; 0.0;, 3.0; -1.25; 0.0;, 3.0; 1.25; 0.0;, 0.5; 1.25; 0.0;,
  -3.0; -1.25; 0.0;, -0.5; -1.25; 0.0;, -0.5; 1.25; 0.0;, -3.0; 1.25; 0.0;;
  2;
  4; 0, 1, 2, 3;,
  4; 4, 5, 6, 7;;
  MeshNormals {
    1;
    0.0; 0.0; 1.0;;
    2;
    4; 0, 0, 0, 0;,
    4; 0, 0, 0, 0;;
  }
  MeshTextureCoords {
    8;
    0.0; 1.0;, 1.0; 1.0;, 1.0; 0.0;, 0.0; 0.0;,
    0.0; 1.0;, 1.0; 1.0;, 1.0; 0.0;, 0.0; 0.0;;
  }
)";

}  // namespace

std::string two_quad_model(const std::string& materials) {
    return std::string("xof 0303txt 0032\n") + quad_geometry +
           "  MeshMaterialList {\n    2;\n    2;\n    0,\n    1;\n" + materials + "  }\n}\n";
}

std::string two_quad_model_without_materials() { return std::string("xof 0303txt 0032\n") + quad_geometry + "}\n"; }
