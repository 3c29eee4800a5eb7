// headless_fixture.h - every test starts on the headless back end with no classes, windows,
// messages, keys or frames left over from the test before.
#pragma once

#include <windows.h>

#include "platform/win32/win_headless.h"
#include "platform/win32/win_surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        win_headless_enable();
        win_headless_reset();
    }
    void TearDown() override { win_headless_reset(); }

    // Registers a class named `name` whose procedure is `procedure`.
    static ATOM register_class(const char* name, WNDPROC procedure) {
        WNDCLASSEXA fields{};
        fields.cbSize = sizeof fields;
        fields.lpfnWndProc = procedure;
        fields.lpszClassName = name;
        return RegisterClassExA(&fields);
    }

    static HWND create_window(const char* class_name, int width = 640, int height = 480) {
        return CreateWindowExA(0, class_name, "test window", WS_OVERLAPPEDWINDOW, 100, 100, width, height, nullptr,
                               nullptr, nullptr, nullptr);
    }
};
