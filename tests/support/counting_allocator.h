// counting_allocator.h - a test program that links counting_allocator.cpp (an object library: it
// replaces the global operator new and delete) can count every allocation, to prove that
// steady-state frames allocate nothing, and make allocations fail, to prove that running out of
// memory is handled.
#pragma once

#include <cstddef>

size_t allocations_counted();
// Lets `allowed` more allocations succeed and makes the next ones fail (operator new throws
// std::bad_alloc, the nothrow forms return null); a negative count lets all succeed again.
void fail_allocations_after(long allowed);
// The largest single allocation asked for since the last reset (whether it succeeded or not).
size_t largest_allocation();
void reset_largest_allocation();
