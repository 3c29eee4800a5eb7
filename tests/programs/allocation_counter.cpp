// allocation_counter.cpp - replaces the global allocation functions with counting ones.
#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {

size_t allocation_count = 0;

void* counted_allocation(size_t size) {
    ++allocation_count;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

}  // namespace

size_t allocations_so_far() { return allocation_count; }

void* operator new(size_t size) { return counted_allocation(size); }
void* operator new[](size_t size) { return counted_allocation(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    ++allocation_count;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    ++allocation_count;
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
