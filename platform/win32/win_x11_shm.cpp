// win_x11_shm.cpp - MIT-SHM images for one X11 window: made, attached, put, waited for, freed.
//
// Its own connection to the server carries the puts and brings back their completion events, so
// that nothing else (SDL's event loop) swallows them. Per put: the completion of the previous
// one is read without blocking (it normally arrived long before), the request is written, done.
#include "platform/win32/win_x11_shm.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

struct win_x11_shm {
    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    GC gc = nullptr;
    int completion_type = 0;
    XImage* image = nullptr;  // null: none made yet, or the last one could not be made
    XShmSegmentInfo segment{};
    win_x11_image view{};
    bool put_pending = false;  // the server may still be reading the image

    // A frame in the caller's shared memory, attached to the server.
    struct lent_frame {
        XImage* image = nullptr;  // null: none attached
        XShmSegmentInfo segment{};
        const uint32_t* pixels = nullptr;
        const uint32_t* refused = nullptr;  // pixels the server would not attach
    };
    lent_frame frame;
};

namespace {

const int max_side = 32767;  // the protocol's limit for a window's width and height
const int completion_wait_ms = 100;

// Xlib's error handlers take no user data: the one installed around an attach notes here that
// the server refused it. Only ever set and read within attach().
bool attach_refused = false;

// Every open connection, so that a frame's owner can have its pixels detached everywhere.
std::vector<win_x11_shm*>& connections() {
    static auto& list = *new std::vector<win_x11_shm*>;
    return list;
}

int note_attach_refused(Display*, XErrorEvent*) {
    attach_refused = true;
    return 0;
}

int64_t now_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool is_local(const char* display_name) {
    return display_name != nullptr && (display_name[0] == ':' || std::strncmp(display_name, "unix:", 5) == 0);
}

// 0x00RRGGBB words in this machine's byte order, which is what the device renders. SDL gives a
// DirectColor window an identity colour map, so such pixels show as they are there too.
bool takes_native_pixels(win_x11_shm& shm) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(shm.display, shm.window, &attributes) || attributes.depth != 24) return false;
    const Visual* visual = attributes.visual;
    shm.visual = attributes.visual;
    return (visual->c_class == TrueColor || visual->c_class == DirectColor) && visual->red_mask == 0xFF0000 &&
           visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
}

bool native_layout(const XImage& image) {
    const int host_order = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst;
    return image.bits_per_pixel == 32 && image.byte_order == host_order;
}

// A server on another host cannot reach the segment and answers with an error; it is caught
// here instead of ending the process the way Xlib's default handler would.
bool attach(win_x11_shm& shm, XShmSegmentInfo& segment) {
    attach_refused = false;
    XErrorHandler previous = XSetErrorHandler(note_attach_refused);
    const Status sent = XShmAttach(shm.display, &segment);
    XSync(shm.display, False);
    XSetErrorHandler(previous);
    return sent != 0 && !attach_refused;
}

void take_events(win_x11_shm& shm) {
    while (XPending(shm.display) > 0) {
        XEvent event;
        XNextEvent(shm.display, &event);
        if (event.type == shm.completion_type) shm.put_pending = false;
    }
}

void wait_for_completion(win_x11_shm& shm) {
    take_events(shm);
    const int64_t deadline = now_ms() + completion_wait_ms;
    while (shm.put_pending) {
        const int64_t left = deadline - now_ms();
        if (left <= 0) break;
        pollfd connection{ConnectionNumber(shm.display), POLLIN, 0};
        if (poll(&connection, 1, static_cast<int>(left)) < 0 && errno != EINTR) break;
        take_events(shm);
    }
    shm.put_pending = false;
}

// XDestroyImage would free the pixels too; they belong to the segment.
void destroy_image_header(XImage*& image) {
    image->data = nullptr;
    XDestroyImage(image);
    image = nullptr;
}

void free_image(win_x11_shm& shm) {
    if (shm.image == nullptr) return;
    wait_for_completion(shm);
    XShmDetach(shm.display, &shm.segment);
    destroy_image_header(shm.image);
    shmdt(shm.segment.shmaddr);
    shm.view = win_x11_image{};
}

// A segment that is marked for removal right after both sides attached it goes away with the
// last detach, however the process ends.
bool attach_segment(win_x11_shm& shm, size_t bytes) {
    shm.segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shm.segment.shmid < 0) return false;
    void* address = shmat(shm.segment.shmid, nullptr, 0);
    const bool mapped = address != reinterpret_cast<void*>(-1);
    shm.segment.shmaddr = mapped ? static_cast<char*>(address) : nullptr;
    shm.segment.readOnly = False;
    const bool attached = mapped && attach(shm, shm.segment);
    shmctl(shm.segment.shmid, IPC_RMID, nullptr);
    if (mapped && !attached) shmdt(address);
    return attached;
}

bool make_image(win_x11_shm& shm, int width, int height) {
    shm.image = XShmCreateImage(shm.display, shm.visual, 24, ZPixmap, nullptr, &shm.segment, width, height);
    if (shm.image == nullptr) return false;
    const size_t bytes = static_cast<size_t>(shm.image->bytes_per_line) * static_cast<size_t>(height);
    if (!native_layout(*shm.image) || !attach_segment(shm, bytes)) {
        destroy_image_header(shm.image);
        return false;
    }
    shm.image->data = shm.segment.shmaddr;
    shm.view = win_x11_image{reinterpret_cast<uint8_t*>(shm.segment.shmaddr), width, height, shm.image->bytes_per_line};
    return true;
}

void drop_frame(win_x11_shm& shm) {
    win_x11_shm::lent_frame& frame = shm.frame;
    if (frame.image == nullptr) return;
    wait_for_completion(shm);
    XShmDetach(shm.display, &frame.segment);
    XFlush(shm.display);
    destroy_image_header(frame.image);
    frame.pixels = nullptr;
}

// The server must be able to put the pixels as they are: 32-bit words, rows without padding.
bool attach_frame(win_x11_shm& shm, const uint32_t* pixels, int segment, int width, int height) {
    win_x11_shm::lent_frame& frame = shm.frame;
    frame.segment = XShmSegmentInfo{};
    frame.image = XShmCreateImage(shm.display, shm.visual, 24, ZPixmap, nullptr, &frame.segment,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (frame.image == nullptr) return false;
    frame.segment.shmid = segment;
    frame.segment.shmaddr = reinterpret_cast<char*>(const_cast<uint32_t*>(pixels));
    frame.segment.readOnly = True;
    if (!native_layout(*frame.image) || frame.image->bytes_per_line != width * 4 || !attach(shm, frame.segment)) {
        destroy_image_header(frame.image);
        return false;
    }
    frame.image->data = frame.segment.shmaddr;
    frame.pixels = pixels;
    return true;
}

}  // namespace

void win_x11_shm_closer::operator()(win_x11_shm* shm) const {
    if (shm == nullptr) return;
    std::vector<win_x11_shm*>& list = connections();
    list.erase(std::remove(list.begin(), list.end(), shm), list.end());
    drop_frame(*shm);
    free_image(*shm);
    if (shm->gc != nullptr) XFreeGC(shm->display, shm->gc);
    XCloseDisplay(shm->display);
    delete shm;
}

win_x11_shm_ptr win_x11_shm_open(const char* display_name, unsigned long window) {
    if (!is_local(display_name)) return nullptr;
    Display* display = XOpenDisplay(display_name);
    if (display == nullptr) return nullptr;
    win_x11_shm_ptr shm(new win_x11_shm);
    shm->display = display;
    shm->window = window;
    if (!XShmQueryExtension(display) || !takes_native_pixels(*shm)) return nullptr;
    shm->completion_type = XShmGetEventBase(display) + ShmCompletion;
    shm->gc = XCreateGC(display, window, 0, nullptr);
    connections().push_back(shm.get());
    return shm;
}

const win_x11_image* win_x11_shm_image(win_x11_shm& shm, int width, int height) {
    if (width <= 0 || height <= 0 || width > max_side || height > max_side) return nullptr;
    if (shm.image != nullptr && shm.view.width == width && shm.view.height == height) {
        wait_for_completion(shm);
        return &shm.view;
    }
    free_image(shm);
    return make_image(shm, width, height) ? &shm.view : nullptr;
}

bool win_x11_shm_put(win_x11_shm& shm) {
    if (shm.image == nullptr) return false;
    XShmPutImage(shm.display, shm.window, shm.gc, shm.image, 0, 0, 0, 0, static_cast<unsigned>(shm.view.width),
                 static_cast<unsigned>(shm.view.height), True);
    XFlush(shm.display);
    shm.put_pending = true;
    return true;
}

bool win_x11_shm_put_frame(win_x11_shm& shm, const uint32_t* pixels, int segment, int width, int height) {
    win_x11_shm::lent_frame& frame = shm.frame;
    if (pixels == nullptr || pixels == frame.refused || width <= 0 || height <= 0 || width > max_side ||
        height > max_side) {
        return false;
    }
    if (frame.pixels != pixels || frame.image->width != width || frame.image->height != height) {
        drop_frame(shm);
        if (!attach_frame(shm, pixels, segment, width, height)) {
            frame.refused = pixels;
            return false;
        }
    }
    XShmPutImage(shm.display, shm.window, shm.gc, frame.image, 0, 0, 0, 0, static_cast<unsigned>(width),
                 static_cast<unsigned>(height), True);
    XFlush(shm.display);
    shm.put_pending = true;
    return true;
}

void win_x11_shm_wait(win_x11_shm& shm) {
    if (shm.put_pending) wait_for_completion(shm);
}

void win_x11_shm_forget(const uint32_t* pixels) {
    for (win_x11_shm* shm : connections()) {
        if (shm->frame.pixels == pixels) drop_frame(*shm);
        if (shm->frame.refused == pixels) shm->frame.refused = nullptr;
    }
}
