// windows_test.cpp - window classes and windows as the headless back end keeps them: what
// registration stores and refuses, the client area of a framed window, presenting, resizing,
// keys and message boxes.
#include "headless_fixture.h"

#include "platform/win32/win_surface.h"

#include <cstdint>

namespace {

LRESULT CALLBACK default_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

using WindowsTest = HeadlessTest;

TEST_F(WindowsTest, RegistrationStoresEveryFieldAndRefusesBadRecords) {
    char instance_marker = 0;
    WNDCLASSEXA fields{};
    fields.cbSize = sizeof fields;
    fields.style = CS_HREDRAW | CS_VREDRAW;
    fields.lpfnWndProc = default_procedure;
    fields.hInstance = reinterpret_cast<HINSTANCE>(&instance_marker);
    fields.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    fields.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW));
    std::string name = "WindowClass1";
    fields.lpszClassName = name.c_str();
    EXPECT_NE(fields.hCursor, nullptr);
    ASSERT_NE(RegisterClassExA(&fields), 0);
    name = "overwritten";  // the class keeps its own copy of the name

    WNDCLASSEXA stored{};
    ASSERT_TRUE(win_headless_window_class("windowclass1", &stored));
    EXPECT_EQ(stored.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_EQ(stored.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(stored.lpfnWndProc, &default_procedure);
    EXPECT_EQ(stored.hInstance, fields.hInstance);
    EXPECT_EQ(stored.hCursor, fields.hCursor);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(stored.hbrBackground), 5u);
    EXPECT_STREQ(stored.lpszClassName, "WindowClass1");

    WNDCLASSEXA bad = fields;
    bad.lpszClassName = "WINDOWCLASS1";
    EXPECT_EQ(RegisterClassExA(&bad), 0) << "name taken (names ignore case)";
    bad.lpszClassName = "Other";
    bad.cbSize = sizeof fields - 4;
    EXPECT_EQ(RegisterClassExA(&bad), 0) << "wrong cbSize";
    bad.cbSize = sizeof fields;
    bad.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassExA(&bad), 0) << "no name";
    bad.lpszClassName = "Other";
    bad.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassExA(&bad), 0) << "no procedure";
    EXPECT_EQ(RegisterClassExA(nullptr), 0);
}

TEST_F(WindowsTest, OverlappedWindowOf640By480HasA624By441ClientArea) {
    ASSERT_NE(register_class("Framed", default_procedure), 0);
    char instance_marker = 0;
    const HWND window = CreateWindowExA(0, "Framed", "DirectX simple shapes", WS_OVERLAPPEDWINDOW, 100, 100, 640, 480,
                                        nullptr, nullptr, reinterpret_cast<HINSTANCE>(&instance_marker), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(win_headless_main_window(), window);
    RECT client{-1, -1, -1, -1};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 624);
    EXPECT_EQ(client.bottom, 441);

    win_headless_window info{};
    ASSERT_TRUE(win_headless_window_info(window, &info));
    EXPECT_EQ(info.class_name, "Framed");
    EXPECT_EQ(info.title, "DirectX simple shapes");
    EXPECT_EQ(info.style, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(info.x, 100);
    EXPECT_EQ(info.y, 100);
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.height, 480);
    EXPECT_EQ(info.instance, reinterpret_cast<HINSTANCE>(&instance_marker));
    EXPECT_FALSE(info.visible) << "windows start hidden";

    EXPECT_FALSE(ShowWindow(window, SW_SHOWDEFAULT)) << "was hidden";
    EXPECT_TRUE(ShowWindow(window, SW_SHOWDEFAULT)) << "was visible";
    ASSERT_TRUE(win_headless_window_info(window, &info));
    EXPECT_TRUE(info.visible);
}

// AdjustWindowRect gives the outer size whose window has the wanted client area, for framed and
// frameless styles; SetWindowTextA retitles a live window only.
TEST_F(WindowsTest, AdjustWindowRectInvertsTheFrameAndTitlesChange) {
    ASSERT_NE(register_class("Sized", default_procedure), 0);
    for (DWORD style : {DWORD(WS_OVERLAPPEDWINDOW), DWORD(WS_CAPTION), DWORD(WS_OVERLAPPED)}) {
        SCOPED_TRACE(style);
        RECT outer{0, 0, 800, 600};
        ASSERT_TRUE(AdjustWindowRect(&outer, style, FALSE));
        const HWND window = CreateWindowExA(0, "Sized", "x", style, 0, 0, outer.right - outer.left,
                                            outer.bottom - outer.top, nullptr, nullptr, nullptr, nullptr);
        RECT client{};
        ASSERT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.right, 800);
        EXPECT_EQ(client.bottom, 600);

        ASSERT_TRUE(SetWindowTextA(window, "renamed"));
        win_headless_window info{};
        ASSERT_TRUE(win_headless_window_info(window, &info));
        EXPECT_EQ(info.title, "renamed");
        DestroyWindow(window);
        EXPECT_FALSE(SetWindowTextA(window, "gone"));
    }
    EXPECT_FALSE(AdjustWindowRect(nullptr, WS_OVERLAPPEDWINDOW, FALSE));
}

TEST_F(WindowsTest, CreationFailsForUnknownClassesAndParentsAndClampsNegativeSizes) {
    ASSERT_NE(register_class("Known", default_procedure), 0);
    EXPECT_EQ(create_window("Unknown"), nullptr);
    EXPECT_EQ(CreateWindowExA(0, "Known", "x", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, reinterpret_cast<HWND>(0x4242),
                              nullptr, nullptr, nullptr),
              nullptr);
    const HWND tiny = create_window("Known", 10, -5);
    ASSERT_NE(tiny, nullptr);
    int width = -1, height = -1;
    ASSERT_TRUE(win_client_size(tiny, &width, &height));
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(win_client_size(nullptr, &width, &height), false);
}

TEST_F(WindowsTest, PresentKeepsTheLastFrameWithoutPaddingOrTheUnusedByte) {
    ASSERT_NE(register_class("Presenting", default_procedure), 0);
    const HWND window = create_window("Presenting");
    int presents_seen = 0;
    win_headless_on_present([&](int presents) { presents_seen = presents; });

    const int width = 3, height = 2, pitch = 5;
    const uint32_t pixels[pitch * height] = {0xFF112233, 0x00445566, 0xAA778899, 0xDEAD, 0xDEAD,
                                             0x01000001, 0x02000002, 0x03000003, 0xDEAD, 0xDEAD};
    ASSERT_TRUE(win_present(window, pixels, width, height, pitch));
    ASSERT_TRUE(win_present(window, pixels, width, height, pitch));
    EXPECT_EQ(win_headless_present_count(), 2);
    EXPECT_EQ(presents_seen, 2);
    const win_headless_frame& frame = win_headless_last_frame();
    EXPECT_EQ(frame.width, 3);
    EXPECT_EQ(frame.height, 2);
    EXPECT_EQ(frame.pixels, (std::vector<uint32_t>{0x112233, 0x445566, 0x778899, 0x000001, 0x000002, 0x000003}));

    const uint32_t* storage = frame.pixels.data();
    ASSERT_TRUE(win_present(window, pixels, width, height, pitch));
    EXPECT_EQ(frame.pixels.data(), storage) << "a present of the same size reuses the frame's storage";

    EXPECT_FALSE(win_present(window, nullptr, width, height, pitch));
    EXPECT_FALSE(win_present(window, pixels, width, height, width - 1));
    EXPECT_FALSE(win_present(window, pixels, 0, height, pitch));
    DestroyWindow(window);
    EXPECT_FALSE(win_present(window, pixels, width, height, pitch));
    EXPECT_EQ(win_headless_present_count(), 3);
}

TEST_F(WindowsTest, ResizeChangesTheClientAreaOnly) {
    ASSERT_NE(register_class("Resizing", default_procedure), 0);
    const HWND window = create_window("Resizing");
    win_headless_resize(window, 800, 600);
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    win_headless_window info{};
    ASSERT_TRUE(win_headless_window_info(window, &info));
    EXPECT_EQ(info.width, 640) << "the outer size as created is kept as given";
}

TEST_F(WindowsTest, ScriptedKeysAreTheGlobalKeyState) {
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    win_headless_set_key(VK_ESCAPE, true);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0x8000);
    EXPECT_EQ(GetAsyncKeyState(VK_RETURN), 0);
    win_headless_set_key(VK_ESCAPE, false);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    EXPECT_EQ(GetAsyncKeyState(-1), 0);
    EXPECT_EQ(GetAsyncKeyState(0x1000), 0);
    win_headless_set_key(0x1000, true);  // out of range: ignored, no crash
}

TEST_F(WindowsTest, MessageBoxIsRecordedDecodedWithItsOwnerAndAnsweredOk) {
    ASSERT_NE(register_class("Owner", default_procedure), 0);
    const HWND window = create_window("Owner");
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(MessageBoxA(window,
                          "B\xB3\xB9"
                          "d",
                          nullptr, MB_OK | MB_ICONEXCLAMATION),
              IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, "Caption", MB_OK), IDOK);
    const auto& boxes = win_headless_message_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, window);
    EXPECT_EQ(boxes[0].text_utf8,
              "B\xC5\x82\xC4\x85"
              "d");
    EXPECT_EQ(boxes[0].caption_utf8, "Error");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_TRUE(boxes[0].owner_visible);
    EXPECT_EQ(boxes[0].presents_before, 0);
    EXPECT_EQ(boxes[1].owner, nullptr);
    EXPECT_EQ(boxes[1].text_utf8, "");
    EXPECT_FALSE(boxes[1].owner_visible);
}

TEST_F(WindowsTest, ResetForgetsClassesWindowsAndMessages) {
    ASSERT_NE(register_class("Gone", default_procedure), 0);
    const HWND window = create_window("Gone");
    PostQuitMessage(0);
    win_headless_reset();
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(win_headless_main_window(), nullptr);
    int width = 0, height = 0;
    EXPECT_FALSE(win_client_size(window, &width, &height));
    EXPECT_NE(register_class("Gone", default_procedure), 0);
    EXPECT_NE(create_window("Gone"), window) << "handles are not reused";
}

}  // namespace
