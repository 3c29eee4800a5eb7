// viewer_run.cpp - running xmesh-view and measuring its pictures; see viewer_run.h.
#include "viewer_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

viewer_run_result run_viewer(const std::string& folder, const std::vector<std::string>& arguments) {
    return run_tool(XMESH_VIEW, arguments, folder, ".viewer-out.txt", true);
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

int line_count(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }
