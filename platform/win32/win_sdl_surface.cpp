// win_sdl_surface.cpp - showing frames in an SDL window, through memory the display reads.
//
// On a local X server the picture goes into a MIT-SHM image of the window's size that this layer
// owns (win_x11_shm.h) and is put without waiting for the server. Elsewhere (another video driver,
// a remote or unusual X server) it goes into SDL's window surface, which SDL shows with a round
// trip per present. A frame that already lies in shared memory (win_shared_frame.h) and has the
// window's size is put from there, uncopied; finish() then waits until the server has read it,
// since its owner writes the next frame into the same memory. Otherwise a frame of the target's
// size and pixel format is copied in with stores that bypass this process's cache and nothing
// else happens to it; a window resized by the user gets the frame stretched with bilinear
// filtering; any other pixel format is converted by SDL's blitter.
//
// DOES NOT: keep a copy of the frame, pace presents, or allocate per present while neither the
// device's buffer nor the window's size changes.
#include "platform/win32/win_sdl.h"

#include "platform/win32/win_shared_frame.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The device's pixels: 0x00RRGGBB in 32-bit words.
const Uint32 frame_format = SDL_PIXELFORMAT_RGB888;

// Copies without reading the target into the cache first. The X server, not this process, reads
// the target next; through the cache, a frame-sized copy would fetch every target line before
// overwriting it and push the source out (measured: a cold 1.1 MB copy costs ~90 us this way
// against ~330 us with memcpy). Callers end a series of copies with finish_streaming().
void stream_bytes(Uint8* to, const Uint8* from, size_t bytes) {
#if defined(__SSE2__)
    const size_t head = std::min(bytes, (16 - reinterpret_cast<uintptr_t>(to) % 16) % 16);
    std::memcpy(to, from, head);
    size_t i = head;
    for (; i + 16 <= bytes; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + i), block);
    }
    std::memcpy(to + i, from + i, bytes - i);
#else
    std::memcpy(to, from, bytes);
#endif
}

// Orders the streamed stores before anything that tells the X server to read them.
void finish_streaming() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

void copy_rows(const SDL_Surface& from, SDL_Surface& to) {
    const auto* source = static_cast<const Uint8*>(from.pixels);
    auto* target = static_cast<Uint8*>(to.pixels);
    const size_t row_bytes = static_cast<size_t>(from.w) * sizeof(uint32_t);
    if (from.pitch == to.pitch) {
        stream_bytes(target, source, row_bytes + static_cast<size_t>(from.pitch) * (from.h - 1));
    } else {
        for (int y = 0; y < from.h; ++y) {
            stream_bytes(target + static_cast<ptrdiff_t>(y) * to.pitch, source + static_cast<ptrdiff_t>(y) * from.pitch,
                         row_bytes);
        }
    }
    finish_streaming();
}

bool same_size(const SDL_Surface& surface, int width, int height) { return surface.w == width && surface.h == height; }
bool same_size(const SDL_Surface& a, const SDL_Surface& b) { return same_size(a, b.w, b.h); }

void free_surface(SDL_Surface*& surface) {
    SDL_FreeSurface(surface);
    surface = nullptr;
}

}  // namespace

// The image must reach the server that holds SDL's window, which SDL's own connection names.
win_sdl_presenter::win_sdl_presenter(SDL_Window* window) : window_(window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        shm_ = win_x11_shm_open(DisplayString(info.info.x11.display), info.info.x11.window);
    }
}

win_sdl_presenter::~win_sdl_presenter() {
    free_surface(frame_);
    free_surface(stretched_);
    free_surface(shm_surface_);
}

bool win_sdl_presenter::show(const uint32_t* pixels, int width, int height, int pitch) {
    if (put_shared(pixels, width, height, pitch)) return true;
    SDL_Surface* surface = target();
    if (surface == nullptr || !wrap_frame(pixels, width, height, pitch)) return report_once("window surface");
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return report_once("surface lock");
    const bool drawn = same_size(*frame_, *surface) ? copy(*surface) : stretch(*surface);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return (drawn || report_once("frame blit")) && publish();
}

bool win_sdl_presenter::fill(Uint8 red, Uint8 green, Uint8 blue) {
    SDL_Surface* surface = target();
    if (surface == nullptr) return report_once("window surface");
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, red, green, blue));
    return publish();
}

void win_sdl_presenter::finish() {
    if (put_shared_ && shm_) win_x11_shm_wait(*shm_);
}

bool win_sdl_presenter::put_shared(const uint32_t* pixels, int width, int height, int pitch) {
    put_shared_ = false;
    if (!shm_ || pitch != width) return false;
    int window_width = 0;
    int window_height = 0;
    SDL_GetWindowSize(window_, &window_width, &window_height);
    if (window_width != width || window_height != height) return false;
    const int segment =
        win_shared_frame_segment(pixels, static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(uint32_t));
    put_shared_ = segment >= 0 && win_x11_shm_put_frame(*shm_, pixels, segment, width, height);
    return put_shared_;
}

// The shared-memory image of the window's present size when there is one, else SDL's surface.
// An image that cannot be made sends this window to SDL's surface for good.
SDL_Surface* win_sdl_presenter::target() {
    if (!shm_) return SDL_GetWindowSurface(window_);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    const win_x11_image* image = win_x11_shm_image(*shm_, width, height);
    if (image == nullptr) {
        shm_.reset();
        free_surface(shm_surface_);
        return SDL_GetWindowSurface(window_);
    }
    if (shm_surface_ == nullptr || shm_surface_->pixels != image->pixels ||
        !same_size(*shm_surface_, image->width, image->height)) {
        free_surface(shm_surface_);
        shm_surface_ = SDL_CreateRGBSurfaceWithFormatFrom(image->pixels, image->width, image->height, 32, image->pitch,
                                                          frame_format);
    }
    return shm_surface_;
}

bool win_sdl_presenter::publish() {
    if (shm_) return win_x11_shm_put(*shm_) || report_once("shared-memory put");
    return SDL_UpdateWindowSurface(window_) == 0 || report_once("window update");
}

// The device's buffer stays put between presents, so its surface header is made again only when
// the buffer moves or changes shape.
bool win_sdl_presenter::wrap_frame(const uint32_t* pixels, int width, int height, int pitch) {
    const int pitch_bytes = pitch * static_cast<int>(sizeof(uint32_t));
    if (frame_ != nullptr && frame_->pixels == pixels && frame_->w == width && frame_->h == height &&
        frame_->pitch == pitch_bytes) {
        return true;
    }
    free_surface(frame_);
    // SDL never writes through a surface used only as a blit source.
    frame_ =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32, pitch_bytes, frame_format);
    return frame_ != nullptr;
}

bool win_sdl_presenter::copy(SDL_Surface& surface) {
    if (surface.format->format != frame_format) return SDL_BlitSurface(frame_, nullptr, &surface, nullptr) == 0;
    copy_rows(*frame_, surface);
    return true;
}

// Bilinear stretching needs source and target in one format; another window format gets the
// stretched frame through a surface of the window's size, converted by a plain blit.
bool win_sdl_presenter::stretch(SDL_Surface& surface) {
    if (surface.format->format == frame_format) return SDL_SoftStretchLinear(frame_, nullptr, &surface, nullptr) == 0;
    if (stretched_ == nullptr || !same_size(*stretched_, surface)) {
        free_surface(stretched_);
        stretched_ = SDL_CreateRGBSurfaceWithFormat(0, surface.w, surface.h, 32, frame_format);
        if (stretched_ == nullptr) return false;
    }
    return SDL_SoftStretchLinear(frame_, nullptr, stretched_, nullptr) == 0 &&
           SDL_BlitSurface(stretched_, nullptr, &surface, nullptr) == 0;
}

// A window that cannot be drawn to would otherwise repeat its complaint at every frame.
bool win_sdl_presenter::report_once(const char* what) {
    if (!reported_) std::fprintf(stderr, "window layer: SDL %s failed: %s\n", what, SDL_GetError());
    reported_ = true;
    return false;
}
