// counting_allocator.h - the test program that links counting_allocator.cpp counts every global
// operator new, so a test can prove that steady-state frames allocate nothing.
#pragma once

#include <cstddef>

size_t allocations_counted();
