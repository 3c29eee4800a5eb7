// win_x11_shm.h - an X11 window's picture in a shared-memory image (MIT-SHM), put without a
// round trip.
//
// The image lives in a shared-memory segment that the X server reads directly. A put returns at
// once; the server sends a completion event once it has read the image, and the image is not
// handed out for writing again before that event has come (or a bounded wait for it has passed:
// a server that stalls for that long gets at worst a torn picture, never a fault).
//
// A frame that already lives in shared memory (win_shared_frame.h) is put from there: its
// segment is attached to the server on first use and stays so until the frame's owner retires it
// (win_x11_shm_forget) or the connection closes.
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

// Shows `width` x `height` pixels (rows `width` pixels apart) that lie at the start of the shared
// segment `segment` in the window's top-left corner, without copying them; returns without
// waiting. False when the server does not take that segment (the caller then copies), and from
// then on for the same pixels without asking the server again.
bool win_x11_shm_put_frame(win_x11_shm& shm, const uint32_t* pixels, int segment, int width, int height);

// Returns once the server has read what was last put (or a bounded wait for that has passed).
void win_x11_shm_wait(win_x11_shm& shm);

// The owner of shared pixels is about to free them: every connection detaches them from its server.
void win_x11_shm_forget(const uint32_t* pixels);
