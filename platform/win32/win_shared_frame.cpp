// win_shared_frame.cpp - System V shared-memory blocks for frames, and the list that finds them.
#include "platform/win32/win_shared_frame.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

struct shared_block {
    uint32_t* pixels;
    size_t bytes;
    int segment;
};

// Devices may be made and released on any thread.
std::mutex blocks_lock;

std::vector<shared_block>& blocks() {
    // Never destroyed: a device released from an exit handler may still free its block.
    static auto& list = *new std::vector<shared_block>;
    return list;
}

}  // namespace

uint32_t* win_shared_frame_alloc(size_t count) {
    if (count == 0 || count > SIZE_MAX / sizeof(uint32_t)) return nullptr;
    const size_t bytes = count * sizeof(uint32_t);
    const int segment = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment < 0) return nullptr;
    void* address = shmat(segment, nullptr, 0);
    // Linux lets the server attach a segment marked for removal while it is still mapped here.
    shmctl(segment, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1)) return nullptr;
    auto* pixels = static_cast<uint32_t*>(address);
    try {
        const std::lock_guard<std::mutex> hold(blocks_lock);
        blocks().push_back(shared_block{pixels, bytes, segment});
    } catch (...) {
        shmdt(address);
        return nullptr;
    }
    return pixels;
}

void win_shared_frame_free(uint32_t* pixels) {
    if (pixels == nullptr) return;
    const std::lock_guard<std::mutex> hold(blocks_lock);
    std::vector<shared_block>& list = blocks();
    const auto found =
        std::find_if(list.begin(), list.end(), [pixels](const shared_block& b) { return b.pixels == pixels; });
    if (found == list.end()) return;
    shmdt(pixels);
    list.erase(found);
}

int win_shared_frame_segment(const uint32_t* pixels, size_t bytes) {
    const std::lock_guard<std::mutex> hold(blocks_lock);
    for (const shared_block& b : blocks()) {
        if (b.pixels == pixels) return b.bytes >= bytes ? b.segment : -1;
    }
    return -1;
}
