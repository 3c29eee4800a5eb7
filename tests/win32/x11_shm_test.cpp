// x11_shm_test.cpp - pictures put through MIT-SHM images show exactly in an X window, across size
// changes and back-to-back puts, and what cannot be served is refused. Needs an X server: ctest
// runs it on a private Xvfb (with_xvfb.sh); without DISPLAY it skips.
#include "platform/win32/win_shared_frame.h"
#include "platform/win32/win_x11_shm.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

// After gtest, whose own names (None) Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

const int window_width = 64;
const int window_height = 48;

uint32_t pattern(int x, int y, int round) {
    return static_cast<uint32_t>(x * 131 + y * 7919 + round * 0x10101) & 0xFFFFFFu;
}

class X11ShmTest : public ::testing::Test {
protected:
    void SetUp() override {
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) GTEST_SKIP() << "no X display; ctest runs this test on Xvfb";
        window_ =
            XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, window_width, window_height, 0, 0, 0);
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (display_ == nullptr) return;
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }

    // Pixels of the image's size in the window's corner that differ from `round`'s pattern.
    int differences(const win_x11_image& image, int round) {
        XImage* shown = XGetImage(display_, window_, 0, 0, static_cast<unsigned>(image.width),
                                  static_cast<unsigned>(image.height), AllPlanes, ZPixmap);
        if (shown == nullptr) return -1;
        int wrong = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) wrong += (XGetPixel(shown, x, y) & 0xFFFFFF) != pattern(x, y, round);
        }
        XDestroyImage(shown);
        return wrong;
    }

    // The put travels on the presenter's own connection: waits, within a generous bound, until
    // the server shows it.
    bool shows(const win_x11_image& image, int round) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (differences(image, round) != 0) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            usleep(10000);
        }
        return true;
    }

    Display* display_ = nullptr;
    Window window_ = 0;
};

TEST_F(X11ShmTest, PicturesShowExactlyAcrossSizeChangesAndBackToBackPuts) {
    win_x11_shm_ptr shm = win_x11_shm_open(DisplayString(display_), window_);
    ASSERT_NE(shm, nullptr) << "Xvfb offers MIT-SHM and a 24-bit visual";
    const int sizes[][2] = {{window_width, window_height}, {window_width, window_height}, {1, 1}, {33, 7}};
    int round = 0;
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1]);
        const win_x11_image* image = win_x11_shm_image(*shm, size[0], size[1]);
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->width, size[0]);
        ASSERT_EQ(image->height, size[1]);
        ++round;
        for (int y = 0; y < image->height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(image->pixels + static_cast<ptrdiff_t>(y) * image->pitch);
            for (int x = 0; x < image->width; ++x) row[x] = pattern(x, y, round);
        }
        ASSERT_TRUE(win_x11_shm_put(*shm));
        EXPECT_TRUE(shows(*image, round));
    }
}

// Frames put from the caller's own shared memory: the same block rewritten after each put, a
// second block of another size, and a block put again after it was detached.
TEST_F(X11ShmTest, SharedFramesShowExactlyWhenRewrittenAfterEachPut) {
    win_x11_shm_ptr shm = win_x11_shm_open(DisplayString(display_), window_);
    ASSERT_NE(shm, nullptr);
    const size_t full = size_t{window_width} * window_height;
    uint32_t* const blocks[] = {win_shared_frame_alloc(full), win_shared_frame_alloc(33 * 7)};
    ASSERT_NE(blocks[0], nullptr);
    ASSERT_NE(blocks[1], nullptr);
    struct step {
        int block, width, height;
        bool forget_first;
    };
    const step steps[] = {{0, window_width, window_height, false},
                          {0, window_width, window_height, false},
                          {1, 33, 7, false},
                          {0, window_width, window_height, true}};
    int round = 0;
    for (const step& s : steps) {
        SCOPED_TRACE(testing::Message() << "round " << round + 1);
        uint32_t* pixels = blocks[s.block];
        if (s.forget_first) win_x11_shm_forget(pixels);
        ++round;
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) pixels[y * s.width + x] = pattern(x, y, round);
        }
        const size_t bytes = size_t(s.width) * size_t(s.height) * sizeof(uint32_t);
        ASSERT_TRUE(win_x11_shm_put_frame(*shm, pixels, win_shared_frame_segment(pixels, bytes), s.width, s.height));
        win_x11_shm_wait(*shm);
        EXPECT_TRUE(shows(win_x11_image{nullptr, s.width, s.height, 0}, round));
    }
    for (uint32_t* pixels : blocks) {
        win_x11_shm_forget(pixels);
        win_shared_frame_free(pixels);
    }
}

TEST_F(X11ShmTest, RefusesRemoteDisplaysAndImpossibleSizes) {
    EXPECT_EQ(win_x11_shm_open("localhost:0", window_), nullptr) << "shared memory does not reach another host";
    EXPECT_EQ(win_x11_shm_open(nullptr, window_), nullptr);
    win_x11_shm_ptr shm = win_x11_shm_open(DisplayString(display_), window_);
    ASSERT_NE(shm, nullptr);
    const int sizes[][2] = {{0, 1}, {1, 0}, {-1, 5}, {40000, 1}, {1, 40000}};
    for (const auto& size : sizes) EXPECT_EQ(win_x11_shm_image(*shm, size[0], size[1]), nullptr);
    EXPECT_FALSE(win_x11_shm_put(*shm)) << "nothing to put yet";

    uint32_t* pixels = win_shared_frame_alloc(16);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(win_shared_frame_segment(pixels, 17 * sizeof(uint32_t)), -1) << "larger than the block";
    EXPECT_EQ(win_shared_frame_segment(pixels + 1, sizeof(uint32_t)), -1) << "not a block's start";
    for (const auto& size : sizes) {
        EXPECT_FALSE(win_x11_shm_put_frame(*shm, pixels, win_shared_frame_segment(pixels, 4), size[0], size[1]));
    }
    EXPECT_FALSE(win_x11_shm_put_frame(*shm, pixels, -1, 4, 4)) << "no such segment: the server refuses it";
    EXPECT_FALSE(win_x11_shm_put_frame(*shm, pixels, win_shared_frame_segment(pixels, 64), 4, 4))
        << "refused pixels are not offered again";
    win_x11_shm_forget(pixels);
    EXPECT_TRUE(win_x11_shm_put_frame(*shm, pixels, win_shared_frame_segment(pixels, 64), 4, 4))
        << "until their owner retires them";
    win_x11_shm_forget(pixels);
    win_shared_frame_free(pixels);
}

}  // namespace
