#pragma once

namespace ptk::bench {

// Counts the heap allocations of the calling thread while counting is on. The replaced global
// operator new lives in allocation_counter.cpp, a file of its own, so that the compiler never
// sees a new-expression and the matching free side by side (GCC 12 at -O3 then warns falsely).
void startCountingAllocations();
// Stops counting and tells how many allocations there were since the start.
long stopCountingAllocations();

}  // namespace ptk::bench
