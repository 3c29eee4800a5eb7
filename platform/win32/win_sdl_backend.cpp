// win_sdl_backend.cpp - the SDL2 back end: native windows, input events, showing frames, keys.
//
// Each window gets an SDL window of its client size (hidden until shown, resizable, its frame
// the window manager's). A present copies the frame into the window's own surface (shared memory
// with the X server on X11, see win_sdl_surface.cpp), stretched with bilinear filtering when the
// window has been resized; a frame that the device rendered in shared memory of the window's size
// is put from there without a copy, and the present returns once the server has read it. Presents are paced by a timer
// at the display's refresh rate (60 Hz when unknown); with vblank_mode=0 in the environment they are not paced at all.
// A window surface has no vertical-blank wait of its own to use instead.
//
// Input: the close button posts WM_CLOSE; keys post WM_KEYDOWN / WM_KEYUP (the SYS forms with
// Alt and for F10) with the set-1 scan code, extended, context, previous-state and transition
// bits; the mouse posts moves, the five buttons (double clicks for CS_DBLCLKS classes) in client
// coordinates, to the capturing window while there is one (negative outside), and both wheels
// (screen coordinates, WHEEL_DELTA per notch). A resize or move of the native window reaches the
// window layer (WM_SIZE, WM_MOVE; CS_HREDRAW / CS_VREDRAW invalidate), an uncovered window is
// invalidated, focus changes activate and deactivate. The global key state comes from the X
// server's keymap when SDL runs on X11, else from SDL's keyboard state (which follows the focused
// window only). WaitMessage blocks in SDL_WaitEvent.
//
// DOES NOT: allocate per present while the window keeps its size; shut SDL down (the process's
// end does).
#include "platform/win32/win_backend.h"
#include "platform/win32/win_pacing.h"
#include "platform/win32/win_sdl.h"
#include "platform/win32/win_gdi.h"
#include "platform/win32/win_messages.h"
#include "platform/win32/win_window_geometry.h"
#include "platform/win32/win_window_table.h"
#include "platform/win32/win_x11_keys.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const window_data_key = "win32.hwnd";

struct vk_scancode {
    int virtual_key;
    SDL_Scancode scancode;
};

const vk_scancode named_keys[] = {
    {VK_BACK, SDL_SCANCODE_BACKSPACE},
    {VK_TAB, SDL_SCANCODE_TAB},
    {VK_CLEAR, SDL_SCANCODE_CLEAR},
    {VK_RETURN, SDL_SCANCODE_RETURN},
    {VK_RETURN, SDL_SCANCODE_KP_ENTER},
    {VK_SHIFT, SDL_SCANCODE_LSHIFT},
    {VK_SHIFT, SDL_SCANCODE_RSHIFT},
    {VK_CONTROL, SDL_SCANCODE_LCTRL},
    {VK_CONTROL, SDL_SCANCODE_RCTRL},
    {VK_MENU, SDL_SCANCODE_LALT},
    {VK_MENU, SDL_SCANCODE_RALT},
    {VK_PAUSE, SDL_SCANCODE_PAUSE},
    {VK_CAPITAL, SDL_SCANCODE_CAPSLOCK},
    {VK_ESCAPE, SDL_SCANCODE_ESCAPE},
    {VK_SPACE, SDL_SCANCODE_SPACE},
    {VK_PRIOR, SDL_SCANCODE_PAGEUP},
    {VK_NEXT, SDL_SCANCODE_PAGEDOWN},
    {VK_END, SDL_SCANCODE_END},
    {VK_HOME, SDL_SCANCODE_HOME},
    {VK_LEFT, SDL_SCANCODE_LEFT},
    {VK_UP, SDL_SCANCODE_UP},
    {VK_RIGHT, SDL_SCANCODE_RIGHT},
    {VK_DOWN, SDL_SCANCODE_DOWN},
    {VK_SELECT, SDL_SCANCODE_SELECT},
    {VK_EXECUTE, SDL_SCANCODE_EXECUTE},
    {VK_SNAPSHOT, SDL_SCANCODE_PRINTSCREEN},
    {VK_INSERT, SDL_SCANCODE_INSERT},
    {VK_DELETE, SDL_SCANCODE_DELETE},
    {VK_HELP, SDL_SCANCODE_HELP},
    {VK_LWIN, SDL_SCANCODE_LGUI},
    {VK_RWIN, SDL_SCANCODE_RGUI},
    {VK_APPS, SDL_SCANCODE_APPLICATION},
    {VK_SLEEP, SDL_SCANCODE_SLEEP},
    {VK_NUMPAD0, SDL_SCANCODE_KP_0},
    {VK_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY},
    {VK_ADD, SDL_SCANCODE_KP_PLUS},
    {VK_SUBTRACT, SDL_SCANCODE_KP_MINUS},
    {VK_DECIMAL, SDL_SCANCODE_KP_PERIOD},
    {VK_DIVIDE, SDL_SCANCODE_KP_DIVIDE},
    {VK_NUMLOCK, SDL_SCANCODE_NUMLOCKCLEAR},
    {VK_SCROLL, SDL_SCANCODE_SCROLLLOCK},
    {VK_OEM_1, SDL_SCANCODE_SEMICOLON},
    {VK_OEM_PLUS, SDL_SCANCODE_EQUALS},
    {VK_OEM_COMMA, SDL_SCANCODE_COMMA},
    {VK_OEM_MINUS, SDL_SCANCODE_MINUS},
    {VK_OEM_PERIOD, SDL_SCANCODE_PERIOD},
    {VK_OEM_2, SDL_SCANCODE_SLASH},
    {VK_OEM_3, SDL_SCANCODE_GRAVE},
    {VK_OEM_4, SDL_SCANCODE_LEFTBRACKET},
    {VK_OEM_5, SDL_SCANCODE_BACKSLASH},
    {VK_OEM_6, SDL_SCANCODE_RIGHTBRACKET},
    {VK_OEM_7, SDL_SCANCODE_APOSTROPHE},
};

int virtual_key_of(SDL_Scancode code) {
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
    if (code == SDL_SCANCODE_0) return '0';
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return VK_F1 + (code - SDL_SCANCODE_F1);
    if (code >= SDL_SCANCODE_F13 && code <= SDL_SCANCODE_F24) return VK_F13 + (code - SDL_SCANCODE_F13);
    if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9) return VK_NUMPAD1 + (code - SDL_SCANCODE_KP_1);
    for (const vk_scancode& key : named_keys) {
        if (key.scancode == code) return key.virtual_key;
    }
    return 0;
}

// The set-1 scan code of a key: the virtual key's, with the right-hand modifiers and the keypad's
// Enter told apart as the platform does.
win_key_code key_code_of(SDL_Scancode code, int virtual_key) {
    switch (code) {
    case SDL_SCANCODE_RSHIFT: return {0x36, false};
    case SDL_SCANCODE_RCTRL: return {0x1D, true};
    case SDL_SCANCODE_RALT: return {0x38, true};
    case SDL_SCANCODE_KP_ENTER: return {0x1C, true};
    default: return win_key_code_of(virtual_key);
    }
}

bool scancode_down(const Uint8* state, int virtual_key) {
    for (int code = 0; code < SDL_NUM_SCANCODES; ++code) {
        if (state[code] && virtual_key_of(static_cast<SDL_Scancode>(code)) == virtual_key) return true;
    }
    return false;
}

// The MK_ flags of wParam: SDL's button mask and the keyboard's Shift and Ctrl.
WPARAM mouse_key_state(Uint32 buttons) {
    WPARAM state = 0;
    if (buttons & SDL_BUTTON_LMASK) state |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) state |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) state |= MK_MBUTTON;
    if (buttons & SDL_BUTTON_X1MASK) state |= MK_XBUTTON1;
    if (buttons & SDL_BUTTON_X2MASK) state |= MK_XBUTTON2;
    const SDL_Keymod keys = SDL_GetModState();
    if (keys & KMOD_SHIFT) state |= MK_SHIFT;
    if (keys & KMOD_CTRL) state |= MK_CONTROL;
    return state;
}

// The button messages of an SDL button: down, up, double click; false for other buttons.
struct button_messages {
    UINT down, up, double_click;
    WORD x_button;
};
bool messages_of_button(Uint8 button, button_messages* out) {
    switch (button) {
    case SDL_BUTTON_LEFT: *out = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, 0}; return true;
    case SDL_BUTTON_RIGHT: *out = {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, 0}; return true;
    case SDL_BUTTON_MIDDLE: *out = {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, 0}; return true;
    case SDL_BUTTON_X1: *out = {WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK, XBUTTON1}; return true;
    case SDL_BUTTON_X2: *out = {WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK, XBUTTON2}; return true;
    default: return false;
    }
}

struct sdl_window final : win_native {
    ~sdl_window() override {
        presenter.reset();
        if (window != nullptr) SDL_DestroyWindow(window);
    }
    SDL_Window* window = nullptr;
    std::unique_ptr<win_sdl_presenter> presenter;
    bool presented = false;
    win_pacer pacer;
};

sdl_window* native_of(win_window& window) { return static_cast<sdl_window*>(window.native.get()); }

class sdl_backend final : public win_backend {
public:
    sdl_backend() {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        const char* vblank = std::getenv("vblank_mode");
        paced_ = vblank == nullptr || std::strcmp(vblank, "0") != 0;
        video_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (!video_) {
            std::fprintf(stderr, "window layer: SDL video unavailable: %s\n", SDL_GetError());
            return;
        }
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!shows_anything(driver)) {
            std::fprintf(stderr,
                         "window layer: no display (SDL video driver \"%s\"); set DISPLAY, or "
                         "WIN32_STANDIN_BACKEND=headless to run without one\n",
                         driver != nullptr ? driver : "");
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            video_ = false;
            return;
        }
        if (std::strcmp(driver, "x11") != 0) return;
        // Without this SDL would show an X11 window surface through an OpenGL texture, which on
        // these machines means a second software rasteriser (llvmpipe) per frame, instead of a
        // shared-memory image. Drivers without window surfaces of their own need the texture.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        x11_keys_ = win_x11_keyboard_open();
    }

    bool open_window(win_window& window) override {
        if (!video_) return false;
        auto native = std::make_unique<sdl_window>();
        const POINT origin = win_client_origin(window);
        native->window = SDL_CreateWindow(
            window.title_utf8.c_str(), origin.x, origin.y, window.client_width > 0 ? window.client_width : 1,
            window.client_height > 0 ? window.client_height : 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
        if (native->window == nullptr) return report_failure("window");
        native->presenter = std::make_unique<win_sdl_presenter>(native->window);
        native->pacer = win_pacer_for_refresh(refresh_rate(native->window));
        SDL_SetWindowData(native->window, window_data_key, window.handle);
        window.native = std::move(native);
        return true;
    }

    void show_window(win_window& window, bool visible) override {
        sdl_window* native = native_of(window);
        if (!visible) {
            SDL_HideWindow(native->window);
            return;
        }
        SDL_ShowWindow(native->window);
        if (!native->presented) fill_background(window);
    }

    void move_window(win_window& window) override {
        sdl_window* native = native_of(window);
        const POINT origin = win_client_origin(window);
        SDL_SetWindowPosition(native->window, origin.x, origin.y);
        SDL_SetWindowSize(native->window, std::max(1, window.client_width), std::max(1, window.client_height));
    }

    void raise_window(win_window& window) override { SDL_RaiseWindow(native_of(window)->window); }

    void limit_size(win_window& window, int min_width, int min_height, int max_width, int max_height) override {
        SDL_Window* native = native_of(window)->window;
        SDL_SetWindowMinimumSize(native, std::max(1, min_width), std::max(1, min_height));
        SDL_SetWindowMaximumSize(native, std::max(1, max_width), std::max(1, max_height));
    }

    bool set_fullscreen(win_window& window, bool fullscreen) override {
        return SDL_SetWindowFullscreen(native_of(window)->window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
    }

    void erase_background(win_window& window) override {
        sdl_window* native = native_of(window);
        if (native != nullptr && window.visible && !native->presented) fill_background(window);
    }

    POINT cursor_position() override {
        int x = 0, y = 0;
        if (video_) SDL_GetGlobalMouseState(&x, &y);
        return POINT{x, y};
    }

    POINT message_cursor_position() override { return last_pointer(); }

    void warp_cursor(int x, int y) override {
        if (!video_) return;
        SDL_WarpMouseGlobal(x, y);
        last_pointer() = POINT{x, y};
    }

    void show_cursor(bool visible) override {
        if (video_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    }

    void capture_mouse(bool capture) override {
        if (video_) SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
    }

    void clip_cursor(const RECT* rect) override {
        if (!video_) return;
        const HWND active = win_thread().active != nullptr ? win_thread().active : win_thread().focus;
        win_window* window = win_table_live_window(active);
        if (clipped_ != nullptr && clipped_ != window) {
            if (clipped_->native) SDL_SetWindowMouseRect(native_of(*clipped_)->window, nullptr);
            clipped_ = nullptr;
        }
        if (window == nullptr || !window->native) return;
        if (rect == nullptr) {
            SDL_SetWindowMouseRect(native_of(*window)->window, nullptr);
            clipped_ = nullptr;
            return;
        }
        // The part of the rectangle inside the client area, in client coordinates.
        const POINT origin = win_client_origin(*window);
        const int left = std::max<int>(rect->left - origin.x, 0);
        const int top = std::max<int>(rect->top - origin.y, 0);
        const int right = std::min<int>(rect->right - origin.x, window->client_width);
        const int bottom = std::min<int>(rect->bottom - origin.y, window->client_height);
        const SDL_Rect area{left, top, std::max(1, right - left), std::max(1, bottom - top)};
        SDL_SetWindowMouseRect(native_of(*window)->window, &area);
        clipped_ = window;
    }

    void retitle_window(win_window& window) override {
        SDL_SetWindowTitle(native_of(window)->window, window.title_utf8.c_str());
    }

    void close_window(win_window& window) override {
        if (clipped_ == &window) clipped_ = nullptr;
        window.native.reset();
    }

    void pump_events() override {
        if (!video_) return;
        // One look at the display connection per call; SDL_PollEvent would look again for each event.
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) handle(event);
    }

    void wait_events() override {
        if (video_) SDL_WaitEvent(nullptr);
    }

    void wait_events_for(int milliseconds) override {
        if (video_) {
            SDL_WaitEventTimeout(nullptr, milliseconds);
        } else {
            SDL_Delay(static_cast<Uint32>(milliseconds));
        }
    }

    bool present(win_window& window, const uint32_t* pixels, int width, int height, int pitch) override {
        sdl_window* native = native_of(window);
        const bool shown = native->presenter->show(pixels, width, height, pitch);
        native->presented = native->presented || shown;
        // Paced even when nothing could be shown, so that a failing window does not turn the
        // program's frame loop into a spin.
        if (paced_ && window.present_paced) win_pacer_wait(native->pacer);
        native->presenter->finish();
        return shown;
    }

    void retire(const uint32_t* pixels) override { win_x11_shm_forget(pixels); }

    bool shows_shared_frames(win_window& window) override { return native_of(window)->presenter->shares_frames(); }

    win_display_mode desktop_mode() override {
        SDL_DisplayMode mode{};
        if (!video_ || SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) {
            return win_backend::desktop_mode();
        }
        return {mode.w, mode.h, mode.refresh_rate > 0 ? mode.refresh_rate : 60};
    }
    // The first display's modes (a refresh rate SDL does not know counts as 60 Hz), with the
    // desktop's among them.
    std::vector<win_display_mode> display_modes() override {
        std::vector<win_display_mode> modes{desktop_mode()};
        const int count = video_ ? SDL_GetNumDisplayModes(0) : 0;
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode{};
            if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0) continue;
            modes.push_back({mode.w, mode.h, mode.refresh_rate > 0 ? mode.refresh_rate : 60});
        }
        return modes;
    }
    bool key_down(int virtual_key) override {
        if (virtual_key == VK_LBUTTON || virtual_key == VK_RBUTTON || virtual_key == VK_MBUTTON ||
            virtual_key == VK_XBUTTON1 || virtual_key == VK_XBUTTON2) {
            return video_ &&
                   (mouse_key_state(SDL_GetGlobalMouseState(nullptr, nullptr)) & mouse_flag(virtual_key)) != 0;
        }
        if (x11_keys_) return win_x11_key_down(*x11_keys_, virtual_key);
        if (!video_) return false;
        return scancode_down(SDL_GetKeyboardState(nullptr), virtual_key);
    }

    int message_box(win_window* owner, const std::string& text, const std::string& caption, UINT type) override {
        SDL_Window* parent = owner != nullptr && owner->native ? native_of(*owner)->window : nullptr;
        return win_sdl_message_box(parent, text, caption, type);
    }

private:
    static WPARAM mouse_flag(int virtual_key) {
        switch (virtual_key) {
        case VK_LBUTTON: return MK_LBUTTON;
        case VK_RBUTTON: return MK_RBUTTON;
        case VK_MBUTTON: return MK_MBUTTON;
        case VK_XBUTTON1: return MK_XBUTTON1;
        default: return MK_XBUTTON2;
        }
    }

    void fill_background(win_window& window) {
        COLORREF colour = 0;
        if (!win_brush_colour(window.window_class->fields.hbrBackground, &colour)) return;
        native_of(window)->presenter->fill(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    }

    // SDL falls back to drivers that show nothing (offscreen, dummy) when no display can be
    // reached; a program would then run unseen and unstoppable. They count only when asked for.
    static bool shows_anything(const char* driver) {
        if (driver == nullptr) return false;
        const bool invisible = std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
        return !invisible || std::getenv("SDL_VIDEODRIVER") != nullptr;
    }

    static bool report_failure(const char* what) {
        std::fprintf(stderr, "window layer: SDL %s not created: %s\n", what, SDL_GetError());
        return false;
    }

    static int refresh_rate(SDL_Window* window) {
        SDL_DisplayMode mode{};
        const int display = SDL_GetWindowDisplayIndex(window);
        return display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
    }

    static HWND window_of(Uint32 window_id) {
        SDL_Window* window = SDL_GetWindowFromID(window_id);
        return window != nullptr ? static_cast<HWND>(SDL_GetWindowData(window, window_data_key)) : nullptr;
    }

    static void handle(const SDL_Event& event) {
        if (event.type == SDL_WINDOWEVENT) {
            handle_window_event(event.window);
        } else if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
            handle_key_event(event.key);
        } else {
            handle_mouse_event(event);
        }
    }

    static void handle_key_event(const SDL_KeyboardEvent& key) {
        const int virtual_key = virtual_key_of(key.keysym.scancode);
        const HWND window = window_of(key.windowID);
        if (virtual_key == 0 || window == nullptr) return;
        const bool down = key.type == SDL_KEYDOWN;
        const bool alt = virtual_key == VK_MENU ? down : (key.keysym.mod & KMOD_ALT) != 0;
        const win_key_code code = key_code_of(key.keysym.scancode, virtual_key);
        win_post_message(window, win_key_message(virtual_key, down, alt), static_cast<WPARAM>(virtual_key),
                         win_key_lparam(code.scan, code.extended, alt, down ? key.repeat != 0 : true, !down));
    }

    // The window a mouse event goes to (the capturing one while there is one) and the event's
    // position in that window's client coordinates.
    // Where the pointer was at the last mouse event, in screen coordinates.
    static POINT& last_pointer() {
        static POINT point{0, 0};
        return point;
    }

    static HWND mouse_target(Uint32 window_id, int x, int y, POINT* at) {
        const HWND under = window_of(window_id);
        if (const win_window* record = win_table_live_window(under)) {
            const POINT origin = win_client_origin(*record);
            last_pointer() = POINT{origin.x + x, origin.y + y};
        }
        const HWND capture = win_thread().capture;
        *at = POINT{x, y};
        if (capture == nullptr || capture == under) return under;
        win_window* from = win_table_live_window(under);
        win_window* to = win_table_live_window(capture);
        if (to == nullptr) return under;
        POINT screen{x, y};
        if (from != nullptr) {
            const POINT origin = win_client_origin(*from);
            screen = POINT{origin.x + x, origin.y + y};
        } else {
            int sx = 0, sy = 0;
            SDL_GetGlobalMouseState(&sx, &sy);
            screen = POINT{sx, sy};
        }
        const POINT origin = win_client_origin(*to);
        *at = POINT{screen.x - origin.x, screen.y - origin.y};
        return capture;
    }

    static void handle_mouse_event(const SDL_Event& event) {
        POINT at{};
        if (event.type == SDL_MOUSEMOTION) {
            const HWND window = mouse_target(event.motion.windowID, event.motion.x, event.motion.y, &at);
            if (window == nullptr) return;
            win_post_message(window, WM_MOUSEMOVE, mouse_key_state(event.motion.state), win_point_lparam(at.x, at.y));
        } else if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) {
            button_messages messages{};
            if (!messages_of_button(event.button.button, &messages)) return;
            const HWND window = mouse_target(event.button.windowID, event.button.x, event.button.y, &at);
            const win_window* record = win_table_live_window(window);
            if (record == nullptr) return;
            UINT message = messages.up;
            if (event.type == SDL_MOUSEBUTTONDOWN) {
                const bool double_click = event.button.clicks >= 2 && event.button.clicks % 2 == 0 &&
                                          (record->window_class->fields.style & CS_DBLCLKS) != 0;
                message = double_click ? messages.double_click : messages.down;
            }
            // The buttons as this event leaves them (SDL's own state is already that of the last
            // event pumped).
            static Uint32 pressed = 0;
            const Uint32 bit = SDL_BUTTON(event.button.button);
            pressed = event.type == SDL_MOUSEBUTTONDOWN ? (pressed | bit) : (pressed & ~bit);
            const WPARAM keys = mouse_key_state(pressed);
            win_post_message(window, message, MAKEWPARAM(keys, messages.x_button), win_point_lparam(at.x, at.y));
        } else if (event.type == SDL_MOUSEWHEEL) {
            const HWND window =
                win_thread().capture != nullptr ? win_thread().capture : window_of(event.wheel.windowID);
            if (window == nullptr) return;
            int screen_x = 0;
            int screen_y = 0;
            const WPARAM keys = mouse_key_state(SDL_GetGlobalMouseState(&screen_x, &screen_y));
            const bool flipped = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED;
            const int vertical = wheel_delta(flipped ? -event.wheel.preciseY : event.wheel.preciseY);
            const int horizontal = wheel_delta(flipped ? -event.wheel.preciseX : event.wheel.preciseX);
            if (vertical != 0) {
                win_post_message(window, WM_MOUSEWHEEL, win_wheel_wparam(keys, vertical),
                                 win_point_lparam(screen_x, screen_y));
            }
            if (horizontal != 0) {
                win_post_message(window, WM_MOUSEHWHEEL, win_wheel_wparam(keys, horizontal),
                                 win_point_lparam(screen_x, screen_y));
            }
        }
    }

    // A turn in WHEEL_DELTA units per notch, fractions of a notch (touchpads) included, limited
    // to what the message's signed 16 bits hold.
    static int wheel_delta(float notches) {
        if (!(notches == notches)) return 0;
        notches = notches > 273.0f ? 273.0f : notches < -273.0f ? -273.0f : notches;
        return static_cast<int>(std::lround(notches * WHEEL_DELTA));
    }

    static void handle_window_event(const SDL_WindowEvent& event) {
        const HWND handle = window_of(event.windowID);
        win_window* window = win_table_live_window(handle);
        if (window == nullptr || window->state != win_window_state::alive) return;
        SDL_Window* native = SDL_GetWindowFromID(event.windowID);
        switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE: win_post_message(handle, WM_CLOSE, 0, 0); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MOVED: {
            int x = 0, y = 0, width = 0, height = 0;
            SDL_GetWindowPosition(native, &x, &y);
            SDL_GetWindowSize(native, &width, &height);
            if (event.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                width = event.data1;
                height = event.data2;
            }
            win_native_moved(*window, x, y, width, height);
            break;
        }
        case SDL_WINDOWEVENT_EXPOSED: win_invalidate(*window, true); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: win_activate(*window); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (win_thread().active == handle) win_deactivate_app();
            break;
        default: break;
        }
    }

    bool video_ = false;
    bool paced_ = true;
    win_x11_keyboard_ptr x11_keys_;
    win_window* clipped_ = nullptr;  // the window whose pointer ClipCursor confines
};

}  // namespace

std::unique_ptr<win_backend> win_make_sdl_backend() { return std::make_unique<sdl_backend>(); }
