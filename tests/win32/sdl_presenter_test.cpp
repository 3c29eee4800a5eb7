// sdl_presenter_test.cpp - frames shown through SDL's window surface (the dummy video driver, no
// display needed): copied exactly whatever the width, alignment and pitch, stretched bilinearly
// over a window of another size, and the background fill.
#include "platform/win32/win_sdl.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class SdlPresenterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    void TearDown() override { close(); }

    void close() {
        presenter_.reset();
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        window_ = nullptr;
    }

    win_sdl_presenter& open(int width, int height) {
        window_ = SDL_CreateWindow("presenter test", 0, 0, width, height, SDL_WINDOW_HIDDEN);
        EXPECT_NE(window_, nullptr) << SDL_GetError();
        presenter_ = std::make_unique<win_sdl_presenter>(window_);
        return *presenter_;
    }

    // The window's pixel at (x, y) as 0x00RRGGBB.
    uint32_t shown(int x, int y) const {
        SDL_Surface* surface = SDL_GetWindowSurface(window_);
        const auto* row = static_cast<const uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(y) * surface->pitch;
        Uint8 r = 0, g = 0, b = 0;
        SDL_GetRGB(reinterpret_cast<const uint32_t*>(row)[x], surface->format, &r, &g, &b);
        return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
    }

    SDL_Window* window_ = nullptr;
    std::unique_ptr<win_sdl_presenter> presenter_;
};

TEST_F(SdlPresenterTest, CopiesEveryPixelWhateverTheWidthAlignmentAndPitch) {
    struct shape {
        int width, height, pitch, offset;  // offset: pixels skipped before the frame, to misalign it
    };
    const shape shapes[] = {{624, 441, 624, 0}, {1, 1, 1, 0}, {3, 2, 7, 1}, {17, 5, 17, 3}, {33, 3, 40, 2}};
    for (const shape& s : shapes) {
        SCOPED_TRACE(testing::Message() << s.width << "x" << s.height << " pitch " << s.pitch << " +" << s.offset);
        std::vector<uint32_t> memory(static_cast<size_t>(s.offset + s.pitch * s.height), 0xDEADBEEFu);
        uint32_t* frame = memory.data() + s.offset;
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) frame[y * s.pitch + x] = static_cast<uint32_t>(x << 12 | y) ^ 0x5A0000u;
        }
        win_sdl_presenter& presenter = open(s.width, s.height);
        ASSERT_TRUE(presenter.show(frame, s.width, s.height, s.pitch));
        int wrong = 0;
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) wrong += shown(x, y) != (frame[y * s.pitch + x] & 0xFFFFFFu);
        }
        EXPECT_EQ(wrong, 0);
        close();
    }
}

TEST_F(SdlPresenterTest, StretchesBilinearlyOverAWindowOfAnotherSizeAndFillsTheBackground) {
    win_sdl_presenter& presenter = open(16, 4);
    const uint32_t black_white[] = {0x000000, 0xFFFFFF};
    ASSERT_TRUE(presenter.show(black_white, 2, 1, 2));
    EXPECT_EQ(shown(0, 0), 0x000000u);
    EXPECT_EQ(shown(15, 3), 0xFFFFFFu);
    const uint32_t middle = shown(8, 2) & 0xFF;
    EXPECT_GT(middle, 0x20u) << "blended, not the nearest source pixel";
    EXPECT_LT(middle, 0xE0u);

    ASSERT_TRUE(presenter.fill(240, 240, 240));
    EXPECT_EQ(shown(0, 0), 0xF0F0F0u);
    EXPECT_EQ(shown(15, 3), 0xF0F0F0u);
}

}  // namespace
