// Which conflict a run is refused for when it has several: the first ROD
// report in order, against the first file that names the same file.

#include "driver/output_guard.h"

#include <gtest/gtest.h>

#include <string>

#include "support/process_trap.h"
#include "support/scratch_dir.h"

namespace {
std::string refusal_of(const std::vector<rod_output>& outputs, const std::vector<const char*>& inputs) {
  std::string written;
  EXPECT_EQ(run_to_end([&] { refuse_overwrites(outputs, inputs, "run.rdd"); }, &written), 7);
  return written;
}
}  // namespace

TEST(OutputGuard, TheFirstReportAndTheFirstNameOfItsFileAreNamed) {
  const scratch_dir here;
  for (const char* name : {"a.rio", "b.rio", "c.rio", "x.rod", "y.rod"}) write_file(name, "");
  EXPECT_EQ(refusal_of({{"a.rio", "x.rod"}, {"b.rio", "y.rod"}}, {"y.rod", "./x.rod", "x.rod"}),
            "Varnet-F-OVERWRITE,  The report x.rod would be written over the file ./x.rod\n");
  EXPECT_EQ(refusal_of({{"a.rio", "x.rod"}, {"b.rio", "y.rod"}, {"c.rio", "./x.rod"}}, {}),
            "Varnet-F-SAMERODFI,  The RIO files a.rio and c.rio would write the same ROD report\n");
  // The same RIO file named twice writes its report twice; the first other one is refused.
  EXPECT_EQ(refusal_of({{"a.rio", "x.rod"}, {"./a.rio", "x.rod"}, {"b.rio", "x.rod"}, {"c.rio", "x.rod"}}, {}),
            "Varnet-F-SAMERODFI,  The RIO files a.rio and b.rio would write the same ROD report\n");
}
