// view_window.cpp - the interactive viewer: window procedure and message loop.
//
// The loop draws a frame only when the view changed (camera moved, first frame) and shows the
// last frame again when the window asks for it (uncovered, resized: WM_PAINT); otherwise it
// waits for input with WaitMessage, so an idle viewer uses no processor time. A resized window
// shows the back buffer stretched, as the demos do. Nothing is allocated per frame.
#include "view_window.h"

#include "view_model.h"
#include "view_report.h"
#include "view_session.h"

namespace {

struct view_state {
    view_camera camera;
    bool dragging = false;
    POINT last{0, 0};
    bool redraw = true;    // the picture must be drawn again
    bool repaint = false;  // the last picture must be shown again
};

// The window procedure's state; the viewer has one window.
view_state* state_of_window = nullptr;

void on_key(view_state& state, HWND window, WPARAM key) {
    if (key == VK_ESCAPE) {
        DestroyWindow(window);
    } else if (key == 'R') {
        view_camera_reset(&state.camera);
        state.redraw = true;
    }
}

void on_mouse(view_state& state, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_LBUTTONDOWN) {
        state.dragging = true;
        state.last = at;
    } else if (message == WM_LBUTTONUP) {
        state.dragging = false;
    } else if (message == WM_MOUSEMOVE && state.dragging && (wParam & MK_LBUTTON) != 0) {
        view_camera_drag(&state.camera, at.x - state.last.x, at.y - state.last.y);
        state.last = at;
        state.redraw = true;
    } else if (message == WM_MOUSEWHEEL) {
        view_camera_wheel(&state.camera, GET_WHEEL_DELTA_WPARAM(wParam));
        state.redraw = true;
    }
}

LRESULT CALLBACK viewer_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    view_state* state = state_of_window;
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_PAINT:
        if (state != nullptr) state->repaint = true;
        ValidateRect(window, nullptr);
        return 0;
    case WM_KEYDOWN:
        if (state != nullptr) on_key(*state, window, wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
        if (state != nullptr) on_mouse(*state, message, wParam, lParam);
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Runs until WM_QUIT; returns its exit code.
int message_loop(const view_session& session, const view_model& model, view_state& state) {
    MSG msg{};
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (state.redraw) {
            view_draw(session.device, model, state.camera, session.width, session.height);
            state.redraw = false;
            state.repaint = true;
        }
        if (state.repaint) {
            session.device->Present(nullptr, nullptr, nullptr, nullptr);
            state.repaint = false;
        } else {
            WaitMessage();
        }
    }
}

}  // namespace

int view_run_window(const view_options& options) {
    const std::string& file = options.files.front();
    const int width = options.width > 0 ? options.width : view_window_width;
    const int height = options.height > 0 ? options.height : view_window_height;
    view_session session;
    std::string reason;
    if (!view_open_window(viewer_procedure, view_title(file, 0), width, height, &session, &reason) ||
        !view_open_device(width, height, &session, &reason)) {
        view_report(file, reason);
        view_close_session(&session);
        return 1;
    }
    view_model model;
    if (!view_load_model(session.device, file, &model, &reason)) {
        view_report(file, reason);
        view_close_session(&session);
        return 1;
    }
    SetWindowTextA(session.window, view_title(file, model.triangles).c_str());
    ShowWindow(session.window, SW_SHOWDEFAULT);

    view_state state;
    state.camera = view_camera_at(options.yaw_degrees, options.pitch_degrees);
    state_of_window = &state;
    const int status = message_loop(session, model, state);
    state_of_window = nullptr;
    view_release_model(&model);
    view_close_session(&session);
    return status;
}
