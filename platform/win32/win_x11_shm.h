// win_x11_shm.h - an X11 window's picture in a shared-memory image (MIT-SHM), put without a
// round trip.
//
// The image lives in a shared-memory segment that the X server reads directly. A put returns at
// once; the server sends a completion event once it has read the image, and the image is not
// handed out for writing again before that event has come (or a bounded wait for it has passed:
// a server that stalls for that long gets at worst a torn picture, never a fault).
//
// DOES NOT: know about SDL; convert pixels (only windows of a 24-bit visual whose pixels are
// 0x00RRGGBB words in this machine's byte order are served); reach a server on another machine.
#pragma once

#include <cstdint>
#include <memory>

struct win_x11_shm;
struct win_x11_shm_closer {
    void operator()(win_x11_shm* shm) const;
};
using win_x11_shm_ptr = std::unique_ptr<win_x11_shm, win_x11_shm_closer>;

// Where the next picture goes: `height` rows of `width` pixels, `pitch` bytes apart.
struct win_x11_image {
    uint8_t* pixels;
    int width;
    int height;
    int pitch;
};

// Opens a connection to the display named `display_name` for putting pictures into `window`.
// Null when the server or the window's visual does not allow it (the caller then presents
// another way); nothing is reported then.
win_x11_shm_ptr win_x11_shm_open(const char* display_name, unsigned long window);

// An image of `width` x `height` that the server is done reading, made anew when the size
// changes. Null when no such image can be made.
const win_x11_image* win_x11_shm_image(win_x11_shm& shm, int width, int height);

// Shows the image last handed out in the window's top-left corner; returns without waiting.
bool win_x11_shm_put(win_x11_shm& shm);
