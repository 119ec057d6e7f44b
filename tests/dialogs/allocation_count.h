// Heap allocations, counted by the global operator new of this test program
// (allocation_test.cpp): the 100 ms ticks of both dialogs may make none.
#pragma once

namespace cfg::testing {

inline int allocationCount = 0;
inline bool countingAllocations = false;

template <typename Run>
int AllocationsDuring(Run run) {
  allocationCount = 0;
  countingAllocations = true;
  run();
  countingAllocations = false;
  return allocationCount;
}

}  // namespace cfg::testing
