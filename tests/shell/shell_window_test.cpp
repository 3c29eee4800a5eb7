// shell_window_test.cpp - the window class and the window as the program's shell fills them in,
// read inside the running program after its first frame.
#include <windows.h>

#include "framework.h"
#include "program_run.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>

namespace {

// What the running program's window layer recorded, copied into memory shared with the test
// (the program runs in a forked child).
struct recorded_shell {
    bool class_found;
    WNDCLASSEXA window_class;
    char class_name[64];
    bool window_found;
    win_headless_window_fields window;
    char window_class_name[64];
    char title[64];
};

void copy_text(char (&to)[64], const char* from) {
    std::strncpy(to, from != nullptr ? from : "", sizeof to - 1);
    to[sizeof to - 1] = '\0';
}

void record(recorded_shell* shell) {
    shell->class_found = win_headless_window_class("WindowClass1", &shell->window_class);
    if (shell->class_found) copy_text(shell->class_name, shell->window_class.lpszClassName);
    win_headless_window info{};
    shell->window_found = win_headless_window_info(win_headless_main_window(), &info);
    if (!shell->window_found) return;
    shell->window = info;
    copy_text(shell->window_class_name, info.class_name.c_str());
    copy_text(shell->title, info.title.c_str());
}

class ShellWindow : public ::testing::Test {
protected:
    void SetUp() override {
        void* memory = mmap(nullptr, sizeof(recorded_shell), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(memory, MAP_FAILED);
        shell = new (memory) recorded_shell{};
        program_script script;
        script.on_present = [this](int present, std::vector<double>&) {
            if (present == 1) record(shell);
        };
        script.escape_from_present = 1;
        run = run_program(script);
        ASSERT_EQ(run.exit_code, 0);
    }
    void TearDown() override { munmap(shell, sizeof(recorded_shell)); }

    recorded_shell* shell = nullptr;
    program_result run;
};

TEST_F(ShellWindow, ClassHasTheShellsValuesAndNothingElse) {
    ASSERT_TRUE(shell->class_found);
    const WNDCLASSEXA& c = shell->window_class;
    EXPECT_EQ(c.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_EQ(c.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(c.lpfnWndProc, &handle_window_message);
    EXPECT_NE(c.hInstance, nullptr);
    EXPECT_EQ(c.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(c.hbrBackground), 5u) << "COLOR_WINDOW used directly as the brush";
    EXPECT_STREQ(shell->class_name, "WindowClass1");
    EXPECT_EQ(c.cbClsExtra, 0);
    EXPECT_EQ(c.cbWndExtra, 0);
    EXPECT_EQ(c.hIcon, nullptr);
    EXPECT_EQ(c.hIconSm, nullptr);
    EXPECT_EQ(c.lpszMenuName, nullptr);
}

TEST_F(ShellWindow, WindowIsTheShownOverlapped640By480WithA624By441ClientArea) {
    ASSERT_TRUE(shell->window_found);
    EXPECT_EQ(shell->window.ex_style, 0u);
    EXPECT_STREQ(shell->window_class_name, "WindowClass1");
    EXPECT_STREQ(shell->title, "DirectX simple shapes");
    EXPECT_EQ(shell->window.style, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(shell->window.x, 100);
    EXPECT_EQ(shell->window.y, 100);
    EXPECT_EQ(shell->window.width, 640);
    EXPECT_EQ(shell->window.height, 480);
    EXPECT_EQ(shell->window.parent, nullptr);
    EXPECT_EQ(shell->window.menu, nullptr);
    EXPECT_EQ(shell->window.instance, shell->window_class.hInstance) << "the instance the entry received";
    EXPECT_EQ(shell->window.param, nullptr);
    EXPECT_EQ(shell->window.client_width, 624);
    EXPECT_EQ(shell->window.client_height, 441);
    EXPECT_TRUE(shell->window.visible);
    EXPECT_EQ(run.last_frame.width, 624) << "the back buffer takes the client size";
    EXPECT_EQ(run.last_frame.height, 441);
}

}  // namespace
