// messages_test.cpp - the message queue and loop: order of a drain, WM_QUIT synthesis, the record
// after an empty peek, and the close/destroy path through the default window procedure.
#include "headless_fixture.h"

namespace {

struct procedure_call {
    HWND window;
    UINT message;
    WPARAM wParam;
    bool inside_close;    // arrived while the procedure was still handling WM_CLOSE
    bool window_visible;  // the window was on screen when the message arrived
    bool window_usable;   // the window could still be queried when the message arrived
};

std::vector<procedure_call> calls;
bool handling_close = false;

bool window_visible(HWND window) {
    win_headless_window info{};
    return win_headless_window_info(window, &info) && info.visible;
}

// Records every message, answers WM_DESTROY with PostQuitMessage(7) like a program would, and
// hands everything else to the default procedure.
LRESULT CALLBACK recording_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RECT client{};
    calls.push_back(
        {window, message, wParam, handling_close, window_visible(window), GetClientRect(window, &client) != FALSE});
    if (message == WM_DESTROY) {
        PostQuitMessage(7);
        return 0;
    }
    const bool outer = handling_close;
    handling_close = outer || message == WM_CLOSE;
    const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
    handling_close = outer;
    return result;
}

class MessagesTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        calls.clear();
        ASSERT_NE(register_class("MessagesTest", recording_procedure), 0);
        window = create_window("MessagesTest");
        ASSERT_NE(window, nullptr);
        calls.clear();  // the creation messages have their own test
    }

    // Drains the queue like the programs' loop; returns the messages in the order retrieved.
    std::vector<UINT> drain() {
        std::vector<UINT> order;
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            order.push_back(msg.message);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return order;
    }

    HWND window = nullptr;
};

TEST_F(MessagesTest, PostedMessagesComeInOrderAndQuitComesLastEvenWhenRequestedFirst) {
    PostQuitMessage(3);
    PostMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
    PostMessageA(window, WM_KEYUP, VK_LEFT, 0);
    EXPECT_EQ(drain(), (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_QUIT}));
}

TEST_F(MessagesTest, QuitMessageCarriesTheExitCodeNoWindowAndIsDeliveredOnce) {
    PostQuitMessage(1);
    PostQuitMessage(5);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "repeated PostQuitMessage calls coalesce";
    EXPECT_TRUE(calls.empty()) << "WM_QUIT reaches no window procedure";
}

TEST_F(MessagesTest, PeekWithoutRemoveKeepsMessagesAndTheQuitFlag) {
    PostMessageA(window, WM_PAINT, 0, 0);
    PostQuitMessage(0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(drain(), (std::vector<UINT>{WM_PAINT, WM_QUIT}));
}

TEST_F(MessagesTest, EmptyPeekLeavesTheRecordUntouched) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = WM_QUIT;
    msg.wParam = 42;
    msg.lParam = 9;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 42u);
    EXPECT_EQ(msg.lParam, 9);
}

TEST_F(MessagesTest, CloseButtonDestroysTheWindowWithDestroySentInsideTheCloseDispatch) {
    ShowWindow(window, SW_SHOWDEFAULT);
    ValidateRect(window, nullptr);
    calls.clear();
    win_headless_request_close(window);
    EXPECT_EQ(drain(), (std::vector<UINT>{WM_CLOSE, WM_QUIT}));
    std::vector<procedure_call> ends;
    for (const procedure_call& call : calls) {
        if (call.message == WM_CLOSE || call.message == WM_DESTROY || call.message == WM_NCDESTROY)
            ends.push_back(call);
    }
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(ends[1].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(ends[2].message, static_cast<UINT>(WM_NCDESTROY));
    EXPECT_TRUE(ends[1].inside_close) << "WM_DESTROY is sent, not posted";
    EXPECT_FALSE(ends[1].window_visible) << "the window leaves the screen before WM_DESTROY";
    EXPECT_TRUE(ends[1].window_usable) << "the window is still valid during WM_DESTROY";

    win_headless_window info{};
    ASSERT_TRUE(win_headless_window_info(window, &info));
    EXPECT_TRUE(info.destroyed);
    int width = 0, height = 0;
    EXPECT_FALSE(win_client_size(window, &width, &height));
    EXPECT_FALSE(PostMessageA(window, WM_CLOSE, 0, 0)) << "a destroyed window takes no messages";
    EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(MessagesTest, PostedDestroyOnlyReachesTheProcedureAndKeepsTheWindow) {
    PostMessageA(window, WM_DESTROY, 0, 0);
    PostMessageA(window, WM_DESTROY, 0, 0);
    MSG msg{};
    std::vector<UINT> order;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(msg.message);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_DESTROY, WM_DESTROY, WM_QUIT}));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << "the last message drained is the quit";
    EXPECT_EQ(msg.wParam, 7u);
    win_headless_window info{};
    ASSERT_TRUE(win_headless_window_info(window, &info));
    EXPECT_FALSE(info.destroyed);
    int width = 0, height = 0;
    EXPECT_TRUE(win_client_size(window, &width, &height));
}

TEST_F(MessagesTest, FiltersSelectByWindowAndRangeButNeverHoldBackQuit) {
    PostMessageA(nullptr, WM_KEYDOWN, 1, 0);
    PostMessageA(window, WM_KEYUP, 2, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    PostQuitMessage(0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.hwnd, nullptr);
}

TEST_F(MessagesTest, BadHandlesAndRecordsAreRefusedQuietly) {
    const HWND unknown = reinterpret_cast<HWND>(0x1234);
    EXPECT_FALSE(PostMessageA(unknown, WM_CLOSE, 0, 0));
    EXPECT_FALSE(DestroyWindow(unknown));
    EXPECT_FALSE(ShowWindow(unknown, SW_SHOW));
    MSG stray{unknown, WM_CLOSE, 0, 0, 0, POINT{0, 0}};
    EXPECT_EQ(DispatchMessageA(&stray), 0);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    EXPECT_EQ(DefWindowProcA(window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_TRUE(calls.empty());
}

TEST_F(MessagesTest, OrderSurvivesTheQueueWrappingAroundAndGrowing) {
    WPARAM posted = 0, retrieved = 0;
    MSG msg{};
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 13 * (round + 1); ++i) PostMessageA(window, WM_KEYDOWN, posted++, 0);
        for (int i = 0; i < 9 * (round + 1); ++i) {
            ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
            ASSERT_EQ(msg.wParam, retrieved++);
        }
    }
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ASSERT_EQ(msg.wParam, retrieved++);
    EXPECT_EQ(retrieved, posted);
}

}  // namespace

// Mouse positions left of or above the client area are negative and must come back so; wheel
// turns towards the user are negative multiples of WHEEL_DELTA beside the button state.
TEST(MouseMessageParts, PositionsAndWheelTurnsKeepTheirSign) {
    const int points[][2] = {{0, 0}, {-5, 7}, {1023, -1}, {-32768, 32767}};
    for (const auto& p : points) {
        const LPARAM packed = MAKELPARAM(p[0], p[1]);
        EXPECT_EQ(GET_X_LPARAM(packed), p[0]);
        EXPECT_EQ(GET_Y_LPARAM(packed), p[1]);
    }
    for (int notches : {1, -1, 3, -273}) {
        const WPARAM packed = MAKEWPARAM(MK_LBUTTON | MK_SHIFT, notches * WHEEL_DELTA);
        EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(packed), notches * WHEEL_DELTA);
        EXPECT_EQ(GET_KEYSTATE_WPARAM(packed), MK_LBUTTON | MK_SHIFT);
    }
}
