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
// Input: the close button posts WM_CLOSE, a resize changes the client size, keys post WM_KEYDOWN
// and WM_KEYUP, the mouse posts WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE (client coordinates)
// and WM_MOUSEWHEEL (screen coordinates, WHEEL_DELTA per notch), and a window that was uncovered
// or resized gets WM_PAINT. The global key state comes from the X server's keymap when SDL runs
// on X11, else from SDL's keyboard state (which follows the focused window only). WaitMessage
// blocks in SDL_WaitEvent.
//
// DOES NOT: allocate per present while the window keeps its size; shut SDL down (the process's
// end does).
#include "platform/win32/win_backend.h"
#include "platform/win32/win_pacing.h"
#include "platform/win32/win_sdl.h"
#include "platform/win32/win_cp1250.h"
#include "platform/win32/win_messages.h"
#include "platform/win32/win_window_table.h"
#include "platform/win32/win_x11_keys.h"

#include <SDL.h>

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
    {0x08, SDL_SCANCODE_BACKSPACE}, {0x09, SDL_SCANCODE_TAB},    {0x0D, SDL_SCANCODE_RETURN},
    {0x10, SDL_SCANCODE_LSHIFT},    {0x10, SDL_SCANCODE_RSHIFT}, {0x11, SDL_SCANCODE_LCTRL},
    {0x11, SDL_SCANCODE_RCTRL},     {0x12, SDL_SCANCODE_LALT},   {0x12, SDL_SCANCODE_RALT},
    {0x1B, SDL_SCANCODE_ESCAPE},    {0x20, SDL_SCANCODE_SPACE},  {0x25, SDL_SCANCODE_LEFT},
    {0x26, SDL_SCANCODE_UP},        {0x27, SDL_SCANCODE_RIGHT},  {0x28, SDL_SCANCODE_DOWN},
};

int virtual_key_of(SDL_Scancode code) {
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
    if (code == SDL_SCANCODE_0) return '0';
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return 0x70 + (code - SDL_SCANCODE_F1);
    for (const vk_scancode& key : named_keys) {
        if (key.scancode == code) return key.virtual_key;
    }
    return 0;
}

bool scancode_down(const Uint8* state, int virtual_key) {
    for (int code = 0; code < SDL_NUM_SCANCODES; ++code) {
        if (state[code] && virtual_key_of(static_cast<SDL_Scancode>(code)) == virtual_key) return true;
    }
    return false;
}

// The class background brush as a colour: small values are "system colour index + 1".
bool background_colour(HBRUSH brush, SDL_Color* colour) {
    const auto value = reinterpret_cast<uintptr_t>(brush);
    if (value == 0 || value > 31) return false;
    const bool white = value - 1 == 5;  // COLOR_WINDOW itself; everything else is the light grey face
    *colour = white ? SDL_Color{255, 255, 255, 255} : SDL_Color{240, 240, 240, 255};
    return true;
}

// The MK_ flags of wParam: SDL's button mask and the keyboard's Shift and Ctrl.
WPARAM mouse_key_state(Uint32 buttons) {
    WPARAM state = 0;
    if (buttons & SDL_BUTTON_LMASK) state |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) state |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) state |= MK_MBUTTON;
    const SDL_Keymod keys = SDL_GetModState();
    if (keys & KMOD_SHIFT) state |= MK_SHIFT;
    if (keys & KMOD_CTRL) state |= MK_CONTROL;
    return state;
}

LPARAM point_lparam(int x, int y) { return MAKELPARAM(static_cast<SHORT>(x), static_cast<SHORT>(y)); }

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
        native->window = SDL_CreateWindow(win_cp1250_to_utf8(window.title.c_str()).c_str(), window.x, window.y,
                                          window.client_width > 0 ? window.client_width : 1,
                                          window.client_height > 0 ? window.client_height : 1,
                                          SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
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
        SDL_Color colour{};
        if (!native->presented && background_colour(window.window_class->fields.hbrBackground, &colour)) {
            native->presenter->fill(colour.r, colour.g, colour.b);
        }
    }

    void retitle_window(win_window& window) override {
        SDL_SetWindowTitle(native_of(window)->window, win_cp1250_to_utf8(window.title.c_str()).c_str());
    }

    void close_window(win_window& window) override { window.native.reset(); }

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

    bool present(win_window& window, const uint32_t* pixels, int width, int height, int pitch) override {
        sdl_window* native = native_of(window);
        const bool shown = native->presenter->show(pixels, width, height, pitch);
        native->presented = native->presented || shown;
        // Paced even when nothing could be shown, so that a failing window does not turn the
        // program's frame loop into a spin.
        if (paced_) win_pacer_wait(native->pacer);
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
    bool key_down(int virtual_key) override {
        if (x11_keys_) return win_x11_key_down(*x11_keys_, virtual_key);
        if (!video_) return false;
        return scancode_down(SDL_GetKeyboardState(nullptr), virtual_key);
    }

    int message_box(win_window* owner, const std::string& text, const std::string& caption, UINT type) override {
        SDL_Window* parent = owner != nullptr && owner->native ? native_of(*owner)->window : nullptr;
        return win_sdl_message_box(parent, text, caption, type);
    }

private:
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
            const int virtual_key = virtual_key_of(event.key.keysym.scancode);
            const HWND window = window_of(event.key.windowID);
            if (virtual_key == 0 || window == nullptr) return;
            const bool down = event.type == SDL_KEYDOWN;
            const LPARAM flags = down ? (event.key.repeat ? (1L << 30) : 0) : (3L << 30);
            win_post_message(window, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtual_key), flags | 1);
        } else {
            handle_mouse_event(event);
        }
    }

    static void handle_mouse_event(const SDL_Event& event) {
        if (event.type == SDL_MOUSEMOTION) {
            const HWND window = window_of(event.motion.windowID);
            if (window == nullptr) return;
            win_post_message(window, WM_MOUSEMOVE, mouse_key_state(event.motion.state),
                             point_lparam(event.motion.x, event.motion.y));
        } else if ((event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) &&
                   event.button.button == SDL_BUTTON_LEFT) {
            const HWND window = window_of(event.button.windowID);
            if (window == nullptr) return;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            win_post_message(window, down ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                             mouse_key_state(SDL_GetMouseState(nullptr, nullptr)),
                             point_lparam(event.button.x, event.button.y));
        } else if (event.type == SDL_MOUSEWHEEL) {
            const HWND window = window_of(event.wheel.windowID);
            const int delta = wheel_delta(event.wheel);
            if (window == nullptr || delta == 0) return;
            int screen_x = 0;
            int screen_y = 0;
            const Uint32 buttons = SDL_GetGlobalMouseState(&screen_x, &screen_y);
            const WPARAM high = static_cast<WORD>(static_cast<SHORT>(delta));
            win_post_message(window, WM_MOUSEWHEEL, mouse_key_state(buttons) | (high << 16),
                             point_lparam(screen_x, screen_y));
        }
    }

    // The turn in WHEEL_DELTA units per notch, fractions of a notch (touchpads) included, positive
    // away from the user, limited to what the message's signed 16 bits hold.
    static int wheel_delta(const SDL_MouseWheelEvent& wheel) {
        float notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.preciseY : wheel.preciseY;
        if (!(notches == notches)) return 0;
        notches = notches > 273.0f ? 273.0f : notches < -273.0f ? -273.0f : notches;
        return static_cast<int>(std::lround(notches * WHEEL_DELTA));
    }

    static void handle_window_event(const SDL_WindowEvent& event) {
        const HWND handle = window_of(event.windowID);
        win_window* window = win_table_live_window(handle);
        if (window == nullptr) return;
        if (event.event == SDL_WINDOWEVENT_CLOSE) {
            win_post_message(handle, WM_CLOSE, 0, 0);
        } else if (event.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            window->client_width = event.data1;
            window->client_height = event.data2;
        } else if (event.event == SDL_WINDOWEVENT_EXPOSED) {
            win_post_message(handle, WM_PAINT, 0, 0);
        }
    }

    bool video_ = false;
    bool paced_ = true;
    win_x11_keyboard_ptr x11_keys_;
};

}  // namespace

std::unique_ptr<win_backend> win_make_sdl_backend() { return std::make_unique<sdl_backend>(); }
