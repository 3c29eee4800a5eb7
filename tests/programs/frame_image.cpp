// frame_image.cpp - PNG reading and writing for test frames (stb_image / stb_image_write).
#include "frame_image.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cstdlib>
#include <vector>

bool write_png(const std::string& path, const win_headless_frame& frame) {
    std::vector<unsigned char> rgb(frame.pixels.size() * 3);
    for (size_t i = 0; i < frame.pixels.size(); ++i) {
        rgb[3 * i + 0] = static_cast<unsigned char>(frame.pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(frame.pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(frame.pixels[i]);
    }
    return stbi_write_png(path.c_str(), frame.width, frame.height, 3, rgb.data(), frame.width * 3) != 0;
}

bool read_png(const std::string& path, win_headless_frame* frame) {
    int width = 0, height = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (data == nullptr) return false;
    frame->width = width;
    frame->height = height;
    frame->pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < frame->pixels.size(); ++i) {
        frame->pixels[i] = (uint32_t(data[3 * i]) << 16) | (uint32_t(data[3 * i + 1]) << 8) | data[3 * i + 2];
    }
    stbi_image_free(data);
    return true;
}

long count_differing_pixels(const win_headless_frame& a, const win_headless_frame& b, int tolerance) {
    if (a.width != b.width || a.height != b.height) return -1;
    long differing = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            if (!same_rgb(pixel_at(a, x, y), pixel_at(b, x, y), tolerance)) ++differing;
        }
    }
    return differing;
}

long count_pixels_other_than(const win_headless_frame& frame, rgb_pixel colour) {
    long count = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) count += same_rgb(pixel_at(frame, x, y), colour) ? 0 : 1;
    }
    return count;
}
