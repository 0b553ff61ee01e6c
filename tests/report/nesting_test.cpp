#include <gtest/gtest.h>

#include <functional>

#include "report/nesting.h"
#include "support/process_trap.h"
#include "support/report_text.h"

// The body between a first and a last record, nested.
static void nested(const std::string& text) { free_tree(nested_chain(kinded_records("SY\n" + text + "CF\n"))); }

// How flat and balanced pairs nest, and in which order, is pinned by every
// scenario's report; what no report reaches is how unpaired records end the run.
TEST(Nesting, UnpairedRecordsEndTheRun) {
  std::function<void()> roads[] = {
      [] { nested("FR\nRE\nFR\n"); },
      [] { nested("RE\nSC\n"); },
      [] { nested("RE\nRE\nFR\n"); },
      [] { nested("XX\nA\n"); },
      [] { nested_chain(kinded_records("A\n")); },
      [] { nested_chain(nullptr); },
  };
  for (auto& road : roads) expect_fatal(road);
}
