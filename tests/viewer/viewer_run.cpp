// viewer_run.cpp - running xmesh-view and measuring its pictures; see viewer_run.h.
#include "viewer_run.h"

#include <fcntl.h>
#include <stb/stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

viewer_run_result run_viewer(const std::string& folder, const std::vector<std::string>& arguments) {
    const std::string err_path = folder + "/.viewer-err.txt";
    std::vector<std::string> words = arguments;
    std::vector<char*> argv = {const_cast<char*>(XMESH_VIEW)};
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int err_fd = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err_fd < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::dup2(err_fd, 2);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("WIN32_STANDIN_BACKEND");
        ::execv(XMESH_VIEW, argv.data());
        ::_exit(127);
    }
    viewer_run_result run;
    int raw = 0;
    if (child > 0 && ::waitpid(child, &raw, 0) == child && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    run.err = read_file(err_path);
    ::unlink(err_path.c_str());
    return run;
}

bool read_picture(const std::string& path, png_picture* picture) {
    int width = 0, height = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (data == nullptr) return false;
    picture->width = width;
    picture->height = height;
    picture->pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < picture->pixels.size(); ++i) {
        picture->pixels[i] = (uint32_t(data[3 * i]) << 16) | (uint32_t(data[3 * i + 1]) << 8) | data[3 * i + 2];
    }
    stbi_image_free(data);
    return true;
}

picture_coverage coverage_of(const png_picture& picture) {
    picture_coverage c{picture.width, picture.height, -1, -1, 0, 0};
    const uint32_t background = picture.pixels.at(0);
    std::set<int> chromas;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            if (p == background) continue;
            c.left = std::min(c.left, x);
            c.right = std::max(c.right, x);
            c.top = std::min(c.top, y);
            c.bottom = std::max(c.bottom, y);
            ++c.pixels;
            const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff, sum = r + g + b;
            if (sum > 48) chromas.insert((16 * r / sum) * 32 + 16 * g / sum);
        }
    }
    c.chroma_buckets = static_cast<int>(chromas.size());
    return c;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int line_count(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }
