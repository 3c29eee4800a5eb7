// win_crt_memory.cpp - the Microsoft runtime's aligned allocation.
#include <windows.h>

#include "platform/win32/win_crt.h"

#include <cerrno>
#include <cstdlib>

void* _aligned_malloc(size_t size, size_t alignment) {
    if (alignment == 0 || (alignment & (alignment - 1)) != 0) {
        win_crt_invalid_parameter("_aligned_malloc", "alignment not a power of two");
        errno = EINVAL;
        return nullptr;
    }
    void* block = nullptr;
    const size_t least = sizeof(void*);
    const int error = ::posix_memalign(&block, alignment < least ? least : alignment, size != 0 ? size : 1);
    if (error != 0) {
        errno = error;
        return nullptr;
    }
    return block;
}

void _aligned_free(void* block) { std::free(block); }
