// win_shared_frame.h - frame memory that a local X server can read directly (System V shared
// memory), so that a frame rendered there is shown without being copied.
//
// A block is marked for removal as soon as it is mapped: it goes away with the last detach (this
// process's and the server's), however the process ends. Blocks are few (one per device); looking
// one up walks a short list and allocates nothing.
//
// DOES NOT: talk to the X server (win_x11_shm.h attaches a block there), or zero the memory.
#pragma once

#include <cstddef>
#include <cstdint>

// Memory for `count` pixels, page-aligned; null when no shared memory can be had.
uint32_t* win_shared_frame_alloc(size_t count);

// Unmaps a block from win_shared_frame_alloc; anything else (including null) is ignored.
void win_shared_frame_free(uint32_t* pixels);

// The shared-memory segment whose block starts at `pixels` and holds at least `bytes` bytes, or -1.
int win_shared_frame_segment(const uint32_t* pixels, size_t bytes);
