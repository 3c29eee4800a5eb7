// shapes_program_test.cpp - shapes-demo run whole and headless: the frame cycle, the scene's
// placement and colours, the reference pictures, and no allocation per frame.
#include "frame_image.h"
#include "program_run.h"
#include "recording_device.h"
#include "shapes_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

const D3DCOLOR background = 0x505050;

// Runs shapes-demo for `frames` frames, then presses Escape.
program_result run_frames(int frames, program_script script = {}) {
    script.escape_from_present = frames;
    return run_program(script);
}

// Replaces the device with a recording one after the first frame; after frame `frame` copies the
// calls of that frame into the samples as (kind, what, value) triples.
program_script recording_script(int frame) {
    program_script script;
    script.on_present = [frame](int present, std::vector<double>& samples) {
        static recording_device* recorder = nullptr;
        if (present == frame - 1) {
            recorder = new recording_device(device);
            device = recorder;
        }
        if (present == frame) {
            for (const device_call& call : recorder->calls) {
                samples.insert(samples.end(), {double(call.kind), double(call.what), double(call.value)});
            }
        }
    };
    return script;
}

TEST(ShapesFrameCycle, SpinAdvancesInSinglePrecisionSteps) {
    float angle = 0.0f;
    for (int frame = 1; frame <= 1000; ++frame) {
        angle = advance_spin(angle);
        if (frame == 1) {
            EXPECT_EQ(angle, 0.015f);
        }
        if (frame == 419) {
            EXPECT_EQ(angle, 6.2849917f) << "a little more than one turn";
        }
    }
    EXPECT_EQ(angle, 15.000136f) << "1,000 rounded additions, not 15.0";
}

TEST(ShapesFrameCycle, SpinWrapsAfterElevenTurnsWithoutBreakingThePicture) {
    const double period = 22.0 * 3.14159265358979323846;
    float angle = 0.0f;
    float plain = 0.0f;  // plain single-precision additions, never wrapped
    int frame = 0;
    while (true) {
        ++frame;
        angle = advance_spin(angle);
        plain += 0.015f;
        if (angle != plain) break;
    }
    EXPECT_EQ(frame, 4608) << "the first 4,607 frames keep the unwrapped values";
    EXPECT_NEAR(double(angle), double(plain) - period, 1e-5);
    // The spin and the tilt (spin / 11) are continuous across the wrap.
    EXPECT_NEAR(std::sin(angle), std::sin(plain), 1e-5);
    EXPECT_NEAR(std::cos(angle / 11.0), std::cos(plain / 11.0), 1e-5);
    // Far beyond where a float sum would freeze, the spin still advances.
    float late = 0.0f;
    for (int i = 0; i < 2'000'000; ++i) late = advance_spin(late);
    EXPECT_LT(late, period);
    EXPECT_NE(advance_spin(late), late);
}

TEST(ShapesFrameCycle, TheProgramDrawsItsFirstFrameAlreadyTurned) {
    program_script script;
    script.on_present = [](int, std::vector<double>& samples) { samples.push_back(spin_angle); };
    const program_result run = run_frames(30, script);
    ASSERT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.samples.size(), 30u);
    float expected = 0.0f;
    for (size_t i = 0; i < run.samples.size(); ++i) {
        expected = advance_spin(expected);
        EXPECT_EQ(float(run.samples[i]), expected) << "frame " << i + 1;
    }
    EXPECT_EQ(float(run.samples[0]), 0.015f);
}

TEST(ShapesFrameCycle, EachFrameClearsDrawsTheShapesInOrderAndPresents) {
    const program_result run = run_frames(3, recording_script(2));
    ASSERT_EQ(run.exit_code, 0);
    std::vector<device_call> calls;
    for (size_t i = 0; i + 2 < run.samples.size(); i += 3) {
        calls.push_back(
            {device_call::call_kind(int(run.samples[i])), DWORD(run.samples[i + 1]), DWORD(run.samples[i + 2])});
    }
    using call = device_call;
    std::vector<std::pair<call::call_kind, DWORD>> expected = {
        {call::clear, D3DCLEAR_TARGET},
        {call::clear, D3DCLEAR_ZBUFFER},
        {call::begin_scene, 0},
        {call::transform, D3DTS_VIEW},
    };
    for (int shape = 0; shape < 3; ++shape) {  // box, torus, teapot: placed, coloured, drawn
        expected.insert(
            expected.end(),
            {{call::transform, D3DTS_WORLD}, {call::material, 0}, {call::render_state, D3DRS_SPECULARMATERIALSOURCE}});
    }
    expected.insert(expected.end(), {{call::end_scene, 0}, {call::present, 0}});
    ASSERT_EQ(calls.size(), expected.size());
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].kind, expected[i].first) << "call " << i;
        EXPECT_EQ(calls[i].what, expected[i].second) << "call " << i;
    }
    EXPECT_EQ(calls[0].value, 0xFF000000u | background) << "grey background";
    EXPECT_EQ(calls[6].value, DWORD(D3DMCS_MATERIAL));
}

TEST(ShapesScene, TheShapesStayOnACircleOfRadiusTwo) {
    program_script script;
    script.on_present = [](int present, std::vector<double>& samples) {
        static recording_device* recorder = nullptr;
        if (present == 1) {
            recorder = new recording_device(device);
            device = recorder;
            return;
        }
        for (const device_call& call : recorder->calls) {
            if (call.kind == device_call::transform && call.what == D3DTS_WORLD) {
                samples.push_back(std::hypot(call.matrix._41, call.matrix._42, call.matrix._43));
            }
        }
        recorder->calls.clear();
    };
    const program_result run = run_frames(120, script);
    ASSERT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.samples.size(), 3u * 119);
    for (double radius : run.samples) EXPECT_NEAR(radius, 2.0, 1e-5);
}

TEST(ShapesScene, FirstFrameShowsEachShapeWhereTheCameraProjectsIt) {
    const program_result run = run_frames(1);
    ASSERT_EQ(run.exit_code, 0);
    const win_headless_frame& frame = run.last_frame;
    ASSERT_EQ(frame.width, 624);
    ASSERT_EQ(frame.height, 441);
    const rgb_pixel box = pixel_at(frame, 157, 207);
    const rgb_pixel torus = pixel_at(frame, 375, 178);
    const rgb_pixel teapot = pixel_at(frame, 412, 252);
    EXPECT_TRUE(box.g > box.r && box.g > box.b) << "box centre is green";
    EXPECT_FALSE(same_rgb(torus, {80, 80, 80})) << "torus centre is not background";
    EXPECT_TRUE(teapot.r > teapot.g && teapot.r > teapot.b) << "teapot centre is red";
    EXPECT_TRUE(same_rgb(pixel_at(frame, 0, 0), {80, 80, 80}));
    EXPECT_TRUE(same_rgb(pixel_at(frame, 623, 440), {80, 80, 80}));
}

// Counts the frame's pixels equal to `colour` and those brighter than 230 in every channel within
// the box [x0, x1) x [y0, y1).
struct region_colours {
    int exact = 0;
    int white = 0;
};
region_colours count_in_region(const win_headless_frame& frame, rgb_pixel colour, int x0, int y0, int x1, int y1) {
    region_colours found;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const rgb_pixel p = pixel_at(frame, x, y);
            if (same_rgb(p, colour)) ++found.exact;
            if (p.r > 230 && p.g > 230 && p.b > 230) ++found.white;
        }
    }
    return found;
}

TEST(ShapesScene, EachShapeShowsItsColourItsUnlitSideAndAWhiteHighlight) {
    const program_result run = run_frames(60);
    ASSERT_EQ(run.exit_code, 0);
    const win_headless_frame& frame = run.last_frame;
    // The unlit side of each shape shows the light's ambient, 0.2 times the shape's colour.
    EXPECT_GT(count_in_region(frame, {10, 51, 10}, 0, 0, frame.width, frame.height).exact, 0) << "box";
    EXPECT_GT(count_in_region(frame, {10, 10, 51}, 0, 0, frame.width, frame.height).exact, 0) << "torus";
    EXPECT_GT(count_in_region(frame, {51, 10, 10}, 0, 0, frame.width, frame.height).exact, 0) << "teapot";
    EXPECT_GT(count_in_region(frame, {255, 255, 255}, 0, 0, frame.width, frame.height).white, 0) << "highlights";
}

TEST(ShapesProgram, ResizingTheWindowChangesNeitherTheBackBufferNorThePicture) {
    program_script resized;
    resized.on_present = [](int present, std::vector<double>&) {
        if (present == 1) win_headless_resize(win_headless_main_window(), 900, 300);
    };
    const program_result plain = run_frames(5);
    const program_result stretched = run_frames(5, resized);
    ASSERT_EQ(plain.exit_code, 0);
    ASSERT_EQ(stretched.exit_code, 0);
    EXPECT_EQ(stretched.last_frame.width, 624);
    EXPECT_EQ(stretched.last_frame.height, 441);
    EXPECT_EQ(count_differing_pixels(plain.last_frame, stretched.last_frame, 0), 0);
}

// A device that cannot be created (here: for a window that does not exist) is reported and ends
// the program with a failure code, instead of calls through a null device.
TEST(ShapesProgram, ADeviceThatCannotBeCreatedEndsTheProgramWithAnError) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            win_headless_enable();
            setup_device(nullptr);
            std::exit(0);
        },
        testing::ExitedWithCode(1), "device could not be created");
}

// The pictures of frame 1 and frame 100, compared with the reference images kept beside this
// test. With UPDATE_REFERENCE_IMAGES=1 in the environment the references are rewritten instead.
class ShapesReferenceImage : public testing::TestWithParam<int> {};

TEST_P(ShapesReferenceImage, MatchesTheReference) {
    const int frame_number = GetParam();
    const program_result run = run_frames(frame_number);
    ASSERT_EQ(run.exit_code, 0);
    const std::string path =
        std::string(REFERENCE_IMAGE_DIR) + "/shapes_frame_" + std::to_string(frame_number) + ".png";
    if (std::getenv("UPDATE_REFERENCE_IMAGES") != nullptr) {
        ASSERT_TRUE(write_png(path, run.last_frame));
        GTEST_SKIP() << "reference rewritten: " << path;
    }
    win_headless_frame reference;
    ASSERT_TRUE(read_png(path, &reference)) << path;
    const long differing = count_differing_pixels(run.last_frame, reference, 2);
    ASSERT_GE(differing, 0) << "sizes differ";
    // Small rounding differences between compilers may move a few edge pixels.
    EXPECT_LE(differing, 100) << "pixels differing by more than 2 levels";
    if (differing > 0) {
        write_png(std::string(::testing::TempDir()) + "shapes_frame_" + std::to_string(frame_number) + "_actual.png",
                  run.last_frame);
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, ShapesReferenceImage, testing::Values(1, 100));

}  // namespace
