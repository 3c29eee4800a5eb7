// png_compare.cpp - png-compare [--tolerance N] ACTUAL.png EXPECTED.png: whether two pictures have
// the same size and the same RGB pixels (each channel within N levels, default 0). Exit status 0
// equal, 1 different (the first difference and the count of differing pixels on stderr), 2 a file
// that cannot be read or bad usage.
#include <stb/stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct picture {
    int width = 0;
    int height = 0;
    std::unique_ptr<unsigned char, decltype(&stbi_image_free)> rgb{nullptr, stbi_image_free};
};

bool load(const char* path, picture* out) {
    int channels = 0;
    out->rgb.reset(stbi_load(path, &out->width, &out->height, &channels, 3));
    if (out->rgb == nullptr) std::fprintf(stderr, "png-compare: %s: %s\n", path, stbi_failure_reason());
    return out->rgb != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    int tolerance = 0;
    if (argc == 5 && std::strcmp(argv[1], "--tolerance") == 0) {
        char* end = nullptr;
        const long value = std::strtol(argv[2], &end, 10);
        if (*argv[2] == '\0' || *end != '\0' || value < 0 || value > 255) {
            std::fprintf(stderr, "png-compare: --tolerance wants a number of levels from 0 to 255\n");
            return 2;
        }
        tolerance = int(value);
        argv += 2, argc -= 2;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: png-compare [--tolerance N] ACTUAL.png EXPECTED.png\n");
        return 2;
    }
    picture actual;
    picture expected;
    if (!load(argv[1], &actual) || !load(argv[2], &expected)) return 2;
    if (actual.width != expected.width || actual.height != expected.height) {
        std::fprintf(stderr, "png-compare: %dx%d, expected %dx%d\n", actual.width, actual.height, expected.width,
                     expected.height);
        return 1;
    }
    long differing = 0;
    for (int i = 0, n = actual.width * actual.height; i < n; ++i) {
        const unsigned char* a = actual.rgb.get() + 3 * i;
        const unsigned char* e = expected.rgb.get() + 3 * i;
        const auto near = [tolerance](unsigned char x, unsigned char y) {
            return std::abs(int(x) - int(y)) <= tolerance;
        };
        if (near(a[0], e[0]) && near(a[1], e[1]) && near(a[2], e[2])) continue;
        if (differing++ == 0) {
            std::fprintf(stderr, "png-compare: first difference at (%d, %d): %02x%02x%02x, expected %02x%02x%02x\n",
                         i % actual.width, i / actual.width, a[0], a[1], a[2], e[0], e[1], e[2]);
        }
    }
    if (differing != 0) std::fprintf(stderr, "png-compare: %ld pixels differ\n", differing);
    return differing == 0 ? 0 : 1;
}
