// counting_allocator.cpp - global operator new and delete replaced by counting versions over malloc.
#include "counting_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> count{0};
std::atomic<long> allowed_before_failure{-1};  // negative: none is to fail
std::atomic<size_t> largest{0};

void* allocate(size_t size) {
    if (size > largest.load()) largest = size;
    const long allowed = allowed_before_failure.load();
    if (allowed == 0) return nullptr;
    if (allowed > 0) --allowed_before_failure;
    ++count;
    return std::malloc(size == 0 ? 1 : size);
}

void* allocate_or_throw(size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}

}  // namespace

size_t allocations_counted() { return count.load(); }
void fail_allocations_after(long allowed) { allowed_before_failure = allowed; }
size_t largest_allocation() { return largest.load(); }
void reset_largest_allocation() { largest = 0; }

void* operator new(size_t size) { return allocate_or_throw(size); }
void* operator new[](size_t size) { return allocate_or_throw(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
