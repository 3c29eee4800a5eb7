// window_messages_test.cpp - the messages a window receives and how they are packed: creation and
// show order, paint repetition, timers, key and mouse packing, the input state, frames, message
// boxes, and refusals of bad handles and records.
#include "headless_fixture.h"

#include "platform/win32/win_messages.h"

#include <chrono>
#include <iterator>

namespace {

struct logged {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<logged> log_of_messages;
LRESULT create_answer = 0;

LRESULT CALLBACK logging_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    log_of_messages.push_back({message, wParam, lParam});
    if (message == WM_CREATE) return create_answer;
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<UINT> names(const std::vector<logged>& entries) {
    std::vector<UINT> out;
    for (const logged& entry : entries) out.push_back(entry.message);
    return out;
}

class WindowMessagesTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        log_of_messages.clear();
        create_answer = 0;
        WNDCLASSEXW fields{};
        fields.cbSize = sizeof fields;
        fields.lpfnWndProc = logging_procedure;
        fields.cbWndExtra = 16;
        fields.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        fields.lpszClassName = L"Logged";
        ASSERT_NE(RegisterClassExW(&fields), 0);
    }

    HWND create(DWORD style = WS_OVERLAPPEDWINDOW) {
        return CreateWindowExW(0, L"Logged", L"Zażółć \xD800", style, 100, 50, 640, 480, nullptr, nullptr, nullptr,
                               this);
    }

    // Retrieves and dispatches until nothing is left; the messages retrieved.
    std::vector<UINT> drain(int at_most = 50) {
        std::vector<UINT> order;
        MSG msg{};
        while (at_most-- > 0 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            order.push_back(msg.message);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return order;
    }
};

TEST_F(WindowMessagesTest, CreationAndFirstShowSendTheirMessagesInOrder) {
    const HWND window = create();
    ASSERT_NE(window, nullptr);
    ASSERT_GE(log_of_messages.size(), 4u);
    EXPECT_EQ(names(log_of_messages), (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}));
    const auto* create_record = reinterpret_cast<const CREATESTRUCTW*>(log_of_messages[3].lParam);
    ASSERT_NE(create_record, nullptr);  // only valid during the call; its fields were checked there if needed
    log_of_messages.clear();

    EXPECT_FALSE(ShowWindow(window, SW_SHOWDEFAULT));
    EXPECT_EQ(names(log_of_messages),
              (std::vector<UINT>{WM_SHOWWINDOW, WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(log_of_messages[4].lParam, MAKELPARAM(624, 441));
    EXPECT_EQ(log_of_messages[5].lParam, MAKELPARAM(108, 81)) << "the client origin";
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_TRUE(IsWindowVisible(window));

    wchar_t title[64];
    EXPECT_EQ(GetWindowTextW(window, title, 64), 8);
    EXPECT_EQ(std::wstring(title), L"Zażółć \xFFFD") << "an unpaired surrogate reaches the window as U+FFFD";
    char narrow[4];
    EXPECT_EQ(GetWindowTextA(window, narrow, 4), 3) << "cut to the buffer, terminated";
    EXPECT_STREQ(narrow, "Za\xC5");

    log_of_messages.clear();
    EXPECT_TRUE(DestroyWindow(window));
    const std::vector<UINT> end = names(log_of_messages);
    ASSERT_GE(end.size(), 2u);
    EXPECT_EQ(end[end.size() - 2], static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(end.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowMessagesTest, CreateAnsweringMinusOneDestroysTheWindowAndReturnsNull) {
    create_answer = -1;
    EXPECT_EQ(create(), nullptr);
    const std::vector<UINT> order = names(log_of_messages);
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[order.size() - 2], static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(order.back(), static_cast<UINT>(WM_NCDESTROY));
    create_answer = 0;
    log_of_messages.clear();
    const HWND visible = create(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_TRUE(IsWindowVisible(visible)) << "WS_VISIBLE shows the window inside CreateWindowEx";
    EXPECT_EQ(names(log_of_messages)[4], static_cast<UINT>(WM_SHOWWINDOW));
}

TEST_F(WindowMessagesTest, InvalidWindowGetsPaintWheneverIdleUntilValidated) {
    const HWND window = create();
    ShowWindow(window, SW_SHOW);
    MSG msg{};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT)) << "retrieval does not validate";
    }
    PostMessageW(window, WM_USER, 1, 2);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER)) << "posted messages come before paint";

    log_of_messages.clear();
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageW(&msg);  // the default procedure paints: erase, validate
    EXPECT_EQ(names(log_of_messages), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));

    InvalidateRect(window, nullptr, FALSE);
    PostQuitMessage(4);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT)) << "a fresh paint comes before the quit";
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << "a window that ignores its paint cannot hold back the quit";
}

TEST_F(WindowMessagesTest, ResizeSendsSizeAndInvalidatesRedrawClasses) {
    WNDCLASSEXA fields{};
    fields.cbSize = sizeof fields;
    fields.style = CS_HREDRAW;
    fields.lpfnWndProc = logging_procedure;
    fields.lpszClassName = "Redrawn";
    ASSERT_NE(RegisterClassExA(&fields), 0);
    const HWND window =
        CreateWindowExA(0, "Redrawn", "r", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    log_of_messages.clear();
    ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER));
    ASSERT_EQ(names(log_of_messages), (std::vector<UINT>{WM_SIZE}));
    EXPECT_EQ(log_of_messages[0].lParam, MAKELPARAM(300, 100));
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE)) << "CS_HREDRAW: a new width repaints";
    ValidateRect(window, nullptr);
    ASSERT_TRUE(MoveWindow(window, 10, 20, 300, 150, FALSE));
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "no CS_VREDRAW: a new height does not";
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(outer.left, 10);
    EXPECT_EQ(outer.bottom, 170);
    POINT point{5, 5};
    ASSERT_TRUE(ClientToScreen(window, &point));
    EXPECT_EQ(point.x, 15);
    ASSERT_TRUE(ScreenToClient(window, &point));
    EXPECT_EQ(point.y, 5);
}

TEST_F(WindowMessagesTest, FullscreenPreparationSizesTheClientArea) {
    const HWND window = create();
    ASSERT_TRUE(win_prepare_fullscreen(window, 800, 600));
    int width = 0, height = 0;
    ASSERT_TRUE(win_client_size(window, &width, &height));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_FALSE(win_prepare_fullscreen(window, 0, 600));
    EXPECT_FALSE(win_prepare_fullscreen(nullptr, 800, 600));
}

TEST_F(WindowMessagesTest, TimersComeWhenIdleOncePerPeriodAndCallTheirProcedure) {
    const HWND window = create();
    static int procedure_calls = 0;
    procedure_calls = 0;
    const TIMERPROC procedure = [](HWND, UINT, UINT_PTR, DWORD) { ++procedure_calls; };
    EXPECT_EQ(SetTimer(window, 7, 0, nullptr), 7u) << "clamped to 10 ms";
    const UINT_PTR thread_timer = SetTimer(nullptr, 0, 10, procedure);
    EXPECT_NE(thread_timer, 0u);

    bool window_timer = false;
    MSG msg{};
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((!window_timer || procedure_calls == 0) && std::chrono::steady_clock::now() < give_up) {
        ASSERT_GT(GetMessageW(&msg, nullptr, 0, 0), 0);
        if (msg.message == WM_TIMER && msg.hwnd == window) {
            EXPECT_EQ(msg.wParam, 7u);
            EXPECT_EQ(msg.lParam, 0);
            window_timer = true;
        }
        DispatchMessageW(&msg);
    }
    EXPECT_TRUE(window_timer);
    EXPECT_GE(procedure_calls, 1) << "a TIMERPROC is called by DispatchMessage";

    MSG forged{window, WM_TIMER, 9, reinterpret_cast<LPARAM>(&procedure_calls), 0, POINT{0, 0}};
    EXPECT_EQ(DispatchMessageW(&forged), 0) << "an lParam that is no timer's procedure is not called";
    EXPECT_TRUE(KillTimer(window, 7));
    EXPECT_FALSE(KillTimer(window, 7));
    EXPECT_TRUE(KillTimer(nullptr, thread_timer));
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), -1) << "headless, nothing could ever arrive";
}

TEST_F(WindowMessagesTest, KeysArePackedTranslatedAndFollowedByTheInputState) {
    const HWND window = create();
    win_headless_key(window, 'A', true);
    win_headless_key(window, 'A', true, true);
    win_headless_key(window, 'A', false);
    win_headless_key(window, VK_CAPITAL, true);
    win_headless_key(window, VK_CAPITAL, false);
    win_headless_key(window, 'B', true);
    win_headless_set_key(VK_MENU, true);
    win_headless_key(window, VK_F4, true);

    std::vector<logged> keys;
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == 'A') {
            EXPECT_EQ(GetKeyState('A') & 0x8000, 0x8000) << "as of the message being processed";
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)
            keys.push_back({msg.message, msg.wParam, msg.lParam});
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    const std::vector<logged> expected = {
        {WM_KEYDOWN, 'A', 0x001E0001},      {WM_CHAR, 'a', 0x001E0001},    {WM_KEYDOWN, 'A', 0x401E0001},
        {WM_CHAR, 'a', 0x401E0001},         {WM_KEYUP, 'A', 0xC01E0001},   {WM_KEYDOWN, VK_CAPITAL, 0x003A0001},
        {WM_KEYUP, VK_CAPITAL, 0xC03A0001}, {WM_KEYDOWN, 'B', 0x00300001}, {WM_CHAR, 'B', 0x00300001},
        {WM_SYSKEYDOWN, VK_F4, 0x203E0001},
    };
    ASSERT_EQ(keys.size(), expected.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(keys[i].message, expected[i].message);
        EXPECT_EQ(keys[i].wParam, expected[i].wParam);
        EXPECT_EQ(keys[i].lParam, expected[i].lParam);
    }
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1) << "up, toggled on";
    EXPECT_EQ(GetKeyState('A'), 1) << "up; one press (the repeat is none) toggled it";
    EXPECT_FALSE(IsWindow(window)) << "Alt+F4 closes the window through the default procedure";
}

TEST(MessagePacking, WorkedValues) {
    struct key_case {
        int virtual_key;
        bool down, repeat;
        LPARAM expected;
    };
    const key_case keys[] = {
        {VK_ESCAPE, true, false, 0x00010001},  {VK_ESCAPE, false, false, 0xC0010001},
        {'A', true, false, 0x001E0001},        {'A', true, true, 0x401E0001},
        {VK_LEFT, true, false, 0x014B0001},    {VK_RETURN, true, false, 0x001C0001},
        {VK_DELETE, false, false, 0xC1530001}, {VK_F10, true, false, 0x00440001},
    };
    for (const key_case& key : keys) {
        SCOPED_TRACE(key.virtual_key);
        const win_key_code code = win_key_code_of(key.virtual_key);
        EXPECT_EQ(win_key_lparam(code.scan, code.extended, false, key.down ? key.repeat : true, !key.down),
                  key.expected);
    }
    EXPECT_EQ(win_key_message(VK_F10, true, false), static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(win_key_message('X', false, true), static_cast<UINT>(WM_SYSKEYUP));
    EXPECT_EQ(win_point_lparam(100, 50), 0x00320064);
    EXPECT_EQ(win_point_lparam(-5, 10), 0x000AFFFB);
    EXPECT_EQ(GET_X_LPARAM(win_point_lparam(-5, 10)), -5);
    EXPECT_EQ(LOWORD(win_point_lparam(-5, 10)), 65531);
    EXPECT_EQ(win_wheel_wparam(0, -WHEEL_DELTA), 0xFF880000u);
    EXPECT_EQ(win_wheel_wparam(MK_LBUTTON | MK_XBUTTON2, 2 * WHEEL_DELTA), 0x00F00041u);
}

TEST(WindowFrames, AdjustWindowRectExGrowsByTheFrameOfEachStyle) {
    struct frame_case {
        DWORD style, ex_style;
        BOOL menu;
        RECT expected;  // of the client rectangle {0, 0, 640, 480}
    };
    const frame_case cases[] = {
        {WS_OVERLAPPEDWINDOW, 0, FALSE, {-8, -31, 648, 488}},
        {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, FALSE, {-7, -30, 647, 487}},
        {WS_POPUP, 0, FALSE, {0, 0, 640, 480}},
        {WS_POPUP | WS_BORDER, 0, FALSE, {-1, -1, 641, 481}},
        {WS_POPUP | WS_DLGFRAME, 0, FALSE, {-3, -3, 643, 483}},
        {WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE, TRUE, {-10, -53, 650, 490}},
        {WS_POPUP, WS_EX_STATICEDGE, FALSE, {-1, -1, 641, 481}},
    };
    for (const frame_case& c : cases) {
        SCOPED_TRACE(c.style);
        RECT rect{0, 0, 640, 480};
        ASSERT_TRUE(AdjustWindowRectEx(&rect, c.style, c.menu, c.ex_style));
        EXPECT_EQ(rect.left, c.expected.left);
        EXPECT_EQ(rect.top, c.expected.top);
        EXPECT_EQ(rect.right, c.expected.right);
        EXPECT_EQ(rect.bottom, c.expected.bottom);
    }
}

TEST_F(WindowMessagesTest, MessageBoxesAnswerWithTheirDefaultButton) {
    const struct {
        UINT type;
        int answer;
    } boxes[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {MB_YESNOCANCEL, IDYES},
        {MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, IDNO},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, IDCONTINUE},
        {MB_YESNO | MB_DEFBUTTON4, IDYES},
    };
    for (const auto& box : boxes) EXPECT_EQ(MessageBoxW(nullptr, L"text", L"caption", box.type), box.answer);
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", 7), 0) << "no such button set";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(0x999), "x", "y", MB_OK), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(win_headless_message_boxes().size(), std::size(boxes));
}

TEST_F(WindowMessagesTest, BadHandlesClassesAndRecordsFailWithTheirErrors) {
    const HWND stale = create();
    DestroyWindow(stale);
    const HWND bad[] = {nullptr, stale, reinterpret_cast<HWND>(0x77)};
    for (HWND window : bad) {
        SetLastError(0);
        RECT rect{};
        EXPECT_FALSE(GetWindowRect(window, &rect));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
        EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 0);
        if (window != nullptr) {
            EXPECT_EQ(SetTimer(window, 1, 10, nullptr), 0u);
            MSG msg{};
            EXPECT_EQ(GetMessageW(&msg, window, 0, 0), -1);
            EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), 0);
        }
    }
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    WNDCLASSW again{};
    again.lpfnWndProc = logging_procedure;
    again.lpszClassName = L"LOGGED";
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    const HWND live = create();
    EXPECT_FALSE(UnregisterClassW(L"Logged", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    std::wstring long_title(40000, L'x');
    EXPECT_FALSE(SetWindowTextW(live, long_title.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetWindowLongW(live, 13), 0) << "extra bytes end at 16";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(SetWindowLongPtrW(live, 8, 0x1234), 0);
    EXPECT_EQ(GetWindowLongPtrW(live, 8), 0x1234);
    EXPECT_EQ(LoadIconW(reinterpret_cast<HINSTANCE>(&again), MAKEINTRESOURCEW(101)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_NE(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)), nullptr);
    WNDCLASSW info{};
    ASSERT_TRUE(GetClassInfoW(nullptr, L"logged", &info));
    EXPECT_EQ(info.cbWndExtra, 16);
    EXPECT_EQ(info.lpfnWndProc, &logging_procedure);
    DestroyWindow(live);
    EXPECT_TRUE(UnregisterClassW(L"Logged", nullptr));
    EXPECT_FALSE(GetClassInfoW(nullptr, L"Logged", &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_EQ(create(), nullptr);
}

}  // namespace
