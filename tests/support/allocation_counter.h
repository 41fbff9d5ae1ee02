#pragma once

namespace ptk::testing {

// Counts the heap allocations of the calling thread while counting is on, for the tests and the
// benchmarks that check that something allocates nothing. A program that links
// allocation_counter.cpp has the global operator new replaced; it lives in a file of its own, so
// that the compiler never sees a new-expression and the matching free side by side (GCC 12 at
// -O3 then warns falsely).
void startCountingAllocations();
// Stops counting and tells how many allocations there were since the start.
long stopCountingAllocations();

}  // namespace ptk::testing
