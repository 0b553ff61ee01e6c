#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <vector>

#include "support/process_trap.h"
#include "util/checked.h"
#include "util/out_of_memory.h"

TEST(Checked, SprintfThatWouldNotFitIsFatal) {
  char area[8];
  checked_sprintf(area, sizeof area, "%s", "1234567");
  EXPECT_STREQ(area, "1234567");
  expect_fatal([&] { checked_sprintf(area, sizeof area, "%s-%d", "abcd", 1234); },
               "FATAL ERROR on sprintf (%s-%d),\n Please contact your administrative.\n");
}

#if !defined(__SANITIZE_ADDRESS__)
// Kept, so that the allocation is not optimised away.
static void* volatile kept;
#endif

TEST(Checked, EveryFailedAllocationEndsAsTheAllocatorDoes) {
  end_runs_out_of_memory_here();
  const size_t too_much = static_cast<size_t>(-1) / 2;
  std::vector<void (*)(size_t)> allocations = {[](size_t size) { checked_malloc(size); }};
  // The sanitizer's operator new reports a failure itself instead of calling
  // the new handler.
#if !defined(__SANITIZE_ADDRESS__)
  allocations.push_back([](size_t size) {
    kept = ::operator new(size);
    ::operator delete(kept);
  });
#endif
  for (void (*allocate)(size_t) : allocations) {
    std::string written;
    EXPECT_EQ(run_to_end([&] { allocate(too_much); }, &written), 7);
    // A sanitizer runtime may add its own warning before ours.
    const std::string text = "FATAL ERROR on malloc,\n Please contact your administrative.\n";
    ASSERT_GE(written.size(), text.size());
    EXPECT_EQ(written.substr(written.size() - text.size()), text);
  }
  std::set_new_handler(nullptr);
}
