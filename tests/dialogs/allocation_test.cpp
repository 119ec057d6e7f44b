// Counts every allocation through the global operator new; the dialog tests
// check that no tick allocates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/dialogs/allocation_count.h"

void* operator new(std::size_t size) {
  if (cfg::testing::countingAllocations) ++cfg::testing::allocationCount;
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace {

void* volatile allocationSink = nullptr;

// Without this the zeros of the tick checks would prove nothing.
TEST(AllocationCounterTest, CountsTheAllocationsMadeWhileItRuns) {
  using cfg::testing::AllocationsDuring;
  EXPECT_EQ(AllocationsDuring([] { allocationSink = ::operator new(16); }), 1);
  ::operator delete(allocationSink);
}

}  // namespace
