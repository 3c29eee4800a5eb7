// allocation_counter.h - counts every global operator new in the test program, so that tests can
// prove a running scene allocates nothing per frame.
#pragma once

#include <cstddef>

size_t allocations_so_far();
