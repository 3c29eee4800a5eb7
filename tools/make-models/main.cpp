// main.cpp - make-models <output-folder>: writes "airplane 2.x" (text), its skin texture and
// "spaceship 2.x" (binary) into the folder.
#include "airplane_layout.h"
#include "models.h"
#include "xfile_writers.h"

#include <stb/stb_image_write.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool write_bytes(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

bool write_skin(const std::string& path) {
    using models::airplane_layout::skin_size;
    const std::vector<uint8_t> rgb = models::paint_airplane_skin();
    return stbi_write_png(path.c_str(), skin_size, skin_size, 3, rgb.data(), skin_size * 3) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-models <output-folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";

    const std::string airplane = models::write_x_text(models::build_airplane(), "Propeller aeroplane, nose along +x.");
    const std::vector<uint8_t> spaceship = models::write_x_binary(models::build_spaceship());
    const struct {
        std::string name;
        bool written;
    } results[] = {
        {"airplane 2.x", write_bytes(folder + "airplane 2.x", airplane.data(), airplane.size())},
        {models::airplane_layout::skin_file, write_skin(folder + models::airplane_layout::skin_file)},
        {"spaceship 2.x", write_bytes(folder + "spaceship 2.x", spaceship.data(), spaceship.size())},
    };
    for (const auto& result : results) {
        if (!result.written) {
            std::fprintf(stderr, "make-models: cannot write %s%s\n", folder.c_str(), result.name.c_str());
            return 1;
        }
    }
    return 0;
}
